// The gamepad mapping: in play the pad is the ship's keys, on the menus it
// moves and confirms, and on the name entry it spells a name arcade style.
//
// Sections: names, one pad, the set of pads.
#include "platform/gamepad.h"

namespace {

// ---------------------------------------------------------------- names

constexpr std::string_view buttonnames[] = {
    "a",    "b",      "x",      "y",       "back", "start", "leftshoulder", "rightshoulder",
    "dpup", "dpdown", "dpleft", "dpright",
};
constexpr std::string_view axisnames[] = {"leftx", "lefty", "righttrigger"};

constexpr int key_p = 80;
constexpr int key_x = 88;
constexpr int digit1 = 49;

// The characters a name steps through, in order; after the blank comes A again.
constexpr std::string_view namecharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";

}  // namespace

std::optional<PadButton> padbutton(std::string_view name) {
    for (size_t i = 0; i < std::size(buttonnames); ++i) {
        if (buttonnames[i] == name) return static_cast<PadButton>(i);
    }
    return std::nullopt;
}

std::optional<PadAxis> padaxis(std::string_view name) {
    for (size_t i = 0; i < std::size(axisnames); ++i) {
        if (axisnames[i] == name) return static_cast<PadAxis>(i);
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- one pad

void Gamepad::button(PadButton which, bool isdown, int64_t ms) {
    static constexpr Control controls[] = {a,        b,    x,  y,    back, start,
                                           previous, next, up, down, left, right};
    Control control = controls[static_cast<int>(which)];
    if (which >= PadButton::dpup) {
        // The D-pad shares its directions with the stick.
        dpad_[control] = isdown;
        return direction(control, ms);
    }
    set(control, isdown, ms);
}

namespace {
// One side of an axis, with the hysteresis of the dead zone.
bool deflected(bool was, int amount) {
    return amount >= (was ? Gamepad::releasebelow : Gamepad::pressat);
}
}  // namespace

void Gamepad::axis(PadAxis which, int value, int64_t ms) {
    switch (which) {
        case PadAxis::leftx:
            stick_[left] = deflected(stick_[left], -value);
            stick_[right] = deflected(stick_[right], value);
            direction(left, ms);
            direction(right, ms);
            return;
        case PadAxis::lefty:  // negative is up
            stick_[up] = deflected(stick_[up], -value);
            stick_[down] = deflected(stick_[down], value);
            direction(up, ms);
            direction(down, ms);
            return;
        case PadAxis::righttrigger:
            set(thrust, deflected(on_[thrust], value), ms);
            return;
    }
}

void Gamepad::direction(Control control, int64_t ms) {
    set(control, dpad_[control] || stick_[control], ms);
}

void Gamepad::tick(int64_t ms) {
    for (Control control : {up, down, left, right}) {
        if (repeatat_[control] == 0 || ms < repeatat_[control]) continue;
        if (keys_.context().screen != InputContext::Screen::nameentry) {
            repeatat_[control] = 0;
            continue;
        }
        // A held key repeats at its own pace and never catches up after a stall.
        repeatat_[control] = ms + repeatevery;
        nameentry(control);
    }
}

void Gamepad::unplug() {
    keys_.releaseall(source_);
    on_ = {};
    key_ = {};
    repeatat_ = {};
    dpad_ = {};
    stick_ = {};
}

void Gamepad::set(Control control, bool on, int64_t ms) {
    if (on_[control] == on) return;
    on_[control] = on;
    if (on) {
        pressed(control, ms);
        return;
    }
    // The key a control pressed comes up with it, whatever screen is up now.
    if (key_[control] != 0) keys_.release(source_, key_[control]);
    key_[control] = 0;
    repeatat_[control] = 0;
}

void Gamepad::hold(Control control, int vk) {
    key_[control] = vk;
    keys_.press(source_, vk);
}

void Gamepad::pressed(Control control, int64_t ms) {
    InputContext context = keys_.context();
    switch (context.screen) {
        case InputContext::Screen::play:
            switch (control) {
                case up:
                case thrust:
                    return hold(control, vk::up);
                case left:
                    return hold(control, vk::left);
                case right:
                    return hold(control, vk::right);
                case a:
                    return hold(control, vk::space);
                case b:
                    return hold(control, vk::alt);
                case x:
                    return hold(control, vk::control);
                case y:
                    return hold(control, key_x);
                case start:
                    return hold(control, key_p);
                case back:
                    return hold(control, vk::escape);
                case previous:
                    return weaponstep(control, context, 3);
                case next:
                    return weaponstep(control, context, 1);
                default:
                    return;
            }
        case InputContext::Screen::menu:
            switch (control) {
                case up:
                    return hold(control, vk::up);
                case down:
                    return hold(control, vk::down);
                case a:
                case start:
                    return hold(control, vk::enter);
                case b:
                case back:
                    return hold(control, vk::escape);
                default:
                    return;
            }
        case InputContext::Screen::nameentry:
            switch (control) {
                case up:
                case down:
                case left:
                case right:
                    repeatat_[control] = ms + repeatdelay;
                    return nameentry(control);
                case a:
                case start:
                    return hold(control, vk::enter);
                case b:
                case back:
                    return hold(control, vk::escape);
                default:
                    return;
            }
    }
}

void Gamepad::nameentry(Control control) {
    if (control == left) return keys_.tap(source_, vk::back);
    int last = keys_.context().lastcharacter;
    if (control == right || last == 0) return keys_.type('A');
    // A character outside the list counts as standing just before the A;
    // small letters step on from their capitals.
    if (last >= 'a' && last <= 'z') last -= 'a' - 'A';
    size_t at = namecharacters.find(static_cast<char>(last));
    int n = static_cast<int>(namecharacters.size());
    int index = at == std::string_view::npos ? (control == up ? -1 : 0) : static_cast<int>(at);
    index = (index + (control == up ? 1 : n - 1)) % n;
    keys_.tap(source_, vk::back);
    keys_.type(namecharacters[index]);
}

void Gamepad::weaponstep(Control control, const InputContext& context, int step) {
    // The shoulders step to the previous or next weapon in stock, skipping the
    // empty ones, by typing its digit as the keyboard's number row would.
    for (int k = 1; k < 4; ++k) {
        int w = (context.weapon + k * step) % 4;
        if ((context.instock & (1u << w)) == 0) continue;
        hold(control, digit1 + w);
        keys_.type(digit1 + w);
        return;
    }
}

// ---------------------------------------------------------------- the set of pads

Gamepad* Gamepads::find(int id, bool plugging) {
    for (auto& slot : slots_) {
        if (slot && slot->id == id) return &slot->pad;
    }
    if (!plugging) return nullptr;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i]) continue;
        slots_[i].emplace(Slot{id, Gamepad(keys_, static_cast<int>(i) + 1)});
        return &slots_[i]->pad;
    }
    return nullptr;  // more pads than sources: the extra ones are not heard
}

void Gamepads::plug(int id) {
    find(id, true);
}

void Gamepads::unplug(int id) {
    for (auto& slot : slots_) {
        if (!slot || slot->id != id) continue;
        slot->pad.unplug();
        slot.reset();
    }
}

void Gamepads::button(int id, PadButton which, bool isdown, int64_t ms) {
    if (Gamepad* pad = find(id, true)) pad->button(which, isdown, ms);
}

void Gamepads::axis(int id, PadAxis which, int value, int64_t ms) {
    if (Gamepad* pad = find(id, true)) pad->axis(which, value, ms);
}

void Gamepads::tick(int64_t ms) {
    for (auto& slot : slots_) {
        if (slot) slot->pad.tick(ms);
    }
}

int Gamepads::connected() const {
    int n = 0;
    for (const auto& slot : slots_) n += slot ? 1 : 0;
    return n;
}
