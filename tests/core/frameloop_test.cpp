// The game frame's timing and the rock pass's motion rules.
#include <gtest/gtest.h>

#include "support/gamefixture.h"

TEST_F(GameFixture, FramePeriodIsAnEightiethOfTheFrequency) {
    platform->tickstep = 7;  // counter readings 7 ticks apart
    int64_t start = platform->counter();
    game->waitframe(start, 80);
    int64_t period = cint(static_cast<double>(game->frequency) / 80);
    int64_t end = platform->counter() - platform->tickstep;  // the reading that ended the wait
    EXPECT_GT(end, start + period);
    EXPECT_LE(end, start + period + platform->tickstep);
    // A frame that already took longer than its period does not wait at all.
    int64_t late = platform->counter() - 2 * period;
    int64_t before = platform->counter();
    game->waitframe(late, 80);
    EXPECT_EQ(platform->counter() - before, 2 * platform->tickstep);
}

TEST_F(GameFixture, RocksBounceOffTheEdgesByTheirCentreKeepingTheirSpeed) {
    float w = static_cast<float>(game->playfieldwidth());
    struct Case {
        float x, y, vx, vy;
        float ex, ey, evx, evy;
    } cases[] = {
        {w + 3, 300, 2, 0, w - 2, 300, -2, 0},  // past the right edge: put at W, reversed
        {-1, 300, -1.5f, 0, 1.5f, 300, 1.5f, 0},
        {100, 601, 0, 4, 100, 596, 0, -4},
        {100, -0.5f, 0, -1, 100, 1, 0, 1},
        {100, 100, 1, 1, 101, 101, 1, 1},  // inside: plain motion, 80 units a second at 1 per frame
    };
    for (const auto& c : cases) {
        game->bodies.count = 1;
        Body& b = game->bodies[1];
        b = Body{};
        b.vertexcount = 3;
        b.radius[1] = b.radius[2] = b.radius[3] = 5;
        b.angle[2] = 2;
        b.angle[3] = 4;
        b.spin[1] = b.spin[2] = b.spin[3] = 0.25f;
        b.fillcolour = b.linecolour = 0x808080;
        b.x = c.x;
        b.y = c.y;
        b.vx = c.vx;
        b.vy = c.vy;
        game->bodystep(1);
        EXPECT_FLOAT_EQ(b.x, c.ex);
        EXPECT_FLOAT_EQ(b.y, c.ey);
        EXPECT_FLOAT_EQ(b.vx, c.evx);
        EXPECT_FLOAT_EQ(b.vy, c.evy);
        EXPECT_FLOAT_EQ(b.angle[2], 2.25f);  // every vertex turns by its spin
    }
}

TEST_F(GameFixture, HuntingBodiesDoNotBounce) {
    game->bodies.count = 1;
    Body& b = game->bodies[1];
    b.type = BodyType::hunting;
    b.vertexcount = 2;
    b.x = 2000;
    b.vx = 1;
    game->bodystep(1);
    EXPECT_FLOAT_EQ(b.x, 2001);
}

TEST_F(GameFixture, HitFlashFadesFromWhiteToTheBaseColour) {
    game->bodies.count = 1;
    Body& b = game->bodies[1];
    b.vertexcount = 2;
    b.basecolour = rgb(100, 50, 0);
    b.fillcolour = 0x500000;
    b.state = 10;
    game->hitflash(b);
    EXPECT_EQ(b.linecolour, rgb(255, 255, 255));
    b.state = 5;
    game->hitflash(b);
    EXPECT_EQ(b.linecolour,
              rgb(178, 152, 128));  // halves round to even: 177.5 -> 178, 127.5 -> 128
    b.state = 1;
    game->hitflash(b);
    EXPECT_EQ(b.linecolour, b.basecolour);
}

TEST_F(GameFixture, LevelEndWaitsForHomingMissilesButNotForBombs) {
    game->bodies.count = 0;
    game->powerups.count = 0;
    game->particles.count = 2;
    game->particles[1].type = ParticleType::abomb;
    game->particles[2].type = ParticleType::missile;
    EXPECT_FALSE(game->levelended());
    game->particles.count = 1;
    EXPECT_TRUE(game->levelended());
    game->powerups.count = 1;
    EXPECT_FALSE(game->levelended());
}
