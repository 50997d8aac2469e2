// The text of the high-score file: its exact bytes, the checksum, and what the
// reader makes of files written by the game, by other tools, or damaged.
#include "screens/highscorefile.h"

#include <gtest/gtest.h>

#include <random>

using highscorefile::Table;

namespace {

const std::string defaultline = "NOBODY        , 0 \r\n";

std::string defaultfile() {
    std::string text;
    for (int k = 1; k <= 10; ++k) text += defaultline;
    return text + "              , 20 \r\n";
}

// A sound file whose ten scores are given, ranks 1..10.
std::string filewith(const std::array<int32_t, 10>& scores) {
    Table table = highscorefile::defaulttable();
    for (int k = 1; k <= 10; ++k) table.scores[k] = scores[k - 1];
    table.scores[11] = highscorefile::checksum(table.scores);
    return highscorefile::format(table);
}

}  // namespace

TEST(HighScoreFile, DefaultTableIsWrittenByteForByteAndChecks) {
    Table table = highscorefile::defaulttable();
    EXPECT_EQ(table.scores[11], 20);
    EXPECT_EQ(highscorefile::format(table), defaultfile());
    EXPECT_TRUE(highscorefile::checks(table));

    std::optional<Table> back = highscorefile::parse(defaultfile());
    ASSERT_TRUE(back);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(back->names[k], "NOBODY");
        EXPECT_EQ(back->scores[k], 0);
    }
    EXPECT_EQ(back->names[11], "");
    EXPECT_EQ(back->scores[11], 20);
}

TEST(HighScoreFile, PrintedLengthAndChecksum) {
    struct Case {
        int32_t score;
        int length;
    } cases[] = {{0, 2},     {7, 2},  {9, 2},    {10, 3},          {100, 4},
                 {99999, 6}, {-1, 2}, {-100, 4}, {2147483647, 11}, {-2147483647 - 1, 11}};
    for (const Case& c : cases) {
        EXPECT_EQ(highscorefile::printedlength(c.score), c.length) << c.score;
    }

    // A score of 100 adds 104 to the default checksum.
    std::array<int32_t, 12> scores{};
    scores[1] = 100;
    EXPECT_EQ(highscorefile::checksum(scores), 20 - 2 + 104);
    scores[2] = -5;
    EXPECT_EQ(highscorefile::checksum(scores), 20 - 2 + 104 - 2 - 5 + 2);

    // Huge tables wrap instead of overflowing, and still check after a round trip.
    Table big = highscorefile::defaulttable();
    for (int k = 1; k <= 10; ++k) big.scores[k] = 2147483647;
    big.scores[11] = highscorefile::checksum(big.scores);
    std::optional<Table> back = highscorefile::parse(highscorefile::format(big));
    ASSERT_TRUE(back);
    EXPECT_TRUE(highscorefile::checks(*back));
}

TEST(HighScoreFile, NamesPadToTheNextPrintZone) {
    EXPECT_EQ(highscorefile::formatline("", 20), "              , 20 \r\n");
    EXPECT_EQ(highscorefile::formatline("ABCDEFGHIJKLM", 5), "ABCDEFGHIJKLM , 5 \r\n");
    EXPECT_EQ(highscorefile::formatline("ABCDEFGHIJKLMN", 5),
              "ABCDEFGHIJKLMN              , 5 \r\n");
    EXPECT_EQ(highscorefile::formatline("ABCDEFGHIJKLMNOPQRST", -12),
              "ABCDEFGHIJKLMNOPQRST        ,-12 \r\n");
    // Windows-1252 bytes are written as they are.
    EXPECT_EQ(highscorefile::formatline("J\xD6RG", 1500), "J\xD6RG          , 1500 \r\n");
}

TEST(HighScoreFile, ReaderAcceptsOtherBlanksAndLineEnds) {
    std::string text;
    text += "ACE,12000\n";                 // no padding at all, bare LF
    text += "  BOB   ,   9000   \r\n";     // blanks all around
    text += "\tCAT\t,\t8000\r\n";          // tabs
    text += "D, E, F ,7000 \r\n";          // commas inside a name
    text += "EVE        ,+6000 junk\r\n";  // a sign, and words after the number
    for (int k = 6; k <= 10; ++k) text += defaultline;
    text += " ,  0";  // last line without its line end
    text += "\r\nanything after the table is ignored\r\n";

    std::optional<Table> table = highscorefile::parse(text);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->names[1], "ACE");
    EXPECT_EQ(table->scores[1], 12000);
    EXPECT_EQ(table->names[2], "BOB");
    EXPECT_EQ(table->scores[2], 9000);
    EXPECT_EQ(table->names[3], "CAT");
    EXPECT_EQ(table->scores[3], 8000);
    EXPECT_EQ(table->names[4], "D, E, F");
    EXPECT_EQ(table->scores[4], 7000);
    EXPECT_EQ(table->names[5], "EVE");
    EXPECT_EQ(table->scores[5], 6000);
    EXPECT_EQ(table->names[11], "");
    EXPECT_EQ(table->scores[11], 0);
}

TEST(HighScoreFile, ScoreWordsThatAreNotNumbersReadAsZero) {
    for (const char* word : {"", "abc", "12abc", "1.5", "-", "+", "1e3", "0x10"}) {
        std::string text = defaultfile();
        text.replace(0, defaultline.size(), std::string("ACE,") + word + "\r\n");
        std::optional<Table> table = highscorefile::parse(text);
        ASSERT_TRUE(table) << word;
        EXPECT_EQ(table->scores[1], 0) << word;
    }
}

TEST(HighScoreFile, DamagedTextIsUnreadable) {
    std::string defaults = defaultfile();
    std::string tenlines = defaults.substr(0, defaults.size() - 21);
    std::string nocomma = defaults;
    nocomma.replace(0, defaultline.size(), "NOBODY 0\r\n");
    std::string huge = defaults;
    huge.replace(0, defaultline.size(), "NOBODY, 2147483648\r\n");
    std::string hugenegative = defaults;
    hugenegative.replace(0, defaultline.size(), "NOBODY, -99999999999999999999999\r\n");
    std::string longname = std::string(highscorefile::longestname + 1, 'A') + ", 0\r\n";
    longname = longname + defaults.substr(defaultline.size());
    std::string toolong = defaults + std::string(highscorefile::maxbytes, ' ');
    std::string binary;
    for (int i = 0; i < 600; ++i) binary += static_cast<char>((i * 37 + 11) % 256);

    struct Case {
        const char* what;
        std::string text;
    } cases[] = {{"empty", ""},
                 {"ten lines", tenlines},
                 {"no comma", nocomma},
                 {"number above the 32-bit range", huge},
                 {"far below", hugenegative},
                 {"long name", longname},
                 {"beyond the size read", toolong},
                 {"binary", binary},
                 {"blank lines", std::string(20, '\n')}};
    for (const Case& c : cases) EXPECT_FALSE(highscorefile::parse(c.text)) << c.what;

    // The extremes of the range still read.
    std::string lowest = defaults;
    lowest.replace(0, defaultline.size(), "NOBODY,-2147483648\r\n");
    ASSERT_TRUE(highscorefile::parse(lowest));
    EXPECT_EQ(highscorefile::parse(lowest)->scores[1], -2147483647 - 1);
}

// Random and mutated files: the reader never fails in any other way than saying
// "unreadable", and whatever it reads writes back to text that reads the same.
TEST(HighScoreFile, FuzzedFilesReadAsATableOrNothing) {
    std::mt19937 engine(20240611);
    std::string seed = filewith({99000, 50000, 42000, 1000, 900, 800, 700, 600, 500, 0});
    const std::string alphabet = ",, \r\n\t0123456789-+AZ\xE9";
    int readable = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        if (round % 4 == 0) {
            std::size_t length = engine() % 700;
            for (std::size_t i = 0; i < length; ++i) text += static_cast<char>(engine() % 256);
        } else {
            text = seed;
            int edits = 1 + engine() % 6;
            for (int e = 0; e < edits && !text.empty(); ++e) {
                std::size_t at = engine() % text.size();
                char c = alphabet[engine() % alphabet.size()];
                switch (engine() % 3) {
                    case 0:
                        text[at] = c;
                        break;
                    case 1:
                        text.insert(at, 1, c);
                        break;
                    default:
                        text.erase(at, 1 + engine() % 8);
                        break;
                }
            }
        }
        std::optional<Table> table = highscorefile::parse(text);
        if (!table) continue;
        ++readable;
        std::optional<Table> again = highscorefile::parse(highscorefile::format(*table));
        ASSERT_TRUE(again) << round;
        EXPECT_EQ(again->names, table->names) << round;
        EXPECT_EQ(again->scores, table->scores) << round;
    }
    EXPECT_GT(readable, 100);  // the mutations reach the reading paths, not just the rejections
}
