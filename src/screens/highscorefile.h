// The high-score table as it is kept in "hiscores.dat": eleven text lines of
// name, comma and number, the last one carrying a checksum over the ten scores.
// Pure text in and out; the game reads and writes the file through the platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace highscorefile {

// Slots 1..10 are the ranks, slot 11 holds the checksum and a name that is
// carried through unchanged; slot 0 is unused.
struct Table {
    std::array<std::string, 12> names{};
    std::array<int32_t, 12> scores{};
};

// The most the game reads of the file: a sound file is under a kilobyte, but
// other tools may pad its fields with blanks. Anything longer is not read at all.
inline constexpr std::size_t maxbytes = 1 << 20;
// A longer name cannot come from the name entry; a file holding one is damaged.
inline constexpr std::size_t longestname = 200;

// Characters of a score printed as the game prints numbers: the sign position
// (a blank or "-") and the digits, so 0 gives 2 and 100 gives 4.
int printedlength(int32_t score);

// Sum of score + printed length over ranks 1..10. Kept in 32-bit arithmetic
// that wraps, so every table has a checksum that fits the file's 32-bit field.
int32_t checksum(const std::array<int32_t, 12>& scores);

// True when slot 11 holds the checksum of ranks 1..10.
bool checks(const Table& table);

// Ten ("NOBODY", 0) ranks, checksum 20 in slot 11 and the given slot-11 name.
Table defaulttable(const std::string& slot11name = "");

// One line: the name, blanks to the start of the next 14-column zone, a comma,
// the printed number, a trailing blank, CR LF.
std::string formatline(const std::string& name, int32_t score);
// The eleven lines of the file, byte for byte.
std::string format(const Table& table);

// Reads eleven lines of name and number from the file's text. The name is
// everything before the last comma of its line, without the blanks around it;
// the number is the next word after that comma (a word that is not a whole
// number reads as 0). Nothing when the text cannot be read that way: fewer than
// eleven lines, a line without a comma, a number outside the 32-bit range, a
// name longer than any the game writes, or more text than maxbytes.
std::optional<Table> parse(std::string_view text);

}  // namespace highscorefile
