// The media player of the page: the interpreter's aliases played through the
// Web Audio API. Wave files are decoded by the browser; a MIDI piece plays the
// Ogg rendering of it that the page ships beside it (NAME.ogg for NAME.mid).
// The browser starts sound only after a key has been pressed: until then
// effects are dropped and music waits, "playing", to start with the sound.
#pragma once

#include <filesystem>
#include <string>

#include "platform/media.h"

class WebAudioPlayer : public MediaPlayer {
  public:
    bool openwave(const std::string& alias, const std::filesystem::path& file) override;
    bool opensequence(const std::string& alias, const std::filesystem::path& file) override;
    bool playfromstart(const std::string& alias) override;
    bool play(const std::string& alias) override;
    bool stop(const std::string& alias) override;
    bool seektostart(const std::string& alias) override;
    bool isplaying(const std::string& alias) override;
    void close(const std::string& alias) override;

  private:
    bool open(const std::string& alias, const std::filesystem::path& file, bool music);
};
