// Cost of showing one image in the real SDL window. Runs under the desktop's
// X server, or starts its own Xvfb when there is no display.
#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <SDL.h>

#include "platform/sdl/sdl_platform.h"

namespace {
// A private X server for the run, stopped when the benchmarks end. Xvfb picks
// a free display number itself, so a server already running is never taken over.
class Display {
public:
    Display() {
        if (std::getenv("DISPLAY")) return;
        if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) return;
        int fds[2];
        if (pipe(fds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 10000) > 0) {
            char c;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) setenv("DISPLAY", (":" + number).c_str(), 1);
    }
    ~Display() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

Display& display() {
    static Display d;
    return d;
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

static void BM_PresentImage(benchmark::State& state) { present(state, false, false); }
static void BM_PresentImage_Scaled(benchmark::State& state) { present(state, false, true); }
static void BM_PresentImage_Hardware(benchmark::State& state) { present(state, true, false); }
static void BM_PresentImage_HardwareScaled(benchmark::State& state) { present(state, true, true); }
BENCHMARK(BM_PresentImage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PresentImage_Scaled)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PresentImage_Hardware)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PresentImage_HardwareScaled)->Unit(benchmark::kMillisecond)->UseRealTime();
