// The keyboard as the game knows it, shared by every backend: a key named by
// its position (a USB HID keyboard usage, which both SDL's scancodes and the
// page's KeyboardEvent.code follow) and by the character the layout puts on it
// becomes a Windows virtual-key code; typed text becomes Windows-1252 codes.
#pragma once

#include <string_view>
#include <vector>

#include "platform/keyinput.h"

// USB HID keyboard usages the rules below name.
namespace usage {
constexpr int a = 0x04, z = 0x1D;
constexpr int digit1 = 0x1E, digit0 = 0x27;
constexpr int f1 = 0x3A, f12 = 0x45, f13 = 0x68, f24 = 0x73;
constexpr int numpadfirst = 0x54, numpadlast = 0x63;  // keypad '/' to '.'
constexpr int leftctrl = 0xE0, leftalt = 0xE2, rightctrl = 0xE4, rightalt = 0xE6;
}  // namespace usage

// The virtual-key code of a key, or 0 for a key the game has no code for.
// `character` is what the layout puts on the key without modifiers, or 0 when
// the key types nothing or the backend cannot tell; then the key's position
// decides. Letters follow the layout, the digit row its position; with Num
// Lock off the keypad gives the cursor keys.
int virtualkey(int usage, char32_t character, bool numlock);

// The side of a modifier key, for the typing rules.
KeySide keyside(int usage);

// The usage of a KeyboardEvent.code name ("KeyA", "ArrowLeft", "NumpadEnter"),
// or 0 for a name the game has no use for.
int usageofcode(std::string_view code);

// The Windows-1252 codes of UTF-8 text; characters 1252 has no code for, and
// control characters, are dropped.
std::vector<int> windows1252(std::string_view utf8);

// The one character of UTF-8 text, or 0 when it is empty or longer.
char32_t onecharacter(std::string_view utf8);
