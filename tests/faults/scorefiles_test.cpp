// The high-score table against hostile folders, failed saves, two running
// copies of the game and a read-only program folder, played as an ordinary
// account (a child that drops root's privileges where needed).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "screens/highscorefile.h"
#include "support/gamefixture.h"
#include "support/unprivileged.h"

namespace {
namespace fs = std::filesystem;
using highscorefile::Table;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// A sound table of ten named rows with falling scores.
std::string tabletext(const std::string& prefix, int32_t top) {
    Table table = highscorefile::defaulttable();
    for (int k = 1; k <= 10; ++k) {
        table.names[k] = prefix + std::to_string(k);
        table.scores[k] = top - 10 * (k - 1);
    }
    table.scores[11] = highscorefile::checksum(table.scores);
    return highscorefile::format(table);
}

// Gives a folder and everything in it to the account the checks run as.
void handover(const fs::path& folder) {
    ASSERT_EQ(lchown(folder.c_str(), unprivileged::uid(), unprivileged::gid()), 0) << folder;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        ASSERT_EQ(lchown(entry.path().c_str(), unprivileged::uid(), unprivileged::gid()), 0)
            << entry.path();
    }
}

// The file's rows with a name, or a note when it is not a sound table.
std::string rowsof(const fs::path& file) {
    std::optional<Table> table = highscorefile::parse(contents(file));
    if (!table || !highscorefile::checks(*table)) return "(not a sound table)";
    std::string rows;
    for (int k = 1; k <= 10; ++k) {
        rows += table->names[k] + " " + std::to_string(table->scores[k]) + ";";
    }
    return rows;
}

bool holds(const fs::path& file, const std::string& row) {
    return rowsof(file).find(row + ";") != std::string::npos;
}

// A finished game in short: back to the menu, a new entry named, the save.
void finishgame(Game& game, const std::string& name, int32_t score) {
    game.loadhighscores();
    int rank = game.inserthighscore(score);
    if (rank > 0) game.highscorename[rank] = name;
    game.savehighscores();
}

// Collects the checks of a child: each failed one adds a line.
struct Report {
    std::string text;
    void check(bool held, const std::string& what) {
        if (!held) text += what + "\n";
    }
};

void runorskip(const std::function<std::string()>& body) {
    std::optional<std::string> report = unprivileged::run(body);
    if (!report) GTEST_SKIP() << "cannot run as an unprivileged account (no setresuid)";
    EXPECT_EQ(*report, "");
}

}  // namespace

// Each folder is set up, then one game ends with "ACE" at 777 points.
TEST(ScoreFiles, HostileFoldersNeverCostTheTableOrAnythingElse) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> plant;                  // as the test's own account
        std::function<void(const fs::path&, Game&, Report&)> check;  // as the player
    };
    const fs::path tmp = "hiscores.dat.tmp";
    const Case cases[] = {
        {"a link at the temporary name",
         [&](const fs::path& f) {
             write(f / "victim", "precious");
             fs::create_symlink(f / "victim", f / tmp);
         },
         [](const fs::path& f, Game& g, Report& r) {
             r.check(contents(f / "victim") == "precious", "the link's target was written");
             r.check(fs::is_regular_file(fs::symlink_status(f / "hiscores.dat")),
                     "the table is not a plain file");
             r.check(g.highscoressaved && holds(f / "hiscores.dat", "ACE 777"), "not saved");
         }},
        {"a dangling link at the temporary name",
         [&](const fs::path& f) { fs::create_symlink(f / "created", f / tmp); },
         [](const fs::path& f, Game& g, Report& r) {
             r.check(!fs::exists(f / "created"), "the link's target was created");
             r.check(g.highscoressaved && holds(f / "hiscores.dat", "ACE 777"), "not saved");
         }},
        {"a FIFO at the temporary name",
         [&](const fs::path& f) { mkfifo((f / tmp).c_str(), 0666); },
         [](const fs::path& f, Game& g, Report& r) {
             r.check(g.highscoressaved && holds(f / "hiscores.dat", "ACE 777"), "not saved");
         }},
        {"a FIFO as the table",
         [](const fs::path& f) { mkfifo((f / "hiscores.dat").c_str(), 0666); },
         [](const fs::path& f, Game& g, Report& r) {
             r.check(fs::is_fifo(f / "hiscores.dat"), "the FIFO was replaced");
             r.check(!g.highscoressaved && g.highscorename[1] == "ACE",
                     "the table in memory was lost");
         }},
        {"a table the player may not read",
         [](const fs::path& f) {
             write(f / "hiscores.dat", tabletext("OLD", 9000));
             fs::permissions(f / "hiscores.dat", fs::perms::none);
         },
         [](const fs::path& f, Game& g, Report& r) {
             r.check(!g.highscoressaved, "a save over the unreadable table was reported");
             fs::permissions(f / "hiscores.dat", fs::perms::owner_read);
             r.check(contents(f / "hiscores.dat") == tabletext("OLD", 9000), "the table changed");
             r.check(!fs::exists(f / "hiscores.dat.bad"), "it was taken for damaged");
         }},
        {"a damaged table", [](const fs::path& f) { write(f / "hiscores.dat", "garbage\r\n"); },
         [](const fs::path& f, Game& g, Report& r) {
             r.check(contents(f / "hiscores.dat.bad") == "garbage\r\n", "the old file is not kept");
             r.check(g.highscoressaved && holds(f / "hiscores.dat", "ACE 777") &&
                         holds(f / "hiscores.dat", "NOBODY 0"),
                     "not replaced by the defaults and the new entry");
         }},
        {"a read-only folder, the menu, then a quit once it is writable",
         [](const fs::path& f) { write(f / "hiscores.dat", tabletext("OLD", 500)); },
         [](const fs::path& f, Game& g, Report& r) {
             // The folder was made read-only before the game ended (see below).
             r.check(!g.highscoressaved && contents(f / "hiscores.dat") == tabletext("OLD", 500),
                     "the failed save changed something");
             g.loadhighscores();  // back to the menu
             r.check(g.highscorename[1] == "ACE", "the menu read the file over the new entry");
             fs::permissions(f, fs::perms::owner_all);
             g.Form_Unload();  // the retry on the way out
             r.check(holds(f / "hiscores.dat", "ACE 777") && holds(f / "hiscores.dat", "OLD1 500"),
                     "the quit did not save the new entry");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        c.plant(folder.path());
        handover(folder.path());
        bool readonly = std::string(c.what).rfind("a read-only folder", 0) == 0;
        runorskip([&] {
            HeadlessPlatform platform(folder.path());
            ScriptedRandom random;
            auto game = std::make_unique<Game>(platform, random);
            game->loadhighscores();
            if (readonly) {
                fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
            }
            finishgame(*game, "ACE", 777);
            Report report;
            c.check(folder.path(), *game, report);
            return report.text;
        });
    }
}

TEST(ScoreFiles, TwoCopiesSavingAtOnceKeepEveryName) {
    TempFolder folder;
    // Two processes saving at the same moment, over and over: every save
    // merges under the lock, so the file ends with the best ten of them all.
    std::vector<pid_t> children;
    for (int copy = 0; copy < 2; ++copy) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            HeadlessPlatform platform(folder.path());
            ScriptedRandom r;
            auto game = std::make_unique<Game>(platform, r);
            for (int round = 0; round < 12; ++round) {
                finishgame(*game, "C" + std::to_string(copy), 10000 + 10 * round + copy);
            }
            _exit(game->highscoressaved ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::string expected;
    for (int score = 10111; score >= 10070; score -= (score % 10 == 1 ? 1 : 9)) {
        expected += "C" + std::to_string(score % 10) + " " + std::to_string(score) + ";";
    }
    EXPECT_EQ(rowsof(folder.path() / "hiscores.dat"), expected);
}

// Where the table lives: beside the program while the player may write there,
// in the player's data folder otherwise, starting from a packaged table.
TEST(ScoreFiles, TableFollowsTheProgramFolderWhileItIsWritable) {
    TempFolder program, user, writable;
    write(program.path() / "hiscores.dat", tabletext("PKG", 5000));
    handover(user.path());
    handover(writable.path());
    // The program folder stays the test's own and is read-only to the player.
    fs::permissions(program.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    runorskip([&] {
        Report r;
        setenv("HOME", (user.path() / "home").c_str(), 1);
        setenv("XDG_DATA_HOME", (user.path() / "data").c_str(), 1);
        r.check(tablefolder(writable.path()) == writable.path(), "a writable folder is not used");
        fs::path own = user.path() / "data" / "volmarin";
        r.check(tablefolder(program.path()) == own, "not the player's data folder");

        HeadlessPlatform platform(program.path());
        platform.files().setstatefolder(tablefolder(program.path()));
        ScriptedRandom random;
        auto game = std::make_unique<Game>(platform, random);
        game->loadhighscores();
        r.check(game->highscorename[1] == "PKG1", "the packaged table is not the starting one");
        r.check(!fs::exists(own / "hiscores.dat"), "the player's table was made before a save");
        finishgame(*game, "ACE", 4995);
        r.check(holds(own / "hiscores.dat", "ACE 4995") && holds(own / "hiscores.dat", "PKG1 5000"),
                "the first save did not make the player's own table");
        r.check(contents(program.path() / "hiscores.dat") == tabletext("PKG", 5000),
                "the packaged table changed");

        // A relative XDG_DATA_HOME is no data folder.
        setenv("XDG_DATA_HOME", "relative/data", 1);
        r.check(tablefolder(program.path()) == user.path() / "home" / ".local/share/volmarin",
                "a relative XDG_DATA_HOME was used");
        return r.text;
    });
    fs::permissions(program.path(), fs::perms::owner_all);
}

TEST(ScoreFiles, KeyFileTextLinesAreCapped) {
    EXPECT_EQ(parsekeyscript("7 text " + std::string(longesttext, 'a')).size(), longesttext);
    // A huge line is refused before it costs an event per character.
    EXPECT_THROW(parsekeyscript("7 text " + std::string(longesttext + 1, 'a')), std::runtime_error);
}
