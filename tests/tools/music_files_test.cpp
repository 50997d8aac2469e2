// Checks the two pieces of music generated into the build folder: strict
// Standard MIDI File structure, balanced notes on several General MIDI
// channels with drums, and lengths that suit the game and menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "tools/media_reader.h"

namespace {

namespace fs = std::filesystem;
using media_reader::Smf;

const fs::path kMedia = VOLMARIN_BINARY_DIR;

Smf load(const char* name) {
    return media_reader::parse_smf(media_reader::read_bytes((kMedia / name).string()));
}

struct NoteStats {
    int note_ons = 0;
    int unmatched_offs = 0;  // note-off with no sounding note of that key
    int restruck = 0;        // note-on while the same key still sounds
    int hanging = 0;         // notes still sounding at end of track
    uint32_t last_release = 0;
    uint32_t end_of_track = 0;
    std::set<int> channels;
    std::set<int> channels_with_program;
    std::set<int> drum_keys;
};

NoteStats note_stats(const Smf& s) {
    NoteStats st;
    for (const auto& track : s.tracks) {
        std::map<std::pair<int, int>, int> sounding;
        for (const auto& e : track) {
            if (e.status == 0xff) {
                if (e.meta_type == 0x2f) st.end_of_track = std::max(st.end_of_track, e.tick);
                continue;
            }
            const int kind = e.status & 0xf0;
            const int channel = e.status & 0x0f;
            if (kind == 0xc0) st.channels_with_program.insert(channel);
            if (kind != 0x80 && kind != 0x90) continue;
            const auto key = std::make_pair(channel, static_cast<int>(e.data[0]));
            if (kind == 0x90 && e.data[1] > 0) {
                ++st.note_ons;
                st.channels.insert(channel);
                if (channel == 9) st.drum_keys.insert(e.data[0]);
                if (sounding[key]++ > 0) ++st.restruck;
            } else {
                if (sounding[key] == 0) {
                    ++st.unmatched_offs;
                } else {
                    --sounding[key];
                }
                st.last_release = std::max(st.last_release, e.tick);
            }
        }
        for (const auto& [k, n] : sounding) st.hanging += n;
    }
    return st;
}

class MusicFile : public testing::TestWithParam<const char*> {};

TEST_P(MusicFile, IsWellFormedAndPlaysBalancedNotes) {
    Smf s;
    ASSERT_NO_THROW(s = load(GetParam())) << "build the volmarin-media target first";
    EXPECT_TRUE(s.format == 0 || s.format == 1);
    EXPECT_GT(s.division, 0);  // ticks per quarter note, not SMPTE frames
    EXPECT_GE(s.tracks.size(), s.format == 1 ? 3u : 1u);

    const NoteStats st = note_stats(s);
    EXPECT_GT(st.note_ons, 500);
    EXPECT_EQ(st.unmatched_offs, 0);
    EXPECT_EQ(st.restruck, 0);
    EXPECT_EQ(st.hanging, 0);
    EXPECT_GE(st.channels.size(), 5u);
    EXPECT_TRUE(st.channels.count(9)) << "no drums on channel 10";
    EXPECT_GE(st.drum_keys.size(), 3u);
    for (int c : st.channels) {
        if (c == 9) continue;
        EXPECT_TRUE(st.channels_with_program.count(c)) << "channel " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(BothPieces, MusicFile,
                         testing::Values("Firebomb.mid", "MortalKombat.mid"));

TEST(Music, GameThemeRunsAboutAMinuteAndLoopsOnABarLine) {
    const Smf s = load("Firebomb.mid");
    const NoteStats st = note_stats(s);
    const double seconds = media_reader::seconds_at(s, st.end_of_track);
    EXPECT_GT(seconds, 45.0);
    EXPECT_LT(seconds, 90.0);
    // Restarting from the top must neither cut a note nor leave a gap.
    EXPECT_EQ(st.end_of_track % (4 * s.division), 0u);
    EXPECT_LE(st.last_release, st.end_of_track);
    EXPECT_GT(st.last_release + s.division, st.end_of_track);
}

TEST(Music, MenuThemeLastsThroughTheIntroAndMenu) {
    const Smf s = load("MortalKombat.mid");
    const double seconds = media_reader::seconds_at(s, note_stats(s).end_of_track);
    EXPECT_GT(seconds, 40.0);
    EXPECT_LT(seconds, 150.0);
}

}  // namespace
