// Contacts of the rock pass: the square hit test of shots, shields, one hit per
// body and frame, and the removal of faded bodies with their score.
#include <gtest/gtest.h>

#include <string>

#include "support/gamefixture.h"

namespace {
class Collisions : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        game->gamestate = GameState::play;
        game->setscore("0");
        game->bodies[0].x = -500;  // the ship is out of the way
        game->bodies[0].y = -500;
    }
    // A long thin diamond at (300, 300): points 40 units out along x, 5 along y,
    // so its mean radius, 22.5, is far from its outline.
    int addlongrock(int16_t state = 0, BodyType type = BodyType::plain) {
        int16_t k = game->bodies.add();
        Body& r = game->bodies[k];
        r = Body{};
        r.vertexcount = 4;
        const float radii[] = {40, 5, 40, 5};
        for (int j = 1; j <= 4; ++j) {
            r.radius[j] = radii[j - 1];
            r.angle[j] = static_cast<float>(quarterturn * (j - 1));
        }
        r.x = 300;
        r.y = 300;
        r.state = state;
        r.type = type;
        r.fillcolour = r.linecolour = r.basecolour = 0x808080;
        return k;
    }
    Shot& addshotat(float x, float y, float vx = 0, float vy = 0) {
        Shot& s = game->shots[game->shots.add()];
        s = Shot{};
        s.x = x;
        s.y = y;
        s.vx = vx;
        s.vy = vy;
        s.life = 20;
        return s;
    }
    void reset() {
        game->bodies.count = 0;
        game->shots.count = 0;
    }
};

TEST_F(Collisions, ShotsHitTheSquareOfTheMeanRadiusNotTheOutline) {
    Game& g = *game;
    struct Case {
        const char* name;
        float x, y, vx, vy;
        bool hit;
    } cases[] = {
        {"inside the outline, beyond the square", 330, 300, 0, 0, false},
        {"outside the outline, inside the square", 320, 320, 0, 0, true},
        {"on the square's edge", 322.5f, 300, 0, 0, false},
        {"widened by half a fast shot's step", 330, 300, 8, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        addlongrock();
        Shot& s = addshotat(c.x, c.y, c.vx, c.vy);
        g.shotcontact(1);
        EXPECT_EQ(s.life == 0, c.hit);
        EXPECT_EQ(g.bodies.count, c.hit ? 2 : 1);  // a hit splits the rock in two
    }
}

TEST_F(Collisions, ShieldsSegmentsAndHuntingPieces) {
    Game& g = *game;
    struct Case {
        const char* name;
        int16_t state;
        BodyType type;
        int16_t vertices;
        bool hit;
    } cases[] = {
        {"piece 3 frames after a split", 7, BodyType::plain, 4, false},
        {"piece whose shield ran out", 0, BodyType::plain, 4, true},
        {"hunting piece at 486", 486, BodyType::hunting, 4, false},
        {"hunting piece at 485", 485, BodyType::hunting, 4, true},
        {"segment", 0, BodyType::plain, 2, false},
        {"hunting segment", 0, BodyType::hunting, 2, false},
        {"dying fragment", -5, BodyType::plain, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        int k = addlongrock(c.state, c.type);
        g.bodies[k].vertexcount = c.vertices;
        Shot& s = addshotat(300, 300);
        g.shotcontact(k);
        EXPECT_EQ(s.life == 0, c.hit);
    }
}

TEST_F(Collisions, OnlyTheFirstOfTwoShotsIsUsedAndFlickeringRocksShatter) {
    Game& g = *game;
    addlongrock();
    Shot& first = addshotat(300, 300);
    Shot& second = addshotat(301, 300);
    Shot& spent = addshotat(299, 300);
    spent.life = 0;
    g.shotcontact(1);
    EXPECT_EQ(first.life, 0);
    EXPECT_EQ(second.life, 20);
    EXPECT_EQ(g.bodies.count, 2);

    // A flickering rock of four corners shatters into wedges and keeps a segment;
    // one of three corners is split like any other.
    reset();
    addlongrock(0, BodyType::flickering);
    addshotat(300, 300);
    g.shotcontact(1);
    EXPECT_EQ(g.bodies[1].vertexcount, 2);
    EXPECT_EQ(g.bodies.count, 5);
    reset();
    int k = addlongrock(0, BodyType::flickering);
    g.bodies[k].vertexcount = 3;
    addshotat(300, 300);
    g.shotcontact(k);
    EXPECT_EQ(g.bodies.count, 3);  // the triangle's three edges
}

TEST_F(Collisions, FadedSegmentsScoreAndSometimesDropAPowerup) {
    Game& g = *game;
    struct Segment {
        int16_t vertices;
        BodyType type;
        int32_t fill;
        float x;
    } segments[] = {
        {2, BodyType::plain, 0, 10},     // faded segment: scores
        {3, BodyType::plain, 0, 20},     // faded body of three corners: nothing
        {2, BodyType::hunting, 1, 30},   // faded hunting segment: nothing
        {2, BodyType::plain, 6400, 40},  // still fading
        {2, BodyType::pulsing, 1, 50},   // faded segment of a pulsing rock: scores
    };
    for (const Segment& s : segments) {
        Body& b = g.bodies[g.bodies.add()];
        b = Body{};
        b.vertexcount = s.vertices;
        b.type = s.type;
        b.fillcolour = s.fill;
        b.x = s.x;
        b.y = 100;
        b.vx = 1;
    }
    // The first scoring segment keeps its luck (q = 2); the second drops (q = 0).
    random.push(0.5, 0.1);
    g.removalpass();
    ASSERT_EQ(g.bodies.count, 1);
    EXPECT_FLOAT_EQ(g.bodies[1].x, 40);
    EXPECT_EQ(g.score(), 200);
    ASSERT_EQ(g.powerups.count, 1);
    EXPECT_FLOAT_EQ(g.powerups[1].x, 50);
}
}  // namespace
