// volmarin: the game in its window. The program's folder (where the sounds,
// music and font live) becomes the current folder before anything else
// happens. `--version` and `--help` answer and end; other arguments are ignored.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "buildinfo.h"
#include "core/game.h"
#include "core/random.h"
#include "platform/folders.h"
#include "platform/sdl/sdl_platform.h"

namespace {
constexpr const char* help =
    "Usage: volmarin [--version] [--help]\n"
    "VOLMARIN, a vector arcade game: turn, thrust and shoot the rocks to pieces.\n"
    "\n"
    "  Left/Right turn    Up thrust      Space fire       Alt hyperspace\n"
    "  Ctrl A-bomb        1-4 weapon     X self-destruct  P pause\n"
    "  R outlines         Esc give up    Enter confirm    F11 full screen\n"
    "\n"
    "High scores are kept in hiscores.dat in the game's data folder while it is\n"
    "writable, otherwise in $XDG_DATA_HOME/volmarin/ (~/.local/share/volmarin/).\n";
}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--version") {
            std::cout << "volmarin " << VOLMARIN_VERSION << "\n";
            return 0;
        }
        if (arg == "--help") {
            std::cout << help;
            return 0;
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
    auto seed = std::chrono::system_clock::now().time_since_epoch().count();
    ClockRandom random(static_cast<uint64_t>(seed));
    // The game holds every collection of the run in fixed arrays: a few megabytes.
    auto game = std::make_unique<Game>(*platform, random);
    try {
        game->Form_Load();
    } catch (const WindowClosed&) {
        return 0;
    } catch (const ProgramEnd& end) {
        return end.status;
    }
    return 0;
}
