#include "wav.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace volmarin::media {

namespace {

void put_tag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

void put_u16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xff));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    put_u16(out, v & 0xffff);
    put_u16(out, v >> 16);
}

}  // namespace

void normalise(std::vector<float>& samples, double peak) {
    float largest = 0.0f;
    for (float s : samples) largest = std::max(largest, std::fabs(s));
    if (largest <= 0.0f) return;
    const float gain = static_cast<float>(peak / largest);
    for (float& s : samples) s *= gain;
}

std::vector<int16_t> to_pcm16(const std::vector<float>& samples) {
    std::vector<int16_t> pcm;
    pcm.reserve(samples.size());
    for (float s : samples) {
        const double v =
            std::clamp(std::round(static_cast<double>(s) * 32767.0), -32768.0, 32767.0);
        pcm.push_back(static_cast<int16_t>(v));
    }
    return pcm;
}

std::vector<uint8_t> wav_bytes(const std::vector<int16_t>& pcm, int sample_rate) {
    const uint32_t data_size = static_cast<uint32_t>(pcm.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + data_size);
    put_tag(out, "RIFF");
    put_u32(out, 36 + data_size);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_u32(out, 16);  // size of the PCM format block
    put_u16(out, 1);   // PCM
    put_u16(out, 1);   // mono
    put_u32(out, static_cast<uint32_t>(sample_rate));
    put_u32(out, static_cast<uint32_t>(sample_rate) * 2);  // bytes per second
    put_u16(out, 2);                                       // bytes per frame
    put_u16(out, 16);                                      // bits per sample
    put_tag(out, "data");
    put_u32(out, data_size);
    for (int16_t s : pcm) put_u16(out, static_cast<uint16_t>(s));
    return out;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("cannot open " + path + " for writing");
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace volmarin::media
