// Key positions and characters to virtual-key codes, and text to Windows-1252.
#include "platform/virtualkeys.h"

#include <cstdint>

#include "platform/cp1252.h"

namespace {

// Keys named by their position: usage, virtual-key code.
struct Positioned {
    int usage;
    int vk;
};
constexpr Positioned positioned[] = {
    {0x28, 13},  {0x29, 27},  {0x2A, 8},   {0x2B, 9},   {0x2C, 32},  {0x2D, 189}, {0x2E, 187},
    {0x2F, 219}, {0x30, 221}, {0x31, 220}, {0x32, 220}, {0x33, 186}, {0x34, 222}, {0x35, 192},
    {0x36, 188}, {0x37, 190}, {0x38, 191}, {0x39, 20},  {0x46, 44},  {0x47, 145}, {0x48, 19},
    {0x49, 45},  {0x4A, 36},  {0x4B, 33},  {0x4C, 46},  {0x4D, 35},  {0x4E, 34},  {0x4F, 39},
    {0x50, 37},  {0x51, 40},  {0x52, 38},  {0x53, 144}, {0x65, 93},  {0xE0, 17},  {0xE1, 16},
    {0xE2, 18},  {0xE3, 91},  {0xE4, 17},  {0xE5, 16},  {0xE6, 18},  {0xE7, 92},
};

// Characters whose key the layout decides: punctuation and the control
// characters of the named keys (a layout may move Esc or Backspace).
struct Charactered {
    char32_t character;
    int vk;
};
constexpr Charactered charactered[] = {
    {'\b', 8},  {'\t', 9},  {'\r', 13},  {0x1B, 27}, {' ', 32},   {0x7F, 46},
    {';', 186}, {'=', 187}, {',', 188},  {'-', 189}, {'.', 190},  {'/', 191},
    {'`', 192}, {'[', 219}, {'\\', 220}, {']', 221}, {'\'', 222},
};

// The keypad from '/' to '.', with Num Lock on and off (0: as with it on).
constexpr int keypadon[] = {111, 106, 109, 107, 13,  97,  98, 99,
                            100, 101, 102, 103, 104, 105, 96, 110};
constexpr int keypadoff[] = {0, 0, 0, 0, 0, 35, 40, 34, 37, 12, 39, 36, 38, 33, 45, 46};

// KeyboardEvent.code names of the keys that are not letters, digits or F-keys.
struct Named {
    std::string_view code;
    int usage;
};
constexpr Named named[] = {
    {"Enter", 0x28},          {"Escape", 0x29},
    {"Backspace", 0x2A},      {"Tab", 0x2B},
    {"Space", 0x2C},          {"Minus", 0x2D},
    {"Equal", 0x2E},          {"BracketLeft", 0x2F},
    {"BracketRight", 0x30},   {"Backslash", 0x31},
    {"IntlHash", 0x32},       {"Semicolon", 0x33},
    {"Quote", 0x34},          {"Backquote", 0x35},
    {"Comma", 0x36},          {"Period", 0x37},
    {"Slash", 0x38},          {"CapsLock", 0x39},
    {"PrintScreen", 0x46},    {"ScrollLock", 0x47},
    {"Pause", 0x48},          {"Insert", 0x49},
    {"Home", 0x4A},           {"PageUp", 0x4B},
    {"Delete", 0x4C},         {"End", 0x4D},
    {"PageDown", 0x4E},       {"ArrowRight", 0x4F},
    {"ArrowLeft", 0x50},      {"ArrowDown", 0x51},
    {"ArrowUp", 0x52},        {"NumLock", 0x53},
    {"NumpadDivide", 0x54},   {"NumpadMultiply", 0x55},
    {"NumpadSubtract", 0x56}, {"NumpadAdd", 0x57},
    {"NumpadEnter", 0x58},    {"NumpadDecimal", 0x63},
    {"ContextMenu", 0x65},    {"ControlLeft", 0xE0},
    {"ShiftLeft", 0xE1},      {"AltLeft", 0xE2},
    {"MetaLeft", 0xE3},       {"ControlRight", 0xE4},
    {"ShiftRight", 0xE5},     {"AltRight", 0xE6},
    {"MetaRight", 0xE7},
};

// Decodes UTF-8 one character at a time; broken sequences are skipped.
template <typename Each>
void decode(std::string_view utf8, Each each) {
    size_t i = 0;
    while (i < utf8.size()) {
        auto byte = static_cast<uint8_t>(utf8[i]);
        int length = byte < 0x80           ? 1
                     : (byte >> 5) == 0x6  ? 2
                     : (byte >> 4) == 0xE  ? 3
                     : (byte >> 3) == 0x1E ? 4
                                           : 0;
        if (length == 0 || i + length > utf8.size()) {
            ++i;  // a stray byte of a broken sequence
            continue;
        }
        char32_t c = length == 1 ? byte : byte & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            auto next = static_cast<uint8_t>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            ++i;
            continue;
        }
        i += length;
        each(c);
    }
}

}  // namespace

int virtualkey(int where, char32_t character, bool numlock) {
    if (character >= 'a' && character <= 'z') return 'A' + static_cast<int>(character - 'a');
    if (character >= 'A' && character <= 'Z') return static_cast<int>(character);
    if (where >= usage::a && where <= usage::z) return 'A' + (where - usage::a);
    if (where >= usage::digit1 && where < usage::digit0) return '1' + (where - usage::digit1);
    if (where == usage::digit0) return '0';
    if (where >= usage::f1 && where <= usage::f12) return 112 + (where - usage::f1);
    if (where >= usage::f13 && where <= usage::f24) return 124 + (where - usage::f13);
    if (where >= usage::numpadfirst && where <= usage::numpadlast) {
        int k = where - usage::numpadfirst;
        return !numlock && keypadoff[k] != 0 ? keypadoff[k] : keypadon[k];
    }
    for (const auto& c : charactered) {
        if (c.character == character) return c.vk;
    }
    // A character of the layout that is none of the above has no code.
    if (character != 0) return 0;
    for (const auto& p : positioned) {
        if (p.usage == where) return p.vk;
    }
    return 0;
}

KeySide keyside(int where) {
    switch (where) {
        case usage::leftalt:
            return KeySide::leftalt;
        case usage::rightalt:
            return KeySide::rightalt;
        case usage::leftctrl:
            return KeySide::leftctrl;
        case usage::rightctrl:
            return KeySide::rightctrl;
        default:
            return KeySide::other;
    }
}

int usageofcode(std::string_view code) {
    auto suffix = [&](std::string_view prefix) {
        return code.size() > prefix.size() && code.substr(0, prefix.size()) == prefix
                   ? code.substr(prefix.size())
                   : std::string_view();
    };
    auto number = [](std::string_view digits) {
        int n = 0;
        for (char c : digits) {
            if (c < '0' || c > '9' || n > 100) return -1;
            n = n * 10 + (c - '0');
        }
        return digits.empty() ? -1 : n;
    };
    if (auto letter = suffix("Key"); letter.size() == 1 && letter[0] >= 'A' && letter[0] <= 'Z')
        return usage::a + (letter[0] - 'A');
    if (auto digit = suffix("Digit"); digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9')
        return digit[0] == '0' ? usage::digit0 : usage::digit1 + (digit[0] - '1');
    if (auto digit = suffix("Numpad"); digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9')
        return digit[0] == '0' ? 0x62 : 0x59 + (digit[0] - '1');
    if (code.size() >= 2 && code[0] == 'F') {
        int n = number(code.substr(1));
        if (n >= 1 && n <= 12) return usage::f1 + n - 1;
        if (n >= 13 && n <= 24) return usage::f13 + n - 13;
    }
    for (const auto& n : named) {
        if (n.code == code) return n.usage;
    }
    return 0;
}

std::vector<int> windows1252(std::string_view utf8) {
    std::vector<int> codes;
    decode(utf8, [&](char32_t c) {
        if (int code = unicodetocp1252(c)) codes.push_back(code);
    });
    return codes;
}

char32_t onecharacter(std::string_view utf8) {
    char32_t one = 0;
    int count = 0;
    decode(utf8, [&](char32_t c) {
        one = c;
        ++count;
    });
    return count == 1 ? one : 0;
}
