// The four weapons, the laser line's fade, the shot and particle passes, the
// homing missile, the A-bomb and the shot's kite.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/gamefixture.h"

namespace {
constexpr int32_t white = 0xFFFFFF;

class Weapons : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        Game& g = *game;
        shipinplay(g);
        g.ammo = {1, 0, 0, 0};
        g.laserbeam.vertexcount = 2;
        g.laserbeam.fillstyle = 1;
        g.laserbeam.fillcolour = g.laserbeam.linecolour = -1;
    }
    int played(const std::string& name) const {
        auto all = platform->mediacommands();
        return static_cast<int>(std::count(all.begin(), all.end(), "play " + name + " from 0"));
    }
    // A square rock of half-diagonal 20 at (x, y).
    int addrock(float x, float y, int16_t state = 0) {
        int16_t k = game->bodies.add();
        Body& r = game->bodies[k];
        r = Body{};
        r.vertexcount = 4;
        for (int j = 1; j <= 4; ++j) {
            r.radius[j] = 20;
            r.angle[j] = static_cast<float>(quarterturn * (j - 1) + 0.785375);
        }
        r.x = x;
        r.y = y;
        r.state = state;
        r.fillcolour = r.linecolour = r.basecolour = 0x808080;
        return k;
    }
};

TEST_F(Weapons, GunFiresUpToFourShotsWithTheirOwnSounds) {
    Game& g = *game;
    g.weapon = Weapon::gun;
    g.bodies[0].vx = 1;
    for (int k = 0; k < 4; ++k) {
        g.fireweapon();
        EXPECT_EQ(g.shots.count, k + 1);
        EXPECT_EQ(played("fire" + std::to_string(k + 1)), 1);
    }
    const Shot& s = g.shots[1];
    EXPECT_FLOAT_EQ(s.vx, 9);
    EXPECT_FLOAT_EQ(s.x, 309);
    EXPECT_FLOAT_EQ(s.y, 300);
    EXPECT_EQ(s.life, 45);
    EXPECT_EQ(s.colour, white);
    platform->clearmedia();
    g.fireweapon();
    EXPECT_EQ(g.shots.count, 4);
    EXPECT_TRUE(platform->mediacommands().empty());
}

TEST_F(Weapons, LaserSpendsAChargeAndItsLineFades) {
    Game& g = *game;
    g.weapon = Weapon::laser;
    g.fireweapon();  // no charge: nothing at all
    EXPECT_EQ(g.shots.count, 0);
    EXPECT_EQ(g.laserbeam.fillcolour, -1);
    EXPECT_EQ(played("laser"), 0);

    g.ammo[1] = 1;
    g.lasercharge.tag = 280;
    g.fireweapon();
    EXPECT_EQ(g.ammo[1], 0);
    EXPECT_EQ(g.lasercharge.tag, 235);
    EXPECT_EQ(played("laser"), 1);
    ASSERT_EQ(g.shots.count, 120);
    EXPECT_FLOAT_EQ(g.shots[1].x, 310);
    EXPECT_FLOAT_EQ(g.shots[120].x, 1500);
    EXPECT_FLOAT_EQ(g.shots[120].vx, 10);  // the dots move by the nose distance
    EXPECT_EQ(g.shots[120].life, 2);
    EXPECT_FLOAT_EQ(g.laserbeam.radius[1], 1200);
    EXPECT_FLOAT_EQ(g.laserbeam.radius[2], 10);

    std::vector<int32_t> fade;
    for (int frame = 0; frame < 13; ++frame) {
        g.laserbeamstep();
        fade.push_back(g.laserbeam.fillcolour);
        EXPECT_EQ(g.laserbeam.linecolour, g.laserbeam.fillcolour);
    }
    EXPECT_EQ(fade, (std::vector<int32_t>{178, 125, 88, 62, 43, 30, 21, 15, 10, 0, -1, -1, -1}));
}

TEST_F(Weapons, MissileNeedsARockAndComesHomeWhenTheRocksAreGone) {
    Game& g = *game;
    g.weapon = Weapon::missile;
    g.ammo[2] = 2;
    g.fireweapon();  // nothing to chase
    EXPECT_EQ(g.particles.count, 0);
    EXPECT_EQ(g.ammo[2], 2);

    addrock(500, 300);
    random.push(0.3);  // target round(1.3) = 1
    g.fireweapon();
    EXPECT_EQ(played("\\missleFire.wav"), 1);
    EXPECT_EQ(played("missile"), 1);
    EXPECT_EQ(g.ammo[2], 1);
    ASSERT_EQ(g.particles.count, 1);
    EXPECT_EQ(g.particles[1].type, ParticleType::missile);
    EXPECT_EQ(g.particles[1].target, 1);
    EXPECT_EQ(g.particles[1].life, 1150);

    // The rock vanishes; the missile turns round and is caught by the ship.
    g.bodies.count = 0;
    g.bodies[0].x = 200;
    int frames = 0;
    while (g.particles.count > 0 && frames < 1150) {
        g.particlepass();
        ++frames;
    }
    EXPECT_LT(frames, 400);
    EXPECT_EQ(g.ammo[2], 2);
    EXPECT_EQ(g.shots.count, 0);  // caught, not burst
}

TEST_F(Weapons, ABombStopsFlashesThenBlastsEverythingItsGridReaches) {
    Game& g = *game;
    g.ammo[3] = 1;
    g.weapon = Weapon::abomb;
    g.bodies[0].vx = 2;
    g.fireweapon();
    EXPECT_EQ(g.ammo[3], 0);
    EXPECT_EQ(played("abomblaunch"), 1);
    ASSERT_EQ(g.particles.count, 1);
    Shot& b = g.particles[1];
    EXPECT_FLOAT_EQ(b.vx, -3);  // thrown backwards on top of the ship's speed
    EXPECT_FLOAT_EQ(b.x, 297);

    platform->clearmedia();
    float stopx = 0;
    for (int frame = 1; frame <= 125; ++frame) {
        g.particlepass();
        if (b.life == 45) {
            ASSERT_EQ(g.particles.count, 1);
            EXPECT_EQ(b.vx, 0);
            EXPECT_EQ(b.vy, 0);
            stopx = b.x;
            // Where it stands: a shielded rock in the blast's reach, another out of it.
            addrock(b.x + 100, b.y, 10);
            addrock(b.x, b.y + 290);
        }
        if (b.life == 40) {
            EXPECT_FLOAT_EQ(b.x, stopx);
        }
        if (b.life == 31 || b.life == 30) {
            EXPECT_EQ(played("abomb"), b.life == 30 ? 1 : 0);
        }
    }
    EXPECT_EQ(g.particles.count, 0);
    EXPECT_EQ(played("abomb"), 1);
    // The near rock is gone to pieces; the far one is whole.
    int whole = 0;
    for (int k = 1; k <= g.bodies.count; ++k) {
        if (g.bodies[k].vertexcount == 4) ++whole;
    }
    EXPECT_GT(g.bodies.count, 2);
    EXPECT_EQ(whole, 1);
}

TEST_F(Weapons, SpentRecordsLeaveTheListsInTheirOwnWays) {
    Game& g = *game;
    // Shots: the shot moved into a freed slot waits for the next frame.
    const int16_t lives[] = {0, 5, 0};
    for (int16_t life : lives) g.shots[g.shots.add()].life = life;
    g.shotpass();
    ASSERT_EQ(g.shots.count, 2);
    EXPECT_EQ(g.shots[1].life, 0);  // the last shot, copied over the first
    EXPECT_EQ(g.shots[1].colour, 0);
    EXPECT_EQ(g.shots[2].life, 4);
    EXPECT_EQ(g.shots[2].colour, rgb(102, 102, 102));  // greying out
    g.shotpass();
    ASSERT_EQ(g.shots.count, 1);
    EXPECT_EQ(g.shots[1].life, 3);

    // Particles: every spent one goes at once.
    for (int16_t life : {1, 1, 5, 1}) {
        Shot& p = g.particles[g.particles.add()];
        p = Shot{};
        p.type = ParticleType::spark;
        p.life = p.life0 = life;
    }
    g.particlepass();
    ASSERT_EQ(g.particles.count, 1);
    EXPECT_EQ(g.particles[1].life, 4);
    EXPECT_EQ(g.particles[1].colour, rgb(0, 254, 254));  // 4/5 of 255, plus 50
}

TEST_F(Weapons, FullListsDropNewRecordsAndKeepTheStock) {
    Game& g = *game;
    g.shots.count = 990;
    g.ammo[1] = 1;
    g.weapon = Weapon::laser;
    g.fireweapon();
    EXPECT_EQ(g.shots.count, 1000);
    EXPECT_FLOAT_EQ(g.shots[1000].x, 400);  // the first ten dots made it

    addrock(500, 500);
    g.particles.count = 1000;
    g.ammo[2] = 1;
    g.ammo[3] = 1;
    g.weapon = Weapon::missile;
    g.fireweapon();
    g.weapon = Weapon::abomb;
    g.fireweapon();
    g.Form_KeyUp(vk::control);
    g.hyperspace(g.bodies[0]);
    EXPECT_EQ(g.particles.count, 1000);
    EXPECT_EQ(g.ammo[2], 1);
    EXPECT_EQ(g.ammo[3], 1);
}

TEST_F(Weapons, ShotKitePointsAlongItsFlight) {
    Game& g = *game;
    // A still shot points right; one falling straight down points down.
    Shot s;
    s.x = 100;
    s.y = 100;
    s.colour = white;
    g.drawmissile(s);
    int px = cint(100 * g.pixelscale), py = px;
    EXPECT_EQ(g.window.pixel(px + 2, py), white);
    EXPECT_EQ(g.window.pixel(px - 2, py), 0);
    g.erasemissile(s);
    EXPECT_EQ(g.window.pixel(px + 2, py), 0);

    s.vy = 3;
    g.drawmissile(s);
    EXPECT_EQ(g.window.pixel(px, py + 2), white);
    EXPECT_EQ(g.window.pixel(px, py - 4), white);  // the tail, 6 pixels long
    EXPECT_EQ(g.window.pixel(px, py - 8), 0);
    EXPECT_DOUBLE_EQ(ArcSin(1), 1.57075);
}
}  // namespace
