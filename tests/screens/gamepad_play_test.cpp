// A whole run played with a gamepad on the headless backend: through the menu
// into a game, flying, firing, pausing, giving up, and a name spelled with the
// pad that ends up in the table and its file. Also the key file's pad lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/gamefixture.h"

namespace {

bool inplay(const Game& g) {
    return g.gamestate == GameState::play && g.letters.count == 0 && g.paused == 0 && g.lives > 0 &&
           g.respawntimer == 0 && g.bodies.count > 0;
}

int firesounds(const HeadlessPlatform& p) {
    int n = 0;
    for (const auto& m : p.media()) n += m.command.rfind("play fire", 0) == 0 ? 1 : 0;
    return n;
}

}  // namespace

TEST_F(GameFixture, AWholeRunPlayedWithAGamepad) {
    HeadlessPlatform& p = *platform;
    Game& g = *game;
    enum class Phase {
        menu,
        fly,
        fire,
        pause,
        unpause,
        giveup,
        name,
        table,
        back
    } phase = Phase::menu;
    int64_t since = 0;   // frame the phase began
    double fastest = 0;  // the ship's top speed while thrusting
    int firedbefore = 0;
    int rank = 0;
    std::string entered;  // the name as the table showed it
    // Up to A, right for a new A, up to B, right again, then down from A past
    // the blank and 9 to 1, and A to confirm.
    std::deque<PadButton> spelling = {PadButton::dpup, PadButton::dpright, PadButton::dpup,
                                      PadButton::dpright};
    for (int i = 0; i < 10; ++i) spelling.push_back(PadButton::dpdown);
    spelling.push_back(PadButton::a);

    p.onframeend([&](int64_t f) {
        auto next = [&](Phase to) {
            phase = to;
            since = f;
        };
        switch (phase) {
            case Phase::menu:  // A skips the intro titles, starts and picks the ship
                if (inplay(g)) {
                    p.padbutton(f + 1, PadButton::dpup, true);
                    next(Phase::fly);
                } else if (g.gamestate != GameState::play && f % 15 == 0) {
                    p.padpress(f + 1, PadButton::a);
                }
                break;
            case Phase::fly:
                fastest =
                    std::max(fastest, std::hypot(double{g.bodies[0].vx}, double{g.bodies[0].vy}));
                if (f - since == 30) {
                    EXPECT_EQ(g.keyup, -1) << "the D-pad thrusts";
                    p.padbutton(f + 1, PadButton::dpup, false);
                    firedbefore = firesounds(p);
                    p.padbutton(f + 2, PadButton::a, true);
                    next(Phase::fire);
                }
                break;
            case Phase::fire:
                if (f - since == 20) {
                    // Held A fires at once and then every ninth frame.
                    EXPECT_EQ(firesounds(p) - firedbefore, 3);
                    p.padbutton(f + 1, PadButton::a, false);
                    p.padpress(f + 2, PadButton::start);
                    next(Phase::pause);
                }
                break;
            case Phase::pause:
                if (f - since == 10) {
                    EXPECT_NE(g.paused, 0) << "Start pauses";
                    p.padpress(f + 1, PadButton::start);
                    next(Phase::unpause);
                }
                break;
            case Phase::unpause:
                if (f - since == 10) {
                    EXPECT_EQ(g.paused, 0) << "Start resumes";
                    EXPECT_EQ(g.keyup, 0);
                    EXPECT_EQ(g.firestate, 0) << "nothing stays held";
                    p.padpress(f + 1, PadButton::back);
                    next(Phase::giveup);
                }
                break;
            case Phase::giveup:
                if (g.gamestate == GameState::nameentry) next(Phase::name);
                ASSERT_LT(f - since, 2000) << "Back did not end the game";
                break;
            case Phase::name:
                if (g.gamestate == GameState::newentry) {
                    rank = g.cursor;
                    entered = g.highscorename[rank];
                    p.padpress(f + 3, PadButton::start);
                    next(Phase::table);
                } else if ((f - since) % 4 == 0 && !spelling.empty()) {
                    p.padpress(f + 1, spelling.front());
                    spelling.pop_front();
                }
                break;
            case Phase::table:
                if (g.gamestate == GameState::mainmenu) {
                    next(Phase::back);
                    p.closeat(f + 2);
                }
                break;
            case Phase::back:
                break;
        }
    });
    p.setlastframe(20000);
    EXPECT_THROW(g.Form_Load(), WindowClosed);

    EXPECT_EQ(phase, Phase::back);
    EXPECT_GT(fastest, 1.5) << "30 frames of thrust";
    EXPECT_GE(rank, 1);
    EXPECT_EQ(entered, "AB1");
    std::ifstream file(folder.path() / "hiscores.dat");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("AB1 "), std::string::npos) << text.str();
}

TEST(KeyFile, PadLinesNameSdlButtonsAndAxes) {
    auto events =
        parsekeyscript("3 pad down rightshoulder\n5 pad axis lefty -32768\n7 pad unplug\n");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, ScriptedEvent::Kind::paddown);
    EXPECT_EQ(events[0].code, static_cast<int>(PadButton::rightshoulder));
    EXPECT_EQ(events[1].code, static_cast<int>(PadAxis::lefty));
    EXPECT_EQ(events[1].value, -32768);
    EXPECT_EQ(events[2].kind, ScriptedEvent::Kind::padunplug);
    for (const char* bad : {"1 pad down z", "1 pad press a", "1 pad axis leftx 32768",
                            "1 pad axis rightx 0", "1 pad down a b", "1 pad"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(parsekeyscript(bad), std::runtime_error);
    }
}
