// The headless backend: the same software image and game, no window. The
// counter is virtual and advances a fixed step at each reading, key events come
// from a script, and every media command is recorded in order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
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

// Parses the headless key-file format: "N down VK", "N up VK", "N char CODE",
// "N text STRING", and for a gamepad "N pad down BUTTON", "N pad up BUTTON",
// "N pad axis AXIS VALUE" (SDL's names, values -32768..32767) and "N pad unplug";
// blank lines and lines starting with # are ignored. Throws std::runtime_error
// naming the line of a malformed entry.
std::vector<ScriptedEvent> parsekeyscript(const std::string& text);

// Thrown when the headless run has reached its last frame.
struct FramesDone {};

class MediaCommands;
class MemoryPlayer;

class HeadlessPlatform : public Platform {
public:
    struct RecordedCommand {
        int64_t frame;
        std::string command;
        int result;
    };

    explicit HeadlessPlatform(std::filesystem::path folder = std::filesystem::current_path(), int width = 823,
                              int height = 709);
    ~HeadlessPlatform() override;

    Surface& surface() override { return surface_; }
    void sethandler(EventHandler* handler) override {
        handler_ = handler;
        keys_.sethandler(handler);
    }
    void doevents() override;
    int64_t counter() override;
    int64_t frequency() override { return ticks_per_second; }
    int mcisendstring(std::string_view command, std::string* reply) override;
    int showcursor() override { return ++cursorcount_; }
    Files& files() override { return files_; }

    // --- scripting
    void script(std::vector<ScriptedEvent> events);
    void keydown(int64_t frame, int code) { add({frame, ScriptedEvent::Kind::down, code}); }
    void keyup(int64_t frame, int code) { add({frame, ScriptedEvent::Kind::up, code}); }
    void press(int64_t frame, int code) {  // down now, up on the next frame
        keydown(frame, code);
        keyup(frame + 1, code);
    }
    void typed(int64_t frame, int code) { add({frame, ScriptedEvent::Kind::typed, code}); }
    void text(int64_t frame, const std::string& text);
    // The one scripted gamepad, plugged in by its first event.
    void padbutton(int64_t frame, PadButton button, bool down) {
        add({frame, down ? ScriptedEvent::Kind::paddown : ScriptedEvent::Kind::padup,
             static_cast<int>(button)});
    }
    void padpress(int64_t frame, PadButton button) {  // down now, up on the next frame
        padbutton(frame, button, true);
        padbutton(frame + 1, button, false);
    }
    void padaxis(int64_t frame, PadAxis axis, int value) {
        add({frame, ScriptedEvent::Kind::padaxis, static_cast<int>(axis), value});
    }
    void padunplug(int64_t frame) { add({frame, ScriptedEvent::Kind::padunplug}); }
    // Closes the window at the start of that frame (the unload handler runs, then WindowClosed).
    void closeat(int64_t frame) { closeframe_ = frame; }
    // Ends the run with FramesDone when frame `last` has finished (0: never).
    void setlastframe(int64_t last) { lastframe_ = last; }
    // Called at the end of every frame with the frame number, before its successor starts.
    void onframeend(std::function<void(int64_t)> callback) { frameend_ = std::move(callback); }

    int64_t frame() const { return frame_; }
    const std::vector<RecordedCommand>& media() const { return media_; }
    std::vector<std::string> mediacommands() const;
    void clearmedia() { media_.clear(); }
    // The interpreter behind the media commands: by default one over a
    // MemoryPlayer on the folder, so opens of missing files fail as they would
    // on the machine. Null records every command as succeeding.
    void setmediainterpreter(std::unique_ptr<MediaCommands> interpreter);
    MediaCommands* mediainterpreter() { return interpreter_.get(); }
    // The default player (tests use it to let music run out); null when replaced.
    MemoryPlayer* memoryplayer();

    // Counter ticks added at each reading: 0.1 ms, so a busy wait ends quickly.
    static constexpr int64_t ticks_per_second = 10'000'000;
    int64_t tickstep = 1000;

private:
    void add(ScriptedEvent event);

    Surface surface_;
    Files files_;
    EventHandler* handler_ = nullptr;
    KeyInput keys_;
    Gamepads pads_{keys_};
    std::multimap<int64_t, ScriptedEvent> events_;
    std::vector<RecordedCommand> media_;
    std::unique_ptr<MediaCommands> interpreter_;
    std::function<void(int64_t)> frameend_;
    int64_t now_ = 0;
    int64_t frame_ = 0;
    int64_t lastframe_ = 0;
    int64_t closeframe_ = 0;
    int cursorcount_ = 0;
};
