// The shape test: inside and outside of convex outlines, short edges taken as
// level, outlines with upright edges, and a body without vertices.
#include <gtest/gtest.h>

#include <cmath>

#include "support/gamefixture.h"

namespace {
class PointInBodyTest : public GameFixture {};

// A body whose vertices sit at the given offsets from its centre.
Body outline(float cx, float cy, std::initializer_list<std::pair<double, double>> offsets) {
    Body b;
    b.x = cx;
    b.y = cy;
    for (auto [dx, dy] : offsets) {
        ++b.vertexcount;
        b.radius[b.vertexcount] = static_cast<float>(std::hypot(dx, dy));
        b.angle[b.vertexcount] = static_cast<float>(std::atan2(dy, dx));
    }
    return b;
}

struct Probe {
    float x, y;
    bool inside;
};
}  // namespace

TEST_F(PointInBodyTest, ConvexOutlineHoldsItsCentreAndNotPointsBeyondItsEdges) {
    // A regular octagon of radius 50, turned so that no edge is upright.
    Body rock;
    rock.x = 300;
    rock.y = 200;
    rock.vertexcount = 8;
    for (int j = 1; j <= 8; ++j) {
        rock.radius[j] = 50;
        rock.angle[j] = static_cast<float>(0.3 + 6.283 / 8 * j);
    }
    EXPECT_TRUE(game->pointinbody(rock, 300, 200));
    for (int i = 1; i <= 8; ++i) {
        const int j = i % 8 + 1;
        const double mx = (std::cos(rock.angle[i]) + std::cos(rock.angle[j])) * 25;
        const double my = (std::sin(rock.angle[i]) + std::sin(rock.angle[j])) * 25;
        SCOPED_TRACE(i);
        EXPECT_TRUE(game->pointinbody(rock, static_cast<float>(300 + mx * 0.98),
                                      static_cast<float>(200 + my * 0.98)));
        EXPECT_FALSE(game->pointinbody(rock, static_cast<float>(300 + mx * 1.02),
                                       static_cast<float>(200 + my * 1.02)));
    }
}

TEST_F(PointInBodyTest, AnEdgeInsideOneUnitSquareCountsAsLevel) {
    // Two segments along y = x, above their centre. The short one has both ends
    // in the square from (10, 10), so each of its two edges acts as a level
    // line through its first end: the point must lie at or below y = 10.9.
    const Body shortedge = outline(10.5f, 12, {{-0.4, -1.9}, {0.4, -1.1}});
    const Body longedge = outline(10.5f, 12, {{-0.4, -1.9}, {1.4, -0.1}});
    EXPECT_TRUE(game->pointinbody(shortedge, 12, 11));
    EXPECT_FALSE(game->pointinbody(shortedge, 12, 10.5f));
    // The same slope over a longer edge is honoured.
    EXPECT_FALSE(game->pointinbody(longedge, 12, 11));
    EXPECT_TRUE(game->pointinbody(longedge, 11, 11.05f));
}

TEST_F(PointInBodyTest, BodyWithoutVerticesContainsEveryPoint) {
    Body empty;
    empty.x = 100;
    empty.y = 100;
    EXPECT_TRUE(game->pointinbody(empty, 100, 100));
    EXPECT_TRUE(game->pointinbody(empty, -5000, 7000));
}

TEST_F(PointInBodyTest, SquareWithUprightSidesHoldsWhatLiesBetweenThem) {
    // Vertices at ±45° and ±135°: the left and the right side are exactly upright.
    Body square;
    square.x = 200;
    square.y = 300;
    square.vertexcount = 4;
    const float q = static_cast<float>(M_PI / 4);
    const float angles[] = {-q, q, 3 * q, -3 * q};
    for (int j = 1; j <= 4; ++j) {
        square.radius[j] = 20 * static_cast<float>(M_SQRT2);
        square.angle[j] = angles[j - 1];
    }
    const float right =
        static_cast<float>(200 + std::cos(static_cast<double>(q)) * square.radius[1]);
    const float left =
        static_cast<float>(200 + std::cos(static_cast<double>(3 * q)) * square.radius[1]);
    const Probe probes[] = {
        {200, 300, true},           {right - 0.5f, 310, true}, {right, 295, true},
        {right + 0.5f, 300, false}, {left + 0.5f, 290, true},  {left - 0.5f, 300, false},
        {200, 321, false},          {200, 279, false},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(game->pointinbody(square, p.x, p.y), p.inside) << p.x << "," << p.y;
    }
}
