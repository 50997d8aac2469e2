// Checks the sound effects generated into the build folder: the files the
// game opens exist under their exact names, play as short mono 16-bit PCM,
// are audible without clipping, and each effect has the shape of its moment.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/media.h"
#include "tools/media_reader.h"

namespace {

namespace fs = std::filesystem;
using media_reader::Wav;

const fs::path kMedia = VOLMARIN_BINARY_DIR;

// The files of a ship set, from the game's own media list; the four gun
// aliases share one file.
std::vector<std::string> set_files() {
    std::vector<std::string> files;
    for (const MediaFile& e : soundeffects) {
        if (std::find(files.begin(), files.end(), e.file) == files.end()) files.push_back(e.file);
    }
    return files;
}

// Every sound file the game opens.
std::vector<fs::path> all_sound_files() {
    std::vector<fs::path> files;
    for (const char* set : {"classic", "trek"}) {
        for (const auto& f : set_files()) files.push_back(kMedia / set / f);
    }
    for (const MediaFile& m : loosesounds) files.push_back(kMedia / m.file);
    return files;
}

Wav load(const fs::path& path) {
    return media_reader::parse_wav(media_reader::read_bytes(path.string()));
}

// Zero crossings per sample over [from, to) of the clip (fractions of its
// length): a cheap stand-in for pitch when comparing a sound with itself.
double crossing_rate(const Wav& w, double from, double to) {
    const auto a = static_cast<size_t>(from * w.samples.size());
    const auto b = static_cast<size_t>(to * w.samples.size());
    int crossings = 0;
    for (size_t i = a + 1; i < b; ++i) crossings += (w.samples[i - 1] < 0) != (w.samples[i] < 0);
    return static_cast<double>(crossings) / static_cast<double>(b - a);
}

TEST(SoundFiles, EveryEffectIsShortMonoSixteenBitPcm) {
    for (const auto& path : all_sound_files()) {
        SCOPED_TRACE(path.string());
        Wav w;
        ASSERT_NO_THROW(w = load(path)) << "build the volmarin-media target first";
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.bits, 16);
        EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << w.rate;
        EXPECT_EQ(w.block_align, 2);
        EXPECT_EQ(w.byte_rate, w.rate * 2);
        EXPECT_GT(w.seconds(), 0.05);
        EXPECT_LT(w.seconds(), 3.5);
    }
}

TEST(SoundFiles, EveryEffectIsAudibleNormalisedAndUnclipped) {
    for (const auto& path : all_sound_files()) {
        SCOPED_TRACE(path.string());
        const Wav w = load(path);
        ASSERT_FALSE(w.samples.empty());
        double sum = 0.0;
        int peak = 0;
        int pinned_run = 0;
        int longest_pinned = 0;
        for (int16_t s : w.samples) {
            sum += static_cast<double>(s) * s;
            peak = std::max(peak, std::abs(static_cast<int>(s)));
            pinned_run = (s >= 32767 || s <= -32767) ? pinned_run + 1 : 0;
            longest_pinned = std::max(longest_pinned, pinned_run);
        }
        const double rms = std::sqrt(sum / w.samples.size()) / 32768.0;
        const double peak_db = 20.0 * std::log10(peak / 32768.0);
        EXPECT_GT(rms, 0.03);
        EXPECT_EQ(longest_pinned, 0);
        EXPECT_GT(peak_db, -2.0);
        EXPECT_LT(peak_db, -0.5);
        // A clip that stops on a loud sample clicks.
        EXPECT_LT(std::abs(w.samples.back()), 330);
    }
}

TEST(SoundFiles, GunShotIsQuickEnoughToOverlap) {
    for (const char* set : {"classic", "trek"}) {
        SCOPED_TRACE(set);
        EXPECT_LT(load(kMedia / set / "fire.wav").seconds(), 0.3);
    }
}

TEST(SoundFiles, TheTwoShipSetsSoundDifferent) {
    for (const auto& n : set_files()) {
        SCOPED_TRACE(n);
        const Wav classic = load(kMedia / "classic" / n);
        const Wav trek = load(kMedia / "trek" / n);
        EXPECT_NE(classic.samples, trek.samples);
    }
}

TEST(SoundFiles, PointPickupChimesClimbWithTheirValue) {
    for (const char* set : {"classic", "trek"}) {
        SCOPED_TRACE(set);
        double previous = 0.0;
        for (int i = 1; i <= 5; ++i) {
            const Wav w = load(kMedia / set / ("get" + std::to_string(i) + ".wav"));
            const double rate = crossing_rate(w, 0.0, 0.4);
            EXPECT_GT(rate, previous) << "get" << i;
            previous = rate;
        }
    }
}

TEST(SoundFiles, ExtraShipRisesAndGameOverFalls) {
    for (const char* set : {"classic", "trek"}) {
        SCOPED_TRACE(set);
        const Wav up = load(kMedia / set / "1up.wav");
        EXPECT_GT(crossing_rate(up, 0.4, 0.6), 2.0 * crossing_rate(up, 0.0, 0.15));
        const Wav over = load(kMedia / set / "gameover.wav");
        EXPECT_GT(crossing_rate(over, 0.0, 0.15), 2.0 * crossing_rate(over, 0.7, 1.0));
    }
}

TEST(SoundFiles, GeneratorWritesTheSameBytesEveryRun) {
    const fs::path tool = kMedia / "tools" / "volmarin-makesounds";
    if (!fs::exists(tool)) GTEST_SKIP() << "generator not built";
    const fs::path again =
        fs::temp_directory_path() / ("volmarin-media-rerun-" + std::to_string(getpid()));
    fs::remove_all(again);
    ASSERT_EQ(std::system(("'" + tool.string() + "' '" + again.string() + "'").c_str()), 0);
    for (const auto& path : all_sound_files()) {
        const fs::path twin = again / fs::relative(path, kMedia);
        EXPECT_EQ(media_reader::read_bytes(path.string()), media_reader::read_bytes(twin.string()))
            << path;
    }
    for (const char* piece : {"Firebomb.mid", "MortalKombat.mid"}) {
        EXPECT_EQ(media_reader::read_bytes((kMedia / piece).string()),
                  media_reader::read_bytes((again / piece).string()))
            << piece;
    }
    fs::remove_all(again);
}

}  // namespace
