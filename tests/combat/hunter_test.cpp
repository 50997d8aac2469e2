// The hunter: its arrival every 1000 frames, its outline by level, its aim at
// the ship's next position, its wandering while the ship is gone, and the
// gentle start of a piece split off it.
#include <gtest/gtest.h>

#include <cmath>

#include "support/gamefixture.h"

namespace {
// A three-cornered type-3 body at (x, y) heading along +x, at rest.
Body& hunterat(Game& g, float x, float y, int16_t state = 0) {
    int16_t k = g.bodies.add();
    Body& b = g.bodies[k];
    b = Body{};
    b.type = BodyType::hunting;
    b.state = state;
    b.vertexcount = 3;
    b.radius[1] = 15;
    b.radius[2] = b.radius[3] = 10;
    b.angle[2] = static_cast<float>(fullturn / 3);
    b.angle[3] = static_cast<float>(2 * fullturn / 3);
    b.x = x;
    b.y = y;
    return b;
}
}  // namespace

using Hunter = GameFixture;

TEST_F(Hunter, ArrivesEvery1000FramesWhileAnyBodyIsLeft) {
    Game& g = *game;
    g.level = 1;
    // Nothing left: the timer never runs.
    for (int i = 0; i < 2000; ++i) g.huntertimerstep();
    EXPECT_EQ(g.huntertimer, 0);
    EXPECT_EQ(g.bodies.count, 0);

    // Only a hunter left: the next one still comes 1000 frames later.
    hunterat(g, 50, 50);
    for (int i = 1; i < 1000; ++i) g.huntertimerstep();
    EXPECT_EQ(g.bodies.count, 1);
    random.push(0.7, 0.2);  // right edge, top edge
    g.huntertimerstep();
    ASSERT_EQ(g.bodies.count, 2);
    EXPECT_EQ(g.huntertimer, 0);
    EXPECT_FLOAT_EQ(g.bodies[2].x, static_cast<float>(g.playfieldwidth()));
    EXPECT_FLOAT_EQ(g.bodies[2].y, 0);
}

TEST_F(Hunter, OutlineGrowsAFourthCornerFromLevel4AndStartsAtRest) {
    struct Case {
        int16_t level;
        int16_t vertices;
        float radii[4];
    } cases[] = {{3, 3, {15, 10, 10}}, {4, 4, {15, 10, 5, 10}}, {9, 4, {15, 10, 5, 10}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        Game& g = *game;
        g.level = c.level;
        g.bodies.count = 1;
        // The slot the hunter lands in held a fast, spinning fragment before.
        g.bodies[2].vx = 3;
        g.bodies[2].vy = -2;
        g.bodies[2].spin[1] = 0.5f;
        g.bodies[2].state = -40;
        g.huntertimer = 999;
        random.push(0.1, 0.9);  // left edge, bottom edge
        g.huntertimerstep();
        ASSERT_EQ(g.bodies.count, 2);
        const Body& h = g.bodies[2];
        EXPECT_EQ(h.type, BodyType::hunting);
        EXPECT_EQ(h.state, 0);
        EXPECT_EQ(h.fillstyle, 0);
        EXPECT_FLOAT_EQ(h.x, 0);
        EXPECT_FLOAT_EQ(h.y, 600);
        EXPECT_EQ(h.vx, 0);
        EXPECT_EQ(h.vy, 0);
        ASSERT_EQ(h.vertexcount, c.vertices);
        for (int j = 1; j <= c.vertices; ++j) {
            EXPECT_FLOAT_EQ(h.radius[j], c.radii[j - 1]);
            EXPECT_EQ(h.spin[j], 0);
        }
        EXPECT_EQ(h.angle[1], 0);  // the nose points along +x
        EXPECT_NEAR(h.angle[c.vertices], 12.566 / 3, 1e-6);
    }
}

TEST_F(Hunter, AimsAtTheShipsNextPositionWithExactQuarterTurns) {
    struct Case {
        const char* what;
        float shipx, shipy, shipvx;
        float heading;
        float spin;  // every spin after one step: a full-strength hunter keeps 0.8 of its turn
    } cases[] = {
        // Straight below: aim pi/2, just above the game's rounded quarter turn.
        {"below", 100, 200, 0, 1.57077f, 0.016f},
        // Straight above: aim -pi/2, so a heading of 0 turns anticlockwise.
        {"above", 100, 20, 0, 0, -0.016f},
        // The ship moves onto the hunter's column only on its next frame.
        {"next frame", 99, 20, 1, 0, -0.016f},
        // To the left: aim pi; a heading of -3 is below it and turns up to it.
        {"left", 20, 100, 0, -3, 0.016f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Game& g = *game;
        g.bodies.count = 0;
        g.respawntimer = 0;
        Body& ship = g.bodies[0];
        ship.x = c.shipx;
        ship.y = c.shipy;
        ship.vx = c.shipvx;
        ship.vy = 0;
        Body& h = hunterat(g, 100, 100);
        h.angle[1] = c.heading;
        random.push(0.5);
        g.huntersteer(h);
        EXPECT_EQ(h.fillcolour, rgb(0, 190, 0));  // 190.5 rounds to even
        EXPECT_EQ(h.linecolour, h.fillcolour);
        for (int j = 1; j <= 3; ++j) EXPECT_FLOAT_EQ(h.spin[j], c.spin);
        // Full thrust along the heading with 5 % drag.
        EXPECT_NEAR(h.vx, std::cos(c.heading) * 0.13 * 0.95, 1e-6);
        EXPECT_NEAR(h.vy, std::sin(c.heading) * 0.13 * 0.95, 1e-6);
    }
}

TEST_F(Hunter, WandersAtRandomWhileTheShipIsDestroyed) {
    Game& g = *game;
    g.respawntimer = 120;
    g.bodies[0].x = g.bodies[0].y = -500;
    Body& h = hunterat(g, 300, 300);
    for (int j = 1; j <= 3; ++j) h.spin[j] = 0.1f;
    h.angle[1] = 1;
    random.push(0.5, 0.75);  // colour, turn
    g.huntersteer(h);
    const double w = 0.75 * pi / 12 - pi / 24;
    EXPECT_NEAR(h.angle[1], 1 + w, 1e-6);
    EXPECT_NEAR(h.angle[2], fullturn / 3 + w, 1e-6);
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(h.spin[j], 0);
    // It keeps thrusting along its new heading.
    EXPECT_NEAR(h.vx, std::cos(1 + w) * 0.13 * 0.95, 1e-6);
    EXPECT_NEAR(h.vy, std::sin(1 + w) * 0.13 * 0.95, 1e-6);
}

TEST_F(Hunter, AFreshPieceKeepsItsMotionThenGrowsAggressive) {
    Game& g = *game;
    g.bodies[0].x = 500;
    g.bodies[0].y = 100;
    Body& piece = hunterat(g, 100, 100, 500);
    piece.vx = 1.5f;
    piece.vy = -0.5f;
    for (int j = 1; j <= 3; ++j) piece.spin[j] = 0.03f;
    g.huntersteer(piece);
    EXPECT_FLOAT_EQ(piece.vx, 1.5f);
    EXPECT_FLOAT_EQ(piece.vy, -0.5f);
    for (int j = 1; j <= 3; ++j) EXPECT_FLOAT_EQ(piece.spin[j], 0.03f);

    // Halfway through its shield it steers and thrusts at half strength.
    piece.state = 250;
    piece.angle[1] = -1;  // below the aim of 0
    g.huntersteer(piece);
    EXPECT_NEAR(piece.spin[1], (0.03 + 0.01) * 0.9, 1e-6);
    EXPECT_NEAR(piece.vx, (0.5 * std::cos(-1.0) * 0.13 + 1.5) * 0.975, 1e-5);
}
