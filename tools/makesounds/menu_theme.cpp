// The intro and menu theme: 120 bpm, D minor with a Phrygian edge, choir,
// brass, timpani and a steady electronic pulse.
#include <array>

#include "music.h"
#include "pieces.h"

namespace volmarin::media {

namespace {

constexpr double kTempo = 120.0;

enum Channel { kLead = 0, kBrass = 1, kBass = 2, kChoir = 3, kPad = 4, kStrings = 5, kTimpani = 6 };

enum class Kind { Intro, Theme, Rise, Break, Return, Outro };

struct Section {
    Kind kind;
    const char* chords;  // one per bar
};

constexpr const char* kThemeChords = "Dm Dm Bb Bb Gm Gm A A";

const std::array<Section, 6> kForm = {{
    {Kind::Intro, kThemeChords},
    {Kind::Theme, kThemeChords},
    {Kind::Rise, "Dm C Bb A Dm C Bb A"},
    {Kind::Break, "Eb Eb Dm Dm"},
    {Kind::Return, kThemeChords},
    {Kind::Outro, "Dm Dm Dm Dm"},
}};

constexpr const char* kMotif =
    "D5:3 F5:3 E5:2  D5:2 A4:2 C5:2 D5:2  F5:3 D5:3 F5:2  G5:4 F5:2 D5:2 "
    "Bb5:3 A5:3 G5:2  D5:4 G5:4  A5:3 G5:3 F5:2  E5:4 C#5:4";
constexpr const char* kRiseLine =
    "A5:8  G5:8  F5:4 G5:4  E5:8  A5:4 D6:4  C6:4 G5:4  Bb5:4 A5:2 G5:2  A5:4 C#6:4";

// Bass ostinato in eighths above the chord root; over D minor it leans on
// the flat second for colour.
constexpr int kTonicRiff[] = {0, 12, 0, 3, 0, 12, 1, 0};
constexpr int kPlainRiff[] = {0, 12, 0, 7, 0, 12, 7, 12};

// One bar of the ostinato as keys, starting from `root`.
std::vector<int> bass_bar(const Chord& chord, int root) {
    const int* riff = chord.minor && chord.root == 2 ? kTonicRiff : kPlainRiff;
    std::vector<int> keys;
    for (int i = 0; i < 8; ++i) keys.push_back(root + riff[i]);
    return keys;
}

void pulse_bar(MidiTrack& drums, uint32_t at, bool full) {
    drum_line(drums, at, drum::kKick, "X...x...X...x...", kSixteenth);
    drum_line(drums, at, drum::kClap, "....X.......X...", kSixteenth);
    drum_line(drums, at, drum::kClosedHat, full ? "o.x.o.x.o.x.o.xo" : "..x...x...x...x.",
              kSixteenth);
    if (full) drum_line(drums, at, drum::kTambourine, "....x.......x...", kSixteenth);
}

void timpani_roll(MidiTrack& timpani, uint32_t at, int key) {
    for (uint32_t i = 0; i < 16; ++i) {
        timpani.note(at + i * kSixteenth, kTimpani, key, 50 + 4 * static_cast<int>(i), kSixteenth);
    }
}

}  // namespace

std::vector<uint8_t> menu_theme() {
    MidiTrack conductor("Volmarin menu theme");
    conductor.tempo(0, kTempo);
    conductor.time_signature(0, 4, 2);

    MidiTrack lead = make_part("Saw lead", kLead, gm::kSawLead, 92, 60, 60);
    MidiTrack brass = make_part("Brass", kBrass, gm::kSynthBrass2, 86, 80, 60);
    MidiTrack bass = make_part("Bass", kBass, gm::kSynthBass2, 106, 64, 20);
    MidiTrack choir = make_part("Choir", kChoir, gm::kChoir, 82, 48, 90);
    MidiTrack pad = make_part("Pad", kPad, gm::kSweepPad, 70, 64, 90);
    MidiTrack strings = make_part("Strings", kStrings, gm::kSlowStrings, 84, 84, 80);
    MidiTrack timpani = make_part("Timpani", kTimpani, gm::kTimpani, 100, 64, 60);
    MidiTrack drums = make_part("Drums", drum::kChannel, 0, 104, 64, 40);

    uint32_t bar_start = 0;
    for (const Section& section : kForm) {
        const auto chords = words(section.chords);
        const uint32_t start = bar_start;
        for (size_t b = 0; b < chords.size(); ++b) {
            const uint32_t at = bar_start;
            const bool last = b + 1 == chords.size();
            const Chord chord = chord_of(chords[b]);
            const int root = chord.root_key(33);
            const int drum_root = chord.root_key(38);

            // Choir and pad carry the harmony nearly everywhere.
            if (section.kind != Kind::Theme) {
                rhythm(choir, kChoir, at, chord.triad(57), "X", kBar, 80);
            }
            rhythm(pad, kPad, at, chord.triad(50), "X", kBar, 70);

            switch (section.kind) {
                case Kind::Intro:
                    if (last) {
                        timpani_roll(timpani, at, drum_root);
                    } else {
                        timpani.note(at, kTimpani, drum_root, 96, kTicksPerQuarter);
                    }
                    if (b >= 4) rhythm(bass, kBass, at, {root}, "x-x-x-x-", kEighth, 80);
                    break;
                case Kind::Theme:
                case Kind::Return: {
                    pulse_bar(drums, at, section.kind == Kind::Return);
                    const auto keys = bass_bar(chord, root);
                    for (uint32_t i = 0; i < 8; ++i) {
                        bass.note(at + i * kEighth, kBass, keys[i], i % 2 ? 84 : 100,
                                  kEighth * 4 / 5);
                    }
                    break;
                }
                case Kind::Rise:
                    pulse_bar(drums, at, true);
                    rhythm(bass, kBass, at, {root, root + 12}, "X--x--x-X--x--x-", kSixteenth, 96);
                    rhythm(brass, kBrass, at, chord.triad(55), "X..X..X...X.X...", kSixteenth, 90);
                    break;
                case Kind::Break:
                    rhythm(bass, kBass, at, {root}, "X", kBar, 90);
                    if (last) {
                        timpani_roll(timpani, at, drum_root);
                    } else {
                        timpani.note(at, kTimpani, drum_root, 110, kTicksPerQuarter);
                    }
                    drum_line(drums, at, drum::kLowTom, "X.....x.....x...", kSixteenth);
                    break;
                case Kind::Outro:
                    if (b == 0) timpani.note(at, kTimpani, drum_root, 110, kTicksPerQuarter);
                    rhythm(bass, kBass, at, {root}, "X", kBar, 90 - 15 * static_cast<int>(b));
                    break;
            }
            if (b == 0 && section.kind != Kind::Intro) {
                drum_line(drums, at, drum::kCrash, "X", kBar);
            }
            bar_start += kBar;
        }

        switch (section.kind) {
            case Kind::Theme:
                melody(lead, kLead, start, kMotif, 96);
                break;
            case Kind::Rise:
                melody(strings, kStrings, start, kRiseLine, 92);
                break;
            case Kind::Return:
                melody(lead, kLead, start, kMotif, 100, 12);
                melody(brass, kBrass, start, kMotif, 88);
                break;
            default:
                break;
        }
    }

    return smf_bytes({conductor, lead, brass, bass, choir, pad, strings, timpani, drums},
                     bar_start);
}

}  // namespace volmarin::media
