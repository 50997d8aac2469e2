// The game under things going wrong around it: the window closed in each of
// its loops, and a program folder without any sound, music or font.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/game.h"
#include "platform/headless/headless_platform.h"
#include "support/gamefixture.h"

namespace {
// Enter every 15 frames walks through the intro titles and the menu into a game.
void enteruntilplay(HeadlessPlatform& p, const Game& g, int64_t f) {
    if (g.gamestate != GameState::play && f % 15 == 0) p.typed(f + 1, vk::enter);
}

bool inplay(const Game& g) {
    return g.gamestate == GameState::play && g.letters.count == 0 && g.paused == 0 && g.lives > 0;
}
}  // namespace

TEST_F(GameFixture, ClosingTheWindowInAnyLoopUnwindsAfterReleasingTheMedia) {
    struct Case {
        const char* loop;
        // Reached the loop: close on the next frame.
        std::function<bool(const Game&, int64_t)> reached;
        // Keys or state that lead there, after each frame.
        std::function<void(HeadlessPlatform&, Game&, int64_t)> lead;
    };
    const std::vector<Case> cases = {
        {"intro",
         [](const Game& g, int64_t f) { return f == 5 && g.gamestate == GameState::mainmenu; },
         [](HeadlessPlatform&, Game&, int64_t) {}},
        {"menu",
         [](const Game& g, int64_t) {
             return g.gamestate == GameState::mainmenu && g.menutimer > 10;
         },
         [](HeadlessPlatform& p, Game& g, int64_t f) {
             if (g.menutimer == 0 && f % 15 == 0) p.typed(f + 1, vk::enter);
         }},
        {"banner",
         [](const Game& g, int64_t) {
             return g.gamestate == GameState::play && g.letters.count > 0 && g.level == 1;
         },
         enteruntilplay},
        {"game", [](const Game& g, int64_t) { return inplay(g) && g.bodies.count > 0; },
         enteruntilplay},
        {"pause",
         [](const Game& g, int64_t) { return g.gamestate == GameState::play && g.paused != 0; },
         [](HeadlessPlatform& p, Game& g, int64_t f) {
             enteruntilplay(p, g, f);
             if (inplay(g)) p.press(f + 1, 80);
         }},
        {"game over",
         [](const Game& g, int64_t) {
             return g.gamestate == GameState::play && g.lives == 0 && g.letters.count > 0;
         },
         [](HeadlessPlatform& p, Game& g, int64_t f) {
             enteruntilplay(p, g, f);
             // The last ship blows itself up.
             if (inplay(g) && g.respawntimer == 0) {
                 g.lives = 0;
                 p.press(f + 1, 88);
             }
         }},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.loop);
        TempFolder place;
        HeadlessPlatform p(place.path());
        ClockRandom r(5);
        auto g = std::make_unique<Game>(p, r);
        int64_t closedat = 0;
        p.setlastframe(20000);
        p.onframeend([&](int64_t f) {
            if (closedat == 0 && c.reached(*g, f)) {
                closedat = f + 1;
                p.closeat(closedat);
                p.clearmedia();
                return;
            }
            if (closedat == 0) c.lead(p, *g, f);
        });
        EXPECT_THROW(g->Form_Load(), WindowClosed);
        ASSERT_NE(closedat, 0) << "never reached";
        EXPECT_EQ(p.frame(), closedat);
        // Nothing ran after the unload handler: its releases are the last commands.
        std::vector<std::string> sent = p.mediacommands();
        ASSERT_FALSE(sent.empty());
        EXPECT_NE(std::find(sent.begin(), sent.end(), "close firebomb wait"), sent.end());
        EXPECT_NE(std::find(sent.begin(), sent.end(), "close mortalkombat wait"), sent.end());
        EXPECT_EQ(sent.back().rfind("close ", 0), 0u) << sent.back();
    }
}

// No sound folders, no loose sounds, no music and no font beside the program:
// every open fails, nothing is heard, and the game is played all the same.
TEST_F(GameFixture, AnEmptyProgramFolderGivesASilentButWholeGame) {
    ClockRandom r(9);
    auto g = std::make_unique<Game>(*platform, r);
    int64_t playframes = 0;
    platform->setlastframe(3000);
    platform->onframeend([&](int64_t f) {
        enteruntilplay(*platform, *g, f);
        if (inplay(*g)) {
            ++playframes;
            if (f % 20 == 0) platform->press(f + 1, vk::space);
        }
    });
    EXPECT_THROW(g->Form_Load(), FramesDone);
    EXPECT_GT(playframes, 500);

    int opens = 0, plays = 0;
    for (const auto& m : platform->media()) {
        if (m.command.rfind("open ", 0) == 0) {
            ++opens;
            EXPECT_NE(m.result, 0) << m.command;
        }
        if (m.command.rfind("play ", 0) == 0) {
            ++plays;
            EXPECT_NE(m.result, 0) << m.command;
        }
    }
    EXPECT_GT(opens, 20);
    EXPECT_GT(plays, 0);
    // The table is still written beside the program.
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "hiscores.dat"));
}
