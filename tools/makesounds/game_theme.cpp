// The in-game theme: 150 bpm, E minor, guitars, synth leads and a rock kit.
#include <array>

#include "music.h"
#include "pieces.h"

namespace volmarin::media {

namespace {

constexpr double kTempo = 150.0;

enum Channel { kLead = 0, kSaw = 1, kGuitar = 2, kBass = 3, kStrings = 4, kPad = 5, kArp = 6 };

// A one-bar drum groove in sixteenths.
struct Groove {
    const char* kick;
    const char* snare;
    const char* cymbal;
    int cymbal_key;
};

constexpr Groove kPulse = {"X...x...x...x...", "................", "..x...x...x...x.",
                           drum::kClosedHat};
constexpr Groove kDrive = {"X.....x.x.....x.", "....X.......X...", "x.x.x.x.x.x.x.x.",
                           drum::kClosedHat};
constexpr Groove kRide = {"X..x..x.X..x..x.", "....X.......X..o", "x.x.x.x.x.x.x.x.", drum::kRide};
constexpr Groove kHalfTime = {"X.........x.....", "........X.......", "x...x...x...x...",
                              drum::kClosedHat};

enum class Kind { Intro, Verse, Chorus, Break, Turnaround };

struct Section {
    Kind kind;
    const char* chords;  // one per bar
    const char* tune;    // lead melody, "" for none
};

constexpr const char* kVerseChords = "Em Em C D Em Em C B";
constexpr const char* kVerseTune =
    "E5:2 G5:1 A5:1 B5:3 A5:1  G5:2 F#5:1 E5:1 D5:2 E5:2  C5:2 E5:2 G5:3 E5:1 "
    "F#5:2 A5:2 D6:2 C6:1 A5:1  B5:2 G5:1 E5:1 B5:3 C6:1  B5:2 A5:1 G5:1 F#5:2 E5:2 "
    "E5:2 G5:2 C6:2 B5:1 A5:1  B5:6 D#5:1 F#5:1";
constexpr const char* kChorusTune =
    "G5:4 E5:2 G5:2  A5:4 F#5:2 A5:2  B5:6 A5:1 G5:1  E5:8 "
    "C6:4 B5:2 A5:2  D6:4 C6:2 A5:2  B5:6 A5:1 F#5:1  D#5:4 F#5:4";
constexpr const char* kTurnaroundTune =
    "C6:4 B5:2 A5:2  D6:4 C6:2 A5:2  B5:6 A5:1 F#5:1  D#5:4 F#5:4";

// Intro, verse, chorus, verse, break, and a turnaround that lands on B so the
// piece can start again from the top.
const std::array<Section, 6> kForm = {{
    {Kind::Intro, "Em Em Em Em", ""},
    {Kind::Verse, kVerseChords, kVerseTune},
    {Kind::Chorus, "C D Em Em C D B B", kChorusTune},
    {Kind::Verse, kVerseChords, kVerseTune},
    {Kind::Break, "C C D D", ""},
    {Kind::Turnaround, "C D B B", kTurnaroundTune},
}};

void groove_bar(MidiTrack& drums, uint32_t at, const Groove& g) {
    drum_line(drums, at, drum::kKick, g.kick, kSixteenth);
    drum_line(drums, at, drum::kSnare, g.snare, kSixteenth);
    drum_line(drums, at, g.cymbal_key, g.cymbal, kSixteenth);
}

void fill_bar(MidiTrack& drums, uint32_t at) {
    drum_line(drums, at, drum::kKick, "X.......x.......", kSixteenth);
    drum_line(drums, at, drum::kSnare, "....X.X.........", kSixteenth);
    drum_line(drums, at, drum::kHighTom, "........X.x.....", kSixteenth);
    drum_line(drums, at, drum::kMidTom, "............X.x.", kSixteenth);
    drum_line(drums, at, drum::kLowTom, ".............x.X", kSixteenth);
}

std::vector<int> power_chord(const Chord& c) {
    const int r = c.root_key(40);
    return {r, r + 7, r + 12};
}

}  // namespace

std::vector<uint8_t> game_theme() {
    MidiTrack conductor("Volmarin game theme");
    conductor.tempo(0, kTempo);
    conductor.time_signature(0, 4, 2);

    MidiTrack lead = make_part("Square lead", kLead, gm::kSquareLead, 96, 64, 40);
    MidiTrack saw = make_part("Saw lead", kSaw, gm::kSawLead, 84, 76, 50);
    MidiTrack guitar = make_part("Guitar", kGuitar, gm::kOverdrivenGuitar, 88, 40, 30);
    MidiTrack bass = make_part("Bass", kBass, gm::kSynthBass1, 108, 64, 10);
    MidiTrack strings = make_part("Strings", kStrings, gm::kStrings, 76, 90, 70);
    MidiTrack pad = make_part("Pad", kPad, gm::kWarmPad, 72, 64, 80);
    MidiTrack arp = make_part("Arpeggio", kArp, gm::kSquareLead, 70, 92, 60);
    MidiTrack drums = make_part("Drums", drum::kChannel, 0, 110, 64, 30);

    uint32_t bar_start = 0;
    bool verse_heard = false;
    for (const Section& section : kForm) {
        const auto chords = words(section.chords);
        const uint32_t start = bar_start;
        for (size_t b = 0; b < chords.size(); ++b) {
            const uint32_t at = bar_start;
            const Chord chord = chord_of(chords[b]);
            const int root = chord.root_key(33);

            // The last bar of the break and of the piece rolls into what
            // follows; a crash opens every four bars.
            const bool fill = b + 1 == chords.size() &&
                              (section.kind == Kind::Break || section.kind == Kind::Turnaround);
            if (b % 4 == 0 && !(section.kind == Kind::Intro && b == 0)) {
                drum_line(drums, at, drum::kCrash, "X", kBar);
            }

            const Groove* groove = &kDrive;
            switch (section.kind) {
                case Kind::Intro:
                    groove = b < 2 ? &kPulse : &kDrive;
                    rhythm(bass, kBass, at, {root}, "x.x.x.x.", kEighth, 90);
                    rhythm(pad, kPad, at, chord.triad(52), "X", kBar, 70);
                    if (b >= 2) {
                        rhythm(guitar, kGuitar, at, power_chord(chord), "x.x.x.x.x.x.X-x.",
                               kSixteenth, 80);
                    }
                    break;
                case Kind::Verse: {
                    constexpr int kRiff[] = {0, 0, 12, 0, 0, 7, 12, 7};
                    for (uint32_t i = 0; i < 8; ++i) {
                        bass.note(at + i * kEighth, kBass, root + kRiff[i], i % 2 ? 88 : 104,
                                  kEighth * 4 / 5);
                    }
                    rhythm(guitar, kGuitar, at, power_chord(chord), "X.x.x.x.X.x.x-x-", kSixteenth,
                           84);
                    break;
                }
                case Kind::Chorus:
                case Kind::Turnaround:
                    groove = &kRide;
                    rhythm(bass, kBass, at, {root}, "Xxxxxxxx", kEighth, 96);
                    rhythm(guitar, kGuitar, at, power_chord(chord), "X-------x--x-x--", kSixteenth,
                           90);
                    rhythm(strings, kStrings, at, chord.triad(55), "X", kBar, 80);
                    break;
                case Kind::Break: {
                    groove = &kHalfTime;
                    rhythm(bass, kBass, at, {root}, "X", kBar, 100);
                    rhythm(pad, kPad, at, chord.triad(52), "X", kBar, 76);
                    const auto t = chord.triad(64);
                    const int tones[] = {t[0], t[1], t[2], t[0] + 12};
                    constexpr int kOrder[] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 3, 0, 2, 1, 3};
                    for (uint32_t i = 0; i < 16; ++i) {
                        arp.note(at + i * kSixteenth, kArp, tones[kOrder[i]], i % 4 ? 70 : 92,
                                 kSixteenth * 3 / 4);
                    }
                    break;
                }
            }
            if (fill) {
                fill_bar(drums, at);
            } else {
                groove_bar(drums, at, *groove);
            }
            bar_start += kBar;
        }
        if (*section.tune) {
            melody(lead, kLead, start, section.tune, 100);
            // From the second verse on, the saw doubles the tune an octave below.
            if (section.kind != Kind::Verse || verse_heard) {
                melody(saw, kSaw, start, section.tune, 78, -12);
            }
        }
        verse_heard = verse_heard || section.kind == Kind::Verse;
    }

    const uint32_t end = bar_start;
    return smf_bytes({conductor, lead, saw, guitar, bass, strings, pad, arp, drums}, end);
}

}  // namespace volmarin::media
