// volmarin-loudness: plays a loud stretch of the real game (the gun held down
// so that all four gun sounds overlap, A-bombs, self-destructs, missiles and
// the game music) with no window and SDL's disk audio driver, then counts the
// samples of the captured output that sit at full scale, second by second.
// Then it plays single effects alone, for their level on their own.
//   volmarin-loudness [seconds]     (run in the build folder, beside the sounds)
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/game.h"
#include "core/random.h"
#include "forwarding/forwardingplatform.h"
#include "platform/media.h"
#include "platform/sdl/sdl_mixer_player.h"
#include "platform/sdl/sdl_platform.h"

namespace {
struct Enough {};

constexpr int key_x = 'X';

// Passes everything to the real platform and plays the part of the player's
// hands: the gun held, the ship turning, bombs and self-destructs now and then.
class Player : public ForwardingPlatform {
  public:
    Player(Platform& inner, Game*& game, int64_t frames)
        : ForwardingPlatform(inner), game_(game), frames_(frames) {}
    void sethandler(EventHandler* handler) override {
        handler_ = handler;
        inner_.sethandler(handler);
    }
    void doevents() override {
        if (playing && handler_) {
            if (++frame_ > frames_) throw Enough{};
            hands();
        }
        inner_.doevents();
    }

    bool playing = false;

  private:
    void press(int code) {
        handler_->onkeydown(code);
        pressed_.push_back(code);
    }
    void hands() {
        for (int code : pressed_) handler_->onkeyup(code);
        pressed_.clear();
        Game& g = *game_;
        g.ammo[2] = 50;  // missiles and A-bombs never run out
        g.ammo[3] = 50;
        if (g.lives < 5) g.lives = 5;
        if (frame_ == 1) {
            handler_->onkeydown(vk::space);
            handler_->onkeydown(vk::left);
        }
        if (frame_ % 160 == 40) press(vk::control);
        if (frame_ % 240 == 100) press(key_x);
        if (frame_ % 320 == 200) press('3');
        if (frame_ % 320 == 230) press('1');
    }

    Game*& game_;
    EventHandler* handler_ = nullptr;
    int64_t frames_, frame_ = 0;
    std::vector<int> pressed_;
};

std::vector<int16_t> samples(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> out(data.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<int16_t>(static_cast<uint8_t>(data[2 * i]) |
                                      (static_cast<uint8_t>(data[2 * i + 1]) << 8));
    }
    return out;
}

bool fullscale(int16_t s) {
    return s >= 32767 || s <= -32767;
}

double dbfs(double rms) {
    return rms > 0 ? 20 * std::log10(rms / 32768.0) : -999;
}

// The stretch of play, captured to `file`.
bool play(const std::filesystem::path& folder, const std::filesystem::path& file, int seconds) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::unique_ptr<SdlPlatform> sdl;
    try {
        sdl = std::make_unique<SdlPlatform>(folder);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "volmarin-loudness: %s\n", e.what());
        return false;
    }
    Game* game = nullptr;
    Player hands(*sdl, game, static_cast<int64_t>(seconds) * 80);
    ClockRandom random(20261207);
    auto owned = std::make_unique<Game>(hands, random);
    game = owned.get();
    Game& g = *owned;
    g.frequency = hands.frequency();
    g.pixelscale = sdl->surface().height() / 600.0;
    hands.mcisendstring("open .\\Firebomb.mid type sequencer alias firebomb", nullptr);
    try {
        for (;;) {
            g.selectedship = 0;
            g.newgame();
            hands.playing = true;
            g.frameloop();
            hands.playing = false;
        }
    } catch (const Enough&) {
    }
    return true;
}

// One effect alone, captured to `file`; its peak and RMS while it sounds.
void alone(const std::filesystem::path& folder, const std::string& path,
           const std::filesystem::path& file) {
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    {
        auto owned = std::make_unique<SdlMixerPlayer>();
        MediaCommands media(std::move(owned), folder);
        media.send("open " + path + " type waveaudio alias effect", nullptr);
        media.send("play effect from 0", nullptr);
        std::string status = "playing";
        for (int i = 0; i < 500 && status == "playing"; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            media.send("status effect mode", &status);
        }
    }
    SDL_Quit();
    auto s = samples(file);
    int peak = 0;
    double sum = 0;
    size_t first = s.size(), last = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == 0) continue;
        first = std::min(first, i);
        last = i;
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    }
    for (size_t i = first; i <= last && i < s.size(); ++i) sum += double(s[i]) * s[i];
    double rms = last > first ? std::sqrt(sum / (last - first + 1)) : 0;
    std::printf("%-22s alone: peak %5d (%.1f dBFS), RMS %.1f dBFS\n", path.c_str(), peak,
                dbfs(peak), dbfs(rms));
}
}  // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    if (seconds < 2) seconds = 20;
    auto folder = std::filesystem::current_path();
    auto capture =
        std::filesystem::temp_directory_path() / ("volmarin-loudness-" + std::to_string(getpid()));
    std::filesystem::create_directories(capture);
    if (!play(folder, capture / "play.raw", seconds)) return 1;

    auto s = samples(capture / "play.raw");
    const size_t persecond = 44100 * 2;  // 16-bit stereo at 44.1 kHz
    size_t total = 0, worstcount = 0;
    double loudest = 0;
    for (size_t start = 0; start + persecond <= s.size(); start += persecond) {
        size_t count = 0;
        double sum = 0;
        for (size_t i = start; i < start + persecond; ++i) {
            count += fullscale(s[i]);
            sum += double(s[i]) * s[i];
        }
        total += count;
        worstcount = std::max(worstcount, count);
        loudest = std::max(loudest, std::sqrt(sum / persecond));
    }
    std::printf(
        "%zu s of loud play: %.4f %% of samples at full scale (worst second %.3f %%); "
        "loudest second RMS %.1f dBFS (%.0f)\n",
        s.size() / persecond, s.empty() ? 0.0 : 100.0 * total / s.size(),
        100.0 * worstcount / persecond, dbfs(loudest), loudest);
    alone(folder, ".\\classic\\fire.wav", capture / "fire.raw");
    alone(folder, ".\\classic\\abomb.wav", capture / "abomb.raw");
    alone(folder, ".\\explosion.wav", capture / "explosion.raw");
    std::filesystem::remove_all(capture);
    return 0;
}
