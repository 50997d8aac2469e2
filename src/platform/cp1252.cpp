// Windows-1252: the codes 0x80..0x9F are the only ones that differ from Unicode.
#include "platform/cp1252.h"

namespace {
// Codes 128..159 and the characters they stand for; 0 where unassigned.
constexpr char32_t highcodes[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 128..135
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 136..143
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 144..151
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 152..159
};
}  // namespace

char32_t cp1252tounicode(unsigned char code) {
    if (code < 0x80 || code >= 0xA0) return code;
    char32_t c = highcodes[code - 0x80];
    return c != 0 ? c : code;
}

int unicodetocp1252(char32_t c) {
    if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        if (highcodes[i] != 0 && highcodes[i] == c) return 128 + i;
    }
    return 0;
}

bool cp1252assigned(int code) {
    if (code < 0 || code > 255) return false;
    return code < 0x80 || code >= 0xA0 || highcodes[code - 0x80] != 0;
}
