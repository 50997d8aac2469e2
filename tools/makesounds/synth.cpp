#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "wav.h"

namespace volmarin::media {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Exponential interpolation between two positive values.
double glide(double from, double to, double p) {
    if (to <= 0.0 || to == from) return from;
    return from * std::pow(to / from, p);
}

// Two cascaded one-pole low-pass stages: soft enough to sound smooth, cheap
// enough to sweep per sample.
class LowPass {
  public:
    float process(float x, double cutoff) {
        const double a =
            1.0 - std::exp(-kTwoPi * std::min(cutoff, kSampleRate * 0.45) / kSampleRate);
        s1_ += a * (x - s1_);
        s2_ += a * (s1_ - s2_);
        return static_cast<float>(s2_);
    }

  private:
    double s1_ = 0.0;
    double s2_ = 0.0;
};

}  // namespace

Rng Rng::from_name(const std::string& name) {
    uint32_t h = 2166136261u;  // FNV-1a
    for (unsigned char c : name) {
        h ^= c;
        h *= 16777619u;
    }
    return Rng(h);
}

uint32_t Rng::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Rng::bipolar() {
    return static_cast<float>(next() >> 8) / static_cast<float>(1u << 23) - 1.0f;
}

double note_hz(double midi_note) {
    return 440.0 * std::pow(2.0, (midi_note - 69.0) / 12.0);
}

void add(Samples& out, const Voice& v, Rng& rng) {
    const auto first = static_cast<size_t>(std::max(0.0, v.start) * kSampleRate);
    const auto count = static_cast<size_t>(v.length * kSampleRate);
    if (count == 0) return;
    if (out.size() < first + count) out.resize(first + count, 0.0f);

    LowPass filter;
    double phase = 0.0;
    double mod_phase = 0.0;
    double noise_clock = 1.0;
    float held_noise = 0.0f;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double p = static_cast<double>(i) / static_cast<double>(count);
        double gp = std::pow(p, v.glide_curve);
        if (v.steps > 0.0) gp = std::floor(gp * v.steps) / v.steps;
        double f = glide(v.freq, v.freq_end, gp);
        if (v.vibrato_depth > 0.0)
            f *= 1.0 + v.vibrato_depth * std::sin(kTwoPi * v.vibrato_rate * t);

        double x = 0.0;
        const double frac = phase - std::floor(phase);
        switch (v.wave) {
            case Wave::Sine: {
                double pm = 0.0;
                if (v.fm_ratio > 0.0) {
                    const double end = v.fm_index_end < 0.0 ? v.fm_index : v.fm_index_end;
                    pm = (v.fm_index + (end - v.fm_index) * p) * std::sin(kTwoPi * mod_phase);
                }
                x = std::sin(kTwoPi * phase + pm);
                break;
            }
            case Wave::Square:
                x = frac < v.duty ? 1.0 : -1.0;
                break;
            case Wave::Triangle:
                x = 4.0 * std::fabs(frac - 0.5) - 1.0;
                break;
            case Wave::Saw:
                x = 2.0 * frac - 1.0;
                break;
            case Wave::Noise:
                noise_clock += f / kSampleRate;
                if (noise_clock >= 1.0) {
                    noise_clock -= std::floor(noise_clock);
                    held_noise = rng.bipolar();
                }
                x = held_noise;
                break;
        }
        phase += f / kSampleRate;
        mod_phase += f * v.fm_ratio / kSampleRate;

        if (v.cutoff > 0.0) {
            x = filter.process(static_cast<float>(x), glide(v.cutoff, v.cutoff_end, p));
        }

        double env = 1.0;
        if (v.attack > 0.0 && t < v.attack) env = t / v.attack;
        if (v.decay > 0.0) env *= std::exp(-std::max(0.0, t - v.attack) / v.decay);
        const double left = v.length - t;
        if (v.release > 0.0 && left < v.release) env *= left / v.release;

        out[first + i] += static_cast<float>(x * env * v.gain);
    }
}

void echo(Samples& s, double delay, double feedback, int repeats) {
    const auto step = static_cast<size_t>(delay * kSampleRate);
    if (step == 0 || s.empty()) return;
    const Samples dry = s;
    s.resize(dry.size() + step * static_cast<size_t>(repeats), 0.0f);
    double level = 1.0;
    for (int r = 1; r <= repeats; ++r) {
        level *= feedback;
        const size_t offset = step * static_cast<size_t>(r);
        for (size_t i = 0; i < dry.size(); ++i) s[offset + i] += static_cast<float>(dry[i] * level);
    }
}

void saturate(Samples& s, double drive) {
    const double norm = std::tanh(drive);
    for (float& x : s) x = static_cast<float>(std::tanh(x * drive) / norm);
}

void crush(Samples& s, int levels) {
    float peak = 0.0f;
    for (float x : s) peak = std::max(peak, std::fabs(x));
    if (peak <= 0.0f || levels < 2) return;
    const float half = static_cast<float>(levels) / 2.0f;
    for (float& x : s) x = std::round(x / peak * half) / half * peak;
}

void trim_tail(Samples& s, double floor) {
    float peak = 0.0f;
    for (float x : s) peak = std::max(peak, std::fabs(x));
    const auto limit = static_cast<float>(peak * floor);
    size_t end = s.size();
    while (end > 0 && std::fabs(s[end - 1]) <= limit) --end;
    s.resize(end);
    const size_t fade = std::min(s.size(), static_cast<size_t>(0.004 * kSampleRate));
    for (size_t i = 0; i < fade; ++i) {
        s[s.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);
    }
}

Samples finish(Samples s) {
    trim_tail(s);
    normalise(s);
    return s;
}

}  // namespace volmarin::media
