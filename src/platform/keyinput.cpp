// The rules that turn keys into the game's calls, shared by every backend.
#include "platform/keyinput.h"

namespace {

unsigned bit(KeySide side) {
    return 1u << static_cast<unsigned>(side);
}

// Enter, Esc and Backspace also arrive as typed characters, right after their
// key-down: the menus confirm, go back and shorten a name on the character.
bool alsotyped(int vk) {
    return vk == vk::enter || vk == vk::escape || vk == vk::back;
}

bool valid(int vk) {
    return vk > 0 && vk < 256;
}

}  // namespace

bool KeyInput::shortcutheld() const {
    bool leftalt = (sides_ & bit(KeySide::leftalt)) != 0;
    bool rightalt = (sides_ & bit(KeySide::rightalt)) != 0;
    bool ctrl = (sides_ & (bit(KeySide::leftctrl) | bit(KeySide::rightctrl))) != 0;
    if (rightalt || (leftalt && ctrl)) return false;
    return leftalt || ctrl;
}

void KeyInput::keydown(int vk, KeySide side) {
    if (side != KeySide::other) sides_ |= bit(side);
    if (!valid(vk)) return;
    holds_[vk][keyboard] = 1;
    if (!handler_) return;
    handler_->onkeydown(vk);
    if (alsotyped(vk) && !shortcutheld()) handler_->ontyped(vk);
}

void KeyInput::keyup(int vk, KeySide side) {
    if (side != KeySide::other) sides_ &= ~bit(side);
    if (!valid(vk)) return;
    holds_[vk][keyboard] = 0;
    // A key still held on a pad stays down for the game.
    if (!held(vk)) up(vk);
}

void KeyInput::text(int code) {
    if (!shortcutheld() && handler_) handler_->ontyped(code);
}

void KeyInput::press(int source, int vk) {
    if (!valid(vk) || source < 0 || source >= maxsources) return;
    uint8_t& count = holds_[vk][source];
    if (count < 255) ++count;
    down(vk);
    if (alsotyped(vk) && handler_) handler_->ontyped(vk);
}

void KeyInput::release(int source, int vk) {
    if (!valid(vk) || source < 0 || source >= maxsources) return;
    uint8_t& count = holds_[vk][source];
    if (count == 0) return;
    --count;
    if (!held(vk)) up(vk);
}

void KeyInput::type(int code) {
    if (handler_) handler_->ontyped(code);
}

void KeyInput::releaseall(int source) {
    if (source < 0 || source >= maxsources) return;
    for (int vk = 1; vk < 256; ++vk) {
        if (holds_[vk][source] == 0) continue;
        holds_[vk][source] = 0;
        if (!held(vk)) up(vk);
    }
}

bool KeyInput::held(int vk) const {
    if (!valid(vk)) return false;
    for (uint8_t count : holds_[vk]) {
        if (count != 0) return true;
    }
    return false;
}

void KeyInput::down(int vk) {
    if (handler_) handler_->onkeydown(vk);
}

void KeyInput::up(int vk) {
    if (handler_) handler_->onkeyup(vk);
}
