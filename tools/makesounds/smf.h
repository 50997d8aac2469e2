// Writing Standard MIDI Files (format 1, one conductor track plus one track
// per part).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace volmarin::media {

inline constexpr uint32_t kTicksPerQuarter = 480;

// Variable-length quantity as used for delta times and meta lengths.
std::vector<uint8_t> vlq(uint32_t value);

class MidiTrack {
  public:
    explicit MidiTrack(const std::string& name);

    void tempo(uint32_t tick, double bpm);
    void time_signature(uint32_t tick, int numerator, int denominator_power_of_two);
    void program(uint32_t tick, int channel, int program);
    void control(uint32_t tick, int channel, int controller, int value);
    // A note-on at `tick` and its note-off `length` ticks later.
    void note(uint32_t tick, int channel, int key, int velocity, uint32_t length);

    // The complete "MTrk" chunk, closed by end-of-track at `end_tick` (or at
    // the last event, if that is later).
    std::vector<uint8_t> chunk(uint32_t end_tick) const;

  private:
    // Events at the same tick go out in rank order: meta events, note-offs,
    // controller and program changes, then note-ons, so a repeated key is
    // released before it is struck again.
    enum Rank { kMeta = 0, kNoteOff = 1, kSetup = 2, kNoteOn = 3 };
    struct Event {
        uint32_t tick;
        Rank rank;
        std::vector<uint8_t> data;
    };
    void push(uint32_t tick, Rank rank, std::vector<uint8_t> data);

    std::vector<Event> events_;
};

// A whole format-1 file; every track ends at `end_tick`.
std::vector<uint8_t> smf_bytes(const std::vector<MidiTrack>& tracks, uint32_t end_tick);

}  // namespace volmarin::media
