// The player that makes the game's sound through SDL_mixer: every wave alias
// owns a mixer channel of its own, so an effect restarts without cutting off
// the others, and the music aliases share the one music stream.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/media.h"

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

class SdlMixerPlayer : public MediaPlayer {
  public:
    // Opens the audio device; without one every command fails quietly.
    SdlMixerPlayer();
    ~SdlMixerPlayer() override;
    SdlMixerPlayer(const SdlMixerPlayer&) = delete;
    SdlMixerPlayer& operator=(const SdlMixerPlayer&) = delete;

    bool audioopen() const { return audioopen_; }

    bool openwave(const std::string& alias, const std::filesystem::path& file) override;
    bool opensequence(const std::string& alias, const std::filesystem::path& file) override;
    bool playfromstart(const std::string& alias) override;
    bool play(const std::string& alias) override;
    bool stop(const std::string& alias) override;
    bool seektostart(const std::string& alias) override;
    bool isplaying(const std::string& alias) override;
    void close(const std::string& alias) override;

  private:
    struct Wave {
        Mix_Chunk* chunk = nullptr;
        int channel = -1;
        bool stopped = false;  // paused by "stop", so "play" goes on from there
    };
    int freechannel();

    bool audioopen_ = false;
    bool ownsaudio_ = false;  // this player initialised SDL's audio and closes it again
    int channelcount_ = 0;
    std::vector<bool> channelused_;
    std::map<std::string, Wave> waves_;
    std::map<std::string, Mix_Music*> music_;
    std::string current_;  // the music alias that holds the music stream
    bool musicpaused_ = false;
};
