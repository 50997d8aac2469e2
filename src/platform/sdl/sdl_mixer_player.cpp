// Effects and music through SDL_mixer. Each effect alias plays on its own
// channel (the four gun aliases therefore overlap, and replaying an alias cuts
// off only itself); one piece of music plays at a time on the music stream.
// Loading a MIDI piece makes the synthesizer read the whole SoundFont, which
// takes a tenth of a second and about 9 MB, so a piece loads on a worker
// thread when it is first played, and only the piece that holds the music
// stream stays in memory.
#include "platform/sdl/sdl_mixer_player.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

#include "platform/sdl/quiet_errors.h"

namespace {
// Channels allocated at first; more are added when every one has an alias.
constexpr int initialchannels = 32;
// About 23 ms of sound per mixing buffer at 44.1 kHz: short enough that an
// effect starts with the frame that asked for it.
constexpr int buffersamples = 1024;
constexpr int frequency = 44100;  // samples per second

// Headroom: every effect and the music are mixed at an eighth of their level
// (18 dB down), so that four gun shots, a bomb, an explosion and the music
// together still add up inside the 16-bit range, and the sum is raised eight
// times again afterwards. A single effect therefore sounds as loud as its
// file; only where the sum would pass the ceiling does the limiter turn it
// down, at once, and let it come back over a short release.
constexpr int mixvolume = MIX_MAX_VOLUME / 8;
constexpr float makeup = 8.0f;
constexpr float ceiling = 30000.0f;      // about -0.8 dB below full scale
constexpr double releaseseconds = 0.15;  // back to full gain after a loud moment
}  // namespace

// Runs on the audio thread with each mixed buffer of 16-bit samples.
void SdlMixerPlayer::limit(void* player, unsigned char* stream, int length) {
    auto& self = *static_cast<SdlMixerPlayer*>(player);
    auto* samples = reinterpret_cast<int16_t*>(stream);
    const int channels = self.outputchannels_;
    const int count = length / 2 / channels;
    float gain = self.limitergain_;
    for (int i = 0; i < count; ++i) {
        int16_t* frame = samples + i * channels;
        float peak = 0;
        for (int c = 0; c < channels; ++c) peak = std::max(peak, std::abs(frame[c] * makeup));
        float wanted = peak * gain > ceiling ? ceiling / peak : 1.0f;
        gain = wanted < gain ? wanted : gain + (1.0f - gain) * self.limiterrelease_;
        for (int c = 0; c < channels; ++c) {
            float v = std::clamp(frame[c] * makeup * gain, -ceiling, ceiling);
            frame[c] = static_cast<int16_t>(std::lrint(v));
        }
    }
    self.limitergain_ = gain;
}

SdlMixerPlayer::SdlMixerPlayer() {
    QuietErrors quiet;
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        ownsaudio_ = true;
    }
    if (Mix_OpenAudio(frequency, MIX_DEFAULT_FORMAT, 2, buffersamples) != 0) {
        if (ownsaudio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        ownsaudio_ = false;
        return;
    }
    Mix_Init(MIX_INIT_MID);
    audioopen_ = true;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) && format == AUDIO_S16SYS && channels > 0) {
        outputchannels_ = channels;
        limiterrelease_ = static_cast<float>(1.0 - std::exp(-1.0 / (releaseseconds * rate)));
        Mix_VolumeMusic(mixvolume);
        Mix_SetPostMix(&SdlMixerPlayer::limit, this);
        headroom_ = true;
    }
    channelcount_ = Mix_AllocateChannels(initialchannels);
    channelused_.assign(static_cast<size_t>(channelcount_), false);
}

SdlMixerPlayer::~SdlMixerPlayer() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        ending_ = true;
        toload_.clear();
    }
    loadedsignal_.notify_all();
    if (loader_.joinable()) loader_.join();
    if (!audioopen_) return;
    Mix_HaltMusic();
    Mix_HaltChannel(-1);
    Mix_SetPostMix(nullptr, nullptr);
    for (auto& [alias, wave] : waves_) Mix_FreeChunk(wave.chunk);
    for (auto& [alias, music] : music_) {
        if (music.music) Mix_FreeMusic(music.music);
    }
    Mix_CloseAudio();
    Mix_Quit();
    if (ownsaudio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int SdlMixerPlayer::freechannel() {
    for (size_t i = 0; i < channelused_.size(); ++i) {
        if (!channelused_[i]) return static_cast<int>(i);
    }
    int wanted = channelcount_ + 16;
    if (Mix_AllocateChannels(wanted) != wanted) return -1;
    channelcount_ = wanted;
    channelused_.resize(static_cast<size_t>(wanted), false);
    return freechannel();
}

bool SdlMixerPlayer::openwave(const std::string& alias, const std::filesystem::path& file) {
    if (!audioopen_ || waves_.count(alias)) return false;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (music_.count(alias)) return false;
    }
    int channel = freechannel();
    if (channel < 0) return false;
    Mix_Chunk* chunk = Mix_LoadWAV(file.string().c_str());
    if (!chunk) return false;
    channelused_[static_cast<size_t>(channel)] = true;
    Mix_Volume(channel, headroom_ ? mixvolume : MIX_MAX_VOLUME);
    waves_[alias] = Wave{chunk, channel, false};
    return true;
}

bool SdlMixerPlayer::opensequence(const std::string& alias, const std::filesystem::path& file) {
    if (!audioopen_ || waves_.count(alias)) return false;
    // What can be told at once is told at once: a file that is no MIDI
    // sequence (or a RIFF-wrapped one) fails the open command itself.
    char magic[4] = {};
    std::ifstream(file, std::ios::binary).read(magic, 4);
    if (std::string(magic, 4) != "MThd" && std::string(magic, 4) != "RIFF") return false;
    std::lock_guard<std::mutex> hold(lock_);
    if (music_.count(alias)) return false;
    Music& music = music_[alias];
    music.file = file;
    music.number = ++opened_;
    return true;
}

// With the lock held.
void SdlMixerPlayer::startloading(const std::string& alias, Music& music) {
    if (music.loaded || music.loading) return;
    music.loading = true;
    toload_.push_back(Load{alias, music.file, music.number});
    if (!loader_.joinable()) loader_ = std::thread(&SdlMixerPlayer::loadmusic, this);
    loadedsignal_.notify_all();
}

// With the lock held and the music stream halted: every other piece leaves
// memory, or is no longer loaded, and loads again when it is played again.
void SdlMixerPlayer::releaseothers(const std::string& alias) {
    for (auto q = toload_.begin(); q != toload_.end();) {
        if (q->alias == alias) {
            ++q;
            continue;
        }
        music_[q->alias].loading = false;
        q = toload_.erase(q);
    }
    for (auto& [other, music] : music_) {
        if (other == alias || !music.loaded) continue;
        if (music.music) Mix_FreeMusic(music.music);
        music.music = nullptr;
        music.loaded = false;
    }
}

int SdlMixerPlayer::piecesinmemory() {
    std::lock_guard<std::mutex> hold(lock_);
    int count = 0;
    for (const auto& [alias, music] : music_) count += music.music != nullptr ? 1 : 0;
    return count;
}

void SdlMixerPlayer::loadmusic() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        loadedsignal_.wait(hold, [this] { return ending_ || !toload_.empty(); });
        if (ending_) return;
        Load load = toload_.front();
        toload_.pop_front();
        hold.unlock();
        Mix_Music* music = Mix_LoadMUS(load.file.string().c_str());
        hold.lock();
        const std::string& alias = load.alias;
        auto m = music_.find(alias);
        if (m == music_.end() || m->second.number != load.number || ending_ ||
            (!current_.empty() && current_ != alias)) {
            // Closed while loading, or another piece took the music stream.
            if (music) Mix_FreeMusic(music);
            if (m != music_.end() && m->second.number == load.number) m->second.loading = false;
        } else {
            m->second.music = music;
            m->second.loaded = true;
            m->second.loading = false;
            if (current_ == alias && startwhenloaded_) {
                startwhenloaded_ = false;
                if (!startmusic(alias)) current_.clear();
            }
        }
        loadedsignal_.notify_all();
    }
}

void SdlMixerPlayer::waitforloading() {
    std::unique_lock<std::mutex> hold(lock_);
    loadedsignal_.wait(hold, [this] {
        if (!toload_.empty()) return false;
        for (const auto& [alias, music] : music_) {
            if (music.loading) return false;
        }
        return true;
    });
}

// With the lock held and the piece loaded.
bool SdlMixerPlayer::startmusic(const std::string& alias) {
    Mix_Music* music = music_[alias].music;
    // 1: play the piece once.
    return music && Mix_PlayMusic(music, 1) == 0;
}

bool SdlMixerPlayer::playfromstart(const std::string& alias) {
    if (auto w = waves_.find(alias); w != waves_.end()) {
        Wave& wave = w->second;
        wave.stopped = false;
        // Starting a channel that still sounds cuts the old sound off.
        return Mix_PlayChannel(wave.channel, wave.chunk, 0) == wave.channel;
    }
    std::lock_guard<std::mutex> hold(lock_);
    auto m = music_.find(alias);
    if (m == music_.end()) return false;
    Mix_HaltMusic();
    releaseothers(alias);
    current_ = alias;
    musicpaused_ = false;
    startwhenloaded_ = false;
    if (!m->second.loaded) {
        startloading(alias, m->second);
        startwhenloaded_ = true;
        return true;
    }
    if (!startmusic(alias)) {
        current_.clear();
        return false;
    }
    return true;
}

bool SdlMixerPlayer::play(const std::string& alias) {
    if (auto w = waves_.find(alias); w != waves_.end()) {
        Wave& wave = w->second;
        if (wave.stopped) {
            wave.stopped = false;
            Mix_Resume(wave.channel);
            return true;
        }
        if (Mix_Playing(wave.channel)) return true;
        return playfromstart(alias);
    }
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!music_.count(alias)) return false;
        if (current_ == alias && startwhenloaded_) return true;
        if (current_ == alias && musicpaused_) {
            musicpaused_ = false;
            Mix_ResumeMusic();
            return true;
        }
        if (current_ == alias && Mix_PlayingMusic()) return true;
    }
    return playfromstart(alias);
}

bool SdlMixerPlayer::stop(const std::string& alias) {
    if (auto w = waves_.find(alias); w != waves_.end()) {
        Wave& wave = w->second;
        if (Mix_Playing(wave.channel) && !wave.stopped) {
            Mix_Pause(wave.channel);
            wave.stopped = true;
        }
        return true;
    }
    std::lock_guard<std::mutex> hold(lock_);
    if (!music_.count(alias)) return false;
    if (current_ == alias && startwhenloaded_) {
        // Stopped before it could start: it has not moved from its beginning.
        startwhenloaded_ = false;
        current_.clear();
    } else if (current_ == alias && Mix_PlayingMusic() && !musicpaused_) {
        Mix_PauseMusic();
        musicpaused_ = true;
    }
    return true;
}

bool SdlMixerPlayer::seektostart(const std::string& alias) {
    if (auto w = waves_.find(alias); w != waves_.end()) {
        Mix_HaltChannel(w->second.channel);
        w->second.stopped = false;
        return true;
    }
    std::lock_guard<std::mutex> hold(lock_);
    if (!music_.count(alias)) return false;
    if (current_ == alias) {
        Mix_HaltMusic();
        current_.clear();
        musicpaused_ = false;
        startwhenloaded_ = false;
    }
    return true;
}

bool SdlMixerPlayer::isplaying(const std::string& alias) {
    if (auto w = waves_.find(alias); w != waves_.end()) {
        return !w->second.stopped && Mix_Playing(w->second.channel);
    }
    std::lock_guard<std::mutex> hold(lock_);
    // A piece waiting for its load to finish counts as playing: it will start.
    if (current_ == alias && startwhenloaded_) return true;
    return current_ == alias && !musicpaused_ && Mix_PlayingMusic();
}

void SdlMixerPlayer::close(const std::string& alias) {
    if (auto w = waves_.find(alias); w != waves_.end()) {
        Mix_HaltChannel(w->second.channel);
        Mix_FreeChunk(w->second.chunk);
        channelused_[static_cast<size_t>(w->second.channel)] = false;
        waves_.erase(w);
        return;
    }
    std::unique_lock<std::mutex> hold(lock_);
    auto m = music_.find(alias);
    if (m == music_.end()) return;
    if (current_ == alias) {
        Mix_HaltMusic();
        current_.clear();
        musicpaused_ = false;
        startwhenloaded_ = false;
    }
    // A piece still waiting in the queue is dropped; one being loaded is
    // freed by the worker when it sees the alias gone.
    for (auto q = toload_.begin(); q != toload_.end(); ++q) {
        if (q->alias == alias) {
            toload_.erase(q);
            break;
        }
    }
    if (m->second.music) Mix_FreeMusic(m->second.music);
    music_.erase(m);
}
