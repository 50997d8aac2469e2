// Cost of the software image's own drawing: filled polygons the size of the
// game's rocks and the HUD's printed text, without any game logic around them.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <vector>

#include "platform/surface.h"

namespace {
// The headless window: 823 x 709 pixels, so one playfield unit is 709/600 pixels.
constexpr int imagewidth = 823, imageheight = 709;
constexpr double pixelscale = imageheight / 600.0;

// A rough rock outline of `n` vertices around (cx, cy), radius 40 to 65 units,
// turned by `turn` radians.
std::vector<PixelPoint> outline(int n, double cx, double cy, double turn) {
    std::vector<PixelPoint> p(n);
    for (int j = 0; j < n; ++j) {
        double a = 6.283 / n * j + turn;
        double r = (40 + 25 * std::fabs(std::sin(j * 2.3))) * pixelscale;
        p[j].x = static_cast<int32_t>(cx + std::cos(a) * r);
        p[j].y = static_cast<int32_t>(cy + std::sin(a) * r);
    }
    return p;
}

void polygons(benchmark::State& state, int vertices, int fillstyle) {
    Surface surface(imagewidth, imageheight);
    surface.setfillstyle(fillstyle);
    surface.setfillcolour(0x785a28);
    surface.setlinecolour(0x786e5a);
    // Eight placements so the work does not stay in one corner of the image,
    // each turned 128 ways: in play rocks turn, so no outline comes back the
    // same for the processor to learn its branches.
    std::vector<std::vector<PixelPoint>> shapes;
    for (int n = 0; n < 1024; ++n)
        shapes.push_back(outline(vertices, 100 + 80 * (n & 7), 120 + 60 * (n & 7), n * 0.05));
    size_t i = 0;
    for (auto _ : state) {
        const auto& s = shapes[i++ & 1023];
        surface.polygon(s.data(), vertices);
        surface.finish();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["budget_%"] = benchmark::Counter(
        12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void printing(benchmark::State& state, double basesize) {
    Surface surface(imagewidth, imageheight);
    surface.setfontface("StarTrek Film BT");
    surface.setfontsize(basesize * pixelscale);
    surface.setlinecolour(0xffffff);
    for (auto _ : state) {
        surface.setposition(0, 0);
        surface.print(" 1234500");
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["budget_%"] = benchmark::Counter(
        12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
}  // namespace

// A split piece or a small rock: the common polygon of a frame.
static void BM_Surface_Polygon8(benchmark::State& state) {
    polygons(state, 8, 0);
}
BENCHMARK(BM_Surface_Polygon8);

// The giant rock's 300-vertex outline, filled.
static void BM_Surface_Polygon300(benchmark::State& state) {
    polygons(state, 300, 0);
}
BENCHMARK(BM_Surface_Polygon300);

// The same two in outline drawing.
static void BM_Surface_Polygon8Outline(benchmark::State& state) {
    polygons(state, 8, 1);
}
BENCHMARK(BM_Surface_Polygon8Outline);
static void BM_Surface_Polygon300Outline(benchmark::State& state) {
    polygons(state, 300, 1);
}
BENCHMARK(BM_Surface_Polygon300Outline);

// A shot's kite: four points, 3 pixels ahead of the shot, a tail of twice its
// speed behind and 0.75 pixels to each side, filled and outlined in one colour;
// crowded frames draw thousands. 1024 of them at speeds of 4 to 12 in every
// direction, over the image.
static void BM_Surface_Kite(benchmark::State& state) {
    Surface surface(imagewidth, imageheight);
    surface.setfillstyle(0);
    surface.setfillcolour(0xffffff);
    surface.setlinecolour(0xffffff);
    std::vector<std::array<PixelPoint, 4>> kites(1024);
    for (size_t n = 0; n < kites.size(); ++n) {
        const double a = n * 2.399, speed = 4 + static_cast<double>(n % 9);
        const double x = 20 + static_cast<double>((n * 97) % 780),
                     y = 20 + static_cast<double>((n * 61) % 670);
        const auto at = [&](double along, double across) {
            return PixelPoint{
                static_cast<int32_t>(std::lround(x + std::cos(a) * along - std::sin(a) * across)),
                static_cast<int32_t>(std::lround(y + std::sin(a) * along + std::cos(a) * across))};
        };
        kites[n] = {at(-2 * speed, 0), at(0, 0.75), at(3, 0), at(0, -0.75)};
    }
    size_t i = 0;
    for (auto _ : state) {
        // A frame's worth of kites kept, then drawn.
        for (int k = 0; k < 64; ++k) surface.polygon(kites[i++ & 1023].data(), 4);
        surface.finish();
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_Surface_Kite);

// The HUD's score line (10-point) and its small stock bars (7-point).
static void BM_Surface_PrintScore10(benchmark::State& state) {
    printing(state, 10);
}
BENCHMARK(BM_Surface_PrintScore10);
static void BM_Surface_PrintBar7(benchmark::State& state) {
    printing(state, 7);
}
BENCHMARK(BM_Surface_PrintBar7);
