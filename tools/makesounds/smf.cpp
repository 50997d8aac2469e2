#include "smf.h"

#include <algorithm>
#include <cmath>

namespace volmarin::media {

namespace {

void put_u32be(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void put_u16be(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

uint8_t status(int kind, int channel) {
    return static_cast<uint8_t>(kind | (channel & 0x0f));
}

uint8_t data7(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 127));
}

}  // namespace

std::vector<uint8_t> vlq(uint32_t value) {
    std::vector<uint8_t> out{static_cast<uint8_t>(value & 0x7f)};
    while (value >>= 7) out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7f)));
    return out;
}

MidiTrack::MidiTrack(const std::string& name) {
    std::vector<uint8_t> meta{0xff, 0x03};
    const auto len = vlq(static_cast<uint32_t>(name.size()));
    meta.insert(meta.end(), len.begin(), len.end());
    meta.insert(meta.end(), name.begin(), name.end());
    push(0, kMeta, std::move(meta));
}

void MidiTrack::push(uint32_t tick, Rank rank, std::vector<uint8_t> data) {
    events_.push_back({tick, rank, std::move(data)});
}

void MidiTrack::tempo(uint32_t tick, double bpm) {
    const auto usec = static_cast<uint32_t>(std::lround(60'000'000.0 / bpm));
    push(tick, kMeta,
         {0xff, 0x51, 0x03, static_cast<uint8_t>(usec >> 16), static_cast<uint8_t>(usec >> 8),
          static_cast<uint8_t>(usec)});
}

void MidiTrack::time_signature(uint32_t tick, int numerator, int denominator_power_of_two) {
    push(tick, kMeta,
         {0xff, 0x58, 0x04, static_cast<uint8_t>(numerator),
          static_cast<uint8_t>(denominator_power_of_two), 24, 8});
}

void MidiTrack::program(uint32_t tick, int channel, int program) {
    push(tick, kSetup, {status(0xc0, channel), data7(program)});
}

void MidiTrack::control(uint32_t tick, int channel, int controller, int value) {
    push(tick, kSetup, {status(0xb0, channel), data7(controller), data7(value)});
}

void MidiTrack::note(uint32_t tick, int channel, int key, int velocity, uint32_t length) {
    push(tick, kNoteOn, {status(0x90, channel), data7(key), data7(std::max(1, velocity))});
    push(tick + std::max<uint32_t>(1, length), kNoteOff, {status(0x80, channel), data7(key), 64});
}

std::vector<uint8_t> MidiTrack::chunk(uint32_t end_tick) const {
    std::vector<const Event*> order;
    order.reserve(events_.size());
    for (const Event& e : events_) order.push_back(&e);
    std::stable_sort(order.begin(), order.end(), [](const Event* a, const Event* b) {
        return a->tick != b->tick ? a->tick < b->tick : a->rank < b->rank;
    });

    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const Event* e : order) {
        const auto delta = vlq(e->tick - now);
        body.insert(body.end(), delta.begin(), delta.end());
        body.insert(body.end(), e->data.begin(), e->data.end());
        now = e->tick;
    }
    const auto delta = vlq(std::max(end_tick, now) - now);
    body.insert(body.end(), delta.begin(), delta.end());
    body.insert(body.end(), {0xff, 0x2f, 0x00});

    std::vector<uint8_t> out{'M', 'T', 'r', 'k'};
    put_u32be(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<uint8_t> smf_bytes(const std::vector<MidiTrack>& tracks, uint32_t end_tick) {
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    put_u32be(out, 6);
    put_u16be(out, 1);  // format 1: simultaneous tracks
    put_u16be(out, static_cast<uint32_t>(tracks.size()));
    put_u16be(out, kTicksPerQuarter);
    for (const MidiTrack& t : tracks) {
        const auto c = t.chunk(end_tick);
        out.insert(out.end(), c.begin(), c.end());
    }
    return out;
}

}  // namespace volmarin::media
