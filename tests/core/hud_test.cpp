// The score as text, the extra ships, the score flash and the HUD strip as the
// player sees it on the window image.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/gamefixture.h"

namespace {
// The brightest pixel in a rectangle: the colour of fully covered text there.
int32_t brightest(const Surface& s, int x0, int y0, int x1, int y1) {
    int32_t best = 0;
    int bestsum = -1;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int32_t c = s.pixel(x, y);
            int sum = redof(c) + greenof(c) + blueof(c);
            if (sum > bestsum) {
                bestsum = sum;
                best = c;
            }
        }
    }
    return best;
}

std::string slashes(int n) {
    return std::string(static_cast<size_t>(n), '/');
}
}  // namespace

TEST_F(GameFixture, ScoreIsTextAndEveryChangeStartsAFlash) {
    Game& g = *game;
    g.setscore("49990");
    EXPECT_EQ(g.lblscore.tag, "255");
    g.lblscore.tag = "-5";
    g.addscore(10);
    EXPECT_EQ(g.lblscore.caption, "50000");
    EXPECT_EQ(g.lblscore.tag, "255");
    g.lblscore.tag = "-5";
    g.setscore("50000");  // the same caption is no change
    EXPECT_EQ(g.lblscore.tag, "-5");

    // Past the 32-bit range the sum is still exact.
    g.setscore("2147480000");
    g.addscore(5000);
    EXPECT_EQ(g.lblscore.caption, "2147485000");

    struct Case {
        const char* caption;
        double value;
    } cases[] = {{"0", 0},   {"1234", 1234}, {" 77", 77}, {"12abc", 12},
                 {"abc", 0}, {"", 0},        {"-40", -40}};
    for (const auto& c : cases) {
        g.lblscore.caption = c.caption;
        EXPECT_EQ(g.score(), c.value) << c.caption;
    }

    g.setlevelcaption("Level 3");
    EXPECT_EQ(g.lbllevel.caption, "Level 3");
    EXPECT_EQ(g.lbllevel.tag, "255");
}

TEST_F(GameFixture, ExtraShipsComeAtMostOnePerFrame) {
    Game& g = *game;
    g.lives = 3;
    g.nextlife = 50000;
    g.setscore("49990");
    g.extraship();
    EXPECT_EQ(g.lives, 3);
    EXPECT_EQ(g.nextlife, 50000);

    g.setscore("150000");
    int expectedlives[] = {4, 5, 5};
    int32_t expectednext[] = {100000, 200000, 200000};
    for (int frame = 0; frame < 3; ++frame) {
        g.extraship();
        EXPECT_EQ(g.lives, expectedlives[frame]) << frame;
        EXPECT_EQ(g.nextlife, expectednext[frame]) << frame;
    }
    auto commands = platform->mediacommands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "play 1up from 0"), 2);

    // Past 100000 every further ship needs another 100000.
    g.setscore("300000");
    g.extraship();
    EXPECT_EQ(g.nextlife, 300000);
    g.extraship();
    EXPECT_EQ(g.nextlife, 400000);
}

TEST_F(GameFixture, ScoreFlashesWhiteAndSettlesToBlue) {
    Game& g = *game;
    g.ammo = {1, 0, 0, 0};
    g.weapon = Weapon::gun;
    g.setscore("8");
    g.drawhud();
    // The score's digit sits in the first few units of the strip.
    EXPECT_EQ(brightest(platform->surface(), 0, 0, 12, 20), rgb(255, 255, 255));

    std::vector<std::string> tags;
    for (int frame = 0; frame < 27; ++frame) {
        g.scoreflash();
        tags.push_back(g.lblscore.tag);
    }
    EXPECT_EQ(tags[0], "245");
    EXPECT_EQ(tags[24], "5");
    EXPECT_EQ(tags[25], "-5");
    EXPECT_EQ(tags[26], "-5");

    g.lblscore.tag = "255";
    for (int frame = 0; frame < 26; ++frame) g.scoreflash();
    g.drawhud();
    EXPECT_EQ(brightest(platform->surface(), 0, 0, 12, 20), rgb(5, 5, 255));
}

TEST_F(GameFixture, EmptyWeaponsFallBackToTheNextLowerOne) {
    struct Case {
        Weapon weapon;
        std::array<int16_t, 4> ammo;
        Weapon shown;
        const char* name;
    } cases[] = {
        {Weapon::laser,
         {1, 0, 0, 3},
         Weapon::gun,
         "Gun"},  // a new game starts with the gun on show
        {Weapon::abomb, {1, 5, 0, 0}, Weapon::laser, "Laser"},
        {Weapon::missile, {1, 0, 9, 2}, Weapon::missile, "Missile"},
        {Weapon::abomb, {1, 0, 4, 2}, Weapon::abomb, "A-Bomb"},
        {Weapon::missile, {1, 7, 0, 2}, Weapon::laser, "Laser"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        game->weapon = c.weapon;
        std::copy(c.ammo.begin(), c.ammo.end(), game->ammo.begin());
        game->drawhud();
        EXPECT_EQ(game->weapon, c.shown);
        EXPECT_EQ(game->lblweapon.caption, c.name);
    }
}

// The stock bars are compared with the same text printed on a second image,
// right of the score, ships and weapon name, where only the bars reach.
TEST_F(GameFixture, StockBarsCapAt73SlashesAndThenShowTheNumber) {
    const double s = game->pixelscale;
    Surface& shown = platform->surface();
    const int left = cint(140 * s);
    struct Case {
        Weapon weapon;
        int16_t stock;
        std::string bar;
    } cases[] = {
        {Weapon::missile, 72, slashes(72)},
        {Weapon::missile, 80, slashes(73) + " 80"},
        {Weapon::laser, 73, slashes(73) + " 73"},
        {Weapon::abomb, 100, slashes(73) + " 100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bar);
        shown.clear();
        game->ammo = {1, 0, 0, 0};
        game->stock(c.weapon) = c.stock;
        game->weapon = c.weapon;
        // With A-bombs chosen both bars show them: 0.5 and 0.2 make their flicker.
        if (c.weapon == Weapon::abomb) random.push(0.5, 0.2);
        game->drawhud();

        Surface expected(shown.width(), shown.height());
        int32_t colour = c.weapon == Weapon::laser     ? rgb(255, 0, 0)
                         : c.weapon == Weapon::missile ? rgb(255, 255, 0)
                                                       : rgb(255, 128, 0);
        expected.setlinecolour(colour);
        expected.setposition(0, 7 * s);
        expected.setfontsize(7 * s);
        expected.print(c.bar);
        if (c.weapon == Weapon::abomb) {
            expected.setlinecolour(rgb(255, 51, 0));
            expected.setposition(70 * s, 0);
            expected.setfontsize(10 * s);
            expected.print(c.bar);
        }
        int differing = 0, lit = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = left; x < shown.width(); ++x) {
                if (shown.pixel(x, y) != expected.pixel(x, y)) ++differing;
                if (expected.pixel(x, y) != 0) ++lit;
            }
        }
        EXPECT_GT(lit, 0);
        EXPECT_EQ(differing, 0);
    }
}
