// The recorder writes lines of the key-file format: "seed S", "window W H OW OH", then
// "N down VK", "N up VK", "N char CODE" as the game hears them, and "N end".
#include "platform/recorder.h"

InputRecorder::InputRecorder(std::ostream& out, uint64_t seed, const Surface& window) : out_(out) {
    out_ << "# a recorded game of volmarin: replay with volmarin --replay or volmarin-headless "
            "--keys\n";
    out_ << "seed " << seed << '\n';
    out_ << "window " << window.width() << ' ' << window.height() << ' ' << window.outerwidth()
         << ' ' << window.outerheight() << '\n'
         << std::flush;
}

void InputRecorder::write(const char* kind, int code) {
    out_ << frame_ << ' ' << kind << ' ' << code << '\n' << std::flush;
}

void InputRecorder::onkeydown(int keycode) {
    write("down", keycode);
    if (game_) game_->onkeydown(keycode);
}

void InputRecorder::onkeyup(int keycode) {
    write("up", keycode);
    if (game_) game_->onkeyup(keycode);
}

void InputRecorder::ontyped(int code) {
    write("char", code);
    if (game_) game_->ontyped(code);
}

void InputRecorder::finish() {
    out_ << frame_ << " end\n" << std::flush;
}
