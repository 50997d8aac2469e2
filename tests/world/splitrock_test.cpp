// Splitting rocks: which vertices each piece gets, where the pieces land in
// the list of bodies, their spin, shield, colours and push, and the rocks that
// cannot be split.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/gamefixture.h"

namespace {
class SplitRockTest : public GameFixture {
  protected:
    // An n-sided rock at element 1, with a second rock after it.
    Body& makerock(int n, BodyType type = BodyType::plain) {
        Body& rock = game->bodies[1];
        rock = Body{};
        rock.x = 300;
        rock.y = 250;
        rock.vx = 1;
        rock.vy = -0.5f;
        rock.vertexcount = static_cast<int16_t>(n);
        for (int j = 1; j <= n; ++j) {
            rock.radius[j] = 40 + j;  // irregular, so every piece has its own centre
            rock.angle[j] = static_cast<float>(6.283 / n * j);
        }
        rock.fillcolour = 0x102030;
        rock.basecolour = 0x405060;
        rock.linecolour = 0x708090;
        rock.fillstyle = 1;
        rock.type = type;
        game->bodies[2] = Body{};
        game->bodies[2].x = 77;
        game->bodies.count = 2;
        return rock;
    }

    static double vx(const Body& b, int j) { return b.x + std::cos(b.angle[j]) * b.radius[j]; }
    static double vy(const Body& b, int j) { return b.y + std::sin(b.angle[j]) * b.radius[j]; }

    // The piece's vertices lie where the rock's listed vertices were.
    static void expectvertices(const Body& piece, const Body& rock, const std::vector<int>& from) {
        ASSERT_EQ(piece.vertexcount, static_cast<int>(from.size()));
        for (size_t j = 1; j <= from.size(); ++j) {
            EXPECT_NEAR(vx(piece, j), vx(rock, from[j - 1]), 1e-3) << "vertex " << j;
            EXPECT_NEAR(vy(piece, j), vy(rock, from[j - 1]), 1e-3) << "vertex " << j;
        }
    }
};
}  // namespace

TEST_F(SplitRockTest, PiecesShareTheCutAndKeepTheListPacked) {
    struct Case {
        int n;
        std::vector<int> a, b;
    };
    const Case cases[] = {
        {4, {1, 2, 3}, {3, 4, 1}},
        {5, {1, 2, 3, 4}, {4, 5, 1}},
        {6, {1, 2, 3, 4}, {4, 5, 6, 1}},
        {7, {1, 2, 3, 4}, {4, 5, 6, 7, 1}},
        {8, {1, 2, 3, 4, 5}, {5, 6, 7, 8, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        const Body rock = makerock(c.n);
        random.push(0.75);  // spin 3.1415 / 96
        game->splitrock(1);
        ASSERT_EQ(game->bodies.count, 3);
        const Body& a = game->bodies[3];  // the first piece, added last in the list
        const Body& b = game->bodies[1];  // the second piece takes the rock's place
        expectvertices(a, rock, c.a);
        expectvertices(b, rock, c.b);
        EXPECT_EQ(game->bodies[2].x, 77.0f);
        const float s = static_cast<float>(0.75 * 3.1415 / 24 - 3.1415 / 48);
        for (int j = 1; j <= a.vertexcount; ++j) EXPECT_EQ(a.spin[j], s);
        for (int j = 1; j <= b.vertexcount; ++j) EXPECT_EQ(b.spin[j], -s);
    }
    // Thirty vertices cut into two halves of sixteen.
    makerock(30);
    game->splitrock(1);
    EXPECT_EQ(game->bodies[3].vertexcount, 16);
    EXPECT_EQ(game->bodies[1].vertexcount, 16);
}

TEST_F(SplitRockTest, TriangleBreaksIntoItsThreeEdges) {
    const Body rock = makerock(3);
    random.push(0.25);
    game->splitrock(1);
    ASSERT_EQ(game->bodies.count, 4);
    expectvertices(game->bodies[3], rock, {1, 2});
    expectvertices(game->bodies[4], rock, {2, 3});
    expectvertices(game->bodies[1], rock, {1, 3});
    const float s = game->bodies[3].spin[1];
    EXPECT_LT(s, 0.0f);
    EXPECT_EQ(game->bodies[4].spin[2], -s);
    EXPECT_EQ(game->bodies[1].spin[1], -s);
}

TEST_F(SplitRockTest, PiecesKeepTheRocksLookAndAreShielded) {
    for (BodyType type :
         {BodyType::plain, BodyType::flickering, BodyType::pulsing, BodyType::hunting}) {
        SCOPED_TRACE(static_cast<int>(type));
        makerock(8, type);
        game->splitrock(1);
        for (int k : {1, 3}) {
            const Body& piece = game->bodies[k];
            EXPECT_EQ(piece.fillcolour, 0x102030);
            EXPECT_EQ(piece.basecolour, 0x405060);
            EXPECT_EQ(piece.linecolour, 0x708090);
            EXPECT_EQ(piece.fillstyle, 1);
            EXPECT_EQ(piece.type, type);
            // Pieces of a hunting body stay shielded far longer.
            EXPECT_EQ(piece.state, type == BodyType::hunting ? 500 : 10);
        }
    }
}

TEST_F(SplitRockTest, PiecesFlyAwayFromTheRocksCentre) {
    const Body rock = makerock(8);
    random.push(0.5, 0.5, 0.5, 0.5, 0.5);  // spin 0, then each push at half strength
    game->splitrock(1);
    for (int k : {1, 3}) {
        const Body& piece = game->bodies[k];
        const double dx = piece.x - rock.x, dy = piece.y - rock.y;
        const double d = std::hypot(dx, dy);
        ASSERT_GT(d, 1.0);
        // Half of twice the unit vector from the rock's centre to the piece's.
        EXPECT_NEAR(piece.vx - rock.vx, dx / d, 1e-5) << k;
        EXPECT_NEAR(piece.vy - rock.vy, dy / d, 1e-5) << k;
    }
    const Body& a = game->bodies[3];
    const Body& b = game->bodies[1];
    EXPECT_LT((a.vx - rock.vx) * (b.vx - rock.vx) + (a.vy - rock.vy) * (b.vy - rock.vy), 0);
}

TEST_F(SplitRockTest, PieceCentredOnTheRockKeepsTheRocksVelocity) {
    // Vertices 1 to 3 average out exactly at the centre.
    Body& rock = makerock(4);
    const float radius[] = {10, -4, -6, 20};
    const float angle[] = {0, 0, 0, 1.5f};
    for (int j = 1; j <= 4; ++j) {
        rock.radius[j] = radius[j - 1];
        rock.angle[j] = angle[j - 1];
    }
    random.push(0.5, 0.9, 0.9, 0.9, 0.9);
    game->splitrock(1);
    const Body& a = game->bodies[3];
    EXPECT_EQ(a.x, 300.0f);
    EXPECT_EQ(a.vx, 1.0f);
    EXPECT_EQ(a.vy, -0.5f);
    EXPECT_FALSE(std::isnan(game->bodies[1].vx));
    EXPECT_NE(game->bodies[1].vy, -0.5f);
}

TEST_F(SplitRockTest, RockStaysWholeWhenThePiecesWouldNotFit) {
    struct Case {
        int n;
        int16_t count;
        bool splits;
    };
    const Case cases[] = {{8, 998, true}, {8, 999, false}, {3, 997, true}, {3, 998, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << " vertices, " << c.count << " bodies");
        const Body rock = makerock(c.n);
        game->bodies.count = c.count;
        const int64_t drawn = random.drawn();
        game->splitrock(1);
        if (c.splits) {
            EXPECT_EQ(game->bodies.count, c.count + (c.n == 3 ? 2 : 1));
            EXPECT_LE(game->bodies.count, Game::capacity);
        } else {
            EXPECT_EQ(game->bodies.count, c.count);
            EXPECT_EQ(game->bodies[1].vertexcount, c.n);
            EXPECT_EQ(game->bodies[1].x, rock.x);
            EXPECT_EQ(random.drawn(), drawn);
        }
    }
}
