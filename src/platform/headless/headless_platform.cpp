// Scripted keys, a virtual counter and recorded media commands.
#include "platform/headless/headless_platform.h"

#include <optional>
#include <sstream>
#include <stdexcept>

#include "platform/media.h"
#include "platform/memoryplayer.h"

namespace {

// The rest of a pad line: "down BUTTON", "up BUTTON", "axis AXIS VALUE" or "unplug".
template <typename Fail>
ScriptedEvent padline(std::istringstream& fields, int64_t frame, Fail fail) {
    std::string action, name, extra;
    if (!(fields >> action)) fail();
    ScriptedEvent event{frame, ScriptedEvent::Kind::padunplug};
    if (action == "down" || action == "up") {
        std::optional<PadButton> button;
        if (!(fields >> name) || !(button = padbutton(name))) fail();
        event.kind = action == "down" ? ScriptedEvent::Kind::paddown : ScriptedEvent::Kind::padup;
        event.code = static_cast<int>(*button);
    } else if (action == "axis") {
        std::optional<PadAxis> axis;
        long long value;
        if (!(fields >> name) || !(axis = padaxis(name)) || !(fields >> value) || value < -32768 ||
            value > 32767)
            fail();
        event.kind = ScriptedEvent::Kind::padaxis;
        event.code = static_cast<int>(*axis);
        event.value = static_cast<int>(value);
    } else if (action != "unplug") {
        fail();
    }
    if (fields >> extra) fail();
    return event;
}

}  // namespace

std::vector<ScriptedEvent> parsekeyscript(const std::string& text) {
    std::vector<ScriptedEvent> events;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        auto fail = [&]() { throw std::runtime_error("key file line " + std::to_string(number) + ": malformed: " + line); };
        std::istringstream fields(line);
        long long frame;
        std::string kind;
        if (!(fields >> frame >> kind) || frame < 1) fail();
        if (kind == "text") {
            std::string rest;
            std::getline(fields, rest);
            if (!rest.empty() && rest.front() == ' ') rest.erase(rest.begin());
            if (rest.empty()) fail();
            // Each character becomes a scripted event; a name needs a few.
            if (rest.size() > longesttext) {
                throw std::runtime_error("key file line " + std::to_string(number) +
                                         ": text longer than " + std::to_string(longesttext) +
                                         " characters");
            }
            for (unsigned char c : rest) events.push_back({frame, ScriptedEvent::Kind::typed, c});
            continue;
        }
        if (kind == "pad") {
            events.push_back(padline(fields, frame, fail));
            continue;
        }
        long long code;
        std::string extra;
        if (!(fields >> code) || (fields >> extra) || code < 0 || code > 255) fail();
        ScriptedEvent::Kind k;
        if (kind == "down") {
            k = ScriptedEvent::Kind::down;
        } else if (kind == "up") {
            k = ScriptedEvent::Kind::up;
        } else if (kind == "char") {
            k = ScriptedEvent::Kind::typed;
        } else {
            fail();
        }
        events.push_back({frame, k, static_cast<int>(code)});
    }
    return events;
}

HeadlessPlatform::HeadlessPlatform(std::filesystem::path folder, int width, int height)
    : surface_(width, height),
      files_(std::move(folder)),
      interpreter_(std::make_unique<MediaCommands>(std::make_unique<MemoryPlayer>(), files_.folder())) {}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::add(ScriptedEvent event) { events_.emplace(event.frame, event); }

void HeadlessPlatform::script(std::vector<ScriptedEvent> events) {
    for (const auto& e : events) add(e);
}

void HeadlessPlatform::text(int64_t frame, const std::string& text) {
    for (unsigned char c : text) typed(frame, c);
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
    auto range = events_.equal_range(frame_);
    // Handlers may add events for this frame; take a copy of what is due now.
    std::vector<ScriptedEvent> due;
    for (auto it = range.first; it != range.second; ++it) due.push_back(it->second);
    events_.erase(range.first, range.second);
    if (!handler_) return;
    // The pad's clock: the virtual counter in milliseconds.
    const int64_t ms = now_ / (ticks_per_second / 1000);
    for (const auto& e : due) {
        switch (e.kind) {
            case ScriptedEvent::Kind::down: handler_->onkeydown(e.code); break;
            case ScriptedEvent::Kind::up: handler_->onkeyup(e.code); break;
            case ScriptedEvent::Kind::typed: handler_->ontyped(e.code); break;
            case ScriptedEvent::Kind::paddown:
            case ScriptedEvent::Kind::padup:
                pads_.button(0, static_cast<PadButton>(e.code),
                             e.kind == ScriptedEvent::Kind::paddown, ms);
                break;
            case ScriptedEvent::Kind::padaxis:
                pads_.axis(0, static_cast<PadAxis>(e.code), e.value, ms);
                break;
            case ScriptedEvent::Kind::padunplug: pads_.unplug(0); break;
        }
    }
    pads_.tick(ms);
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
