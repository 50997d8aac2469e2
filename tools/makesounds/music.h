// Helpers for writing the game's music as data: melodies in note names,
// drum lines as step strings, chords by name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "smf.h"

namespace volmarin::media {

inline constexpr uint32_t kBar = 4 * kTicksPerQuarter;  // both pieces are in 4/4
inline constexpr uint32_t kEighth = kTicksPerQuarter / 2;
inline constexpr uint32_t kSixteenth = kTicksPerQuarter / 4;

// General MIDI programs, numbered from 0 as they are sent.
namespace gm {
inline constexpr int kOverdrivenGuitar = 29;
inline constexpr int kSynthBass1 = 38;
inline constexpr int kSynthBass2 = 39;
inline constexpr int kStrings = 48;
inline constexpr int kSlowStrings = 49;
inline constexpr int kChoir = 52;
inline constexpr int kTimpani = 47;
inline constexpr int kSynthBrass2 = 63;
inline constexpr int kSquareLead = 80;
inline constexpr int kSawLead = 81;
inline constexpr int kWarmPad = 89;
inline constexpr int kSweepPad = 95;
}  // namespace gm

// General MIDI percussion keys on the drum channel.
namespace drum {
inline constexpr int kChannel = 9;
inline constexpr int kKick = 36;
inline constexpr int kSnare = 38;
inline constexpr int kClap = 39;
inline constexpr int kClosedHat = 42;
inline constexpr int kLowTom = 45;
inline constexpr int kOpenHat = 46;
inline constexpr int kMidTom = 47;
inline constexpr int kHighTom = 50;
inline constexpr int kCrash = 49;
inline constexpr int kRide = 51;
inline constexpr int kTambourine = 54;
}  // namespace drum

// "E4", "F#2", "Bb5" -> MIDI key (C4 = 60). Throws on anything else.
int key_of(std::string_view name);

struct Chord {
    int root = 0;  // pitch class, C = 0
    bool minor = false;
    // The triad with its root as the lowest key at or above `floor`.
    std::vector<int> triad(int floor) const;
    // The root as the lowest key at or above `floor`.
    int root_key(int floor) const;
};

// "Em", "C", "Bb", "F#m" -> chord.
Chord chord_of(std::string_view name);

// Splits on spaces.
std::vector<std::string_view> words(std::string_view text);

// A part: a track that sets its channel's instrument, volume, pan and reverb
// at the start.
MidiTrack make_part(const std::string& name, int channel, int program, int volume, int pan,
                    int reverb);

// Plays space-separated "NOTE:EIGHTHS" tokens from `start` ("r:2" rests),
// shifted by `transpose` semitones. Returns the tick after the last token.
uint32_t melody(MidiTrack& track, int channel, uint32_t start, std::string_view tokens,
                int velocity, int transpose = 0);

// One drum line, one character per `step` ticks: 'X' accent, 'x' hit, 'o'
// soft, anything else rest.
void drum_line(MidiTrack& track, uint32_t start, int key, std::string_view steps, uint32_t step);

// Strikes all `keys` together on each 'x' (accented on 'X'); every '-' after
// a strike holds it one more step, anything else is silence.
void rhythm(MidiTrack& track, int channel, uint32_t start, const std::vector<int>& keys,
            std::string_view steps, uint32_t step, int velocity);

}  // namespace volmarin::media
