// The media-command interpreter against a player that records what it is
// asked to do, and the silent player behind the headless backend.
#include "platform/media.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/memoryplayer.h"
#include "support/gamefixture.h"

namespace {

void touch(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

// Writes down every call as "what alias [file]" and reports playing for the
// aliases last started; `refuse` makes every call fail, `explode` throw.
class RecordingPlayer : public MediaPlayer {
  public:
    std::vector<std::string> calls;
    std::map<std::string, bool> sounding;
    bool refuse = false;
    bool explode = false;

    bool openwave(const std::string& alias, const std::filesystem::path& file) override {
        return note("openwave " + alias + " " + file.string());
    }
    bool opensequence(const std::string& alias, const std::filesystem::path& file) override {
        return note("opensequence " + alias + " " + file.string());
    }
    bool playfromstart(const std::string& alias) override {
        sounding[alias] = true;
        return note("playfromstart " + alias);
    }
    bool play(const std::string& alias) override {
        sounding[alias] = true;
        return note("play " + alias);
    }
    bool stop(const std::string& alias) override {
        sounding[alias] = false;
        return note("stop " + alias);
    }
    bool seektostart(const std::string& alias) override { return note("seektostart " + alias); }
    bool isplaying(const std::string& alias) override {
        note("isplaying " + alias);
        return sounding[alias];
    }
    void close(const std::string& alias) override { note("close " + alias); }

  private:
    bool note(std::string call) {
        if (explode) throw std::runtime_error("player broke");
        calls.push_back(std::move(call));
        return !refuse;
    }
};

class MediaCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (auto name :
             {"Firebomb.mid", "orchhitl.wav", "classic/abomb.wav", "classic/fire.wav"}) {
            touch(folder.path() / name);
        }
        auto owned = std::make_unique<RecordingPlayer>();
        player = owned.get();
        media = std::make_unique<MediaCommands>(std::move(owned), folder.path());
    }
    std::string path(const std::string& name) const { return (folder.path() / name).string(); }

    TempFolder folder;
    RecordingPlayer* player = nullptr;
    std::unique_ptr<MediaCommands> media;
};

}  // namespace

TEST_F(MediaCommandsTest, GamePathsResolveInsideTheProgramFolder) {
    touch(folder.path() / "MortalKombat.mid");
    struct Case {
        const char* written;
        const char* file;
    } cases[] = {
        {".\\Firebomb.mid", "Firebomb.mid"},
        {".\\\\classic\\abomb.wav", "classic/abomb.wav"},  // empty sound folder before "\classic"
        {".\\\\abomb.wav", "abomb.wav"},                   // no sound folder chosen yet
        {"\\orchhitl.wav", "orchhitl.wav"},                // from the root: the program's folder
        {".\\CLASSIC\\Fire.WAV", "classic/fire.wav"},      // case as written on another machine
        {".\\mortalkombat.mid", "MortalKombat.mid"},
        {"./classic/fire.wav", "classic/fire.wav"},
        {".\\trek\\fire.wav", "trek/fire.wav"},  // missing files keep their written name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        EXPECT_EQ(media->resolve(c.written), folder.path() / c.file);
    }
}

TEST_F(MediaCommandsTest, CommandsReachThePlayerByAlias) {
    std::string reply = "junk";
    EXPECT_EQ(media->send("open .\\Firebomb.mid type sequencer alias firebomb", &reply), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(media->send("open .\\\\classic\\fire.wav type waveaudio alias fire1", nullptr), 0);
    EXPECT_EQ(media->send("open .\\\\classic\\fire.wav type waveaudio alias fire2", nullptr), 0);
    EXPECT_EQ(media->send("play firebomb from 0", nullptr), 0);
    EXPECT_EQ(media->send("status firebomb mode", &reply), 0);
    EXPECT_EQ(reply, "playing");
    EXPECT_EQ(media->send("stop firebomb", nullptr), 0);
    EXPECT_EQ(media->send("status firebomb mode", &reply), 0);
    EXPECT_EQ(reply, "stopped");
    EXPECT_EQ(media->send("seek firebomb to start", nullptr), 0);
    EXPECT_EQ(media->send("play firebomb", nullptr), 0);
    // A sounding gun alias is started again from its beginning, not resumed.
    EXPECT_EQ(media->send("play fire1 from 0", nullptr), 0);
    EXPECT_EQ(media->send("play fire1 from 0", nullptr), 0);
    EXPECT_EQ(media->send("close fire2", nullptr), 0);
    EXPECT_FALSE(media->isopen("fire2"));
    EXPECT_TRUE(media->isopen("FIRE1"));

    std::vector<std::string> expected = {
        "opensequence firebomb " + path("Firebomb.mid"),
        "openwave fire1 " + path("classic/fire.wav"),
        "openwave fire2 " + path("classic/fire.wav"),
        "playfromstart firebomb",
        "isplaying firebomb",
        "stop firebomb",
        "isplaying firebomb",
        "seektostart firebomb",
        "play firebomb",
        "playfromstart fire1",
        "playfromstart fire1",
        "close fire2",
    };
    EXPECT_EQ(player->calls, expected);
}

TEST_F(MediaCommandsTest, KeywordsIgnoreCaseAndTakeWait) {
    EXPECT_EQ(media->send("OPEN .\\Firebomb.mid TYPE Sequencer ALIAS FireBomb wait", nullptr), 0);
    EXPECT_EQ(media->send("Play FIREBOMB From 0 Wait", nullptr), 0);
    std::string reply;
    EXPECT_EQ(media->send("status firebomb MODE wait", &reply), 0);
    EXPECT_EQ(reply, "playing");
    EXPECT_EQ(media->send("stop firebomb wait", nullptr), 0);
    EXPECT_EQ(media->send("seek firebomb to START WAIT", nullptr), 0);
    EXPECT_EQ(media->send("  close   firebomb   WAIT ", nullptr), 0);
    EXPECT_EQ(player->calls.back(), "close firebomb");
    EXPECT_EQ(player->calls.front(), "opensequence firebomb " + path("Firebomb.mid"));
}

TEST_F(MediaCommandsTest, FailuresLeaveThePlayerAlone) {
    ASSERT_EQ(media->send("open .\\Firebomb.mid type sequencer alias firebomb", nullptr), 0);
    player->calls.clear();
    struct Case {
        const char* command;
        int result;
    } cases[] = {
        // aliases that were never opened (the first game closes its effects before opening them)
        {"close abomb wait", media_unknownalias},
        {"stop mortalkombat", media_unknownalias},
        {"seek abomb to start", media_unknownalias},
        {"status abomb mode", media_unknownalias},
        {"play abomb from 0", media_unknowntype},  // not a file name either
        // files that are not there
        {"open .\\MortalKombat.mid type sequencer alias mortalkombat", media_filenotfound},
        {"open .\\trek\\fire.wav type waveaudio alias fire1", media_filenotfound},
        {"play \\ding.wav from 0", media_filenotfound},
        // an alias already open
        {"open .\\Firebomb.mid type sequencer alias FIREBOMB", media_aliasinuse},
        // commands that do not parse
        {"", media_badcommand},
        {"   ", media_badcommand},
        {"wait", media_badcommand},
        {"rewind firebomb", media_badcommand},
        {"open .\\Firebomb.mid type sequencer", media_badcommand},
        {"open .\\Firebomb.mid type cdaudio alias cd", media_badcommand},
        {"open .\\Firebomb.mid alias tune type sequencer", media_badcommand},
        {"play firebomb from 10", media_badcommand},
        {"play firebomb to 0", media_badcommand},
        {"seek firebomb to end", media_badcommand},
        {"status firebomb", media_badcommand},
        {"status firebomb position", media_badcommand},
        {"stop firebomb now", media_badcommand},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        std::string reply = "junk";
        EXPECT_EQ(media->send(c.command, &reply), c.result);
        EXPECT_EQ(reply, "");
    }
    EXPECT_EQ(player->calls, std::vector<std::string>{});
    // The failed reopen left the first one in place.
    EXPECT_TRUE(media->isopen("firebomb"));
}

TEST_F(MediaCommandsTest, PlayerFailuresAndExceptionsBecomeResults) {
    player->refuse = true;
    EXPECT_EQ(media->send("open .\\Firebomb.mid type sequencer alias firebomb", nullptr),
              media_playerfailed);
    EXPECT_FALSE(media->isopen("firebomb"));
    player->refuse = false;
    ASSERT_EQ(media->send("open .\\Firebomb.mid type sequencer alias firebomb", nullptr), 0);
    player->refuse = true;
    EXPECT_EQ(media->send("play firebomb from 0", nullptr), media_playerfailed);
    player->refuse = false;
    player->explode = true;
    std::string reply;
    EXPECT_NE(media->send("status firebomb mode", &reply), 0);
    EXPECT_EQ(reply, "");
    player->explode = false;
}

TEST_F(MediaCommandsTest, LooseFilesPlayByNameAndStayOpen) {
    touch(folder.path() / "Ding.WAV");
    EXPECT_EQ(media->send("play \\orchhitl.wav from 0", nullptr), 0);
    EXPECT_EQ(media->send("play \\orchhitl.wav from 0", nullptr), 0);
    EXPECT_EQ(media->send("play \\ding.wav from 0", nullptr), 0);
    EXPECT_EQ(media->send("play .\\Firebomb.mid from 0", nullptr), 0);
    std::vector<std::string> expected = {
        "openwave \\orchhitl.wav " + path("orchhitl.wav"),
        "playfromstart \\orchhitl.wav",
        "playfromstart \\orchhitl.wav",
        "openwave \\ding.wav " + path("Ding.WAV"),
        "playfromstart \\ding.wav",
        "opensequence .\\firebomb.mid " + path("Firebomb.mid"),
        "playfromstart .\\firebomb.mid",
    };
    EXPECT_EQ(player->calls, expected);
    EXPECT_TRUE(media->isopen("\\ORCHHITL.WAV"));
}

TEST_F(MediaCommandsTest, ClosingAllowsReopeningAndTheEndClosesEverything) {
    const char* open = "open .\\\\classic\\abomb.wav type waveaudio alias abomb";
    ASSERT_EQ(media->send(open, nullptr), 0);
    EXPECT_EQ(media->send("close abomb wait", nullptr), 0);
    EXPECT_EQ(media->send("close abomb wait", nullptr), media_unknownalias);
    EXPECT_EQ(media->send(open, nullptr), 0);

    // The interpreter's end releases every alias still open, once.
    auto closed = std::make_shared<std::vector<std::string>>();
    struct Keeper : RecordingPlayer {
        std::shared_ptr<std::vector<std::string>> out;
        void close(const std::string& alias) override { out->push_back(alias); }
    };
    auto keeper = std::make_unique<Keeper>();
    keeper->out = closed;
    {
        MediaCommands own(std::move(keeper), folder.path());
        own.send("open .\\Firebomb.mid type sequencer alias firebomb", nullptr);
        own.send(open, nullptr);
        own.send("open .\\\\classic\\fire.wav type waveaudio alias fire1", nullptr);
        own.send("close fire1", nullptr);
        closed->clear();
    }
    std::sort(closed->begin(), closed->end());
    EXPECT_EQ(*closed, (std::vector<std::string>{"abomb", "firebomb"}));
}

TEST(HeadlessMedia, TheSilentPlayerOpensOnlyFilesThatExist) {
    TempFolder folder;
    touch(folder.path() / "Firebomb.mid");
    touch(folder.path() / "classic" / "fire.wav");
    touch(folder.path() / "orchhitl.wav");
    HeadlessPlatform platform(folder.path());
    MemoryPlayer* player = platform.memoryplayer();
    ASSERT_NE(player, nullptr);

    struct Case {
        const char* command;
        bool ok;
    } cases[] = {
        {"open .\\Firebomb.mid type sequencer alias firebomb", true},
        {"open .\\MortalKombat.mid type sequencer alias mortalkombat", false},
        {"open .\\\\classic\\fire.wav type waveaudio alias fire1", true},
        {"open .\\\\trek\\fire.wav type waveaudio alias fire2", false},
        {"play \\orchhitl.wav from 0", true},
        {"play \\ding.wav from 0", false},
        {"play mortalkombat from 0", false},
        {"play firebomb from 0", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(platform.mcisendstring(c.command, nullptr) == 0, c.ok);
    }
    ASSERT_EQ(platform.media().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(platform.media()[i].result == 0, cases[i].ok) << cases[i].command;
    }

    // Music runs until it is stopped or runs out.
    std::string reply;
    platform.mcisendstring("status firebomb mode", &reply);
    EXPECT_EQ(reply, "playing");
    player->finish("FireBomb");
    platform.mcisendstring("status firebomb mode", &reply);
    EXPECT_EQ(reply, "stopped");
    platform.mcisendstring("seek firebomb to start", nullptr);
    platform.mcisendstring("play firebomb", nullptr);
    platform.mcisendstring("status firebomb mode", &reply);
    EXPECT_EQ(reply, "playing");
    EXPECT_EQ(player->find("firebomb")->starts, 1);
    EXPECT_EQ(player->find("\\orchhitl.wav")->starts, 1);
    EXPECT_EQ(player->find("mortalkombat"), nullptr);
}

TEST(HeadlessMedia, OnePieceOfMusicAtATime) {
    TempFolder folder;
    touch(folder.path() / "Firebomb.mid");
    touch(folder.path() / "MortalKombat.mid");
    touch(folder.path() / "fire.wav");
    HeadlessPlatform platform(folder.path());
    platform.mcisendstring("open .\\Firebomb.mid type sequencer alias firebomb", nullptr);
    platform.mcisendstring("open .\\MortalKombat.mid type sequencer alias mortalkombat", nullptr);
    platform.mcisendstring("open .\\fire.wav type waveaudio alias fire1", nullptr);
    platform.mcisendstring("play mortalkombat from 0", nullptr);
    platform.mcisendstring("play fire1 from 0", nullptr);
    platform.mcisendstring("play firebomb from 0", nullptr);
    MemoryPlayer* player = platform.memoryplayer();
    EXPECT_FALSE(player->find("mortalkombat")->playing);
    EXPECT_TRUE(player->find("firebomb")->playing);
    EXPECT_TRUE(player->find("fire1")->playing);
}
