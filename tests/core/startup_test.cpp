// Loading the window (music, font, labels, menu music, into the intro) and
// closing it (a pending table saved, every media alias released).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memoryplayer.h"
#include "support/gamefixture.h"

namespace {
namespace fs = std::filesystem;

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* effectaliases[] = {"abomb",      "abomblaunch", "bounce",  "crash",    "fire1",
                               "fire2",      "fire3",       "fire4",   "gameover", "get1",
                               "get2",       "get3",        "get4",    "get5",     "getweapon",
                               "hyperspace", "laser",       "missile", "spawn",    "1up"};

// Loads the window and closes it on the intro's first frame.
void loadandclose(Game& game, HeadlessPlatform& platform) {
    platform.closeat(1);
    EXPECT_THROW(game.Form_Load(), WindowClosed);
}
}  // namespace

TEST_F(GameFixture, LoadingStartsTheMenuMusicAndClosingReleasesEveryAlias) {
    write(folder.path() / "Firebomb.mid", "music");
    write(folder.path() / "MortalKombat.mid", "music");
    game->frequency = 0;
    loadandclose(*game, *platform);

    std::vector<std::string> expected = {
        "open .\\Firebomb.mid type sequencer alias firebomb",
        "open .\\MortalKombat.mid type sequencer alias mortalkombat",
        "play mortalkombat from 0",
        // closing: both pieces of music before the effects
        "stop firebomb wait",
        "close firebomb wait",
        "stop mortalkombat wait",
        "close mortalkombat wait",
    };
    for (const char* alias : effectaliases)
        expected.push_back(std::string("close ") + alias + " wait");
    EXPECT_EQ(platform->mediacommands(), expected);
    EXPECT_EQ(platform->media()[0].result, 0);
    EXPECT_EQ(platform->media()[1].result, 0);
    EXPECT_EQ(platform->memoryplayer()->find("firebomb"), nullptr);
    EXPECT_EQ(platform->memoryplayer()->find("mortalkombat"), nullptr);

    // The state the intro starts in.
    EXPECT_EQ(game->frequency, HeadlessPlatform::ticks_per_second);
    EXPECT_DOUBLE_EQ(game->pixelscale, 709.0 / 600.0);
    EXPECT_EQ(game->gamestate, GameState::mainmenu);
    EXPECT_EQ(game->lbltitle.caption, "Brannoch");
    EXPECT_EQ(game->lblscore.caption, "0");
    EXPECT_FALSE(game->lblscore.visible);
    EXPECT_FALSE(game->lblweapon.visible);
}

TEST_F(GameFixture, ClosingTheWindowSavesATableThatAwaitsItsSave) {
    game->highscoressaved = true;
    game->Form_Unload();
    EXPECT_FALSE(fs::exists(folder.path() / "hiscores.dat"));

    game->loadhighscores();
    fs::remove(folder.path() / "hiscores.dat");
    game->highscoressaved = false;
    game->Form_Unload();
    EXPECT_TRUE(fs::exists(folder.path() / "hiscores.dat"));
}

TEST(StartupFont, FontIsCopiedToTheUserFontsFolderOnlyWhenAbsent) {
    struct Case {
        const char* name;
        bool programfont;       // the program's folder has the font
        const char* installed;  // contents already in the user's folder, or null
        bool xdg;               // XDG_DATA_HOME set, else the home folder's default
        const char* expected;   // contents in the user's folder afterwards, or null
    } cases[] = {
        {"copied when absent", true, nullptr, true, "program font"},
        {"an existing copy is kept", true, "older font", true, "older font"},
        {"nothing to copy", false, nullptr, true, nullptr},
        {"home folder default", true, nullptr, false, "program font"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder program, user;
        fs::path fonts =
            c.xdg ? user.path() / "data" / "fonts" : user.path() / ".local" / "share" / "fonts";
        if (c.programfont) write(program.path() / "trekfilm.ttf", "program font");
        if (c.installed) write(fonts / "trekfilm.ttf", c.installed);
        ScopedEnv home("HOME", user.path().string());
        ScopedEnv data(
            "XDG_DATA_HOME",
            c.xdg ? std::optional<std::string>((user.path() / "data").string()) : std::nullopt);

        HeadlessPlatform platform(program.path());
        ScriptedRandom random;
        Game game(platform, random);
        loadandclose(game, platform);
        if (c.expected) {
            EXPECT_EQ(contents(fonts / "trekfilm.ttf"), c.expected);
        } else {
            EXPECT_FALSE(fs::exists(fonts / "trekfilm.ttf"));
        }
    }
}

// The copy appears whole under its own name or not at all: a crashed copy's
// leftover is cleared away, and a relative XDG_DATA_HOME, which the rules say
// to ignore, never puts the font under the current folder.
TEST(StartupFont, FontCopyIsWholeAndNeverLandsInTheCurrentFolder) {
    TempFolder program, user;
    write(program.path() / "trekfilm.ttf", "program font");
    fs::path fonts = user.path() / ".local" / "share" / "fonts";
    write(fonts / "trekfilm.ttf.tmp.AbCdEf", "a copy cut short");
    fs::last_write_time(fonts / "trekfilm.ttf.tmp.AbCdEf",
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    fs::path before = fs::current_path();
    fs::current_path(user.path());
    ScopedEnv home("HOME", user.path().string());
    ScopedEnv data("XDG_DATA_HOME", std::string("relative"));

    HeadlessPlatform platform(program.path());
    ScriptedRandom random;
    auto game = std::make_unique<Game>(platform, random);
    loadandclose(*game, platform);
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(user.path() / "relative"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fonts)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"trekfilm.ttf"});
    EXPECT_EQ(contents(fonts / "trekfilm.ttf"), "program font");
}
