// volmarin-framepacing: plays 800 frames of a real game in the real SDL window
// (starting a private Xvfb when there is no display) and reports how evenly
// the frames come: mean, 99th percentile and longest period against the
// 12.5 ms of 80 frames per second.
//   volmarin-framepacing [frames]
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/game.h"
#include "core/random.h"
#include "forwarding/forwardingplatform.h"
#include "platform/sdl/sdl_platform.h"
#include "xserver/xserver.h"

namespace {
struct Enough {};

// Passes everything to the real platform and notes the counter each time the
// game processes its events, which it does once at the start of every frame.
class Stopwatch : public ForwardingPlatform {
  public:
    Stopwatch(Platform& inner, size_t frames) : ForwardingPlatform(inner), frames_(frames) {
        readings_.reserve(frames + 1);
        showing_.reserve(frames + 1);
    }

    void doevents() override {
        if (recording) {
            readings_.push_back(inner_.counter());
            if (readings_.size() > frames_) throw Enough{};
            inner_.doevents();
            showing_.push_back(inner_.counter() - readings_.back());
            return;
        }
        inner_.doevents();
    }

    bool recording = false;
    const std::vector<int64_t>& readings() const { return readings_; }
    // Ticks spent in each frame's event processing, which shows the image.
    const std::vector<int64_t>& showing() const { return showing_; }

  private:
    size_t frames_;
    std::vector<int64_t> readings_;
    std::vector<int64_t> showing_;
};

struct Figures {
    double mean, p99, longest;
};

Figures figures(std::vector<double> ms) {
    double sum = 0;
    for (double v : ms) sum += v;
    std::sort(ms.begin(), ms.end());
    return {sum / ms.size(), ms[std::min(ms.size() - 1, static_cast<size_t>(ms.size() * 0.99))],
            ms.back()};
}

}  // namespace

int main(int argc, char** argv) {
    size_t frames = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 800;
    if (frames < 2) frames = 800;
    // Away from a desktop the run gets an X server of its own.
    std::optional<Xserver> server;
    if (!std::getenv("DISPLAY")) server.emplace();
    std::unique_ptr<SdlPlatform> sdl;
    try {
        sdl = std::make_unique<SdlPlatform>(std::filesystem::current_path());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "volmarin-framepacing: %s\n", e.what());
        return 1;
    }
    Stopwatch watch(*sdl, frames);
    ClockRandom random(20261207);
    auto game = std::make_unique<Game>(watch, random);
    Game& g = *game;
    g.frequency = watch.frequency();
    g.pixelscale = sdl->surface().height() / 600.0;
    g.window.setfontface("StarTrek Film BT");
    try {
        for (;;) {
            g.selectedship = 0;
            g.newgame();  // level 1 after its banner
            watch.recording = true;
            g.frameloop();
            watch.recording = false;
        }
    } catch (const Enough&) {
    } catch (const WindowClosed&) {
        std::fprintf(stderr, "volmarin-framepacing: the window was closed\n");
        return 1;
    }

    const auto& r = watch.readings();
    std::vector<double> periods;
    for (size_t i = 1; i < r.size(); ++i)
        periods.push_back((r[i] - r[i - 1]) * 1000.0 / g.frequency);
    std::vector<double> shown;
    for (int64_t t : watch.showing()) shown.push_back(t * 1000.0 / g.frequency);
    size_t late =
        std::count_if(periods.begin(), periods.end(), [](double p) { return p > 12.5 * 1.1; });
    Figures f = figures(periods), s = figures(shown);
    std::printf(
        "frames %zu  period mean %.3f ms  p99 %.3f ms  max %.3f ms  (target 12.500 ms; %zu over "
        "13.75 ms)\n",
        periods.size(), f.mean, f.p99, f.longest, late);
    std::printf("of which events and showing the image: mean %.3f ms  p99 %.3f ms  max %.3f ms\n",
                s.mean, s.p99, s.longest);
    return 0;
}
