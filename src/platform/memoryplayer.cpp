// The silent player of the headless backend: alias state without sound.
#include "platform/memoryplayer.h"

#include <system_error>

#include "platform/gamepath.h"

bool MemoryPlayer::open(const std::string& alias, const std::filesystem::path& file,
                        bool sequence) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    aliases_[alias] = Alias{file, sequence, false, 0};
    return true;
}

bool MemoryPlayer::openwave(const std::string& alias, const std::filesystem::path& file) {
    return open(alias, file, false);
}

bool MemoryPlayer::opensequence(const std::string& alias, const std::filesystem::path& file) {
    return open(alias, file, true);
}

bool MemoryPlayer::playfromstart(const std::string& alias) {
    auto it = aliases_.find(alias);
    if (it == aliases_.end()) return false;
    if (it->second.sequence) {
        // One piece of music sounds at a time.
        for (auto& [name, other] : aliases_) {
            if (other.sequence) other.playing = false;
        }
    }
    it->second.playing = true;
    ++it->second.starts;
    return true;
}

bool MemoryPlayer::play(const std::string& alias) {
    auto it = aliases_.find(alias);
    if (it == aliases_.end()) return false;
    if (!it->second.playing && it->second.sequence) {
        for (auto& [name, other] : aliases_) {
            if (other.sequence) other.playing = false;
        }
    }
    it->second.playing = true;
    return true;
}

bool MemoryPlayer::stop(const std::string& alias) {
    auto it = aliases_.find(alias);
    if (it == aliases_.end()) return false;
    it->second.playing = false;
    return true;
}

bool MemoryPlayer::seektostart(const std::string& alias) {
    // Seeking stops the sound where it is, as the command devices do.
    return stop(alias);
}

bool MemoryPlayer::isplaying(const std::string& alias) {
    auto it = aliases_.find(alias);
    return it != aliases_.end() && it->second.playing;
}

void MemoryPlayer::close(const std::string& alias) {
    aliases_.erase(alias);
}

void MemoryPlayer::finish(const std::string& alias) {
    auto it = aliases_.find(lower(alias));
    if (it != aliases_.end()) it->second.playing = false;
}

const MemoryPlayer::Alias* MemoryPlayer::find(const std::string& alias) const {
    auto it = aliases_.find(lower(alias));
    return it == aliases_.end() ? nullptr : &it->second;
}
