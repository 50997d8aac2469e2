// The ship's explosion and return, the shattering of a flickering rock, the
// self-destruct blast and the protection blink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/gamefixture.h"

namespace {
constexpr int32_t blue = 0xFF0000, red = 0x0000FF, white = 0xFFFFFF;

// Where vertex j of a body lies on the playfield.
struct Spot {
    double x, y;
};
Spot vertexat(const Body& b, int j) {
    return {b.x + b.radius[j] * std::cos(b.angle[j]), b.y + b.radius[j] * std::sin(b.angle[j])};
}

bool played(const HeadlessPlatform& platform, const std::string& name) {
    auto commands = platform.mediacommands();
    return std::find(commands.begin(), commands.end(), "play " + name + " from 0") !=
           commands.end();
}

// A five-cornered ship at (100, 200) drifting right and up.
void fivecornership(Game& g) {
    Body& s = g.bodies[0];
    s = Body{};
    s.vertexcount = 5;
    for (int j = 1; j <= 5; ++j) {
        s.radius[j] = 10.0f + j;
        s.angle[j] = static_cast<float>(fullturn / 5 * (j - 1));
    }
    s.x = 100;
    s.y = 200;
    s.vx = 1;
    s.vy = -1;
    s.fillstyle = 1;
}

// A rock of four corners at (300, 300) whose vertex 1 lies at `radius1`.
void squarerock(Game& g, float radius1) {
    int16_t k = g.bodies.add();
    Body& r = g.bodies[k];
    r = Body{};
    r.vertexcount = 4;
    for (int j = 1; j <= 4; ++j) {
        r.radius[j] = j == 1 ? radius1 : 40.0f;
        r.angle[j] = static_cast<float>(quarterturn * (j - 1));
    }
    r.x = 300;
    r.y = 300;
    r.vx = 1;
    r.vy = 0.5f;
    r.type = BodyType::flickering;
    r.fillstyle = 1;
}
}  // namespace

using Destruction = GameFixture;

TEST_F(Destruction, ShipBreaksIntoOneBlueWedgePerEdgeAndAFlameBurst) {
    Game& g = *game;
    fivecornership(g);
    const Body ship = g.bodies[0];
    g.bodies.count = 2;                                         // two rocks already in play
    for (int i = 0; i < 5; ++i) random.push(0.25, 0.75, 0.75);  // vx, vy, spin of each wedge
    for (int i = 0; i < 25; ++i) random.push(0.5, 0.0, 0.5);    // vx, vy, life of each particle

    g.explodeship(1.0f);

    ASSERT_EQ(g.bodies.count, 7);
    for (int i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        const Body& w = g.bodies[2 + i];
        EXPECT_EQ(w.vertexcount, 3);
        EXPECT_EQ(w.state, -1);
        EXPECT_EQ(w.fillcolour, blue);
        EXPECT_EQ(w.linecolour, blue);
        EXPECT_EQ(w.type, BodyType::plain);
        EXPECT_EQ(w.fillstyle, 1);
        EXPECT_FLOAT_EQ(w.vx, -0.25f);  // the ship's own velocity is not added
        EXPECT_FLOAT_EQ(w.vy, 0.25f);
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(w.spin[j], pi / 48, 1e-6);
        // The wedge spans the ship's centre and one edge, wrapping after the last corner.
        Spot c = vertexat(w, 1), a = vertexat(w, 2), b = vertexat(w, 3);
        Spot ea = vertexat(ship, i), eb = vertexat(ship, i % 5 + 1);
        EXPECT_NEAR(c.x, ship.x, 1e-3);
        EXPECT_NEAR(c.y, ship.y, 1e-3);
        EXPECT_NEAR(a.x, ea.x, 1e-3);
        EXPECT_NEAR(a.y, ea.y, 1e-3);
        EXPECT_NEAR(b.x, eb.x, 1e-3);
        EXPECT_NEAR(b.y, eb.y, 1e-3);
    }
    ASSERT_EQ(g.particles.count, 25);
    EXPECT_EQ(g.shots.count, 0);
    for (int i = 1; i <= 25; ++i) {
        const Shot& p = g.particles[i];
        EXPECT_EQ(p.type, ParticleType::flame);
        EXPECT_FLOAT_EQ(p.x, 100);
        EXPECT_FLOAT_EQ(p.y, 200);
        EXPECT_FLOAT_EQ(p.vx, 1);   // 0.5 * 4 - 2 plus the ship's vx
        EXPECT_FLOAT_EQ(p.vy, -3);  // 0 * 4 - 2 plus the ship's vy
        EXPECT_EQ(p.life, 38);      // 38.5 rounds to even
        EXPECT_EQ(p.life0, 38);
    }
    EXPECT_FLOAT_EQ(g.bodies[0].x, -500);
    EXPECT_FLOAT_EQ(g.bodies[0].y, -500);
    EXPECT_EQ(g.bodies[0].vx, 0);
    EXPECT_EQ(g.bodies[0].vy, 0);
    EXPECT_EQ(g.respawntimer, 250);
    EXPECT_TRUE(played(*platform, "crash"));
}

TEST_F(Destruction, ExplosionsStopAddingWhenTheCollectionsAreFull) {
    Game& g = *game;
    fivecornership(g);
    g.bodies.count = 998;
    g.particles.count = 990;
    g.explodeship(1.0f);
    EXPECT_EQ(g.bodies.count, 1000);
    EXPECT_EQ(g.particles.count, 1000);

    g.bodies.count = 0;
    squarerock(g, 40);
    g.bodies.count = 999;  // the rock stays at index 1; one free slot
    g.bodies[999] = g.bodies[1];
    g.shatterrock(999);
    EXPECT_EQ(g.bodies.count, 1000);
    EXPECT_EQ(g.bodies[999].vertexcount, 2);
}

TEST_F(Destruction, TheLastShipsLossEndsTheGameOnThe250thFrame) {
    Game& g = *game;
    fivecornership(g);
    g.gamestate = GameState::play;
    g.lives = 0;
    g.setscore("0");
    g.nextlife = 50000;
    // A still rock in a corner keeps the level going while the wreck fades.
    int16_t k = g.bodies.add();
    Body& rock = g.bodies[k];
    rock.vertexcount = 3;
    for (int j = 1; j <= 3; ++j) {
        rock.radius[j] = 10;
        rock.angle[j] = static_cast<float>(fullturn / 3 * j);
    }
    rock.x = 700;
    rock.y = 550;
    rock.fillcolour = rock.linecolour = rock.basecolour = 0x808080;
    g.explodeship(1.0f);
    platform->setlastframe(400);
    EXPECT_FALSE(g.frameloop());
    EXPECT_EQ(platform->frame(), 250);
    EXPECT_EQ(g.respawntimer, 1);
}

TEST_F(Destruction, WithASpareShipTheShipReturnsToTheCentreOnFrame250) {
    Game& g = *game;
    fivecornership(g);
    g.lives = 1;
    g.explodeship(1.0f);
    g.particles.count = 0;
    g.firestate = 7;
    for (int frame = 1; frame < 250; ++frame) ASSERT_TRUE(g.shipstep());
    EXPECT_FLOAT_EQ(g.bodies[0].x, -500);
    for (int i = 0; i < 25; ++i) random.push(0.25, 0.5);  // direction, life of each spark

    ASSERT_TRUE(g.shipstep());

    const Body& s = g.bodies[0];
    EXPECT_EQ(g.lives, 0);
    EXPECT_EQ(g.respawntimer, 0);
    EXPECT_FLOAT_EQ(s.x, static_cast<float>(g.playfieldwidth() / 2));
    EXPECT_FLOAT_EQ(s.y, 300);
    EXPECT_EQ(s.vx, 0);
    EXPECT_EQ(s.state, 250);
    EXPECT_EQ(g.firestate, 0);
    EXPECT_TRUE(played(*platform, "spawn"));
    ASSERT_EQ(g.particles.count, 25);
    for (int i = 1; i <= 25; ++i) {
        const Shot& p = g.particles[i];
        EXPECT_EQ(p.type, ParticleType::spark);
        EXPECT_EQ(p.colour, white);
        EXPECT_FLOAT_EQ(p.x, s.x);
        EXPECT_NEAR(p.vx, std::cos(fullturn / 4) * 5, 1e-5);
        EXPECT_NEAR(p.vy, 5, 1e-5);
        EXPECT_EQ(p.life, 18);  // 17.5 rounds to even
        EXPECT_EQ(p.life0, 18);
    }
}

TEST_F(Destruction, RocksShatterIntoRedWedgesPushedAwayFromTheCentre) {
    struct Case {
        float radius1;
        double spinrange, push;
    } cases[] = {{250, pi / 80, 0.8}, {200, pi / 12, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.radius1);
        Game& g = *game;
        g.bodies.count = 0;
        g.particles.count = 0;
        squarerock(g, c.radius1);
        const Body rock = g.bodies[1];
        for (int i = 0; i < 4; ++i) random.push(0.75, 0.5, 0.25);  // spin, push x, push y
        for (int i = 0; i < 25; ++i) random.push(0.5, 0.5, 0.5);   // the flame burst
        g.shatterrock(1);

        ASSERT_EQ(g.bodies.count, 5);
        EXPECT_EQ(g.bodies[1].vertexcount, 2);  // the rock itself is left as a segment
        EXPECT_EQ(g.particles.count, 25);
        EXPECT_FLOAT_EQ(g.particles[1].vx, rock.vx);  // the burst drifts with the rock
        EXPECT_FLOAT_EQ(g.particles[1].vy, rock.vy);
        for (int i = 1; i <= 4; ++i) {
            SCOPED_TRACE(i);
            const Body& w = g.bodies[1 + i];
            EXPECT_EQ(w.vertexcount, 3);
            EXPECT_EQ(w.state, 10);
            EXPECT_EQ(w.type, BodyType::flickering);
            EXPECT_EQ(w.fillstyle, 1);
            EXPECT_EQ(w.fillcolour, red);
            EXPECT_EQ(w.basecolour, red);
            EXPECT_EQ(w.linecolour, red);
            for (int j = 1; j <= 3; ++j) EXPECT_NEAR(w.spin[j], c.spinrange / 4, 1e-6);
            Spot b = vertexat(w, 3), e = vertexat(rock, i % 4 + 1);
            EXPECT_NEAR(b.x, e.x, 1e-3);
            EXPECT_NEAR(b.y, e.y, 1e-3);
            double dx = w.x - rock.x, dy = w.y - rock.y, d = std::hypot(dx, dy);
            EXPECT_NEAR(w.vx, c.push * 0.5 * dx / d + rock.vx, 1e-5);
            EXPECT_NEAR(w.vy, c.push * 0.25 * dy / d + rock.vy, 1e-5);
        }
    }
}

TEST_F(Destruction, SelfDestructShowersShotsRingsSparksAndCostsTheShip) {
    Game& g = *game;
    fivecornership(g);
    for (int i = 0; i < 250; ++i) random.push(0.5, 0.25, 0.5);  // speed, direction, life
    g.selfdestruct();

    ASSERT_EQ(g.shots.count, 250);
    const Shot& s = g.shots[1];
    EXPECT_NEAR(s.vx, std::cos(fullturn / 4) * 5, 1e-5);
    EXPECT_NEAR(s.vy, std::sin(fullturn / 4) * 5, 1e-5);
    EXPECT_NEAR(s.x, 100 + s.vx, 1e-4);
    EXPECT_NEAR(s.y, 205, 1e-4);
    EXPECT_EQ(s.colour, white);
    EXPECT_EQ(s.life, 18);  // 18.5 rounds to even
    // 50 sparks in a ring, then the ship's own 25 flame particles.
    ASSERT_EQ(g.particles.count, 75);
    for (int k = 1; k <= 50; ++k) {
        const Shot& p = g.particles[k];
        ASSERT_EQ(p.type, ParticleType::spark);
        EXPECT_NEAR(p.vx, std::cos(fullturn / 50 * k) * 5, 1e-5);
        EXPECT_NEAR(p.vy, std::sin(fullturn / 50 * k) * 5, 1e-5);
        EXPECT_EQ(p.life, 35);
        EXPECT_EQ(p.colour, white);
    }
    EXPECT_EQ(g.particles[51].type, ParticleType::flame);
    EXPECT_EQ(g.bodies.count, 5);
    for (int i = 1; i <= 5; ++i) EXPECT_LE(std::fabs(g.bodies[i].vx), 2.5f);
    EXPECT_EQ(g.respawntimer, 250);
    EXPECT_TRUE(played(*platform, "\\explosion.wav"));

    // With the shot list nearly full the shower is cut short, never overrun.
    g.shots.count = 900;
    g.selfdestruct();
    EXPECT_EQ(g.shots.count, 1000);
}

TEST_F(Destruction, ProtectionBlinkPulsesTheFillOverTheBaseColour) {
    struct Case {
        int16_t state;
        int32_t base, fill;
    } cases[] = {
        {250, blue, 36 + 256 * 36 + 65536 * 255},             // 5 of 35: a faint grey over blue
        {34, blue, 248 + 256 * 248 + 65536 * 255},            // near the top of the pulse
        {35, blue, blue},                                     // back to the base colour
        {34, 255 + 256 * 10, 255 + 256 * 248 + 65536 * 248},  // a bright channel stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        Body& s = game->bodies[0];
        s.state = c.state;
        s.basecolour = c.base;
        game->protectionblink();
        EXPECT_EQ(s.fillcolour, c.fill);
        EXPECT_EQ(s.state, c.state - 1);
    }
}
