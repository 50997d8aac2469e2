// Cost of showing one image in the real SDL window. Runs under the desktop's
// X server, or starts its own Xvfb when there is no display.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/sdl/sdl_platform.h"
#include "xserver/xserver.h"

namespace {
// Away from a desktop the benchmarks get an X server of their own, stopped
// when they end.
void display() {
    static std::optional<Xserver> server;
    if (!server && !std::getenv("DISPLAY")) server.emplace();
}
}  // namespace

// One present of an 823 x 709 image: into a window of the same size, or
// scaled into a 1024 x 768 one (the whole screen of the benchmark's server),
// on the window's own surface or through a hardware renderer.
static void present(benchmark::State& state, bool hardware, bool scaled) {
    display();
    std::unique_ptr<SdlPlatform> platform;
    try {
        platform = std::make_unique<SdlPlatform>(std::filesystem::temp_directory_path());
    } catch (const std::exception& e) {
        state.SkipWithError((std::string("no window: ") + e.what()).c_str());
        return;
    }
    if (!platform->usehardware(hardware)) {
        state.SkipWithError("no hardware renderer");
        return;
    }
    if (scaled) {
        SDL_SetWindowPosition(platform->window(), 0, 0);
        SDL_SetWindowSize(platform->window(), 1024, 768);
        SDL_PumpEvents();
    }
    Surface& s = platform->surface();
    s.setbackcolour(0x402010);
    s.clear();
    for (auto _ : state) platform->present();
    state.counters["budget_%"] = benchmark::Counter(
        12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

static void BM_PresentImage(benchmark::State& state) {
    present(state, false, false);
}
static void BM_PresentImage_Scaled(benchmark::State& state) {
    present(state, false, true);
}
static void BM_PresentImage_Hardware(benchmark::State& state) {
    present(state, true, false);
}
static void BM_PresentImage_HardwareScaled(benchmark::State& state) {
    present(state, true, true);
}
BENCHMARK(BM_PresentImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PresentImage_Scaled)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PresentImage_Hardware)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PresentImage_HardwareScaled)->Unit(benchmark::kMillisecond)->UseRealTime();
