// volmarin: the game in its window. The program's folder (where the sounds,
// music and font live) becomes the current folder before anything else
// happens. `--version` and `--help` answer and end; `--record FILE` writes the
// game's input to a key file and `--replay FILE` plays one back; other
// arguments are ignored.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "buildinfo.h"
#include "core/game.h"
#include "core/random.h"
#include "platform/folders.h"
#include "platform/keyscript.h"
#include "platform/recorder.h"
#include "platform/sdl/sdl_platform.h"

namespace {
constexpr const char* help =
    "Usage: volmarin [--version] [--help] [--record FILE | --replay FILE]\n"
    "VOLMARIN, a vector arcade game: turn, thrust and shoot the rocks to pieces.\n"
    "\n"
    "  Left/Right turn    Up thrust      Space fire       Alt hyperspace\n"
    "  Ctrl A-bomb        1-4 weapon     X self-destruct  P pause\n"
    "  R outlines         Esc give up    Enter confirm    F11 full screen\n"
    "\n"
    "High scores are kept in hiscores.dat in the game's data folder while it is\n"
    "writable, otherwise in $XDG_DATA_HOME/volmarin/ (~/.local/share/volmarin/).\n"
    "\n"
    "  --record FILE   write every key the game gets, with its frame, to FILE\n"
    "  --replay FILE   play a recorded game back in the window (Esc stops)\n";

// The player's own keys while a replay runs: Esc stops it, the rest is ignored.
class ReplayWatch : public EventHandler {
  public:
    explicit ReplayWatch(EventHandler& game) : game_(game) {}
    InputContext inputcontext() const override { return game_.inputcontext(); }
    void onkeydown(int keycode) override {
        if (keycode == vk::escape) stop();
    }
    void onkeyup(int) override {}
    void ontyped(int) override {}
    void onunload() override { game_.onunload(); }
    // Ends the program as closing the window does.
    [[noreturn]] void stop() {
        game_.onunload();
        throw WindowClosed{};
    }

  private:
    EventHandler& game_;
};

int failed(const std::string& message, int status) {
    std::cerr << "volmarin: " << message << "\n";
    return status;
}
}  // namespace

int main(int argc, char** argv) {
    std::string recordfile, replayfile;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--record" || arg == "--replay") {
            if (i + 1 >= argc) return failed(std::string(arg) + " needs a file", 2);
            (arg == "--record" ? recordfile : replayfile) = argv[++i];
            continue;
        }
        if (arg == "--version") {
            std::cout << "volmarin " << VOLMARIN_VERSION << "\n";
            return 0;
        }
        if (arg == "--help") {
            std::cout << help;
            return 0;
        }
    }
    if (!recordfile.empty() && !replayfile.empty())
        return failed("--record and --replay do not go together", 2);
    // Both files are named from the folder the program was started in.
    std::ofstream record;
    if (!recordfile.empty()) {
        record.open(recordfile);
        if (!record) return failed("cannot write " + recordfile, 1);
    }
    KeyScript replay;
    if (!replayfile.empty()) {
        std::ifstream in(replayfile);
        if (!in) return failed("cannot read " + replayfile, 1);
        std::stringstream text;
        text << in.rdbuf();
        try {
            replay = parsekeyfile(text.str());
        } catch (const std::exception& e) {
            return failed(e.what(), 1);
        }
    }

    auto folder = programfolder(binaryfolder(), VOLMARIN_DATA_FROM_BINARY);
    std::error_code ec;
    std::filesystem::current_path(folder, ec);

    std::unique_ptr<SdlPlatform> platform;
    try {
        platform = std::make_unique<SdlPlatform>(folder);
        // The high-score table stays beside the program while the game may
        // write there, and moves to the player's data folder otherwise.
        platform->files().setstatefolder(tablefolder(folder));
    } catch (const std::exception& e) {
        std::cerr << "volmarin: " << e.what() << "\n";
        return 1;
    }
    auto seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    if (replay.seed) seed = *replay.seed;
    ClockRandom random(seed);
    // The game holds every collection of the run in fixed arrays: a few megabytes.
    auto game = std::make_unique<Game>(*platform, random);

    std::optional<InputRecorder> recorder;
    if (record.is_open()) {
        // The recorder stands between the keys and the game, writing down what the game hears.
        recorder.emplace(record, seed, platform->surface());
        recorder->setgame(game.get());
        platform->sethandler(&*recorder);
        platform->onframe([&](int64_t frame) { recorder->setframe(frame); });
    }
    ScriptPlayer player;
    ReplayWatch watch(*game);
    if (!replayfile.empty()) {
        for (const ScriptedEvent& e : replay.events) player.add(e);
        player.sethandler(game.get());
        platform->sethandler(&watch);
        const int64_t end = replay.end.value_or(0);
        platform->onframe([&](int64_t frame) {
            if (end > 0 && frame > end) watch.stop();  // the recorded game is over
            // The pads' clock in milliseconds.
            player.deliver(
                frame, platform->counter() / std::max<int64_t>(1, platform->frequency() / 1000));
        });
    }

    const int status = game->run();
    if (recorder) {
        recorder->finish();
        // A recording cut short (a full disk) must not pass for a whole one.
        if (!record.flush()) return failed("the recording in " + recordfile + " is incomplete", 1);
    }
    return status;
}
