// Fuzzing the media-command interpreter over the silent player: any lines of
// text, sent one command each, must give a known result, a reply that is empty
// or a mode word, and keep the interpreter's open aliases in step with the
// player's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/media.h"
#include "platform/memoryplayer.h"

namespace {
void require(bool condition) {
    if (!condition) std::abort();
}

// A program folder holding what the game opens: a sound set, a loose effect and the music.
const std::filesystem::path& folder() {
    static const std::filesystem::path path = [] {
        auto p = std::filesystem::temp_directory_path() / "volmarin-media-fuzz";
        std::filesystem::create_directories(p / "classic");
        for (const char* name :
             {"classic/fire1.wav", "ding.wav", "Firebomb.mid", "MortalKombat.mid"}) {
            std::ofstream(p / name) << "RIFF";
        }
        return p;
    }();
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto owned = std::make_unique<MemoryPlayer>();
    MemoryPlayer& player = *owned;
    MediaCommands media(std::move(owned), folder());
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::set<std::string> opened;  // every alias an open may have created, lower case

    size_t start = 0;
    while (start <= input.size()) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        std::string_view command = input.substr(start, end - start);
        start = end + 1;

        std::string reply = "stale";
        int result = media.send(command, &reply);
        require(result >= media_ok && result <= media_playerfailed);
        require(reply.empty() || reply == "playing" || reply == "stopped");
        if (result != media_ok) require(reply.empty());

        // The last word of an open command is its alias.
        size_t last = command.find_last_not_of(" \t\r");
        if (last != std::string_view::npos) {
            size_t first = command.find_last_of(" \t", last);
            std::string word(
                command.substr(first == std::string_view::npos ? 0 : first + 1,
                               last - (first == std::string_view::npos ? 0 : first + 1) + 1));
            for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            opened.insert(word);
        }
        for (const std::string& alias : opened) {
            require(media.isopen(alias) == (player.find(alias) != nullptr));
        }
        if (end == input.size()) break;
    }
    return 0;
}
