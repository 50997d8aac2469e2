// Minimal, strict readers for the WAV and MIDI files the game loads, so the
// generated media can be checked without the game's own player.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace media_reader {

inline std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("missing " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline uint32_t le(const std::vector<uint8_t>& b, size_t at, int n) {
    if (at + n > b.size()) throw std::runtime_error("truncated");
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

inline uint32_t be(const std::vector<uint8_t>& b, size_t at, int n) {
    if (at + n > b.size()) throw std::runtime_error("truncated");
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | b[at + i];
    return v;
}

inline std::string tag(const std::vector<uint8_t>& b, size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("truncated");
    return std::string(b.begin() + at, b.begin() + at + 4);
}

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0, byte_rate = 0, block_align = 0;
    std::vector<int16_t> samples;
    double seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0.0; }
};

// Walks the RIFF chunks; throws on anything malformed.
inline Wav parse_wav(const std::vector<uint8_t>& b) {
    if (tag(b, 0) != "RIFF" || tag(b, 8) != "WAVE") throw std::runtime_error("not RIFF/WAVE");
    if (le(b, 4, 4) + 8 != b.size()) throw std::runtime_error("RIFF size mismatch");
    Wav w;
    bool have_fmt = false, have_data = false;
    for (size_t at = 12; at < b.size();) {
        const std::string id = tag(b, at);
        const uint32_t size = le(b, at + 4, 4);
        const size_t body = at + 8;
        if (body + size > b.size()) throw std::runtime_error("chunk overruns file: " + id);
        if (id == "fmt ") {
            w.format = static_cast<int>(le(b, body, 2));
            w.channels = static_cast<int>(le(b, body + 2, 2));
            w.rate = static_cast<int>(le(b, body + 4, 4));
            w.byte_rate = static_cast<int>(le(b, body + 8, 4));
            w.block_align = static_cast<int>(le(b, body + 12, 2));
            w.bits = static_cast<int>(le(b, body + 14, 2));
            have_fmt = true;
        } else if (id == "data") {
            if (!have_fmt || w.bits != 16 || size % 2) throw std::runtime_error("bad data chunk");
            for (size_t i = 0; i < size; i += 2) {
                w.samples.push_back(static_cast<int16_t>(le(b, body + i, 2)));
            }
            have_data = true;
        }
        at = body + size + (size & 1);
    }
    if (!have_fmt || !have_data) throw std::runtime_error("fmt or data chunk missing");
    return w;
}

struct MidiEvent {
    uint32_t tick;
    uint8_t status;  // 0xff for meta events
    uint8_t meta_type;
    std::vector<uint8_t> data;
};

struct Smf {
    int format = 0, division = 0;
    std::vector<std::vector<MidiEvent>> tracks;
};

inline uint32_t read_vlq(const std::vector<uint8_t>& b, size_t& at, size_t end) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= end) throw std::runtime_error("variable-length number runs off the track");
        const uint8_t c = b[at++];
        v = (v << 7) | (c & 0x7f);
        if (!(c & 0x80)) return v;
    }
    throw std::runtime_error("variable-length number too long");
}

// Parses every track event (running status included); throws unless each
// track ends exactly at its chunk end with an end-of-track event.
inline Smf parse_smf(const std::vector<uint8_t>& b) {
    if (tag(b, 0) != "MThd" || be(b, 4, 4) != 6) throw std::runtime_error("bad MThd");
    Smf s;
    s.format = static_cast<int>(be(b, 8, 2));
    const uint32_t count = be(b, 10, 2);
    s.division = static_cast<int>(be(b, 12, 2));
    size_t at = 14;
    for (uint32_t t = 0; t < count; ++t) {
        if (tag(b, at) != "MTrk") throw std::runtime_error("expected MTrk");
        const size_t end = at + 8 + be(b, at + 4, 4);
        if (end > b.size()) throw std::runtime_error("MTrk overruns file");
        at += 8;
        std::vector<MidiEvent> events;
        uint32_t tick = 0;
        uint8_t running = 0;
        bool ended = false;
        while (at < end) {
            if (ended) throw std::runtime_error("events after end-of-track");
            tick += read_vlq(b, at, end);
            MidiEvent e{tick, 0, 0, {}};
            uint8_t first = b[at];
            if (first & 0x80) {
                e.status = first;
                ++at;
            } else {
                if (!running) throw std::runtime_error("running status without status");
                e.status = running;
            }
            size_t len = 0;
            if (e.status == 0xff) {
                e.meta_type = b[at++];
                len = read_vlq(b, at, end);
                ended = e.meta_type == 0x2f;
            } else if (e.status == 0xf0 || e.status == 0xf7) {
                len = read_vlq(b, at, end);
            } else {
                running = e.status;
                const uint8_t kind = e.status & 0xf0;
                len = kind == 0xc0 || kind == 0xd0 ? 1 : 2;
            }
            if (at + len > end) throw std::runtime_error("event overruns track");
            e.data.assign(b.begin() + at, b.begin() + at + len);
            for (size_t i = 0; e.status < 0xf0 && i < len; ++i) {
                if (e.data[i] & 0x80) throw std::runtime_error("data byte above 127");
            }
            at += len;
            events.push_back(std::move(e));
        }
        if (!ended) throw std::runtime_error("track without end-of-track");
        s.tracks.push_back(std::move(events));
    }
    if (at != b.size()) throw std::runtime_error("trailing bytes after last track");
    return s;
}

// Seconds at `tick` under the file's tempo map (120 bpm until told otherwise).
inline double seconds_at(const Smf& s, uint32_t tick) {
    std::map<uint32_t, uint32_t> tempo{{0, 500000}};
    for (const auto& track : s.tracks) {
        for (const auto& e : track) {
            if (e.status == 0xff && e.meta_type == 0x51 && e.data.size() == 3) {
                tempo[e.tick] = (e.data[0] << 16) | (e.data[1] << 8) | e.data[2];
            }
        }
    }
    double seconds = 0.0;
    for (auto it = tempo.begin(); it != tempo.end() && it->first < tick; ++it) {
        const auto next = std::next(it);
        const uint32_t until = next == tempo.end() ? tick : std::min(tick, next->first);
        seconds += static_cast<double>(until - it->first) * it->second / 1e6 / s.division;
    }
    return seconds;
}

}  // namespace media_reader
