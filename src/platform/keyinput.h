// One path from every input to the game's key handlers: keys of the keyboard
// and keys a gamepad stands in for become key-down, key-up and typed-character
// calls here, by the same rules in every backend.
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"

// The modifier keys whose side matters for typing: Left Alt and Ctrl make a
// shortcut, Right Alt (AltGr) composes characters.
enum class KeySide { other, leftalt, rightalt, leftctrl, rightctrl };

class KeyInput {
  public:
    // Input sources: the keyboard, and one number per connected gamepad.
    static constexpr int keyboard = 0;
    static constexpr int maxsources = 32;

    void sethandler(EventHandler* handler) { handler_ = handler; }
    EventHandler* handler() const { return handler_; }
    InputContext context() const { return handler_ ? handler_->inputcontext() : InputContext{}; }

    // --- the keyboard
    // A key went down (again, while held, when the system repeats it). vk 0 is a
    // key the game has no code for; its side still counts for typing.
    void keydown(int vk, KeySide side);
    void keyup(int vk, KeySide side);
    // Characters the system composed from the keys, as Windows-1252 codes.
    void text(int code);
    // A shortcut modifier is held, so keys type nothing: Left Alt or Ctrl alone.
    // AltGr (Right Alt, or Ctrl and Alt together as Windows reports it) types.
    bool shortcutheld() const;

    // --- keys that other sources stand in for
    // A key held by a source: its key-down, and for Enter, Esc and Backspace
    // the typed character too. The key-up goes out when no source holds it.
    void press(int source, int vk);
    void release(int source, int vk);
    // A key pressed and let go at once (Backspace while entering a name).
    void tap(int source, int vk) {
        press(source, vk);
        release(source, vk);
    }
    // A character typed by a source other than the keyboard.
    void type(int code);
    // Everything the source holds comes up (a gamepad unplugged).
    void releaseall(int source);
    bool held(int vk) const;

  private:
    void down(int vk);
    void up(int vk);

    EventHandler* handler_ = nullptr;
    // Sides of the modifiers held, one bit per KeySide.
    unsigned sides_ = 0;
    // For every virtual-key code, how often each source holds it (a pad can
    // hold Up with the stick and the trigger at once).
    std::array<std::array<uint8_t, maxsources>, 256> holds_{};
};
