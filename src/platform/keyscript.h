// Key files: the game's input written down frame by frame, as scripts for the
// headless runner and as recordings of real games. Also the player that hands
// such a script to the game, one frame at a time, on any backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/gamepad.h"
#include "platform/keyinput.h"
#include "platform/platform.h"

// One scripted input event, delivered at the start of the frame it names. Key
// events go to the game as they are; pad events go through the pad mapping
// (code: a PadButton or PadAxis, value: the axis position).
struct ScriptedEvent {
    enum class Kind { down, up, typed, paddown, padup, padaxis, padunplug };
    int64_t frame = 1;
    Kind kind = Kind::down;
    int code = 0;
    int value = 0;
};

// The most characters one "text" line of a key file may type.
inline constexpr std::size_t longesttext = 4096;

// The window a game was recorded in: client and outer sizes in pixels.
struct RecordedWindow {
    int width = 0, height = 0, outerwidth = 0, outerheight = 0;
};

// A whole key file: its events, and for a recorded game the random seed it
// was played with, its window and the last frame it ran.
struct KeyScript {
    std::vector<ScriptedEvent> events;
    std::optional<uint64_t> seed;
    std::optional<RecordedWindow> window;
    std::optional<int64_t> end;
};

// Parses the key-file format: "N down VK", "N up VK", "N char CODE",
// "N text STRING", and for a gamepad "N pad down BUTTON", "N pad up BUTTON",
// "N pad axis AXIS VALUE" (SDL's names, values -32768..32767) and "N pad unplug";
// a recording adds "seed S", "window W H OW OH" and "N end". Blank lines and lines starting with #
// are ignored. Throws std::runtime_error naming the line of a malformed entry.
KeyScript parsekeyfile(const std::string& text);
// The events of a key file alone.
std::vector<ScriptedEvent> parsekeyscript(const std::string& text);
// A whole number and nothing else, as a scripted run's frame, seed and
// snapshot arguments are written; false for anything else.
bool wholenumber(const std::string& text, long long& value);

// Hands scripted events to the game when their frame begins: keys and typed
// characters as they are, pad events through the pad mapping.
class ScriptPlayer {
  public:
    void sethandler(EventHandler* handler) {
        handler_ = handler;
        keys_.sethandler(handler);
    }
    void add(const ScriptedEvent& event) { events_.emplace(event.frame, event); }
    // Delivers the events of `frame`; ms is the pads' clock.
    void deliver(int64_t frame, int64_t ms);
    // Whether events remain for frames after `frame`.
    bool pendingafter(int64_t frame) const { return events_.upper_bound(frame) != events_.end(); }

  private:
    EventHandler* handler_ = nullptr;
    KeyInput keys_;
    Gamepads pads_{keys_};
    std::multimap<int64_t, ScriptedEvent> events_;
};
