// The media-command interpreter: parses the game's text commands, keeps the
// table of open aliases, resolves the game's backslash paths against the
// program's folder and hands the work to the player.
#include "platform/media.h"

#include <system_error>
#include <vector>

#include "platform/gamepath.h"

namespace {

bool is(std::string_view word, std::string_view keyword) {
    return lower(word) == keyword;
}

// Words separated by blanks; a word in double quotes may hold blanks.
std::vector<std::string> words(std::string_view command) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < command.size()) {
        char c = command[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '"') {
            size_t end = command.find('"', i + 1);
            if (end == std::string_view::npos) end = command.size();
            out.emplace_back(command.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        size_t end = command.find_first_of(" \t\r\n", i);
        if (end == std::string_view::npos) end = command.size();
        out.emplace_back(command.substr(i, end - i));
        i = end;
    }
    return out;
}

// The extension of a game path in lower case, without the dot.
std::string extension(std::string_view path) {
    size_t slash = path.find_last_of("\\/");
    size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return lower(path.substr(dot + 1));
}

}  // namespace

MediaCommands::MediaCommands(std::unique_ptr<MediaPlayer> player, std::filesystem::path folder)
    : player_(std::move(player)), folder_(std::move(folder)) {}

MediaCommands::~MediaCommands() {
    for (const auto& [alias, device] : aliases_) player_->close(alias);
}

bool MediaCommands::isopen(std::string_view alias) const {
    return aliases_.count(lower(alias)) > 0;
}

std::filesystem::path MediaCommands::resolve(std::string_view path) const {
    return resolvegamepath(folder_, path);
}

int MediaCommands::open(const std::string& path, Device device, const std::string& alias) {
    if (aliases_.count(alias)) return media_aliasinuse;
    std::error_code ec;
    auto file = resolve(path);
    if (!std::filesystem::is_regular_file(file, ec)) return media_filenotfound;
    bool opened = device == Device::wave ? player_->openwave(alias, file)
                                         : player_->opensequence(alias, file);
    if (!opened) return media_playerfailed;
    aliases_.emplace(alias, device);
    return media_ok;
}

int MediaCommands::send(std::string_view command, std::string* reply) {
    if (reply) reply->clear();
    try {
        return dispatch(command, reply);
    } catch (...) {
        return media_playerfailed;
    }
}

int MediaCommands::dispatch(std::string_view command, std::string* reply) {
    auto w = words(command);
    // "wait" asks to block until the command is done; every command here
    // finishes before it returns, and plays never wait in the game.
    if (w.size() >= 3 && is(w.back(), "wait")) w.pop_back();
    if (w.size() < 2) return media_badcommand;
    const std::string verb = lower(w[0]);
    const std::string alias = lower(w[1]);

    if (verb == "open") {
        if (w.size() != 6 || !is(w[2], "type") || !is(w[4], "alias")) return media_badcommand;
        Device device;
        if (is(w[3], "waveaudio")) {
            device = Device::wave;
        } else if (is(w[3], "sequencer")) {
            device = Device::sequence;
        } else {
            return media_badcommand;
        }
        return open(w[1], device, lower(w[5]));
    }

    if (verb == "play") {
        bool fromstart = false;
        if (w.size() == 4 && is(w[2], "from") && w[3] == "0") {
            fromstart = true;
        } else if (w.size() != 2) {
            return media_badcommand;
        }
        if (!aliases_.count(alias)) {
            // A file played by name opens under its own name as the alias.
            std::string type = extension(w[1]);
            int result;
            if (type == "wav") {
                result = open(w[1], Device::wave, alias);
            } else if (type == "mid" || type == "midi" || type == "rmi") {
                result = open(w[1], Device::sequence, alias);
            } else {
                return media_unknowntype;
            }
            if (result != media_ok) return result;
        }
        bool done = fromstart ? player_->playfromstart(alias) : player_->play(alias);
        return done ? media_ok : media_playerfailed;
    }

    bool known = aliases_.count(alias) > 0;
    if (verb == "stop" || verb == "close") {
        if (w.size() != 2) return media_badcommand;
        if (!known) return media_unknownalias;
        if (verb == "close") {
            player_->close(alias);
            aliases_.erase(alias);
            return media_ok;
        }
        return player_->stop(alias) ? media_ok : media_playerfailed;
    }
    if (verb == "seek") {
        if (w.size() != 4 || !is(w[2], "to") || !is(w[3], "start")) return media_badcommand;
        if (!known) return media_unknownalias;
        return player_->seektostart(alias) ? media_ok : media_playerfailed;
    }
    if (verb == "status") {
        if (w.size() != 3 || !is(w[2], "mode")) return media_badcommand;
        if (!known) return media_unknownalias;
        if (reply) *reply = player_->isplaying(alias) ? "playing" : "stopped";
        return media_ok;
    }
    return media_badcommand;
}
