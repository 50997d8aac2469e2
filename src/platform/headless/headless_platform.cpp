// Scripted keys, a virtual counter and recorded media commands.
#include "platform/headless/headless_platform.h"

#include "platform/media.h"
#include "platform/memoryplayer.h"

HeadlessPlatform::HeadlessPlatform(std::filesystem::path folder, int width, int height,
                                   int outerwidth, int outerheight)
    : surface_(width, height, outerwidth > 0 ? outerwidth : width,
               outerheight > 0 ? outerheight : height),
      files_(std::move(folder)),
      interpreter_(
          std::make_unique<MediaCommands>(std::make_unique<MemoryPlayer>(), files_.folder())) {}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::add(ScriptedEvent event) {
    script_.add(event);
}

void HeadlessPlatform::script(std::vector<ScriptedEvent> events) {
    for (const auto& e : events) add(e);
}

void HeadlessPlatform::text(int64_t frame, const std::string& text) {
    for (unsigned char c : text) typed(frame, c);
}

int HeadlessPlatform::run(const std::function<int()>& program) {
    int status = 0;
    try {
        status = program();
    } catch (const FramesDone&) {
        return 0;  // the last frame has ended already
    }
    if (frame_ > 0 && frameend_) frameend_(frame_);
    return status;
}

void HeadlessPlatform::doevents() {
    if (frame_ > 0 && frameend_) frameend_(frame_);
    if (lastframe_ > 0 && frame_ >= lastframe_) throw FramesDone{};
    ++frame_;
    if (closeframe_ > 0 && frame_ >= closeframe_) {
        closeframe_ = 0;
        if (handler_) handler_->onunload();
        throw WindowClosed{};
    }
    // The pads' clock: the virtual counter in milliseconds.
    script_.deliver(frame_, now_ / (ticks_per_second / 1000));
}

int64_t HeadlessPlatform::counter() {
    now_ += tickstep;
    return now_;
}

int HeadlessPlatform::mcisendstring(std::string_view command, std::string* reply) {
    int result = 0;
    if (interpreter_) {
        result = interpreter_->send(command, reply);
    } else if (reply) {
        reply->clear();
    }
    media_.push_back({frame_, std::string(command), result});
    return result;
}

std::vector<std::string> HeadlessPlatform::mediacommands() const {
    std::vector<std::string> out;
    for (const auto& m : media_) out.push_back(m.command);
    return out;
}

MemoryPlayer* HeadlessPlatform::memoryplayer() {
    return interpreter_ ? dynamic_cast<MemoryPlayer*>(&interpreter_->player()) : nullptr;
}

void HeadlessPlatform::setmediainterpreter(std::unique_ptr<MediaCommands> interpreter) {
    interpreter_ = std::move(interpreter);
}
