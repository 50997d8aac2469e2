// A media player that makes no sound and only keeps each alias's state: the
// headless backend's player. Opens succeed when the file exists; a played
// alias sounds until it is stopped or a test lets it run out.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "platform/media.h"

class MemoryPlayer : public MediaPlayer {
  public:
    struct Alias {
        std::filesystem::path file;
        bool sequence = false;
        bool playing = false;
        int starts = 0;  // times played from the beginning
    };

    bool openwave(const std::string& alias, const std::filesystem::path& file) override;
    bool opensequence(const std::string& alias, const std::filesystem::path& file) override;
    bool playfromstart(const std::string& alias) override;
    bool play(const std::string& alias) override;
    bool stop(const std::string& alias) override;
    bool seektostart(const std::string& alias) override;
    bool isplaying(const std::string& alias) override;
    void close(const std::string& alias) override;

    // The sound has reached its end (music that has run out). Any case.
    void finish(const std::string& alias);
    // The alias's state, or nothing when it is not open. Any case.
    const Alias* find(const std::string& alias) const;

  private:
    bool open(const std::string& alias, const std::filesystem::path& file, bool sequence);
    std::map<std::string, Alias> aliases_;
};
