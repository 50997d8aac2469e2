// Writes the game's sound effects and music into a folder:
//   volmarin-makesounds <folder>
// The game reads them from the folder it runs in.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>

#include "core/media.h"
#include "pieces.h"
#include "sound_sets.h"
#include "wav.h"

namespace fs = std::filesystem;
using namespace volmarin::media;

namespace {

// Both ship sets must provide exactly the effects the game opens, and the
// loose sounds exactly the ones it plays.
void check_set(const char* set, const std::vector<NamedSound>& sounds,
               const std::vector<std::string>& wanted) {
    std::set<std::string> made;
    for (const NamedSound& s : sounds) made.insert(s.name);
    if (made != std::set<std::string>(wanted.begin(), wanted.end())) {
        throw std::runtime_error(std::string("the ") + set +
                                 " sounds do not match the game's media list");
    }
}

void write_sounds(const fs::path& folder, const std::vector<NamedSound>& sounds) {
    fs::create_directories(folder);
    for (const NamedSound& s : sounds) {
        write_file((folder / s.name).string(), wav_bytes(to_pcm16(s.samples), kSampleRate));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    try {
        const fs::path out = argv[1];
        const auto classic = classic_set();
        const auto trek = trek_set();
        const auto loose = loose_sounds();
        std::vector<std::string> loosenames;
        for (const MediaFile& m : loosesounds) loosenames.push_back(m.file);
        check_set("classic", classic, sound_set_names());
        check_set("trek", trek, sound_set_names());
        check_set("loose", loose, loosenames);
        write_sounds(out / "classic", classic);
        write_sounds(out / "trek", trek);
        write_sounds(out, loose);
        write_file((out / music::gamemusic.file).string(), game_theme());
        write_file((out / music::menumusic.file).string(), menu_theme());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "volmarin-makesounds: %s\n", e.what());
        return 1;
    }
    return 0;
}
