// volmarin: the game in its window. The program's folder (where the sounds,
// music, font and high-score file live) is the executable's folder, and it
// becomes the current folder before anything else happens.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "core/game.h"
#include "core/random.h"
#include "platform/sdl/sdl_platform.h"

namespace {
std::filesystem::path programfolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return std::filesystem::current_path(ec);
    return exe.parent_path();
}
}  // namespace

int main() {
    auto folder = programfolder();
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
