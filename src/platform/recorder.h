// Recording a game: every key-down, key-up and typed character the game is
// handed, with the frame it arrived in, written as a key file that the
// headless runner and the window's replay play back. A gamepad's input is
// recorded as the key calls it produced.
#pragma once

#include <cstdint>
#include <ostream>

#include "platform/platform.h"
#include "platform/surface.h"

class InputRecorder : public EventHandler {
  public:
    // Writes the seed and the window's sizes at once (the playfield's width
    // follows the window's outer shape); every later line is flushed as it is
    // written, so a recording survives the program's crash.
    InputRecorder(std::ostream& out, uint64_t seed, const Surface& window);

    // The game, which hears every call after it has been written down.
    void setgame(EventHandler* game) { game_ = game; }
    // The frame whose events come next; the platform counts its event passes.
    void setframe(int64_t frame) { frame_ = frame; }
    // Ends the recording with the last frame the game ran.
    void finish();

    InputContext inputcontext() const override {
        return game_ ? game_->inputcontext() : InputContext{};
    }
    void onkeydown(int keycode) override;
    void onkeyup(int keycode) override;
    void ontyped(int code) override;
    // Closing the window is not input: the recording ends where the game did.
    void onunload() override {
        if (game_) game_->onunload();
    }

  private:
    void write(const char* kind, int code);

    std::ostream& out_;
    EventHandler* game_ = nullptr;
    int64_t frame_ = 0;
};
