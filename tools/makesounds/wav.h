// Writing finished sound effects as 16-bit mono PCM WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace volmarin::media {

// Peak level every effect is brought to: about -1 dBFS, so nothing clips.
inline constexpr double kPeakLevel = 0.891;

// Scales the samples so that their largest magnitude equals `peak`.
// Silence is left alone.
void normalise(std::vector<float>& samples, double peak = kPeakLevel);

// Converts float samples in [-1, 1] to 16-bit PCM, rounding and saturating.
std::vector<int16_t> to_pcm16(const std::vector<float>& samples);

// The bytes of a complete RIFF/WAVE file: one channel, 16 bits per sample.
std::vector<uint8_t> wav_bytes(const std::vector<int16_t>& pcm, int sample_rate);

// Writes `bytes` to `path`; throws std::runtime_error on failure.
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace volmarin::media
