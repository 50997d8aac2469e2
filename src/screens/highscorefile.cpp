// Formatting and reading the text of "hiscores.dat". Names are Windows-1252
// bytes and pass through untouched; only blanks, commas and line ends mean
// anything to the reader.
#include "screens/highscorefile.h"

#include "core/numbers.h"

namespace highscorefile {

namespace {

// Columns of one print zone: a name is followed by blanks up to the next zone.
constexpr std::size_t zonewidth = 14;

bool blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The score word of a line. A word that is not a whole number reads as 0;
// a whole number beyond the 32-bit range makes the file unreadable.
std::optional<int32_t> scoreword(std::string_view field) {
    while (!field.empty() && blank(field.front())) field.remove_prefix(1);
    std::size_t end = 0;
    while (end < field.size() && !blank(field[end]) && field[end] != '\r') ++end;
    std::string_view word = field.substr(0, end);

    bool negative = false;
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) {
        negative = word.front() == '-';
        word.remove_prefix(1);
    }
    if (word.empty()) return 0;
    int64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
        // Past 2^31 no sign can bring it back into range.
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

int printedlength(int32_t score) {
    int64_t magnitude = score < 0 ? -static_cast<int64_t>(score) : score;
    int digits = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digits;
    }
    return digits + 1;
}

int32_t checksum(const std::array<int32_t, 12>& scores) {
    uint32_t sum = 0;
    for (int k = 1; k <= 10; ++k) {
        sum += static_cast<uint32_t>(scores[k]) + static_cast<uint32_t>(printedlength(scores[k]));
    }
    return static_cast<int32_t>(sum);
}

bool checks(const Table& table) {
    return table.scores[11] == checksum(table.scores);
}

Table defaulttable(const std::string& slot11name) {
    Table table;
    for (int k = 1; k <= 10; ++k) {
        table.names[k] = "NOBODY";
        table.scores[k] = 0;
    }
    table.names[11] = slot11name;
    table.scores[11] = checksum(table.scores);
    return table;
}

std::string formatline(const std::string& name, int32_t score) {
    // The comma always moves on to a fresh zone, so even a name that fills a
    // zone exactly gets a whole zone of blanks after it.
    std::size_t padded = (name.size() / zonewidth + 1) * zonewidth;
    std::string line = name;
    // A line feed inside a name would split its line and cost the whole table.
    for (char& c : line) {
        if (c == '\n') c = ' ';
    }
    line.append(padded - name.size(), ' ');
    line += ',';
    line += printed(score);
    line += " \r\n";
    return line;
}

std::string format(const Table& table) {
    std::string text;
    for (int k = 1; k <= 11; ++k) text += formatline(table.names[k], table.scores[k]);
    return text;
}

std::optional<Table> parse(std::string_view text) {
    if (text.size() > maxbytes) return std::nullopt;
    Table table;
    std::size_t pos = 0;
    for (int k = 1; k <= 11; ++k) {
        if (pos >= text.size()) return std::nullopt;
        std::size_t newline = text.find('\n', pos);
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        // The last comma ends the name, so a name holding commas survives.
        std::size_t comma = line.rfind(',');
        if (comma == std::string_view::npos) return std::nullopt;
        std::string_view name = trimmed(line.substr(0, comma));
        if (name.size() > longestname) return std::nullopt;
        std::optional<int32_t> score = scoreword(line.substr(comma + 1));
        if (!score) return std::nullopt;
        table.names[k] = std::string(name);
        table.scores[k] = *score;
    }
    return table;
}

}  // namespace highscorefile
