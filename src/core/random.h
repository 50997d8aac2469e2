// The one source of randomness: uniform numbers in [0, 1). The game seeds the
// real one from the clock; tests script the exact sequence of draws.
#pragma once

#include <cstdint>
#include <deque>
#include <random>

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

class ClockRandom : public RandomSource {
  public:
    explicit ClockRandom(uint64_t seed) : engine_(seed) {}
    void seed(uint64_t s) { engine_.seed(s); }
    double next() override { return std::generate_canonical<double, 53>(engine_); }

  private:
    std::mt19937_64 engine_;
};

// Hands out the scripted draws in order; after they run out it falls back to a
// fixed-seed generator, so a long run stays deterministic.
class ScriptedRandom : public RandomSource {
  public:
    ScriptedRandom() : fallback_(12345) {}
    void push(double v) { queue_.push_back(v); }
    template <typename... T>
    void push(double v, T... rest) {
        push(v);
        push(rest...);
    }
    size_t pending() const { return queue_.size(); }
    int64_t drawn() const { return drawn_; }
    double next() override {
        ++drawn_;
        if (queue_.empty()) return fallback_.next();
        double v = queue_.front();
        queue_.pop_front();
        return v;
    }

  private:
    std::deque<double> queue_;
    ClockRandom fallback_;
    int64_t drawn_ = 0;
};
