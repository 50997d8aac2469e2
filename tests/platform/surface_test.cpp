// Raster rules of the drawing surface that the game relies on: solid and
// transparent polygons, even-odd filling, erasing without residue, clipping,
// and text printed in the line colour on a transparent background.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {
constexpr int32_t red = 255, green = 255 * 256, white = 0xFFFFFF;

int countcolour(const Surface& s, int32_t colour) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) n += s.pixel(x, y) == colour;
    return n;
}

void draw(Surface& s, std::vector<PixelPoint> pts, int32_t line, int32_t fill, int style) {
    s.setlinecolour(line);
    s.setfillcolour(fill);
    s.setfillstyle(style);
    s.polygon(pts.data(), static_cast<int>(pts.size()));
}
}  // namespace

TEST(Surface, SolidPolygonIsFilledInsideItsOutline) {
    Surface s(100, 100);
    draw(s, {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, green, red, 0);
    EXPECT_EQ(s.pixel(20, 20), red);    // inside
    EXPECT_EQ(s.pixel(10, 20), green);  // on the outline
    EXPECT_EQ(s.pixel(30, 30), green);  // corners belong to the outline
    EXPECT_EQ(s.pixel(31, 20), 0);      // outside
    EXPECT_EQ(countcolour(s, green), 80);
    EXPECT_EQ(countcolour(s, red), 19 * 19);
}

TEST(Surface, TransparentPolygonDrawsOnlyItsOutline) {
    Surface s(100, 100);
    draw(s, {{10, 10}, {30, 10}, {30, 30}, {10, 30}}, green, red, 1);
    EXPECT_EQ(s.pixel(20, 20), 0);
    EXPECT_EQ(countcolour(s, red), 0);
    EXPECT_EQ(countcolour(s, green), 80);
}

TEST(Surface, SelfIntersectingPolygonFillsByEvenOdd) {
    // A pentagram: the middle pentagon is crossed twice and stays empty.
    Surface s(200, 200);
    draw(s, {{100, 10}, {159, 190}, {5, 78}, {195, 78}, {41, 190}}, white, red, 0);
    EXPECT_EQ(s.pixel(100, 110), 0);   // centre: even crossings
    EXPECT_EQ(s.pixel(100, 50), red);  // a point of the star
    EXPECT_EQ(s.pixel(30, 85), red);
}

TEST(Surface, EraseLeavesNoResidueForAnyShape) {
    std::vector<std::vector<PixelPoint>> shapes = {
        {{10, 10}, {80, 15}, {40, 30}, {75, 70}, {12, 60}},  // concave
        {{0, 0}, {90, 90}, {90, 0}, {0, 90}},                // self-intersecting bow tie
        {{5, 50}, {95, 52}},                                 // two points: a line
        {{40, 40}, {40, 40}, {40, 40}},                      // all points equal
        {{-50, -20}, {60, 10}, {30, 130}},                   // partly off the image
        {{-500, -500}, {-400, -500}, {-450, -400}},          // wholly off the image
        {{-100000, 50}, {100000, 51}, {0, 2000000000}},      // absurd coordinates
    };
    for (size_t i = 0; i < shapes.size(); ++i) {
        SCOPED_TRACE(i);
        for (int style : {0, 1}) {
            Surface s(100, 100);
            draw(s, shapes[i], white, red, style);
            draw(s, shapes[i], 0, 0, style);
            EXPECT_EQ(countcolour(s, 0), 100 * 100);
        }
    }
}

TEST(Surface, ClippingNeverWritesOutsideTheImage) {
    Surface s(50, 40);
    draw(s, {{-10, -10}, {60, -10}, {60, 50}, {-10, 50}}, green, red, 0);
    EXPECT_EQ(countcolour(s, red), 50 * 40);
    s.blacken(-20, -20, 1000, 1000);
    EXPECT_EQ(countcolour(s, 0), 50 * 40);
}

TEST(Surface, BlackenAndClearCoverTheirAreas) {
    Surface s(40, 40);
    s.setbackcolour(red);
    s.clear();
    EXPECT_EQ(countcolour(s, red), 1600);
    s.blacken(5, 5, 10, 20);
    EXPECT_EQ(countcolour(s, 0), 200);
    EXPECT_EQ(s.pixel(5, 5), 0);
    EXPECT_EQ(s.pixel(15, 5), red);
    EXPECT_EQ(s.pixel(14, 24), 0);
}

TEST(Surface, WindowSizesGiveScaleAndPlayfield) {
    Surface plain(823, 709);
    EXPECT_DOUBLE_EQ(plain.pixelscale(), 709 / 600.0);
    EXPECT_DOUBLE_EQ(plain.scalewidth(), 600.0 * 823 / 709);
    Surface bordered(800, 570, 810, 600);  // decorations count in the outer size
    EXPECT_DOUBLE_EQ(bordered.scalewidth(), 810.0);
    EXPECT_DOUBLE_EQ(bordered.pixelscale(), 570 / 600.0);
}

TEST(Surface, TextPrintsInTheLineColourOnATransparentBackground) {
    Surface s(300, 100);
    s.setfillcolour(red);
    s.setlinecolour(green);
    s.setfontsize(20);
    s.setposition(60, 60);  // 10 pixels in: this image has 6 units to the pixel
    s.print("HIGH");
    EXPECT_GT(s.textwidth("HIGH"), 120.0);
    EXPECT_GT(s.textheight("HIGH"), 60.0);
    EXPECT_GT(countcolour(s, green), 20);  // solid glyph cores in exactly the line colour
    EXPECT_EQ(countcolour(s, red), 0);     // nothing of the fill colour
    // Nothing is printed left of the position or above it.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(s.pixel(x, y), 0);
    EXPECT_NE(s.fontfamily(), "");
}

TEST(Surface, MissingFaceFallsBackToTheDefaultFace) {
    Surface s(100, 100);
    s.setfontface("No Such Face Anywhere");
    EXPECT_NE(s.fontfamily(), "No Such Face Anywhere");
    EXPECT_FALSE(s.fontfamily().empty());
    s.setfontsize(12);
    s.setlinecolour(white);
    s.print("A");
    EXPECT_GT(countcolour(s, white) + (10000 - countcolour(s, 0)), 0);
}

namespace {
// The raster rule written out plainly: every edge looked at on every row,
// every outline pixel tested against the image.
std::vector<int32_t> plainraster(int w, int h, const std::vector<PixelPoint>& p, int32_t line,
                                 int32_t fill, int style) {
    std::vector<int32_t> image(static_cast<size_t>(w) * h, 0);
    const int n = static_cast<int>(p.size());
    if (n >= 3 && style == 0) {
        for (int y = 0; y < h; ++y) {
            std::vector<double> crossings;
            for (int i = 0; i < n; ++i) {
                const PixelPoint &a = p[i], &b = p[(i + 1) % n];
                if (a.y == b.y || y < std::min(a.y, b.y) || y > std::max(a.y, b.y) - 1) continue;
                const double slope =
                    (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
                crossings.push_back(a.x + (y + 0.5 - a.y) * slope);
            }
            std::sort(crossings.begin(), crossings.end());
            for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
                const double left = std::ceil(crossings[k] - 0.5),
                             right = std::ceil(crossings[k + 1] - 0.5) - 1;
                for (double x = std::max(left, 0.0); x <= std::min(right, w - 1.0); ++x) {
                    image[static_cast<size_t>(y) * w + static_cast<size_t>(x)] = fill;
                }
            }
        }
    }
    for (int i = 0; i < (n == 2 ? 1 : n); ++i) {
        int64_t x = p[i].x, y = p[i].y;
        const int64_t x1 = p[(i + 1) % n].x, y1 = p[(i + 1) % n].y;
        const int64_t dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
        int64_t err = dx + dy;
        for (;;) {
            if (x >= 0 && y >= 0 && x < w && y < h) image[static_cast<size_t>(y) * w + x] = line;
            if (x == x1 && y == y1) break;
            const int64_t e2 = 2 * err;
            if (e2 >= dy) err += dy, x += x < x1 ? 1 : -1;
            if (e2 <= dx) err += dx, y += y < y1 ? 1 : -1;
        }
    }
    return image;
}
}  // namespace

TEST(Surface, PolygonsOfEveryShapeGiveThePixelsOfThePlainRasterRule) {
    // Convex, jagged, crossing, partly and wholly outside, and two-point
    // outlines, at every size the game draws, and some far larger than the image.
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> unit(0, 1);
    const int w = 160, h = 120;
    for (int shape = 0; shape < 600; ++shape) {
        const int kind = shape % 4;
        const int n = kind == 3 ? 2 + static_cast<int>(rng() % 3)
                                : 3 + static_cast<int>(rng() % (shape % 7 == 0 ? 300 : 12));
        const double cx = unit(rng) * 200 - 20, cy = unit(rng) * 160 - 20,
                     size = shape % 11 == 0 ? unit(rng) * 1e4 : 2 + unit(rng) * 70;
        std::vector<PixelPoint> p(n);
        for (int j = 0; j < n; ++j) {
            const double a =
                kind == 1 ? unit(rng) * 6.283 : 6.283 / n * j;             // kind 1 crosses itself
            const double r = kind == 2 ? size * (0.3 + unit(rng)) : size;  // kind 2 is jagged
            p[j] = {static_cast<int32_t>(std::lround(cx + std::cos(a) * r)),
                    static_cast<int32_t>(std::lround(cy + std::sin(a) * r))};
        }
        const int style = shape % 5 == 0 ? 1 : 0;
        Surface s(w, h);
        draw(s, p, green, red, style);
        const std::vector<int32_t> expected = plainraster(w, h, p, green, red, style);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(s.pixel(x, y), expected[static_cast<size_t>(y) * w + x])
                    << "shape " << shape << " at " << x << ", " << y;
            }
        }
    }
}

TEST(Surface, LinesOfEverySlopeGiveThePixelsOfPlainStepping) {
    // From points inside, beside and far outside the image to every point of
    // a ring round it, so that every slope is drawn whole and clipped on
    // every side; and one line longer than any window is wide.
    // The line alone on a black image, then exactly its pixels written and
    // nothing beyond the image.
    const auto check = [](Surface& s, int w, int h, PixelPoint from, PixelPoint to) {
        const uint64_t before = s.pixelswritten();
        s.clear();
        draw(s, {from, to}, green, red, 1);
        const std::vector<int32_t> expected = plainraster(w, h, {from, to}, green, red, 1);
        ASSERT_EQ(
            s.pixelswritten() - before,
            static_cast<uint64_t>(w) * h + std::count(expected.begin(), expected.end(), green));
        for (size_t k = 0; k < expected.size(); ++k) {
            ASSERT_EQ(s.data()[k], expected[k] == green ? 0xFF00FF00u : 0xFF000000u)
                << "line from " << from.x << ", " << from.y << " to " << to.x << ", " << to.y
                << " at pixel " << k;
        }
    };
    const int w = 160, h = 120;
    const PixelPoint centres[] = {{80, 60}, {-30, 20}, {100, 150}, {-900, -700}, {5000, 61}};
    for (const PixelPoint& c : centres) {
        Surface s(w, h);
        for (int i = 0; i < 8 * 260; ++i) {
            const int side = i / 260, t = i % 260 - 130;
            const PixelPoint end = side < 2   ? PixelPoint{80 + t, side == 0 ? -70 : 190}
                                   : side < 4 ? PixelPoint{side == 2 ? -50 : 210, 60 + t}
                                              : PixelPoint{80 + t * 7 + side, 60 - t * 3 + side};
            ASSERT_NO_FATAL_FAILURE(check(s, w, h, c, end));
        }
    }
    const int wide = 600000;  // beyond the lines whose slope is a fixed-point number
    Surface s(wide, 3);
    ASSERT_NO_FATAL_FAILURE(check(s, wide, 3, {-2, 0}, {wide - 1, 2}));
}

TEST(Surface, ShapesDrawnTogetherByTwoThreadsGiveTheImageOfShapesDrawnOneByOne) {
    // Shapes of every kind, many crossing the bands' edges or the image's,
    // some enormous, with rectangles, a clear and text among them; one image
    // shares every batch between two threads, one (at the game's setting)
    // shares those worth it, after quiet finishes without listing each band's
    // shapes, and the last draws each shape alone.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0, 1);
    const int w = 823, h = 709;
    Surface shared(w, h), some(w, h), alone(w, h);
    shared.setsharedwork(0);
    alone.setsharedwork(UINT64_MAX);
    const std::array<Surface*, 3> surfaces = {&shared, &some, &alone};
    for (Surface* s : surfaces) s->setfontsize(14);
    for (int shape = 0; shape < 1500; ++shape) {
        const int kind = shape % 6;
        const int n = kind == 3 ? 1 + static_cast<int>(rng() % 2)
                                : 3 + static_cast<int>(rng() % (shape % 9 == 0 ? 300 : 12));
        const double far = shape % 50 == 0 ? 200000 : 0;
        const double cx = unit(rng) * (w + 200) - 100 - far, cy = unit(rng) * (h + 200) - 100,
                     size = 1 + unit(rng) * (shape % 11 == 0 ? 400 : 60) + far * 2;
        std::vector<PixelPoint> p(n);
        for (int j = 0; j < n; ++j) {
            const double a = kind == 1 ? unit(rng) * 6.283 : 6.283 / n * j;
            const double r = kind == 2 ? size * (0.3 + unit(rng)) : size;
            p[j] = {static_cast<int32_t>(std::lround(cx + std::cos(a) * r)),
                    static_cast<int32_t>(std::lround(cy + std::sin(a) * r))};
        }
        const auto colour = [&] { return static_cast<int32_t>(rng() & 0xFFFFFF); };
        const int32_t line = colour(), fill = colour();
        const int style = shape % 5 == 0 ? 1 : 0;
        const int x = static_cast<int>(unit(rng) * w) - 50,
                  y = static_cast<int>(unit(rng) * h) - 50;
        const int32_t back = colour();
        for (Surface* s : surfaces) {
            if (kind == 4) {
                s->blacken(x, y, static_cast<int>(size), static_cast<int>(size / 2));
            } else if (kind == 5 && shape % 12 == 5) {
                s->fillrect(x / 1.2, y / 1.2, (x + size) / 1.2, (y + size) / 1.2, fill);
            } else {
                draw(*s, p, line, fill, style);
            }
            if (shape == 700) {
                s->setbackcolour(back);
                s->clear();
            }
            if (shape % 97 == 0) {  // text is blended with the shape drawn just before it
                s->setposition(cx / s->pixelscale(), cy / s->pixelscale());
                s->setlinecolour(line);
                s->print("Shared 42");
            }
            if (s == &alone) s->finish();
        }
        if (shape % 150 == 149) {
            shared.finish();
            some.finish();
        }
    }
    EXPECT_EQ(alone.sharedfinishes(), 0u);
    const std::vector<uint32_t> b(alone.data(), alone.data() + w * h);
    for (const Surface* s : {&shared, &some}) {
        EXPECT_GT(s->sharedfinishes(), 5u);
        const std::vector<uint32_t> a(s->data(), s->data() + w * h);
        EXPECT_EQ(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin(), w * h)
            << "the first differing pixel";
        EXPECT_EQ(s->pixelswritten(), alone.pixelswritten());
    }
}

TEST(Surface, AnImageTallerThanTheMostBandsIsSharedWholeDownToItsLastRow) {
    // 7000 rows: more than the bands there may be, so the last band takes
    // the rows left over. Diamonds down the whole height, some across the
    // last band's first row and the image's last.
    const int w = 40, h = 7000;
    Surface shared(w, h), alone(w, h);
    shared.setsharedwork(0);
    alone.setsharedwork(UINT64_MAX);
    for (int y = -30; y < h + 30; y += 23) {
        for (Surface* s : {&shared, &alone}) {
            draw(*s, {{20, y - 30}, {38, y}, {20, y + 30}, {2, y}}, y & 0xFFFF, y * 7 + 1, 0);
            if (s == &alone) s->finish();
        }
    }
    const std::vector<uint32_t> a(shared.data(), shared.data() + w * h),
        b(alone.data(), alone.data() + w * h);
    EXPECT_GT(shared.sharedfinishes(), 0u);
    EXPECT_EQ(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin(), w * h)
        << "the first differing pixel";
    EXPECT_NE(b[static_cast<size_t>(w) * (h - 1) + 20], 0xFF000000u) << "the last row drawn";
}

TEST(Surface, AShapeHandedOverLaterIsDrawnOverTheSlowerShapeBeforeIt) {
    // Each shape goes to the second thread as a batch of its own: a shape
    // over the whole image whose jagged lower edge is slow to fill in the last
    // band, then a square in that band, which the other thread reaches while
    // the first is still filling it there.
    const int w = 823, h = 709;
    Surface shared(w, h), alone(w, h);
    shared.setsharedwork(0);
    alone.setsharedwork(UINT64_MAX);
    for (int round = 0; round < 150; ++round) {
        std::vector<PixelPoint> comb = {{0, 0}, {w - 1, 0}};
        for (int x = w - 1; x >= 0; x -= 2) comb.push_back({x, (x / 2 + round) % 2 ? 650 : 708});
        const int x = 10 + round * 19 % 780;
        for (Surface* s : {&shared, &alone}) {
            draw(*s, comb, round, round * 3 + 1, 0);
            draw(*s, {{x, 688}, {x + 20, 688}, {x + 20, 706}, {x, 706}}, white, green, 0);
            if (s == &alone) s->finish();
        }
    }
    const std::vector<uint32_t> a(shared.data(), shared.data() + w * h),
        b(alone.data(), alone.data() + w * h);
    EXPECT_GT(shared.sharedfinishes(), 0u);
    EXPECT_EQ(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin(), w * h)
        << "the first differing pixel";
}
