// Cost of reading and writing the high-score file through the game, on the
// machine's own file system: both happen between games, never in a frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "core/game.h"
#include "platform/headless/headless_platform.h"

namespace {
struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("volmarin-bench-" + std::to_string(std::random_device{}()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

struct Table {
    Folder folder;
    HeadlessPlatform platform{folder.path};
    ClockRandom random{3};
    std::unique_ptr<Game> game = std::make_unique<Game>(platform, random);
    Table() {
        game->clearhighscores();  // writes the default table
        game->highscorename[3] = "ANNA";
        game->highscore[3] = 123400;
        game->savehighscores();
    }
};
}  // namespace

static void BM_HighScores_Load(benchmark::State& state) {
    Table t;
    for (auto _ : state) {
        t.game->loadhighscores();
        benchmark::DoNotOptimize(t.game->highscore[1]);
    }
    state.counters["budget_%"] = benchmark::Counter(
        12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HighScores_Load)->Unit(benchmark::kMicrosecond);

static void BM_HighScores_Save(benchmark::State& state) {
    Table t;
    for (auto _ : state) {
        t.game->savehighscores();
        benchmark::DoNotOptimize(t.game->highscoressaved);
    }
    state.counters["budget_%"] = benchmark::Counter(
        12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HighScores_Save)->Unit(benchmark::kMicrosecond);
