// Media commands of a game start, of the level set-up's music check and of
// playing an effect: exact strings in exact order, and what the player does.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/memoryplayer.h"
#include "support/gamefixture.h"

namespace {
// Every effect alias and the file it is opened from, in the order of opening.
const std::vector<std::pair<std::string, std::string>> effects = {
    {"abomb", "abomb.wav"},         {"abomblaunch", "abomblaunch.wav"},
    {"bounce", "bounce.wav"},       {"crash", "crash.wav"},
    {"fire1", "fire.wav"},          {"fire2", "fire.wav"},
    {"fire3", "fire.wav"},          {"fire4", "fire.wav"},
    {"gameover", "gameover.wav"},   {"get1", "get1.wav"},
    {"get2", "get2.wav"},           {"get3", "get3.wav"},
    {"get4", "get4.wav"},           {"get5", "get5.wav"},
    {"getweapon", "getweapon.wav"}, {"hyperspace", "hyperspace.wav"},
    {"laser", "laser.wav"},         {"missile", "missile.wav"},
    {"spawn", "spawn.wav"},         {"1up", "1up.wav"},
};

std::vector<std::string> gamestartcommands(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& [alias, file] : effects) out.push_back("close " + alias + " wait");
    for (const auto& [alias, file] : effects) {
        out.push_back("open .\\" + folder + "\\" + file + " type waveaudio alias " + alias);
    }
    out.push_back("stop mortalkombat");
    out.push_back("play firebomb from 0");
    out.push_back("play \\orchhitl.wav from 0");
    return out;
}

void touch(const std::filesystem::path& file) {
    std::ofstream(file) << "x";
}
}  // namespace

TEST_F(GameFixture, GameStartReopensTheSoundSetOfEachDesign) {
    struct Case {
        int16_t design;
        const char* folder;
    } cases[] = {{0, "\\classic"}, {1, "\\trek"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.design);
        platform->clearmedia();
        game->selectedship = c.design;
        game->startgamesounds();
        EXPECT_EQ(platform->mediacommands(), gamestartcommands(c.folder));
        EXPECT_EQ(game->soundfolder, c.folder);
    }
}

TEST_F(GameFixture, OtherDesignsKeepTheSoundFolderOfThePreviousGame) {
    // Before any game the effects come from the program's folder itself.
    game->selectedship = 2;
    game->startgamesounds();
    auto commands = platform->mediacommands();
    ASSERT_EQ(commands.size(), 43u);
    EXPECT_EQ(commands[20], "open .\\\\abomb.wav type waveaudio alias abomb");
    EXPECT_EQ(commands, gamestartcommands(""));

    game->selectedship = 1;
    game->startgamesounds();
    game->selectedship = 5;
    platform->clearmedia();
    game->startgamesounds();
    EXPECT_EQ(platform->mediacommands(), gamestartcommands("\\trek"));
}

TEST_F(GameFixture, LevelSetUpRestartsTheGameMusicOnlyWhenItHasEnded) {
    touch(folder.path() / "Firebomb.mid");
    platform->mcisendstring("open .\\Firebomb.mid type sequencer alias firebomb", nullptr);
    platform->mcisendstring("play firebomb from 0", nullptr);
    MemoryPlayer* player = platform->memoryplayer();
    ASSERT_NE(player, nullptr);

    platform->clearmedia();
    game->musiccheck();
    EXPECT_EQ(platform->mediacommands(), std::vector<std::string>{"status firebomb mode"});
    EXPECT_EQ(player->find("firebomb")->starts, 1);

    player->finish("firebomb");
    platform->clearmedia();
    game->musiccheck();
    EXPECT_EQ(platform->mediacommands(),
              (std::vector<std::string>{"status firebomb mode", "seek firebomb to start",
                                        "play firebomb"}));
    EXPECT_TRUE(player->find("firebomb")->playing);
}

namespace {
// A platform whose music reports whatever status text the test sets.
class StatusPlatform : public HeadlessPlatform {
  public:
    using HeadlessPlatform::HeadlessPlatform;
    std::string status;
    int mcisendstring(std::string_view command, std::string* reply) override {
        int result = HeadlessPlatform::mcisendstring(command, reply);
        if (reply) *reply = status;
        return result;
    }
};
}  // namespace

TEST(MusicCheck, ReplyIsReadIntoSevenCharactersAndTrimmed) {
    TempFolder folder;
    StatusPlatform platform(folder.path());
    ScriptedRandom random;
    Game game(platform, random);
    struct Case {
        std::string reply;
        bool restarted;
    } cases[] = {
        {"playing", false}, {"playing   ", false}, {"playingx", false}, {"stopped", true},
        {"", true},         {"paused", true},      {"play", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        platform.status = c.reply;
        platform.clearmedia();
        game.musiccheck();
        EXPECT_EQ(platform.mediacommands().size(), c.restarted ? 3u : 1u);
    }
}
