// Number rules shared by the whole game: conversions to integers round to
// nearest with halves to even, colours are red + 256 green + 65536 blue with
// every channel clamped to 0..255, and pi is written the way the game writes it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

// The same stored float, bit for bit (so a kept result is reused only for
// exactly the values it came from; -0 and 0 differ, a NaN equals itself).
inline bool samebits(float a, float b) {
    uint32_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

inline constexpr double pi = 3.1415;       // the game's own pi
inline constexpr double fullturn = 6.283;  // a full turn, radians
inline constexpr double quarterturn = 1.57075;
inline constexpr double threequarters = 4.71225;

// Round to nearest, halves to even, clamped to the 32-bit range (NaN gives 0).
inline int32_t cint(double v) {
    if (std::isnan(v)) return 0;
    double r = std::nearbyint(v);
    if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

// The same, clamped to the 16-bit range.
inline int16_t cint16(double v) {
    int32_t r = cint(v);
    if (r > 32767) return 32767;
    if (r < -32768) return -32768;
    return static_cast<int16_t>(r);
}

// A colour channel: rounded, and taken as 255 above 255 (0 below 0).
inline int32_t channel(double v) {
    int32_t c = cint(v);
    return c < 0 ? 0 : (c > 255 ? 255 : c);
}

inline int32_t rgb(double red, double green, double blue) {
    return channel(red) + 256 * channel(green) + 65536 * channel(blue);
}

// The fixed colours the game names, built as red + 256 green + 65536 blue.
namespace colours {
inline constexpr int32_t black = 0;
inline constexpr int32_t red = 255;
inline constexpr int32_t blue = 65536 * 255;
inline constexpr int32_t white = 255 + 256 * 255 + 65536 * 255;
}  // namespace colours

inline int32_t redof(int32_t colour) {
    return colour & 0xFF;
}
inline int32_t greenof(int32_t colour) {
    return (colour >> 8) & 0xFF;
}
inline int32_t blueof(int32_t colour) {
    return (colour >> 16) & 0xFF;
}

// A number as the game prints it: a blank in the sign position, then the digits.
inline std::string printed(int64_t v) {
    std::string text = std::to_string(v < 0 ? -v : v);
    text.insert(text.begin(), v < 0 ? '-' : ' ');
    return text;
}
