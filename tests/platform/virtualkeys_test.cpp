// The page's keys (KeyboardEvent.code and key) reach the same virtual-key
// codes as the desktop's through the shared key table.
#include "platform/virtualkeys.h"

#include <gtest/gtest.h>

TEST(VirtualKeys, PageKeysGiveTheDesktopsCodes) {
    struct Case {
        const char* code;
        char32_t letter;  // the layout's letter on the key, 0 for none
        bool numlock;
        int vk;
    } cases[] = {
        {"KeyA", 'a', true, 'A'},
        {"KeyA", 'q', true, 'Q'},  // letters follow the layout (AZERTY)
        {"KeyG", 0, true, 'G'},    // a letter with no Latin key: its place
        {"Digit1", 0, true, '1'},
        {"Digit0", 0, true, '0'},
        {"Enter", 0, true, 13},
        {"NumpadEnter", 0, true, 13},
        {"Escape", 0, true, 27},
        {"Backspace", 0, true, 8},
        {"Space", 0, true, 32},
        {"ArrowLeft", 0, true, 37},
        {"ArrowUp", 0, true, 38},
        {"ArrowRight", 0, true, 39},
        {"ArrowDown", 0, true, 40},
        {"ControlLeft", 0, true, 17},
        {"AltRight", 0, true, 18},
        {"ShiftRight", 0, true, 16},
        {"F1", 0, true, 112},
        {"F12", 0, true, 123},
        {"F13", 0, true, 124},
        {"Numpad8", 0, true, 104},
        {"Numpad8", 0, false, 38},  // Num Lock off: the keypad arrows
        {"Numpad0", 0, true, 96},
        {"NumpadSubtract", 0, true, 109},
        {"Minus", 0, true, 189},
        {"Quote", 0, true, 222},
        {"AudioVolumeUp", 0, true, 0},  // nothing for the game
        {"Key", 0, true, 0},
        {"F99", 0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(virtualkey(usageofcode(c.code), c.letter, c.numlock), c.vk);
    }
    EXPECT_EQ(keyside(usageofcode("AltRight")), KeySide::rightalt);
    EXPECT_EQ(keyside(usageofcode("ControlLeft")), KeySide::leftctrl);
    EXPECT_EQ(keyside(usageofcode("AltLeft")), KeySide::leftalt);
}

TEST(VirtualKeys, OneCharacterOfAKeyName) {
    EXPECT_EQ(onecharacter("a"), U'a');
    EXPECT_EQ(onecharacter("\xC3\xA9"), U'\u00E9');
    EXPECT_EQ(onecharacter("Enter"), 0u);
    EXPECT_EQ(onecharacter(""), 0u);
}
