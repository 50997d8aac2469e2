// The media-command interpreter: the game sends text commands ("open <file>
// type waveaudio alias <a>", "play <a> from 0", "status <a> mode", ...) and a
// player underneath makes the sound. Platform-free; the SDL backend plugs in
// an SDL_mixer player, the headless backend a player that only keeps state.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// Makes the sound behind the aliases. The interpreter only hands it aliases it
// has opened and not yet closed, already in lower case.
class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;
    // A short wave effect; false when the file cannot be loaded.
    virtual bool openwave(const std::string& alias, const std::filesystem::path& file) = 0;
    // A MIDI sequence (music); false when the file cannot be loaded.
    virtual bool opensequence(const std::string& alias, const std::filesystem::path& file) = 0;
    // Plays from the beginning, cutting off the same alias if it still sounds.
    virtual bool playfromstart(const std::string& alias) = 0;
    // Plays on from where the alias stands (after a stop, or a seek to the start).
    virtual bool play(const std::string& alias) = 0;
    virtual bool stop(const std::string& alias) = 0;
    virtual bool seektostart(const std::string& alias) = 0;
    virtual bool isplaying(const std::string& alias) = 0;
    virtual void close(const std::string& alias) = 0;
};

// Results of MediaCommands::send; everything but ok is a failure the game ignores.
enum MediaResult : int {
    media_ok = 0,
    media_badcommand = 1,    // unknown keyword or a command that does not parse
    media_unknownalias = 2,  // no such alias is open
    media_aliasinuse = 3,    // opening under an alias that is already open
    media_filenotfound = 4,  // the file to open does not exist
    media_unknowntype = 5,   // a file played by name whose extension names no device
    media_playerfailed = 6,  // the player refused (file unreadable, no audio device)
};

class MediaCommands {
  public:
    MediaCommands(std::unique_ptr<MediaPlayer> player, std::filesystem::path folder);
    ~MediaCommands();
    MediaCommands(const MediaCommands&) = delete;
    MediaCommands& operator=(const MediaCommands&) = delete;

    // Returns 0 on success and non-zero on failure; never throws. The reply is
    // filled by "status <a> mode" ("playing" or "stopped") and emptied otherwise.
    int send(std::string_view command, std::string* reply);
    MediaPlayer& player() { return *player_; }
    bool isopen(std::string_view alias) const;

    // A path as the game writes it turned into a file of the program's folder
    // (resolvegamepath).
    std::filesystem::path resolve(std::string_view path) const;

  private:
    enum class Device { wave, sequence };
    int open(const std::string& path, Device device, const std::string& alias);
    int dispatch(std::string_view command, std::string* reply);

    std::unique_ptr<MediaPlayer> player_;
    std::filesystem::path folder_;
    std::map<std::string, Device> aliases_;  // open aliases, lower case
};
