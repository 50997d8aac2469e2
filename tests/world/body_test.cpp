// Drawing, erasing and recentring bodies: where vertices land in pixels, how
// the wireframe flag changes fill, and what recentring does to centre and radii.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "support/gamefixture.h"

namespace {
Body square(float x, float y, float r) {
    Body b;
    b.x = x;
    b.y = y;
    b.vertexcount = 4;
    for (int j = 1; j <= 4; ++j) {
        b.radius[j] = r;
        b.angle[j] = static_cast<float>(M_PI / 4 + (j - 1) * M_PI / 2);
    }
    b.fillcolour = 255;
    b.linecolour = 0xFFFFFF;
    return b;
}

int litpixels(const Surface& s) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) n += s.pixel(x, y) != 0;
    return n;
}
}  // namespace

TEST_F(GameFixture, VertexPixelsRoundHalvesToEven) {
    game->pixelscale = 1.0;
    Body b;
    b.vertexcount = 2;
    b.x = 0;
    b.y = 0;
    b.radius[1] = 10.5f;  // lands on 10
    b.radius[2] = 11.5f;  // lands on 12
    b.angle[1] = 0;
    b.angle[2] = 0;
    b.linecolour = 0xFFFFFF;
    game->drawbody(b);
    EXPECT_EQ(game->points[1].x, 10);
    EXPECT_EQ(game->points[2].x, 12);
    EXPECT_EQ(game->window.pixel(9, 0), 0);
    EXPECT_NE(game->window.pixel(10, 0), 0);
    EXPECT_NE(game->window.pixel(12, 0), 0);
    EXPECT_EQ(game->window.pixel(13, 0), 0);
}

TEST_F(GameFixture, EraseBodyClearsWhatDrawBodyDrewAndKeepsTheRecord) {
    for (int wire : {0, 1}) {
        SCOPED_TRACE(wire);
        game->wireframe = static_cast<int16_t>(wire);
        Body b = square(200, 200, 60);
        b.angle[2] += 0.7f;  // concave-ish, irregular
        game->drawbody(b);
        EXPECT_GT(litpixels(game->window), 0);
        // With the wireframe flag a solid body shows only its outline.
        EXPECT_EQ(
            game->window.pixel(cint(200 * game->pixelscale), cint(200 * game->pixelscale)) != 0,
            wire == 0);
        Body copy = b;
        game->erasebody(b);
        EXPECT_EQ(litpixels(game->window), 0);
        EXPECT_EQ(std::memcmp(&copy, &b, sizeof(Body)), 0);
    }
}

TEST_F(GameFixture, CenterBodyMovesTheCentreToTheMeanOfTheVertices) {
    // Symmetric: the centre stays, and a second call changes nothing.
    Body sym = square(100, 100, 20);
    game->centerbody(sym);
    EXPECT_NEAR(sym.x, 100, 1e-4);
    EXPECT_NEAR(sym.y, 100, 1e-4);
    Body again = sym;
    game->centerbody(again);
    EXPECT_NEAR(again.x, sym.x, 1e-4);
    EXPECT_NEAR(again.y, sym.y, 1e-4);

    // Asymmetric: a triangle with its centre at a corner moves to the corners' mean,
    // and every vertex stays where it was drawn.
    Body tri;
    tri.x = 50;
    tri.y = 50;
    tri.vertexcount = 3;
    float px[] = {0, 30, 0}, py[] = {0, 0, 30};
    for (int j = 1; j <= 3; ++j) {
        tri.radius[j] = std::hypot(px[j - 1], py[j - 1]);
        tri.angle[j] = std::atan2(py[j - 1], px[j - 1]);
    }
    game->centerbody(tri);
    EXPECT_NEAR(tri.x, 60, 1e-4);
    EXPECT_NEAR(tri.y, 60, 1e-4);
    for (int j = 1; j <= 3; ++j) {
        EXPECT_NEAR(tri.x + tri.radius[j] * std::cos(tri.angle[j]), 50 + px[j - 1], 1e-3);
        EXPECT_NEAR(tri.y + tri.radius[j] * std::sin(tri.angle[j]), 50 + py[j - 1], 1e-3);
        // Left of the new centre: angle within a half turn, radius negative.
        if (px[j - 1] + 50 < tri.x) {
            EXPECT_LT(tri.radius[j], 0);
            EXPECT_LE(std::fabs(tri.angle[j]), M_PI / 2);
        }
    }
}

TEST_F(GameFixture, CenterBodyVertexOnTheCentreAndVerticesOnTheLeft) {
    // Vertex 3 lies exactly on the new centre: radius 0, angle 0. Vertex 1 lies to
    // the left: it keeps its place with angle 0 and a negative radius.
    Body b;
    b.x = 40;
    b.y = 40;
    b.vertexcount = 3;
    b.radius[1] = 5;
    b.angle[1] = static_cast<float>(M_PI);
    b.radius[2] = 5;
    b.angle[2] = 0;
    b.radius[3] = 0;
    b.angle[3] = 1.0f;
    game->centerbody(b);
    EXPECT_FLOAT_EQ(b.x, 40);
    EXPECT_FLOAT_EQ(b.y, 40);
    EXPECT_FLOAT_EQ(b.radius[3], 0);
    EXPECT_FLOAT_EQ(b.angle[3], 0);
    EXPECT_FLOAT_EQ(b.radius[1], -5);
    EXPECT_NEAR(b.angle[1], 0, 1e-6);
    EXPECT_FLOAT_EQ(b.radius[2], 5);
}

TEST_F(GameFixture, CenterBodyGivesHuntingPiecesTheirLongShield) {
    struct Case {
        BodyType type;
        int16_t state, expected;
    } cases[] = {{BodyType::hunting, 10, 500},
                 {BodyType::hunting, 0, 0},
                 {BodyType::flickering, 10, 10},
                 {BodyType::plain, 10, 10}};
    for (const auto& c : cases) {
        Body b = square(10, 10, 5);
        b.type = c.type;
        b.state = c.state;
        game->centerbody(b);
        EXPECT_EQ(b.state, c.expected)
            << "type " << static_cast<int>(c.type) << " state " << c.state;
    }
}
