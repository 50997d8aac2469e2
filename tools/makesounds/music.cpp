#include "music.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace volmarin::media {

namespace {

int pitch_class(char letter) {
    switch (letter) {
        case 'C':
            return 0;
        case 'D':
            return 2;
        case 'E':
            return 4;
        case 'F':
            return 5;
        case 'G':
            return 7;
        case 'A':
            return 9;
        case 'B':
            return 11;
        default:
            throw std::invalid_argument(std::string("bad note letter ") + letter);
    }
}

// Reads "C", "C#" or "Bb" from the front of `s` and drops it.
int take_pitch_class(std::string_view& s) {
    if (s.empty()) throw std::invalid_argument("empty note name");
    int pc = pitch_class(s[0]);
    s.remove_prefix(1);
    if (!s.empty() && (s[0] == '#' || s[0] == 'b')) {
        pc += s[0] == '#' ? 1 : -1;
        s.remove_prefix(1);
    }
    return (pc + 12) % 12;
}

int velocity_for(char c, int normal) {
    if (c == 'X') return std::min(127, normal + 20);
    if (c == 'o') return normal * 3 / 5;
    return normal;
}

}  // namespace

int key_of(std::string_view name) {
    const std::string_view whole = name;
    const int pc = take_pitch_class(name);
    if (name.size() != 1 || name[0] < '0' || name[0] > '9') {
        throw std::invalid_argument("bad note " + std::string(whole));
    }
    return 12 * (name[0] - '0' + 1) + pc;
}

std::vector<int> Chord::triad(int floor) const {
    const int r = root_key(floor);
    return {r, r + (minor ? 3 : 4), r + 7};
}

int Chord::root_key(int floor) const {
    return floor + ((root - floor) % 12 + 12) % 12;
}

Chord chord_of(std::string_view name) {
    Chord c;
    c.root = take_pitch_class(name);
    c.minor = name == "m";
    if (!name.empty() && !c.minor) throw std::invalid_argument("bad chord quality");
    return c;
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        size_t j = i;
        while (j < text.size() && text[j] != ' ') ++j;
        if (j > i) out.push_back(text.substr(i, j - i));
        i = j;
    }
    return out;
}

MidiTrack make_part(const std::string& name, int channel, int program, int volume, int pan,
                    int reverb) {
    MidiTrack t(name);
    t.program(0, channel, program);
    t.control(0, channel, 7, volume);
    t.control(0, channel, 10, pan);
    t.control(0, channel, 91, reverb);
    return t;
}

uint32_t melody(MidiTrack& track, int channel, uint32_t start, std::string_view tokens,
                int velocity, int transpose) {
    uint32_t tick = start;
    for (std::string_view token : words(tokens)) {
        const size_t colon = token.find(':');
        if (colon == std::string_view::npos) throw std::invalid_argument("note without length");
        const uint32_t length =
            kEighth * static_cast<uint32_t>(std::stoi(std::string(token.substr(colon + 1))));
        const std::string_view pitch = token.substr(0, colon);
        if (pitch != "r") {
            // Slightly detached so repeated notes speak.
            track.note(tick, channel, key_of(pitch) + transpose, velocity, length * 9 / 10);
        }
        tick += length;
    }
    return tick;
}

void drum_line(MidiTrack& track, uint32_t start, int key, std::string_view steps, uint32_t step) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const char c = steps[i];
        if (c != 'X' && c != 'x' && c != 'o') continue;
        track.note(start + static_cast<uint32_t>(i) * step, drum::kChannel, key,
                   velocity_for(c, 96), step / 2);
    }
}

void rhythm(MidiTrack& track, int channel, uint32_t start, const std::vector<int>& keys,
            std::string_view steps, uint32_t step, int velocity) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const char c = steps[i];
        if (c != 'X' && c != 'x') continue;
        size_t held = 1;
        while (i + held < steps.size() && steps[i + held] == '-') ++held;
        const uint32_t length = static_cast<uint32_t>(held) * step - step / 8;
        for (int key : keys) {
            track.note(start + static_cast<uint32_t>(i) * step, channel, key,
                       velocity_for(c, velocity), length);
        }
    }
}

}  // namespace volmarin::media
