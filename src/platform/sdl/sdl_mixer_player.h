// The player that makes the game's sound through SDL_mixer: every wave alias
// owns a mixer channel of its own, so an effect restarts without cutting off
// the others, and the music aliases share the one music stream. A piece of
// music loads on a worker thread when it is first played, so that opening it
// costs the game's first frames nothing, and starts as soon as it is ready;
// only the piece holding the stream is kept in memory.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
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
    // Waits until every piece of music played so far has loaded (or failed to).
    void waitforloading();
    // Pieces of music loaded and held in memory.
    int piecesinmemory();

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
    struct Music {
        std::filesystem::path file;
        Mix_Music* music = nullptr;
        bool loaded = false;   // the worker is done with it, music or not
        bool loading = false;  // waiting for the worker or being loaded
        int number = 0;        // tells a reopened alias from the one closed before
    };
    int freechannel();
    void loadmusic();  // the worker thread
    void startloading(const std::string& alias, Music& music);
    void releaseothers(const std::string& alias);
    bool startmusic(const std::string& alias);

    static void limit(void* player, unsigned char* stream, int length);

    bool audioopen_ = false;
    // The mix is made quieter and raised again through a limiter (16-bit output only).
    bool headroom_ = false;
    int outputchannels_ = 2;
    float limitergain_ = 1.0f;     // read and written on the audio thread only
    float limiterrelease_ = 0.0f;  // share of the way back to full gain per sample
    bool ownsaudio_ = false;       // this player initialised SDL's audio and closes it again
    int channelcount_ = 0;
    std::vector<bool> channelused_;
    std::map<std::string, Wave> waves_;

    // The music, shared with the loading worker; everything below the lock
    // is only touched while holding it.
    std::mutex lock_;
    std::condition_variable loadedsignal_;
    std::thread loader_;
    struct Load {
        std::string alias;
        std::filesystem::path file;
        int number;
    };
    std::deque<Load> toload_;
    int opened_ = 0;  // pieces opened so far, numbering them
    bool ending_ = false;
    std::map<std::string, Music> music_;
    std::string current_;  // the music alias that holds the music stream
    bool musicpaused_ = false;
    bool startwhenloaded_ = false;  // current_ was played before it had loaded
};
