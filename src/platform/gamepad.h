// Gamepads as the game knows them: each pad is a small state machine that
// turns its buttons and axes into the keys a player would press on the screen
// that is up (play, the menus, name entry), sent through KeyInput like keys.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/keyinput.h"

// The buttons and axes the game uses, named as SDL's game controller names them.
enum class PadButton {
    a,
    b,
    x,
    y,
    back,
    start,
    leftshoulder,
    rightshoulder,
    dpup,
    dpdown,
    dpleft,
    dpright,
};
enum class PadAxis { leftx, lefty, righttrigger };

std::optional<PadButton> padbutton(std::string_view name);
std::optional<PadAxis> padaxis(std::string_view name);

class Gamepad {
  public:
    // A stick or trigger counts as pressed from half way, and as let go only
    // below 30 %, so a resting stick never drifts and a held one never chatters.
    static constexpr int pressat = 16384;
    static constexpr int releasebelow = 9830;
    // Name entry repeats a held direction as a held key repeats: after 400 ms,
    // then every 100 ms.
    static constexpr int64_t repeatdelay = 400;
    static constexpr int64_t repeatevery = 100;

    Gamepad(KeyInput& keys, int source) : keys_(keys), source_(source) {}

    // Times are in milliseconds of any steady clock.
    void button(PadButton which, bool isdown, int64_t ms);
    void axis(PadAxis which, int value, int64_t ms);
    void tick(int64_t ms);
    // The pad is gone: every key it held comes up.
    void unplug();

  private:
    // What the player does with the pad, whichever button or axis does it.
    enum Control { up, down, left, right, a, b, x, y, back, start, previous, next, thrust, count };

    void set(Control control, bool on, int64_t ms);
    void direction(Control control, int64_t ms);
    void pressed(Control control, int64_t ms);
    void hold(Control control, int vk);
    // Name entry: up and down step the name's last character through A..Z,
    // 0..9 and the blank, right adds an A, left takes the last one away.
    void nameentry(Control control);
    void weaponstep(Control control, const InputContext& context, int step);

    KeyInput& keys_;
    int source_;
    std::array<bool, count> on_{};
    std::array<int, count> key_{};           // virtual-key code the control holds, 0 for none
    std::array<int64_t, count> repeatat_{};  // ms of the control's next repeat, 0 for none
    std::array<bool, 4> dpad_{};             // up, down, left, right on the D-pad
    std::array<bool, 4> stick_{};            // the same on the left stick
};

// Every connected pad, by the backend's own number for it; each gets an input
// source of its own, so two pads play at once and one unplugged lets go only
// of its own keys.
class Gamepads {
  public:
    explicit Gamepads(KeyInput& keys) : keys_(keys) {}

    void plug(int id);
    void unplug(int id);
    // Input from a pad not yet known plugs it first.
    void button(int id, PadButton which, bool isdown, int64_t ms);
    void axis(int id, PadAxis which, int value, int64_t ms);
    void tick(int64_t ms);
    int connected() const;

  private:
    struct Slot {
        int id;
        Gamepad pad;
    };
    Gamepad* find(int id, bool plugging);

    KeyInput& keys_;
    // Slot i is input source i + 1; the keyboard is source 0.
    std::array<std::optional<Slot>, KeyInput::maxsources - 1> slots_;
};
