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
#include "platform/keyscript.h"
#include "platform/platform.h"

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

    // The outer size (with the window's frame) is the client size unless given.
    explicit HeadlessPlatform(std::filesystem::path folder = std::filesystem::current_path(),
                              int width = 823, int height = 709, int outerwidth = 0,
                              int outerheight = 0);
    ~HeadlessPlatform() override;

    Surface& surface() override { return surface_; }
    void sethandler(EventHandler* handler) override {
        handler_ = handler;
        script_.sethandler(handler);
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
    // Runs the program (the game) until it ends or the last frame has finished,
    // and ends the frame it stopped in; the program's status, 0 at the last frame.
    int run(const std::function<int()>& program);

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
    ScriptPlayer script_;
    std::vector<RecordedCommand> media_;
    std::unique_ptr<MediaCommands> interpreter_;
    std::function<void(int64_t)> frameend_;
    int64_t now_ = 0;
    int64_t frame_ = 0;
    int64_t lastframe_ = 0;
    int64_t closeframe_ = 0;
    int cursorcount_ = 0;
};
