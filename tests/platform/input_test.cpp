// Keys and gamepads on their way to the game: the typing rules of the modifier
// keys (AltGr types, Left Alt and Ctrl do not), keys held by several sources,
// and the pad mapping on each screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gamepad.h"
#include "platform/keyinput.h"

namespace {

// What the game hears, and a game that answers the pad's questions: a name
// being entered follows the typed characters as the name screen would.
struct Listener : EventHandler {
    std::vector<std::string> heard;
    InputContext context;
    std::string name;
    void onkeydown(int code) override { heard.push_back("down " + std::to_string(code)); }
    void onkeyup(int code) override { heard.push_back("up " + std::to_string(code)); }
    void ontyped(int code) override {
        heard.push_back(code >= 32 ? "typed '" + std::string(1, static_cast<char>(code)) + "'"
                                   : "typed " + std::to_string(code));
        if (context.screen != InputContext::Screen::nameentry) return;
        if (code == 8 && !name.empty()) name.pop_back();
        if (code >= 32) name.push_back(static_cast<char>(code));
    }
    void onunload() override {}
    InputContext inputcontext() const override {
        InputContext c = context;
        c.lastcharacter = name.empty() ? 0 : static_cast<unsigned char>(name.back());
        return c;
    }
    std::vector<std::string> take() { return std::exchange(heard, {}); }
};

using Heard = std::vector<std::string>;
constexpr auto play = InputContext::Screen::play;
constexpr auto menu = InputContext::Screen::menu;
constexpr auto nameentry = InputContext::Screen::nameentry;

class PadTest : public ::testing::Test {
  protected:
    void SetUp() override { keys.sethandler(&game); }
    Listener game;
    KeyInput keys;
    Gamepads pads{keys};
};

}  // namespace

TEST(KeyInput, OnlyShortcutModifiersKeepKeysFromTyping) {
    struct Step {
        bool down;  // key down or up; a text step when vk is 0 and side other
        int vk;
        KeySide side;
    };
    const Step text{true, 0, KeySide::other};  // the system types "@"
    const Step lalt{true, 18, KeySide::leftalt}, laltup{false, 18, KeySide::leftalt};
    const Step ralt{true, 18, KeySide::rightalt}, raltup{false, 18, KeySide::rightalt};
    const Step lctrl{true, 17, KeySide::leftctrl}, lctrlup{false, 17, KeySide::leftctrl};
    const Step rctrl{true, 17, KeySide::rightctrl};
    const Step enter{true, 13, KeySide::other};
    struct Case {
        const char* what;
        std::vector<Step> steps;
        Heard heard;
    } cases[] = {
        {"plain", {text, enter}, {"typed '@'", "down 13", "typed 13"}},
        {"AltGr types", {ralt, text, raltup, text}, {"down 18", "typed '@'", "up 18", "typed '@'"}},
        {"Ctrl+Alt is AltGr on Windows",
         {lctrl, lalt, text, enter},
         {"down 17", "down 18", "typed '@'", "down 13", "typed 13"}},
        {"Left Alt is a shortcut",
         {lalt, text, enter, laltup, text},
         {"down 18", "down 13", "up 18", "typed '@'"}},
        {"Ctrl is a shortcut", {rctrl, text, enter}, {"down 17", "down 13"}},
        {"Ctrl let go again", {lctrl, lctrlup, text}, {"down 17", "up 17", "typed '@'"}},
        {"a key with no code still counts its side", {{true, 0, KeySide::leftalt}, text}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Listener game;
        KeyInput keys;
        keys.sethandler(&game);
        for (const Step& s : c.steps) {
            if (s.vk == 0 && s.side == KeySide::other) {
                keys.text('@');
            } else if (s.down) {
                keys.keydown(s.vk, s.side);
            } else {
                keys.keyup(s.vk, s.side);
            }
        }
        EXPECT_EQ(game.heard, c.heard);
    }
}

TEST_F(PadTest, AKeyHeldOnSeveralSourcesComesUpWithTheLast) {
    game.context.screen = play;
    pads.button(1, PadButton::a, true, 0);
    keys.keydown(32, KeySide::other);
    keys.keyup(32, KeySide::other);  // the pad still fires
    pads.button(2, PadButton::a, true, 0);
    pads.unplug(1);
    EXPECT_EQ(game.take(), (Heard{"down 32", "down 32", "down 32"}));
    pads.button(2, PadButton::a, false, 0);
    EXPECT_EQ(game.take(), Heard{"up 32"});
    // The stick and the trigger both thrust; Up stays on until both let go.
    pads.axis(1, PadAxis::lefty, -30000, 0);
    pads.axis(1, PadAxis::righttrigger, 32767, 0);
    pads.axis(1, PadAxis::lefty, 0, 0);
    EXPECT_EQ(game.take(), (Heard{"down 38", "down 38"}));
    pads.axis(1, PadAxis::righttrigger, 0, 0);
    EXPECT_EQ(game.take(), Heard{"up 38"});
}

TEST_F(PadTest, SticksPressAtHalfWayAndLetGoBelowThirtyPercent) {
    game.context.screen = play;
    struct Step {
        PadAxis axis;
        int value;
        Heard heard;
    } steps[] = {
        {PadAxis::leftx, 12000, {}},  // resting slack
        {PadAxis::leftx, 16384, {"down 39"}},
        {PadAxis::leftx, 10000, {}},  // held, a little loose: no chatter
        {PadAxis::leftx, 16384, {}},
        {PadAxis::leftx, 9829, {"up 39"}},
        {PadAxis::leftx, -32768, {"down 37"}},
        {PadAxis::leftx, 32767, {"up 37", "down 39"}},  // flicked across
        {PadAxis::leftx, 0, {"up 39"}},
        {PadAxis::lefty, 20000, {}},  // down does nothing in play
        {PadAxis::lefty, -20000, {"down 38"}},
        {PadAxis::lefty, -5000, {"up 38"}},
        {PadAxis::righttrigger, 16000, {}},
        {PadAxis::righttrigger, 17000, {"down 38"}},
        {PadAxis::righttrigger, 9830, {}},
        {PadAxis::righttrigger, 0, {"up 38"}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.value);
        pads.axis(7, s.axis, s.value, 0);
        EXPECT_EQ(game.take(), s.heard);
    }
}

TEST_F(PadTest, EachScreenHasItsOwnMapping) {
    struct Case {
        InputContext::Screen screen;
        PadButton button;
        Heard press, release;
    } cases[] = {
        {play, PadButton::a, {"down 32"}, {"up 32"}},
        {play, PadButton::b, {"down 18"}, {"up 18"}},
        {play, PadButton::x, {"down 17"}, {"up 17"}},
        {play, PadButton::y, {"down 88"}, {"up 88"}},
        {play, PadButton::start, {"down 80"}, {"up 80"}},
        {play, PadButton::back, {"down 27", "typed 27"}, {"up 27"}},
        {play, PadButton::dpleft, {"down 37"}, {"up 37"}},
        {play, PadButton::dpright, {"down 39"}, {"up 39"}},
        {play, PadButton::dpup, {"down 38"}, {"up 38"}},
        {menu, PadButton::dpup, {"down 38"}, {"up 38"}},
        {menu, PadButton::dpdown, {"down 40"}, {"up 40"}},
        {menu, PadButton::a, {"down 13", "typed 13"}, {"up 13"}},
        {menu, PadButton::start, {"down 13", "typed 13"}, {"up 13"}},
        {menu, PadButton::b, {"down 27", "typed 27"}, {"up 27"}},
        {menu, PadButton::back, {"down 27", "typed 27"}, {"up 27"}},
        {menu, PadButton::x, {}, {}},
        {nameentry, PadButton::a, {"down 13", "typed 13"}, {"up 13"}},
        {nameentry, PadButton::b, {"down 27", "typed 27"}, {"up 27"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.button));
        game.context.screen = c.screen;
        pads.button(1, c.button, true, 0);
        // Held for seconds: no repeats, the game's own cadence fires.
        pads.tick(5000);
        EXPECT_EQ(game.take(), c.press);
        pads.button(1, c.button, false, 5000);
        EXPECT_EQ(game.take(), c.release);
    }
    // A key comes up as it went down, even when the screen changed meanwhile.
    game.context.screen = menu;
    pads.button(1, PadButton::a, true, 0);
    game.context.screen = play;
    pads.button(1, PadButton::a, false, 0);
    EXPECT_EQ(game.take(), (Heard{"down 13", "typed 13", "up 13"}));
}

TEST_F(PadTest, ShouldersStepThroughTheWeaponsInStock) {
    game.context.screen = play;
    struct Case {
        int weapon;
        unsigned instock;
        PadButton shoulder;
        Heard heard;
    } cases[] = {
        {0, 0b0101, PadButton::rightshoulder, {"down 51", "typed '3'", "up 51"}},
        {0, 0b0101, PadButton::leftshoulder, {"down 51", "typed '3'", "up 51"}},
        {1, 0b1011, PadButton::rightshoulder, {"down 52", "typed '4'", "up 52"}},
        {1, 0b1011, PadButton::leftshoulder, {"down 49", "typed '1'", "up 49"}},
        {3, 0b1111, PadButton::rightshoulder, {"down 49", "typed '1'", "up 49"}},
        {0, 0b0001, PadButton::rightshoulder, {}},  // only the gun: nothing to change to
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.weapon * 100 + c.instock);
        game.context.weapon = c.weapon;
        game.context.instock = c.instock;
        pads.button(1, c.shoulder, true, 0);
        pads.button(1, c.shoulder, false, 0);
        EXPECT_EQ(game.take(), c.heard);
    }
}

TEST_F(PadTest, NameEntrySpellsArcadeStyle) {
    game.context.screen = nameentry;
    auto press = [&](PadButton b) {
        pads.button(1, b, true, 0);
        pads.button(1, b, false, 0);
    };
    press(PadButton::dpdown);  // an empty name starts with A
    EXPECT_EQ(game.name, "A");
    EXPECT_EQ(game.take(), Heard{"typed 'A'"});
    press(PadButton::dpup);
    EXPECT_EQ(game.take(), (Heard{"down 8", "typed 8", "up 8", "typed 'B'"}));
    press(PadButton::dpdown);
    press(PadButton::dpdown);
    EXPECT_EQ(game.name, " ");  // below A is the blank
    press(PadButton::dpdown);
    EXPECT_EQ(game.name, "9");
    press(PadButton::dpup);
    press(PadButton::dpup);
    EXPECT_EQ(game.name, "A");  // after the blank comes A again
    press(PadButton::dpright);
    pads.axis(1, PadAxis::lefty, -20000, 0);  // the stick works as the D-pad
    pads.axis(1, PadAxis::lefty, 0, 0);
    EXPECT_EQ(game.name, "AB");
    game.name = "Az";  // typed on the keyboard: small letters step on from their capitals
    press(PadButton::dpup);
    EXPECT_EQ(game.name, "A0");
    game.name = "A@";  // outside the list: just before the A
    press(PadButton::dpup);
    EXPECT_EQ(game.name, "AA");
    press(PadButton::dpleft);
    EXPECT_EQ(game.name, "A");
    game.take();

    // A held direction repeats as a held key does, only on this screen.
    pads.button(1, PadButton::dpup, true, 1000);
    pads.tick(1399);
    EXPECT_EQ(game.name, "B");
    pads.tick(1400);
    EXPECT_EQ(game.name, "C");
    pads.tick(1450);
    pads.tick(1500);
    EXPECT_EQ(game.name, "D");
    pads.button(1, PadButton::dpup, false, 1550);
    pads.tick(3000);
    EXPECT_EQ(game.name, "D");
    pads.button(1, PadButton::dpup, true, 3000);
    game.context.screen = menu;  // confirmed by the keyboard meanwhile
    pads.tick(5000);
    EXPECT_EQ(game.name, "E");
}

TEST_F(PadTest, AnUnpluggedPadLetsGoOfEverythingItHeld) {
    game.context.screen = play;
    pads.button(1, PadButton::a, true, 0);
    pads.button(1, PadButton::dpleft, true, 0);
    pads.axis(1, PadAxis::righttrigger, 32767, 0);
    pads.button(2, PadButton::b, true, 0);
    game.take();
    pads.unplug(1);
    EXPECT_EQ(game.take(), (Heard{"up 32", "up 37", "up 38"}));
    EXPECT_EQ(pads.connected(), 1);
    // A pad plugged in again starts from rest; the other one kept its key.
    pads.button(1, PadButton::a, false, 0);
    EXPECT_TRUE(game.take().empty());
    EXPECT_TRUE(keys.held(18));
    pads.unplug(2);
    EXPECT_EQ(game.take(), Heard{"up 18"});
}
