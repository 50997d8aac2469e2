// Cost of showing one image in the real SDL window. Runs under the desktop's
// X server, or starts its own Xvfb when there is no display.
#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/sdl/sdl_platform.h"

namespace {
// A private X server for the run, stopped when the benchmarks end.
class Display {
public:
    Display() {
        if (std::getenv("DISPLAY")) return;
        if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) return;
        const char* name = ":87";
        pid_ = fork();
        if (pid_ == 0) {
            execlp("Xvfb", "Xvfb", name, "-screen", "0", "1024x768x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        setenv("DISPLAY", name, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
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

static void BM_PresentImage(benchmark::State& state) {
    display();
    std::unique_ptr<SdlPlatform> platform;
    try {
        platform = std::make_unique<SdlPlatform>(std::filesystem::temp_directory_path());
    } catch (const std::exception& e) {
        state.SkipWithError((std::string("no window: ") + e.what()).c_str());
        return;
    }
    Surface& s = platform->surface();
    s.setbackcolour(0x402010);
    s.clear();
    for (auto _ : state) platform->present();
    state.counters["budget_%"] =
        benchmark::Counter(12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PresentImage)->Unit(benchmark::kMillisecond)->UseRealTime();
