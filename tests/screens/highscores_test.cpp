// The high-score table in the game: loading, checking and resetting the file,
// saving, placing new scores, and the two table screens of the menu.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "screens/highscorefile.h"
#include "support/gamefixture.h"

namespace {

// Blue: the background never takes it in the game, so a load that leaves it
// alone has shown no red ramp.
constexpr int32_t untouched = 0x7F0000;

class HighScores : public GameFixture {
  protected:
    std::filesystem::path scorepath() const { return folder.path() / "hiscores.dat"; }

    void writefile(const std::string& text) {
        std::ofstream out(scorepath(), std::ios::binary);
        out << text;
    }
    std::string readfile() const {
        std::ifstream in(scorepath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string defaultfile() const { return highscorefile::format(highscorefile::defaulttable()); }

    void settable(const std::array<int32_t, 10>& scores) {
        for (int k = 1; k <= 10; ++k) {
            game->highscorename[k] = "P" + std::to_string(k);
            game->highscore[k] = scores[k - 1];
        }
    }
    void expectdefaulttable() {
        for (int k = 1; k <= 10; ++k) {
            EXPECT_EQ(game->highscorename[k], "NOBODY");
            EXPECT_EQ(game->highscore[k], 0);
        }
        EXPECT_EQ(game->highscore[11], 20);
    }
    // Loads with an untouched background and tells whether the red ramp ran.
    bool loadshowedramp() {
        game->window.setbackcolour(untouched);
        game->loadhighscores();
        return game->window.backcolour() != untouched;
    }
};

}  // namespace

TEST_F(HighScores, MissingFileIsCreatedSilentlyWithTheDefaults) {
    EXPECT_FALSE(loadshowedramp());
    expectdefaulttable();
    EXPECT_EQ(readfile(), defaultfile());
    EXPECT_TRUE(game->highscoressaved);

    // And it reads back as sound.
    EXPECT_FALSE(loadshowedramp());
    expectdefaulttable();
}

TEST_F(HighScores, SoundFileLoadsAsWritten) {
    settable({90000, 80000, 70000, 60000, 50000, 400, 300, 200, 100, 0});
    game->highscorename[3] = "J\xD6RG";
    game->savehighscores();

    auto other = std::make_unique<Game>(*platform, random);
    other->window.setbackcolour(untouched);
    other->loadhighscores();
    EXPECT_EQ(other->window.backcolour(), untouched);
    EXPECT_EQ(other->highscorename, game->highscorename);
    EXPECT_EQ(other->highscore, game->highscore);
}

TEST_F(HighScores, ChangedScoreResetsTheTableAndRewritesTheFile) {
    settable({5000, 4000, 3000, 2000, 1000, 900, 800, 700, 600, 500});
    game->highscorename[11] = "KEPT";
    game->savehighscores();
    std::string text = readfile();
    text.replace(text.find(" 3000 "), 6, " 3500 ");
    writefile(text);
    game->highscorename[11] = "";

    EXPECT_TRUE(loadshowedramp());
    EXPECT_EQ(game->window.backcolour(), 0);  // the ramp ends on black
    expectdefaulttable();
    // The eleventh line's name is carried through the reset.
    EXPECT_EQ(game->highscorename[11], "KEPT");
    EXPECT_EQ(readfile(), highscorefile::format(highscorefile::defaulttable("KEPT")));
}

TEST_F(HighScores, DamagedFilesOfEveryKindReset) {
    std::string defaults = defaultfile();
    std::string hugenumber = defaults;
    hugenumber.replace(0, 20, "NOBODY, 99999999999\r\n");
    std::string binary;
    for (int i = 0; i < 2000; ++i) binary += static_cast<char>((i * 131 + 7) % 256);
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"short", defaults.substr(0, 5 * 20)},
        {"binary", binary},
        {"huge number", hugenumber},
        {"long line", std::string(100000, 'X') + "," + defaults},
        {"checksum off by one",
         defaults.substr(0, defaults.size() - 21) + "              , 21 \r\n"},
    };
    for (const Case& c : cases) {
        settable({5, 4, 3, 2, 1, 0, 0, 0, 0, 0});
        writefile(c.text);
        EXPECT_TRUE(loadshowedramp()) << c.what;
        expectdefaulttable();
        EXPECT_EQ(readfile(), defaults) << c.what;
    }
}

// Files that other programs wrote or are still writing.
TEST_F(HighScores, FilesOtherProgramsWroteAreJudgedOnlyWhenWhole) {
    settable({9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000, 0});
    game->savehighscores();
    const std::string sound = readfile();

    // Fields padded with hundreds of blanks: read, and the file left as it was.
    std::string padded;
    for (std::size_t at = 0, end; (end = sound.find(",", at)) != std::string::npos;) {
        std::size_t lineend = sound.find("\r\n", end);
        padded += std::string(300, ' ') + sound.substr(at, end - at) + std::string(300, ' ') + "," +
                  std::string(300, '\t') + sound.substr(end + 1, lineend - end - 1) + "\r\n";
        at = lineend + 2;
    }
    ASSERT_GT(padded.size(), 4096u);
    writefile(padded);
    game->highscorename.fill("");
    EXPECT_FALSE(loadshowedramp());
    EXPECT_EQ(game->highscorename[3], "P3");
    EXPECT_EQ(game->highscore[3], 7000);
    EXPECT_EQ(readfile(), padded);

    // Caught half-written by a program that is still at it: not damaged.
    writefile(sound.substr(0, 100));
    platform->files().settle = std::chrono::milliseconds(1000);
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        writefile(sound);
    });
    bool ramp = loadshowedramp();
    writer.join();
    EXPECT_FALSE(ramp);
    EXPECT_EQ(readfile(), sound);
    EXPECT_FALSE(std::filesystem::exists(scorepath().string() + ".bad"));
    game->loadhighscores();
    EXPECT_EQ(game->highscorename[3], "P3");

    // Beyond a mebibyte: never read whole, and kept aside when replaced.
    std::string huge = sound + std::string((1 << 20) + 1, ' ');
    writefile(huge);
    platform->files().settle = std::chrono::milliseconds(0);
    EXPECT_TRUE(loadshowedramp());
    expectdefaulttable();
    EXPECT_EQ(readfile(), defaultfile());
    EXPECT_EQ(std::filesystem::file_size(scorepath().string() + ".bad"), huge.size());
}

TEST_F(HighScores, ANameWithCommasSurvivesSaveAndLoad) {
    game->loadhighscores();
    int rank = game->inserthighscore(4200);
    game->highscorename[rank] = "A,B, C";
    game->savehighscores();

    game->highscorename.fill("");
    game->highscore.fill(0);
    EXPECT_FALSE(loadshowedramp());
    EXPECT_EQ(game->highscorename[1], "A,B, C");
    EXPECT_EQ(game->highscore[1], 4200);
    EXPECT_EQ(game->highscorename[2], "NOBODY");
}

TEST_F(HighScores, NewScoresFindTheirRank) {
    // Against the default table even 0 takes rank 1, because 0 >= 0.
    game->clearhighscores();
    EXPECT_EQ(game->inserthighscore(0), 1);
    EXPECT_EQ(game->highscorename[1], "");
    EXPECT_EQ(game->highscorename[2], "NOBODY");

    const std::array<int32_t, 10> table{900, 800, 700, 600, 500, 400, 300, 200, 100, 50};
    struct Case {
        double score;
        int rank;
    } cases[] = {{1000, 1}, {900, 1}, {650, 4}, {500, 5}, {51, 10}, {50, 10}, {49, 0}, {-1, 0}};
    for (const Case& c : cases) {
        settable(table);
        EXPECT_EQ(game->inserthighscore(c.score), c.rank) << c.score;
        if (c.rank == 0) {
            for (int k = 1; k <= 10; ++k) EXPECT_EQ(game->highscore[k], table[k - 1]);
            continue;
        }
        // The new entry sits at its rank with no name; those below move down
        // one, and the old rank 10 is gone.
        EXPECT_EQ(game->highscore[c.rank], static_cast<int32_t>(c.score));
        EXPECT_EQ(game->highscorename[c.rank], "");
        for (int k = 1; k < c.rank; ++k) EXPECT_EQ(game->highscorename[k], "P" + std::to_string(k));
        for (int k = c.rank + 1; k <= 10; ++k) {
            EXPECT_EQ(game->highscorename[k], "P" + std::to_string(k - 1));
            EXPECT_EQ(game->highscore[k], table[k - 2]);
        }
    }
}

TEST_F(HighScores, FailedSavesLeaveTheGameAndTheOldFileAlone) {
    // A regular file where the table's folder should be: no save can get
    // through, and that holds even for root, who ignores permissions.
    std::filesystem::path blocker = folder.path() / "blocker";
    std::ofstream(blocker) << "in the way";
    game->loadhighscores();
    std::string before = readfile();
    platform->files().setstatefolder(blocker / "scores");

    game->inserthighscore(12345);
    game->highscorename[1] = "ACE";
    game->savehighscores();
    EXPECT_FALSE(game->highscoressaved);  // still owed: tried again on the way out
    EXPECT_EQ(game->highscore[1], 12345);
    EXPECT_EQ(readfile(), before);
    // The file that takes the old one's place keeps its permissions.
    namespace fs = std::filesystem;
    fs::permissions(scorepath(),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    platform->files().setstatefolder(folder.path());
    game->savehighscores();
    EXPECT_TRUE(game->highscoressaved);
    EXPECT_NE(readfile(), before);
    EXPECT_EQ(fs::status(scorepath()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A folder that does not exist: the first-run path cannot write either.
    HeadlessPlatform nowhere(folder.path() / "no" / "such" / "folder");
    nowhere.files().setstatefolder(folder.path() / "blocker" / "x" / "y");
    Game lost(nowhere, random);
    lost.loadhighscores();
    EXPECT_EQ(lost.highscore[11], 20);
    lost.inserthighscore(10);
    lost.savehighscores();
    EXPECT_EQ(lost.highscore[1], 10);
}

// Reading and re-reading hundreds of random and mutated files: every load ends
// with a table that checks, and a file that loads without a reset.
TEST_F(HighScores, FuzzedFilesAlwaysEndInASoundTable) {
    std::mt19937 engine(77);
    platform->files().settle = std::chrono::milliseconds(0);
    settable({99000, 50000, 42000, 1000, 900, 800, 700, 600, 500, 0});
    game->savehighscores();
    const std::string seed = readfile();
    for (int round = 0; round < 300; ++round) {
        std::string text = seed;
        if (round % 5 == 0) {
            text.assign(engine() % 500, '\0');
            for (char& c : text) c = static_cast<char>(engine() % 256);
        } else {
            for (int e = 0, edits = 1 + engine() % 4; e < edits && !text.empty(); ++e) {
                std::size_t at = engine() % text.size();
                text[at] = ",\r\n 0123456789-x"[engine() % 16];
            }
        }
        writefile(text);
        game->loadhighscores();
        ASSERT_EQ(game->highscore[11], highscorefile::checksum(game->highscore)) << round;
        ASSERT_FALSE(loadshowedramp()) << round;
    }
}

class HighScoreScreens : public HighScores {
  protected:
    void SetUp() override {
        HighScores::SetUp();
        game->pixelscale = game->window.pixelscale();
        game->window.setfontsize(20 * game->pixelscale);
        game->loadhighscores();
        settable({90000, 80000, 70000, 60000, 50000, 40000, 30000, 20000, 10000, 5000});
    }

    // The brightest value of each channel over a text's box: the colour it was
    // printed in, since the edges only blend it with the black below.
    int32_t printedcolour(double x, double y, const std::string& text) {
        Surface& w = game->window;
        double sx = w.width() / w.scalewidth(), sy = w.pixelscale();
        int x0 = static_cast<int>(x * sx), x1 = static_cast<int>((x + w.textwidth(text)) * sx);
        int y0 = static_cast<int>(y * sy), y1 = static_cast<int>((y + w.textheight(text)) * sy);
        int32_t r = 0, g = 0, b = 0;
        for (int py = y0; py <= y1; ++py) {
            for (int px = x0; px <= x1; ++px) {
                int32_t c = w.pixel(px, py);
                r = std::max(r, redof(c));
                g = std::max(g, greenof(c));
                b = std::max(b, blueof(c));
            }
        }
        return rgb(r, g, b);
    }
    int32_t namecolour(int rank) {
        return printedcolour(game->playfieldwidth() / 2 - 147, 40.0 * rank + 100,
                             game->highscorename[rank]);
    }
    int32_t scorecolour(int rank) {
        return printedcolour(game->playfieldwidth() / 2 + 50, 40.0 * rank + 100,
                             printed(game->highscore[rank]));
    }
};

TEST_F(HighScoreScreens, TableRowsFadeFromWhiteToBlue) {
    game->window.clear();
    game->gamestate = GameState::highscores;
    game->menutimer = 1;
    game->highscorescreen();
    const int shades[11] = {0, 255, 255, 255, 255, 228, 182, 136, 91, 46, 0};
    for (int rank = 1; rank <= 10; ++rank) {
        EXPECT_EQ(namecolour(rank), rgb(shades[rank], shades[rank], 255)) << rank;
        EXPECT_EQ(scorecolour(rank), rgb(shades[rank], shades[rank], 255)) << rank;
    }

    // Later frames add nothing; Enter goes back to the main menu on a clear window.
    game->window.clear();
    game->menutimer = 2;
    game->highscorescreen();
    EXPECT_EQ(namecolour(1), 0);
    game->firestate = -1;
    game->cursor = 1;
    game->highscorescreen();
    EXPECT_EQ(game->gamestate, GameState::mainmenu);
    EXPECT_EQ(game->menutimer, 0);
    EXPECT_EQ(game->cursor, 1);
}

TEST_F(HighScoreScreens, NewEntryFlickersRedToYellow) {
    game->window.clear();
    game->gamestate = GameState::newentry;
    game->cursor = 3;
    game->menutimer = 1;
    random.push(0.5, 1.0 - 1e-12);  // green 127.5 rounds to even: 128
    game->newentryscreen();
    EXPECT_EQ(random.drawn(), 1);  // one draw for the one flickering row
    const int shades[11] = {0, 50, 44, 38, 33, 28, 22, 16, 11, 6, 0};
    for (int rank = 1; rank <= 10; ++rank) {
        int32_t expected = rank == 3 ? rgb(255, 128, 0) : rgb(shades[rank], shades[rank], 255);
        EXPECT_EQ(namecolour(rank), expected) << rank;
        EXPECT_EQ(scorecolour(rank), expected) << rank;
    }

    // Later frames print only the new row, in a fresh colour each frame.
    game->window.clear();
    game->menutimer = 2;
    game->newentryscreen();
    EXPECT_EQ(random.drawn(), 2);
    EXPECT_EQ(namecolour(3), rgb(255, 255, 0));
    EXPECT_EQ(namecolour(2), 0);

    // Enter leaves the menu.
    game->firestate = -1;
    game->newentryscreen();
    EXPECT_EQ(game->firestate, 0);
    EXPECT_EQ(game->gamestate, GameState::menuleft);
    EXPECT_EQ(namecolour(3), 0);
}
