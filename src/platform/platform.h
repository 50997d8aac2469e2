// The game's only door to the machine: the drawing surface, pending events,
// the performance counter, media commands and files. The SDL backend and the
// headless backend implement it; the game sees nothing else of the machine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/surface.h"

// Windows virtual-key codes, the codes the game's key handlers expect.
namespace vk {
constexpr int back = 8;
constexpr int enter = 13;
constexpr int shift = 16;
constexpr int control = 17;
constexpr int alt = 18;
constexpr int escape = 27;
constexpr int space = 32;
constexpr int left = 37;
constexpr int up = 38;
constexpr int right = 39;
constexpr int down = 40;
constexpr int f1 = 112;
constexpr int f11 = 122;
}  // namespace vk

// What an input that is not a keyboard (a gamepad) needs to know of the game
// to choose the keys a player would press: which screen is up, the weapons in
// stock, and the end of a name being entered.
struct InputContext {
    enum class Screen { menu, play, nameentry };
    Screen screen = Screen::menu;
    int weapon = 0;         // current weapon, 0 to 3 (chosen by the typed digit weapon + 1)
    unsigned instock = 1;   // bit w set: weapon w has stock
    int lastcharacter = 0;  // name entry: the name's last character, 0 while the name is empty
};

// What the platform delivers to the game while it processes pending events.
class EventHandler {
  public:
    virtual ~EventHandler() = default;
    // Asked by the platform between events; a handler that does not answer is on a menu.
    virtual InputContext inputcontext() const { return {}; }
    virtual void onkeydown(int keycode) = 0;
    virtual void onkeyup(int keycode) = 0;
    // A typed character: a Windows-1252 code, or 8, 13 and 27 for Backspace, Enter and Esc.
    virtual void ontyped(int code) = 0;
    // The window is being closed; the platform throws WindowClosed right after.
    virtual void onunload() = 0;
};

// Thrown by Platform::doevents once the window has been closed and the unload
// handler has run; it unwinds every loop of the game back to main.
struct WindowClosed {};

// Thrown by the game to end the program on purpose (quitting from the menu).
struct ProgramEnd {
    int status = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    virtual Surface& surface() = 0;
    virtual void sethandler(EventHandler* handler) = 0;

    // Delivers pending key events to the handler and shows the image. Throws
    // WindowClosed after the unload handler when the window has been closed.
    virtual void doevents() = 0;

    // Performance counter and its ticks per second.
    virtual int64_t counter() = 0;
    virtual int64_t frequency() = 0;

    // Waits until the counter has passed `deadline`: the end of a frame. The
    // desktop polls the counter and nothing sleeps; a browser tab, which cannot
    // spin, yields to the page until then.
    virtual void waituntil(int64_t deadline) {
        while (counter() <= deadline) {
        }
    }

    // A media command string; returns 0 on success and fills the reply when asked.
    virtual int mcisendstring(std::string_view command, std::string* reply) = 0;

    // Shows the mouse pointer; returns the display count (above 0 when shown).
    virtual int showcursor() = 0;

    // The program's folder and its files.
    virtual Files& files() = 0;
};
