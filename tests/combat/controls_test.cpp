// Ship controls: turning, wall bounces, the fire cadence, the key rows while the
// ship is in play or away, the weapon digits and the hyperspace jump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/gamefixture.h"

namespace {
constexpr int key_x = 88, key_r = 82, key_p = 80;

class Controls : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        Game& g = *game;
        shipinplay(g);
        g.ammo = {1, 0, 0, 3};
    }
    int played(const std::string& name) const {
        auto all = platform->mediacommands();
        return static_cast<int>(std::count(all.begin(), all.end(), "play " + name + " from 0"));
    }
};

TEST_F(Controls, TurnKeysCancelAndWallsHalveTheSpeed) {
    Game& g = *game;
    Body& s = g.bodies[0];
    g.Form_KeyDown(vk::left);
    g.Form_KeyDown(vk::right);
    g.shipupdate();
    EXPECT_NEAR(s.angle[1], 0.0f, 1e-6);  // back where it was, up to float rounding
    g.Form_KeyUp(vk::right);
    g.shipupdate();
    EXPECT_FLOAT_EQ(s.angle[1], static_cast<float>(-pi / 48));
    EXPECT_FLOAT_EQ(s.angle[2], static_cast<float>(fullturn / 3 - pi / 48));
    g.Form_KeyUp(vk::left);

    const float w = static_cast<float>(g.playfieldwidth());
    struct Case {
        const char* name;
        float x, y, vx, vy;  // just past a wall
        float endx, endy;    // after the bounce and one step
        float endvx, endvy;
        int bounces;
    } cases[] = {
        {"right, fast", w + 1, 300, 3, 0, w - 3 - 1.5f, 300, -1.5f, 0, 1},
        {"right, slow", w + 1, 300, 0.8f, 0, w - 0.8f - 0.4f, 300, -0.4f, 0, 0},
        {"left, fast", -1, 300, -3, 0, 4.5f, 300, 1.5f, 0, 1},
        {"bottom", 300, 601, 0, 2, 300, 597, 0, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform->clearmedia();
        s.x = c.x, s.y = c.y, s.vx = c.vx, s.vy = c.vy;
        g.shipupdate();
        EXPECT_FLOAT_EQ(s.x, c.endx);
        EXPECT_FLOAT_EQ(s.y, c.endy);
        EXPECT_FLOAT_EQ(s.vx, c.endvx);
        EXPECT_FLOAT_EQ(s.vy, c.endvy);
        EXPECT_EQ(played("bounce"), c.bounces);
    }
}

TEST_F(Controls, HeldSpaceFiresAtOnceThenEveryNinthFrame) {
    Game& g = *game;
    g.weapon = Weapon::gun;
    g.bodies[0].state = 250;
    std::vector<int> firing;
    for (int frame = 1; frame <= 30; ++frame) {
        g.Form_KeyDown(vk::space);  // the keyboard repeats while held
        g.shots.count = 0;
        g.shipupdate();
        if (g.shots.count == 1) firing.push_back(frame);
        if (frame == 1) {
            EXPECT_EQ(g.bodies[0].state, 1);  // firing drops the spawn shield
        }
    }
    EXPECT_EQ(firing, (std::vector<int>{1, 10, 19, 28}));

    // Released and pressed again, it fires on the very next frame.
    g.Form_KeyUp(vk::space);
    EXPECT_EQ(g.firestate, 0);
    g.shots.count = 0;
    g.shipupdate();
    EXPECT_EQ(g.shots.count, 0);
    g.Form_KeyDown(vk::space);
    g.shipupdate();
    EXPECT_EQ(g.shots.count, 1);
}

TEST_F(Controls, KeyRowsWhileTheShipIsAwayOrInPlay) {
    Game& g = *game;
    Body& s = g.bodies[0];

    // Away: no hyperspace and no self-destruct too early, but A-bombs still fly.
    g.respawntimer = 200;
    g.lives = 2;
    g.Form_KeyUp(vk::alt);
    g.Form_KeyUp(key_x);
    EXPECT_EQ(g.lives, 2);
    EXPECT_FLOAT_EQ(s.x, 300);
    EXPECT_EQ(g.particles.count, 0);
    EXPECT_EQ(played("hyperspace"), 0);
    g.Form_KeyUp(vk::control);
    EXPECT_EQ(g.ammo[3], 2);
    ASSERT_EQ(g.particles.count, 1);
    EXPECT_EQ(g.particles[1].type, ParticleType::abomb);
    EXPECT_EQ(played("abomblaunch"), 1);
    g.ammo[3] = 0;
    g.Form_KeyUp(vk::control);
    EXPECT_EQ(g.particles.count, 1);

    // Late in the countdown X spends a spare ship.
    g.respawntimer = 100;
    g.Form_KeyUp(key_x);
    EXPECT_EQ(g.lives, 1);

    // In play: hyperspace, the outline toggle and pause.
    g.respawntimer = 0;
    g.particles.count = 0;
    g.Form_KeyUp(vk::alt);
    EXPECT_EQ(played("hyperspace"), 1);
    EXPECT_EQ(g.particles.count, 25);
    g.Form_KeyUp(key_r);
    EXPECT_EQ(g.wireframe, 1);
    g.Form_KeyUp(key_r);
    EXPECT_EQ(g.wireframe, 0);
    g.Form_KeyUp(key_p);
    EXPECT_EQ(g.paused, -1);
    g.Form_KeyUp(key_p);
    EXPECT_EQ(g.paused, 0);
}

TEST_F(Controls, DigitsChooseOnlyWeaponsInStock) {
    Game& g = *game;
    g.ammo = {1, 0, 4, 0};
    struct Case {
        Weapon start;
        char digit;
        Weapon expected;
    } cases[] = {
        {Weapon::gun, '3', Weapon::missile},      // missiles in stock
        {Weapon::missile, '2', Weapon::missile},  // no laser charge: unchanged
        {Weapon::missile, '4', Weapon::missile},  // no A-bomb
        {Weapon::missile, '1', Weapon::gun},      // the gun is always there
        {Weapon::gun, '9', Weapon::gun},          // 5 to 9 have no stock
        {Weapon::gun, '0', Weapon::gun},          // not a weapon digit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digit);
        g.weapon = c.start;
        g.weaponkey(c.digit);
        EXPECT_EQ(g.weapon, c.expected);
    }
}

TEST_F(Controls, HyperspaceLandsAtTheDrawnPointWithTwentyFiveSparks) {
    Game& g = *game;
    Body& s = g.bodies[0];
    s.vx = 2;
    s.vy = -1;
    s.state = 40;
    random.push(0.25, 0.5);             // arrival
    random.push(0.0, 1.0 - 1e-9, 0.5);  // first spark: vx, vy, life 22.5 -> 22
    g.hyperspace(s);
    EXPECT_FLOAT_EQ(s.x, static_cast<float>(0.25 * g.playfieldwidth()));
    EXPECT_FLOAT_EQ(s.y, 300);
    EXPECT_EQ(s.vx, 0);
    EXPECT_EQ(s.vy, 0);
    EXPECT_EQ(s.state, 40);
    ASSERT_EQ(g.particles.count, 25);
    const Shot& p = g.particles[1];
    EXPECT_EQ(p.type, ParticleType::spark);
    EXPECT_FLOAT_EQ(p.x, s.x);
    EXPECT_FLOAT_EQ(p.vx, -2);
    EXPECT_NEAR(p.vy, 2, 1e-6);
    EXPECT_EQ(p.life, 22);
    EXPECT_EQ(p.life0, 22);
    for (int k = 2; k <= 25; ++k) {
        EXPECT_GE(g.particles[k].life, 15);
        EXPECT_LE(g.particles[k].life, 30);
    }
}

TEST_F(Controls, FlameTrailsTheShipAndShowsOnlyWhileThrusting) {
    Game& g = *game;
    Body& f = g.flame;
    f.vertexcount = 3;
    f.radius[2] = f.radius[3] = 4;
    f.angle[2] = 0.5f;
    f.angle[3] = -0.5f;
    f.radius[4] = 6;   // flicker amplitude
    f.radius[5] = 10;  // shortest length
    f.state = 8;
    g.bodies[0].angle[1] = 1;
    g.flamestep();
    EXPECT_EQ(f.state, 7);
    EXPECT_NEAR(f.angle[1], 1 + pi, 1e-5);
    EXPECT_NEAR(f.angle[2] - f.angle[1], 0.5, 1e-5);  // the shape turns as one
    EXPECT_FLOAT_EQ(f.radius[1], static_cast<float>(7 / 15.0 * 6 + 10));
    EXPECT_EQ(f.fillcolour, rgb(255, 119, 0));
    EXPECT_EQ(f.linecolour, rgb(255, 136, 0));

    // Not drawn unless thrusting: the window stays black at the flame's tip.
    auto tip = [&] {
        double a = f.angle[1], r = f.radius[1], s = g.pixelscale;
        return g.window.pixel(cint((f.x + std::cos(a) * r * 0.5) * s),
                              cint((f.y + std::sin(a) * r * 0.5) * s));
    };
    EXPECT_EQ(tip(), 0);
    g.keyup = -1;
    g.flamestep();
    EXPECT_NE(tip(), 0);
}
}  // namespace
