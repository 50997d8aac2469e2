// Sound effects and music, all by media commands: `sound` plays an effect by
// alias or file name, a game start reopens the effects from the chosen sound
// set and switches to the game music, and a level set-up restarts that music
// once it has run out. Failed commands are ignored: the sound stays silent.
#include <string>
#include <string_view>

#include "core/game.h"
#include "core/media.h"

// Restarts the effect from its beginning even when it still sounds.
void Game::sound(std::string_view filename) {
    std::string& command = mediacommand;
    command.assign("play ").append(filename).append(" from 0");
    platform.mcisendstring(command, nullptr);
}

void Game::startgamesounds() {
    std::string& command = mediacommand;
    for (const MediaFile& e : soundeffects) {
        command.assign("close ").append(e.alias).append(" wait");
        platform.mcisendstring(command, nullptr);
    }
    // Design 0 sounds classic, design 1 trek; any other design keeps the set
    // of the previous game (none before the first: the program's folder).
    if (selectedship == 0) {
        soundfolder = "\\classic";
    } else if (selectedship == 1) {
        soundfolder = "\\trek";
    }
    for (const MediaFile& e : soundeffects) {
        command.assign("open .\\").append(soundfolder).append("\\").append(e.file);
        command.append(" type waveaudio alias ").append(e.alias);
        platform.mcisendstring(command, nullptr);
    }
    platform.mcisendstring("stop mortalkombat", nullptr);
    platform.mcisendstring("play firebomb from 0", nullptr);
    sound(loosesound::orchhit);
}

void Game::musiccheck() {
    std::string reply;
    platform.mcisendstring("status firebomb mode", &reply);
    // The answer is read into seven characters, then trimmed of blanks.
    size_t end = reply.find('\0');
    if (end != std::string::npos) reply.resize(end);
    if (reply.size() > 7) reply.resize(7);
    size_t first = reply.find_first_not_of(' ');
    size_t last = reply.find_last_not_of(' ');
    std::string mode =
        first == std::string::npos ? std::string() : reply.substr(first, last - first + 1);
    if (mode != "playing") {
        platform.mcisendstring("seek firebomb to start", nullptr);
        platform.mcisendstring("play firebomb", nullptr);
    }
}
