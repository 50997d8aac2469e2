// A tiny offline synthesizer: oscillators with pitch glides, envelopes, FM and a
// sweeping low-pass filter, mixed into float buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace volmarin::media {

inline constexpr int kSampleRate = 44100;

using Samples = std::vector<float>;

struct NamedSound {
    std::string name;  // file name, e.g. "fire.wav"
    Samples samples;
};

// Small deterministic generator (xorshift32) so every build writes the same bytes.
class Rng {
  public:
    explicit Rng(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    static Rng from_name(const std::string& name);
    uint32_t next();
    float bipolar();  // uniform in [-1, 1)

  private:
    uint32_t state_;
};

enum class Wave { Sine, Square, Triangle, Saw, Noise };

// One sound event. Frequencies glide exponentially from `freq` to `freq_end`;
// the amplitude rises over `attack`, falls exponentially with time constant
// `decay` (0 = sustain) and fades to zero during the last `release` seconds.
struct Voice {
    Wave wave = Wave::Square;
    double start = 0.0;   // seconds into the effect
    double length = 0.1;  // seconds
    double freq = 440.0;  // Hz; for noise, the sample-and-hold rate
    double freq_end = 0.0;
    double glide_curve = 1.0;  // >1 holds the start pitch longer, <1 moves sooner
    double steps = 0.0;        // quantise the glide into this many steps (0 = smooth)
    double duty = 0.5;         // square only
    double attack = 0.002;
    double decay = 0.0;
    double release = 0.01;
    double gain = 1.0;
    double vibrato_rate = 0.0;   // Hz
    double vibrato_depth = 0.0;  // fraction of the frequency
    double fm_ratio = 0.0;       // sine only: modulator frequency / carrier frequency
    double fm_index = 0.0;       // modulation index at the start
    double fm_index_end = -1.0;  // at the end; negative keeps `fm_index`
    double cutoff = 0.0;         // low-pass cutoff in Hz at the start (0 = open)
    double cutoff_end = 0.0;     // at the end; 0 keeps `cutoff`
};

double note_hz(double midi_note);

// Renders `v` and mixes it into `out`, growing `out` as needed.
void add(Samples& out, const Voice& v, Rng& rng);

// Feedback delay: each repeat `delay` seconds later, `feedback` times quieter.
void echo(Samples& s, double delay, double feedback, int repeats);

// Gentle tanh saturation; `drive` > 1 adds punch and grit.
void saturate(Samples& s, double drive);

// Reduces the signal to `levels` amplitude steps, for a lo-fi edge.
void crush(Samples& s, int levels);

// Drops trailing samples quieter than `floor` (relative to the peak) and
// fades the last few milliseconds so the cut is clickless.
void trim_tail(Samples& s, double floor = 0.001);

// Trims, then normalises to just under full scale.
Samples finish(Samples s);

}  // namespace volmarin::media
