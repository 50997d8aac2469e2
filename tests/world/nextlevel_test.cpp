// Level set-up with scripted draws: the spawn burst, rock counts, the standard
// field and the six special layouts, rocks moved off the ship, and the label.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/gamefixture.h"

namespace {
constexpr int32_t white = 0xFFFFFF;
constexpr int32_t red = 255;
constexpr int32_t yellow = 0x00FFFF;
constexpr int32_t darkgrey = 0x191919;

class NextLevelTest : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        game->initializeship(0, 0);
    }

    double w() const { return game->playfieldwidth(); }

    // Draws of the 25 spawn sparks: a direction and a life each.
    void sparks(double angle = 0.5, double life = 0.5) {
        for (int i = 0; i < 25; ++i) random.push(angle, life);
    }

    // Draws of one standard rock: placement, colour, speed, spin, radii, type.
    void standardrock(int n = 8, double t = 0.5, bool small = false) {
        random.push(0.2, 0.8, 0.5, 0.5, 0.5, 0.75, 0.25, 0.5);
        for (int j = 0; j < n; ++j) {
            random.push(0.5);
            if (small) random.push(0.99);
        }
        random.push(t);
    }

    void setup(int level) {
        game->level = static_cast<int16_t>(level);
        game->nextlevel();
    }

    bool coversship(int k) const {
        return game->pointinbody(game->bodies[k], game->bodies[0].x, game->bodies[0].y);
    }
};
}  // namespace

TEST_F(NextLevelTest, FirstLevelHasOneSlowRockAndTheShipInTheMiddle) {
    game->shots.count = 7;
    game->particles.count = 9;
    game->respawntimer = 40;
    game->huntertimer = 900;
    game->firestate = 10;
    for (int i = 0; i < 25; ++i) random.push(i / 25.0, i % 2 == 0 ? 0.0 : 0.999);
    random.push(0.0);  // would pick a special layout from level 3 on
    random.push(0.2, 0.8, 0.5, 0.5, 0.5, 0.999, 0.0, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5,
                0.5);
    setup(1);

    EXPECT_EQ(random.pending(), 0u);
    const Body& ship = game->bodies[0];
    EXPECT_EQ(ship.x, static_cast<float>(w() / 2));
    EXPECT_EQ(ship.y, 300.0f);
    EXPECT_EQ(ship.vx, 0.0f);
    EXPECT_EQ(ship.state, 250);
    EXPECT_EQ(game->shots.count, 0);
    EXPECT_EQ(game->respawntimer, 0);
    EXPECT_EQ(game->huntertimer, 0);
    EXPECT_EQ(game->firestate, 0);

    ASSERT_EQ(game->particles.count, 25);
    for (int i = 1; i <= 25; ++i) {
        const Shot& p = game->particles[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(p.type, ParticleType::spark);
        EXPECT_NEAR(p.vx, std::cos((i - 1) / 25.0 * 6.283) * 5, 1e-5);
        EXPECT_NEAR(p.vy, std::sin((i - 1) / 25.0 * 6.283) * 5, 1e-5);
        EXPECT_EQ(p.x, ship.x);
        EXPECT_EQ(p.colour, white);
        EXPECT_EQ(p.life, i % 2 == 1 ? 10 : 25);
        EXPECT_EQ(p.life0, p.life);
    }

    ASSERT_EQ(game->bodies.count, 1);
    const Body& rock = game->bodies[1];
    EXPECT_EQ(rock.vertexcount, 8);
    EXPECT_EQ(rock.type, BodyType::plain);
    EXPECT_EQ(rock.state, 0);
    EXPECT_EQ(rock.fillstyle, 0);
    EXPECT_NEAR(rock.vy, 0.499, 1e-6);
    EXPECT_EQ(rock.vx, -0.5f);
    // Blue 122, green round(61), red round(30.5) = 30; the outline 50 lighter.
    EXPECT_EQ(rock.fillcolour, 30 + 256 * 61 + 65536 * 122);
    EXPECT_EQ(rock.basecolour, rock.fillcolour);
    EXPECT_EQ(rock.linecolour, 80 + 256 * 111 + 65536 * 122);
    const double span = w() / 2 - 100;
    const double xo = std::nearbyint(0.2 * span - span / 2);
    EXPECT_NEAR(rock.x, w() / 2 - 100 + xo, 0.1);
    EXPECT_NEAR(rock.y, 300 + 100 + 60, 0.1);
    EXPECT_NEAR(std::fabs(rock.radius[3]), 52.5, 0.1);
    EXPECT_EQ(rock.spin[8], 0.0f);

    const auto commands = platform->mediacommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "play spawn from 0"), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), "status firebomb mode"), commands.end());
}

TEST_F(NextLevelTest, RockCountGrowsEveryLevelThenEveryOtherAndIsCapped) {
    const std::pair<int, int> levels[] = {{1, 1},   {2, 2},   {5, 5},      {7, 7},
                                          {8, 8},   {9, 9},   {10, 9},     {11, 10},
                                          {12, 10}, {13, 11}, {2000, 1000}};
    for (auto [level, count] : levels) {
        SCOPED_TRACE(level);
        sparks();
        random.push(0.99);  // standard field
        setup(level);
        EXPECT_EQ(game->bodies.count, count);
        const std::string caption = "Level " + std::to_string(level);
        EXPECT_EQ(game->lbllevel.caption, caption);
        EXPECT_NEAR(game->lbllevel.left, w() / 2 - game->window.textwidth(caption) / 2, 1e-9);
        for (int k = 1; k <= game->bodies.count; ++k) ASSERT_FALSE(coversship(k)) << k;
    }
}

TEST_F(NextLevelTest, OddLevelsFromNineEndWithASmallFourSidedRock) {
    sparks();
    random.push(0.99);
    for (int i = 0; i < 8; ++i) standardrock(8, 0.5);
    standardrock(4, 0.5, true);
    setup(9);
    EXPECT_EQ(random.pending(), 0u);
    ASSERT_EQ(game->bodies.count, 9);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(game->bodies[k].vertexcount, 8) << k;
    const Body& last = game->bodies[9];
    ASSERT_EQ(last.vertexcount, 4);
    for (int j = 1; j <= 4; ++j) EXPECT_NEAR(std::fabs(last.radius[j]), 24.95, 0.05) << j;
    // From level 7 on rocks move up to 2.5 units per frame on each axis.
    EXPECT_NEAR(last.vy, 1.25, 1e-6);
    EXPECT_NEAR(last.vx, -1.25, 1e-6);
}

TEST_F(NextLevelTest, OneRockInEightIsHalfSizedFlickeringOrLaterPulsing) {
    // Level 1: t x 8 of exactly 1 already gives the flickering rock.
    sparks();
    random.push(0.99);
    standardrock(8, 0.125);
    setup(1);
    EXPECT_EQ(game->bodies[1].type, BodyType::flickering);
    EXPECT_NEAR(std::fabs(game->bodies[1].radius[1]), 26.25, 0.1);

    // Level 7: the pulsing kind, with a random red fill.
    sparks();
    random.push(0.99);
    for (int i = 0; i < 7; ++i) {
        standardrock(8, 0.1);
        random.push(0.4);
    }
    setup(7);
    EXPECT_EQ(random.pending(), 0u);
    for (int k = 1; k <= 7; ++k) {
        const Body& rock = game->bodies[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(rock.type, BodyType::pulsing);
        EXPECT_EQ(rock.fillcolour, 102);
        EXPECT_EQ(rock.basecolour, red);
        EXPECT_EQ(rock.linecolour, 102);
        EXPECT_NEAR(std::fabs(rock.radius[5]), 26.25, 0.1);
    }
}

TEST_F(NextLevelTest, YellowFieldsFlickerPulseOrHunt) {
    for (int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        sparks();
        random.push(0.25, (kind + 0.5) / 6);  // a special layout, of this kind
        for (int i = 0; i < 3; ++i) {
            random.push(0.2, 0.8, 0.75, 0.25, 0.5);
            for (int j = 0; j < 8; ++j) random.push(0.5);
        }
        setup(3);
        EXPECT_EQ(random.pending(), 0u);
        ASSERT_EQ(game->bodies.count, 3);
        for (int k = 1; k <= 3; ++k) {
            const Body& rock = game->bodies[k];
            EXPECT_EQ(rock.vertexcount, 8);
            EXPECT_EQ(rock.type, static_cast<BodyType>(kind + 1));  // flickering, pulsing, hunting
            EXPECT_EQ(rock.state, 0);
            EXPECT_EQ(rock.fillcolour, yellow);
            EXPECT_EQ(rock.basecolour, red);
            EXPECT_EQ(rock.linecolour, white);
            EXPECT_NEAR(rock.vy, 0.75, 1e-6);
            EXPECT_NEAR(rock.vx, -0.75, 1e-6);
            EXPECT_NEAR(std::fabs(rock.radius[2]), kind == 0 ? 26.25 : 52.5, 0.1);
        }
    }
}

TEST_F(NextLevelTest, SingleDarkRockCoveringTheShipIsMovedUntilItDoesNot) {
    sparks();
    random.push(0.1, 3.5 / 6);
    random.push(0.5, 0.5, 0.75, 0.25, 0.5);  // dead centre
    random.push(0.5, 0.45);                  // still over the ship
    random.push(0.1, 0.1);
    setup(4);
    EXPECT_EQ(random.pending(), 0u);
    ASSERT_EQ(game->bodies.count, 1);
    const Body& rock = game->bodies[1];
    EXPECT_EQ(rock.vertexcount, 30);
    EXPECT_EQ(rock.type, BodyType::plain);
    EXPECT_EQ(rock.fillcolour, darkgrey);
    EXPECT_NEAR(std::fabs(rock.radius[7]), 150, 0.1);
    EXPECT_EQ(rock.x, static_cast<float>(0.1 * w()));
    EXPECT_EQ(rock.y, 60.0f);
    EXPECT_FALSE(coversship(1));
}

TEST_F(NextLevelTest, GiantRockDriftsSlowlyAndIsMovedOffTheShip) {
    sparks();
    random.push(0.1, 5.5 / 6);
    random.push(0.2, 0.8, 0.9, 0.3);
    random.push(0.1, 0.1);
    setup(5);
    EXPECT_EQ(random.pending(), 0u);
    ASSERT_EQ(game->bodies.count, 1);
    const Body& rock = game->bodies[1];
    EXPECT_EQ(rock.vertexcount, 30);
    EXPECT_EQ(rock.type, BodyType::flickering);
    EXPECT_NEAR(rock.vy, 0.4, 1e-6);
    EXPECT_NEAR(rock.vx, -0.2, 1e-6);
    EXPECT_EQ(rock.spin[30], static_cast<float>(3.1415 / 800));
    EXPECT_NEAR(std::fabs(rock.radius[1]), 250, 0.1);
    EXPECT_EQ(rock.x, static_cast<float>(0.1 * w()));
    EXPECT_FALSE(coversship(1));
}

TEST_F(NextLevelTest, TwelveStillShipShapedHunters) {
    // Leftovers of an earlier level must not make the new rocks turn.
    for (int k = 1; k <= 12; ++k)
        std::fill(std::begin(game->bodies[k].spin), std::end(game->bodies[k].spin), 0.3f);
    sparks();
    random.push(0.1, 4.5 / 6);
    for (int i = 1; i <= 12; ++i) random.push(0.2, 0.8, 0.75, 0.25, i / 13.0, 0.1);
    setup(3);
    EXPECT_EQ(random.pending(), 0u);
    ASSERT_EQ(game->bodies.count, 12);
    for (int k = 1; k <= 12; ++k) {
        const Body& rock = game->bodies[k];
        SCOPED_TRACE(k);
        EXPECT_EQ(rock.vertexcount, 5);
        EXPECT_EQ(rock.type, BodyType::hunting);
        EXPECT_EQ(rock.state, 0);
        EXPECT_EQ(rock.vx, 0.0f);
        EXPECT_EQ(rock.vy, 0.0f);
        EXPECT_EQ(rock.fillcolour, 65 + 256 * 65 + 65536 * 65);
        EXPECT_EQ(rock.linecolour, white);
        for (int j = 1; j <= 5; ++j) EXPECT_EQ(rock.spin[j], 0.0f);
        EXPECT_NEAR(rock.x, k / 13.0 * w(), 5);
        EXPECT_NEAR(rock.y, 60, 5);
    }
}
