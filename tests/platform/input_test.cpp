// Keys and gamepads on their way to the game: the typing rules of the modifier
// keys, keys held by several sources, and the pad mapping.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "platform/gamepad.h"
#include "platform/keyinput.h"

namespace {

using Heard = std::vector<std::string>;

// What the game hears; a name being entered follows the typed characters.
struct Listener : EventHandler {
    Heard heard;
    InputContext context;
    std::string name;
    void onkeydown(int code) override { heard.push_back("down " + std::to_string(code)); }
    void onkeyup(int code) override { heard.push_back("up " + std::to_string(code)); }
    void ontyped(int code) override {
        heard.push_back(code >= 32 ? std::string(1, static_cast<char>(code))
                                   : "typed " + std::to_string(code));
        if (code == 8 && !name.empty()) name.pop_back();
        if (code >= 32) name.push_back(static_cast<char>(code));
    }
    void onunload() override {}
    InputContext inputcontext() const override {
        InputContext c = context;
        c.lastcharacter = name.empty() ? 0 : static_cast<unsigned char>(name.back());
        return c;
    }
    Heard take() { return std::exchange(heard, {}); }
};

class PadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        keys.sethandler(&game);
        game.context.screen = InputContext::Screen::play;
    }
    void press(PadButton b, int64_t ms = 0) {
        pads.button(1, b, true, ms);
        pads.button(1, b, false, ms);
    }
    Listener game;
    KeyInput keys;
    Gamepads pads{keys};
};

}  // namespace

TEST(KeyInput, OnlyShortcutModifiersKeepKeysFromTyping) {
    // L/l Left Alt down/up, R/r Right Alt, C/c Left Ctrl, E Enter down, @ the system types "@".
    struct Case {
        const char* keys;
        Heard heard;
    } cases[] = {
        {"@E", {"@", "down 13", "typed 13"}},
        {"R@r@", {"down 18", "@", "up 18", "@"}},                      // AltGr types
        {"CL@E", {"down 17", "down 18", "@", "down 13", "typed 13"}},  // Ctrl+Alt is AltGr
        {"L@El@", {"down 18", "down 13", "up 18", "@"}},               // Left Alt: a shortcut
        {"C@Ec@", {"down 17", "down 13", "up 17", "@"}},               // Ctrl: a shortcut
    };
    const std::map<char, std::pair<int, KeySide>> keysof = {{'L', {18, KeySide::leftalt}},
                                                            {'R', {18, KeySide::rightalt}},
                                                            {'C', {17, KeySide::leftctrl}},
                                                            {'E', {13, KeySide::other}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        Listener game;
        KeyInput keys;
        keys.sethandler(&game);
        for (const char* k = c.keys; *k; ++k) {
            auto down = keysof.find(*k), up = keysof.find(static_cast<char>(std::toupper(*k)));
            if (down != keysof.end()) {
                keys.keydown(down->second.first, down->second.second);
            } else if (up != keysof.end()) {
                keys.keyup(up->second.first, up->second.second);
            } else {
                keys.text(*k);
            }
        }
        EXPECT_EQ(game.heard, c.heard);
    }
}

TEST_F(PadTest, AKeyComesUpWhenTheLastSourceLetsGo) {
    pads.button(1, PadButton::a, true, 0);
    keys.keydown(32, KeySide::other);
    keys.keyup(32, KeySide::other);  // the pad still fires
    pads.button(2, PadButton::a, true, 0);
    pads.unplug(1);
    EXPECT_EQ(game.take(), (Heard{"down 32", "down 32", "down 32"}));
    pads.button(2, PadButton::a, false, 0);
    // The stick and the trigger both thrust; Up stays on until both let go.
    pads.axis(1, PadAxis::lefty, -30000, 0);
    pads.axis(1, PadAxis::righttrigger, 32767, 0);
    pads.axis(1, PadAxis::lefty, 0, 0);
    pads.axis(1, PadAxis::righttrigger, 0, 0);
    EXPECT_EQ(game.take(), (Heard{"up 32", "down 38", "down 38", "up 38"}));
    // A key comes up as it went down, whatever screen is up by then.
    game.context.screen = InputContext::Screen::menu;
    pads.button(1, PadButton::a, true, 0);
    game.context.screen = InputContext::Screen::play;
    pads.button(1, PadButton::a, false, 0);
    EXPECT_EQ(game.take(), (Heard{"down 13", "typed 13", "up 13"}));
}

TEST_F(PadTest, SticksPressAtHalfWayAndLetGoBelowThirtyPercent) {
    struct Step {
        PadAxis axis;
        int value;
        Heard heard;
    } steps[] = {
        {PadAxis::leftx, 12000, {}},  // resting slack
        {PadAxis::leftx, 16384, {"down 39"}},
        {PadAxis::leftx, 10000, {}},  // held a little loose: no chatter
        {PadAxis::leftx, 9829, {"up 39"}},
        {PadAxis::leftx, -32768, {"down 37"}},
        {PadAxis::leftx, 32767, {"up 37", "down 39"}},  // flicked across
        {PadAxis::lefty, 20000, {}},                    // down does nothing in play
        {PadAxis::righttrigger, 16000, {}},
        {PadAxis::righttrigger, 17000, {"down 38"}},
        {PadAxis::righttrigger, 9830, {}},
        {PadAxis::righttrigger, 0, {"up 38"}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.value);
        pads.axis(1, s.axis, s.value, 0);
        EXPECT_EQ(game.take(), s.heard);
    }
}

TEST_F(PadTest, ShouldersStepThroughTheWeaponsInStock) {
    struct Case {
        int weapon;
        unsigned instock;
        PadButton shoulder;
        Heard heard;
    } cases[] = {
        {0, 0b0101, PadButton::rightshoulder, {"down 51", "3", "up 51"}},
        {0, 0b0101, PadButton::leftshoulder, {"down 51", "3", "up 51"}},
        {1, 0b1011, PadButton::rightshoulder, {"down 52", "4", "up 52"}},
        {1, 0b1011, PadButton::leftshoulder, {"down 49", "1", "up 49"}},
        {0, 0b0001, PadButton::rightshoulder, {}},  // only the gun
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.weapon * 100 + c.instock);
        game.context.weapon = c.weapon;
        game.context.instock = c.instock;
        press(c.shoulder);
        EXPECT_EQ(game.take(), c.heard);
    }
}

TEST_F(PadTest, NameEntryStepsCharactersAndRepeatsHeldDirections) {
    game.context.screen = InputContext::Screen::nameentry;
    struct Case {
        const char* before;
        PadButton button;
        const char* after;
    } cases[] = {
        {"", PadButton::dpdown, "A"},    {"A", PadButton::dpdown, " "},
        {" ", PadButton::dpup, "A"},     {"Z", PadButton::dpup, "0"},
        {"az", PadButton::dpup, "a0"},   {"A@", PadButton::dpup, "AA"},
        {"A", PadButton::dpright, "AA"}, {"AB", PadButton::dpleft, "A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        game.name = c.before;
        press(c.button);
        EXPECT_EQ(game.name, c.after);
    }
    game.name = "A";
    pads.button(1, PadButton::dpup, true, 1000);
    for (int64_t ms : {1399, 1400, 1450, 1500}) pads.tick(ms);
    EXPECT_EQ(game.name, "D");  // at once, after 400 ms, then every 100 ms
    pads.button(1, PadButton::dpup, false, 1550);
    pads.button(1, PadButton::dpup, true, 3000);
    game.context.screen = InputContext::Screen::menu;  // confirmed on the keyboard
    pads.tick(5000);
    EXPECT_EQ(game.name, "E");
}

TEST_F(PadTest, AnUnpluggedPadLetsGoOfEverythingItHeld) {
    pads.button(1, PadButton::a, true, 0);
    pads.button(1, PadButton::dpleft, true, 0);
    pads.axis(1, PadAxis::righttrigger, 32767, 0);
    pads.button(2, PadButton::b, true, 0);
    game.take();
    pads.unplug(1);
    EXPECT_EQ(game.take(), (Heard{"up 32", "up 37", "up 38"}));
    // Plugged in again it starts from rest; the other pad kept its key.
    pads.button(1, PadButton::a, false, 0);
    EXPECT_TRUE(game.take().empty());
    EXPECT_TRUE(keys.held(18));
}
