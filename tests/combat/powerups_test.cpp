// Power-ups: what a drop becomes, how it slows and bounces, what picking it up
// gives, and the squares that erase it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/gamefixture.h"

namespace {
bool played(const HeadlessPlatform& platform, const std::string& name) {
    auto commands = platform.mediacommands();
    return std::find(commands.begin(), commands.end(), "play " + name + " from 0") !=
           commands.end();
}

Powerup& place(Game& g, PowerupKind kind, int16_t amount, float x, float y) {
    int16_t k = g.powerups.add();
    Powerup& p = g.powerups[k];
    p = Powerup{};
    p.kind = kind;
    p.amount = amount;
    p.life = 500;
    p.x = x;
    p.y = y;
    return p;
}
}  // namespace

using Powerups = GameFixture;

TEST_F(Powerups, DropRollsTheKindAndTheValueByLevel) {
    struct Case {
        int16_t level;
        double roll, second;
        PowerupKind kind;
        int16_t amount, life;
    } cases[] = {
        {1, 0.0, 0.0, PowerupKind::points, 1000, 500},    // rolls 1 to 9 give points
        {1, 0.84, 0.99, PowerupKind::points, 3000, 500},  // 3000 at most before level 6
        {5, 0.5, 0.99, PowerupKind::points, 3000, 500},
        {6, 0.5, 0.99, PowerupKind::points, 4000, 500},
        {7, 0.5, 0.99, PowerupKind::points, 4000, 500},
        {8, 0.5, 0.99, PowerupKind::points, 5000, 500},
        {1, 0.9, 0.0, PowerupKind::laser, 45, 700},      // a roll of 10 gives a weapon: laser,
        {1, 0.9, 0.75, PowerupKind::missiles, 30, 700},  // missiles (2.5 rounds to even),
        {1, 0.95, 0.76, PowerupKind::abomb, 1, 700},     // an A-bomb (10.5 rounds to 10)
        {1, 0.96, 0.0, PowerupKind::spareship, 1, 700},  // the top roll of 11 gives a spare ship
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.level << " " << c.roll << " " << c.second);
        Game& g = *game;
        g.powerups.count = 0;
        g.powerups[1].kind =
            PowerupKind::missiles;  // stale contents of a used slot must not leak through
        g.level = c.level;
        random.push(c.roll, c.second);
        g.droppowerup(10, 20, 1.5f, -2);
        ASSERT_EQ(g.powerups.count, 1);
        const Powerup& p = g.powerups[1];
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.amount, c.amount);
        EXPECT_EQ(p.life, c.life);
        EXPECT_FLOAT_EQ(p.x, 10);
        EXPECT_FLOAT_EQ(p.vy, -2);
        while (random.pending() > 0) random.next();
    }
    game->powerups.count = 1000;
    game->droppowerup(0, 0, 0, 0);  // a full list drops nothing
    EXPECT_EQ(game->powerups.count, 1000);
}

TEST_F(Powerups, DragSlowsFastPowerupsMoreAndWallsTurnThemBack) {
    Game& g = *game;
    g.bodies[0].x = g.bodies[0].y = -500;  // the ship is far away
    const float w = static_cast<float>(g.playfieldwidth());
    struct Case {
        float x, vx;
        float keptspeed;  // fraction of the speed left after one frame
    } cases[] = {{300, 5, 0.848f}, {300, 1, 0.992f}, {300, 10, 0.848f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vx);
        g.powerups.count = 0;
        Powerup& p = place(g, PowerupKind::laser, 45, c.x, 100);
        p.vx = c.vx;
        g.poweruppass();
        EXPECT_NEAR(p.vx, c.vx * c.keptspeed, 1e-5);
        EXPECT_NEAR(p.x, c.x + p.vx, 1e-4);
        EXPECT_EQ(p.life, 499);
    }
    // Past the right edge it comes back inside, moving left.
    g.powerups.count = 0;
    Powerup& p = place(g, PowerupKind::laser, 45, w + 1, 100);
    p.vx = 2;
    g.poweruppass();
    EXPECT_LT(p.x, w);
    EXPECT_LT(p.vx, 0);
}

TEST_F(Powerups, PickupsGiveTheirStockWithCapsAndSounds) {
    struct Case {
        Weapon kind;
        int16_t amount;
        int16_t stock;  // in the matching slot before
        Weapon weaponafter;
        int16_t stockafter;
        const char* sound;
    } cases[] = {
        {Weapon::laser, 45, 40, Weapon::laser, 72, "getweapon"},  // 85 capped at 72, laser selected
        {Weapon::missile, 30, 50, Weapon::missile, 72, "getweapon"},
        {Weapon::missile, 30, 10, Weapon::missile, 40, "getweapon"},
        {Weapon::abomb, 1, 80, Weapon::gun, 81,
         "getweapon"},  // A-bombs have no cap and keep the weapon
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(weaponindex(c.kind));
        Game& g = *game;
        platform->clearmedia();
        g.weapon = Weapon::gun;
        g.lasercharge.tag = 0;
        g.stock(c.kind) = c.stock;
        Powerup p{};
        p.kind = static_cast<PowerupKind>(c.kind);  // the weapons share their numbers
        p.amount = c.amount;
        g.pickup(p);
        EXPECT_EQ(g.weapon, c.weaponafter);
        EXPECT_EQ(g.stock(c.kind), c.stockafter);
        EXPECT_EQ(g.lasercharge.tag, c.kind == Weapon::laser ? 280 : 0);
        EXPECT_TRUE(played(*platform, c.sound));
    }
    game->lives = 2;
    Powerup ship{};
    ship.kind = PowerupKind::spareship;
    ship.amount = 1;
    platform->clearmedia();
    game->pickup(ship);
    EXPECT_EQ(game->lives, 3);
    EXPECT_TRUE(platform->mediacommands().empty());
}

TEST_F(Powerups, FlyingOverAPointsPowerupScoresItAndRemovesIt) {
    Game& g = *game;
    g.setscore("0");
    g.bodies[0].x = 200;
    g.bodies[0].y = 200;
    place(g, PowerupKind::points, 3000, 214, 186);  // just inside the 15-unit square
    place(g, PowerupKind::abomb, 1, 216, 200);      // just outside it
    g.poweruppass();
    EXPECT_EQ(g.powerups.count, 1);
    EXPECT_EQ(g.powerups[1].kind, PowerupKind::abomb);
    EXPECT_EQ(g.score(), 3000);
    EXPECT_TRUE(played(*platform, "get3"));
}

TEST_F(Powerups, ExpiredPowerupsAreAllRemovedInOnePass) {
    Game& g = *game;
    g.bodies[0].x = g.bodies[0].y = -500;
    for (int i = 0; i < 4; ++i)
        place(g, PowerupKind::laser, 45, 100.0f + 40 * i, 100).life = (i % 2 == 0) ? 1 : 9;
    g.poweruppass();
    ASSERT_EQ(g.powerups.count, 2);
    EXPECT_EQ(g.powerups[1].life, 8);
    EXPECT_EQ(g.powerups[2].life, 8);
}

TEST_F(Powerups, PointsPowerupColoursByAmount) {
    struct Case {
        int16_t amount, life;
        int32_t colour;
    } cases[] = {
        // r = 0.5 at full brightness: a = 165, top = 330
        {1000, 500, rgb(165, 41, 0)},
        {2000, 500, rgb(165, 165, 165)},
        {3000, 500, rgb(165, 165, 0)},
        {4000, 510, rgb(134, 42, 134)},  // a = 168, top = 335, 10 of 25 frames
        {5000, 507, rgb(0, 234, 255)},   // 7 of 10 frames of top 334; blue clamps
        {3000, 100, rgb(63, 63, 0)},     // darkening: v = 51, a = 63
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.amount);
        Game& g = *game;
        g.powerups.count = 0;
        Powerup& p = place(g, PowerupKind::points, c.amount, 100, 100);
        p.life = c.life;
        random.push(0.5);
        g.drawpowerup(1);
        EXPECT_EQ(g.window.fillcolour(), c.colour);
        EXPECT_EQ(g.window.linecolour(), c.colour);
        EXPECT_EQ(g.window.fillstyle(), 0);
    }
}

TEST_F(Powerups, EraseSquaresAreSizedByKind) {
    Game& g = *game;
    const double s = g.pixelscale;
    struct Case {
        PowerupKind kind;
        double back, side;  // corner offset and side, in units
    } cases[] = {{PowerupKind::points, 3, 8},     {PowerupKind::laser, 2, 30},
                 {PowerupKind::missiles, 2, 30},  {PowerupKind::abomb, 2, 30},
                 {PowerupKind::spareship, 2, 30}, {static_cast<PowerupKind>(7), 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        g.window.fillrect(0, 0, g.playfieldwidth(), 600, 0xFFFFFF);
        g.powerups.count = 0;
        place(g, c.kind, 1, 100, 100);
        g.erasepowerup(1);
        if (c.side == 0) {
            EXPECT_EQ(g.window.pixel(cint(100 * s), cint(100 * s)), 0xFFFFFF);
            continue;
        }
        int corner = cint((100 - c.back) * s), side = cint(c.side * s);
        EXPECT_EQ(g.window.pixel(corner, corner), 0);
        EXPECT_EQ(g.window.pixel(corner + side - 1, corner + side - 1), 0);
        EXPECT_EQ(g.window.pixel(corner + side, corner), 0xFFFFFF);
        EXPECT_EQ(g.window.pixel(corner - 1, corner), 0xFFFFFF);
    }
}
