// Cost of the game frame's erase-move-draw work on the full 823 x 709 image,
// with the body list full of rocks. Figures go in the README as shares of the
// 12.5 ms frame budget. The fill-bound loads have a floor beside them: a plain
// fill writing as many pixels as one of their frames does; the jagged rocks
// also one counting the crossings of their edges.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/game.h"
#include "platform/headless/headless_platform.h"

namespace {
struct Field {
    HeadlessPlatform platform{std::filesystem::temp_directory_path()};
    ClockRandom random{7};
    std::unique_ptr<Game> game = std::make_unique<Game>(platform, random);

    // Rocks of `vertices` vertices spread over the playfield, drifting and turning.
    Field(int rocks, int vertices, double minradius, double maxradius) {
        Game& g = *game;
        g.bodies[0].state = 30000;  // the ship is shielded and parked, so rocks never hit it
        g.bodies[0].x = -500;
        g.bodies[0].y = -500;
        g.bodies.count = static_cast<int16_t>(rocks);
        for (int k = 1; k <= rocks; ++k) {
            Body& b = g.bodies[k];
            b.x = static_cast<float>(g.rnd() * g.playfieldwidth());
            b.y = static_cast<float>(g.rnd() * 600);
            b.vx = static_cast<float>(g.rnd() * 2 - 1);
            b.vy = static_cast<float>(g.rnd() * 2 - 1);
            b.vertexcount = static_cast<int16_t>(vertices);
            float spin = static_cast<float>(g.rnd() * 0.1 - 0.05);
            for (int j = 1; j <= vertices; ++j) {
                b.radius[j] = static_cast<float>(minradius + g.rnd() * (maxradius - minradius));
                b.angle[j] = static_cast<float>(6.283 / vertices * j);
                b.spin[j] = spin;
            }
            b.fillcolour = b.basecolour = rgb(40, 60, 120);
            b.linecolour = rgb(90, 110, 120);
        }
    }

    void frame() {
        Game& g = *game;
        g.erasepass();
        for (int k = 1; k <= g.bodies.count; ++k) g.bodystep(k);
        g.window.finish();  // as presenting the frame would
    }
};

void runframes(benchmark::State& state, Field& field) {
    const uint64_t before = field.platform.surface().pixelswritten();
    for (auto _ : state) {
        field.frame();
        benchmark::ClobberMemory();
    }
    state.counters["budget_%"] = benchmark::Counter(
        12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["shared"] = static_cast<double>(field.platform.surface().sharedfinishes()) /
                               static_cast<double>(state.iterations());
    state.counters["pixels"] =
        static_cast<double>(field.platform.surface().pixelswritten() - before) /
        static_cast<double>(state.iterations());
}

// Pixels a frame of the field writes, on average over its first frames.
uint64_t pixelsperframe(int rocks, int vertices, double minradius, double maxradius) {
    Field field(rocks, vertices, minradius, maxradius);
    constexpr int frames = 40;
    const uint64_t before = field.platform.surface().pixelswritten();
    for (int n = 0; n < frames; ++n) field.frame();
    return (field.platform.surface().pixelswritten() - before) / frames;
}

// The floor of a fill-bound frame: the same number of pixels written by a
// plain fill, image after image, into a buffer the size of the window.
void fillfloor(benchmark::State& state, uint64_t pixels) {
    HeadlessPlatform platform{std::filesystem::temp_directory_path()};
    const Surface& window = platform.surface();
    std::vector<uint32_t> image(static_cast<size_t>(window.width()) * window.height());
    uint32_t colour = 0xFF000000u;
    for (auto _ : state) {
        for (uint64_t left = pixels; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(left, image.size()));
            std::fill(image.data(), image.data() + n, colour);
            benchmark::ClobberMemory();
            left -= n;
            colour ^= 0x00FFFFFFu;
        }
    }
    state.counters["pixels"] = static_cast<double>(pixels);
}

// Two rows' crossings at once, as the image's fill works them out.
using Doubles2 = double __attribute__((vector_size(16)));
using Ints2 = int32_t __attribute__((vector_size(8)));

// The outlines one frame of the field fills: each body erased where it was,
// then drawn where it has moved to.
std::vector<std::vector<PixelPoint>> frameoutlines(Field& field) {
    Game& g = *field.game;
    std::vector<std::vector<PixelPoint>> outlines;
    const auto collect = [&] {
        for (int k = 1; k <= g.bodies.count; ++k) {
            const int n = g.bodypoints(g.bodies[k]);
            outlines.emplace_back(&g.points[1], &g.points[1] + n);
        }
    };
    collect();
    field.frame();
    collect();
    return outlines;
}

// The other floor of a frame whose outlines cross each row many times: every
// crossing of a row's centre line by an edge worked out by the image's rule
// (its pixel rounded up from the edge's line), as the fill must, and marked as
// a bit; nothing is filled or outlined, and no outline worked out. One thread.
void crossingfloor(benchmark::State& state, Field& field) {
    const auto outlines = frameoutlines(field);
    const int64_t height = field.platform.surface().height();
    std::vector<uint64_t> marks(1024 * 16);  // rows and words, reused round and round
    int64_t crossings = 0;
    for (auto _ : state) {
        crossings = 0;
        for (const auto& o : outlines) {
            for (size_t i = 0; i < o.size(); ++i) {
                const PixelPoint& a = o[i];
                const PixelPoint& b = o[i + 1 == o.size() ? 0 : i + 1];
                if (a.y == b.y) continue;
                const int64_t from = std::max<int64_t>(std::min(a.y, b.y), 0);
                const int64_t to = std::min<int64_t>(std::max(a.y, b.y), height) - 1;
                const double slope =
                    (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
                const int rows = static_cast<int>(to - from + 1);
                const Doubles2 y0 = Doubles2{0.5, 1.5} + static_cast<double>(from) - a.y;
                for (int r = 0; r < rows; r += 2) {
                    const Doubles2 t = a.x + (y0 + r) * slope - 0.5;
                    const Ints2 whole = __builtin_convertvector(t, Ints2);
                    const Ints2 x =
                        whole - __builtin_convertvector(
                                    __builtin_convertvector(whole, Doubles2) < t, Ints2);
                    for (int l = 0; l < 2 && r + l < rows; ++l) {
                        const int64_t y = from + r + l;
                        marks[static_cast<size_t>((y & 1023) * 16 + ((x[l] >> 6) & 15))] ^=
                            uint64_t{1} << (x[l] & 63);
                    }
                }
                crossings += std::max<int64_t>(to - from + 1, 0);
            }
        }
        benchmark::DoNotOptimize(marks.data());
        benchmark::ClobberMemory();
    }
    state.counters["crossings"] = static_cast<double>(crossings);
}
}  // namespace

// 1000 small eight-vertex rocks: the size of split pieces, as a crowded late level has them.
static void BM_Frame_1000SmallRocks8Vertices(benchmark::State& state) {
    Field field(1000, 8, 6, 12);
    runframes(state, field);
}
BENCHMARK(BM_Frame_1000SmallRocks8Vertices)->Unit(benchmark::kMillisecond);

// 1000 eight-vertex rocks of a new level's size (radius 40 to 65): the whole
// window is covered many times over, so this is the fill-rate bound.
static void BM_Frame_1000LevelRocks8Vertices(benchmark::State& state) {
    Field field(1000, 8, 40, 65);
    runframes(state, field);
}
BENCHMARK(BM_Frame_1000LevelRocks8Vertices)->Unit(benchmark::kMillisecond);
static void BM_FillFloor_1000LevelRocks8Vertices(benchmark::State& state) {
    fillfloor(state, pixelsperframe(1000, 8, 40, 65));
}
BENCHMARK(BM_FillFloor_1000LevelRocks8Vertices)->Unit(benchmark::kMillisecond);

// 100 giant-rock outlines of 300 vertices (radius 40 to 65).
static void BM_Frame_100Rocks300Vertices(benchmark::State& state) {
    Field field(100, 300, 40, 65);
    runframes(state, field);
}
BENCHMARK(BM_Frame_100Rocks300Vertices)->Unit(benchmark::kMillisecond);
static void BM_FillFloor_100Rocks300Vertices(benchmark::State& state) {
    fillfloor(state, pixelsperframe(100, 300, 40, 65));
}
BENCHMARK(BM_FillFloor_100Rocks300Vertices)->Unit(benchmark::kMillisecond);
static void BM_CrossingFloor_100Rocks300Vertices(benchmark::State& state) {
    Field field(100, 300, 40, 65);
    crossingfloor(state, field);
}
BENCHMARK(BM_CrossingFloor_100Rocks300Vertices)->Unit(benchmark::kMillisecond);
