// The key-file format and the player that hands a script to the game.
#include "platform/keyscript.h"

#include <sstream>
#include <stdexcept>

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

KeyScript parsekeyfile(const std::string& text) {
    KeyScript script;
    std::vector<ScriptedEvent>& events = script.events;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        auto fail = [&]() {
            throw std::runtime_error("key file line " + std::to_string(number) +
                                     ": malformed: " + line);
        };
        std::istringstream fields(line);
        std::string extra;
        if (line.compare(first, 5, "seed ") == 0) {
            std::string word;
            unsigned long long seed;
            if (!(fields >> word >> seed) || (fields >> extra)) fail();
            script.seed = seed;
            continue;
        }
        if (line.compare(first, 7, "window ") == 0) {
            std::string word;
            RecordedWindow w;
            if (!(fields >> word >> w.width >> w.height >> w.outerwidth >> w.outerheight) ||
                (fields >> extra) || w.width < 1 || w.height < 1 || w.outerwidth < 1 ||
                w.outerheight < 1 || w.width > 16384 || w.height > 16384 || w.outerwidth > 16384 ||
                w.outerheight > 16384)
                fail();
            script.window = w;
            continue;
        }
        long long frame;
        std::string kind;
        if (!(fields >> frame >> kind) || frame < 1) fail();
        if (kind == "end") {
            if (fields >> extra) fail();
            script.end = frame;
            continue;
        }
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
    return script;
}

std::vector<ScriptedEvent> parsekeyscript(const std::string& text) {
    return parsekeyfile(text).events;
}

void ScriptPlayer::deliver(int64_t frame, int64_t ms) {
    auto range = events_.equal_range(frame);
    // Handlers may add events for this frame; take a copy of what is due now.
    std::vector<ScriptedEvent> due;
    for (auto it = range.first; it != range.second; ++it) due.push_back(it->second);
    events_.erase(range.first, range.second);
    if (!handler_) return;
    for (const auto& e : due) {
        switch (e.kind) {
            case ScriptedEvent::Kind::down:
                handler_->onkeydown(e.code);
                break;
            case ScriptedEvent::Kind::up:
                handler_->onkeyup(e.code);
                break;
            case ScriptedEvent::Kind::typed:
                handler_->ontyped(e.code);
                break;
            case ScriptedEvent::Kind::paddown:
            case ScriptedEvent::Kind::padup:
                pads_.button(0, static_cast<PadButton>(e.code),
                             e.kind == ScriptedEvent::Kind::paddown, ms);
                break;
            case ScriptedEvent::Kind::padaxis:
                pads_.axis(0, static_cast<PadAxis>(e.code), e.value, ms);
                break;
            case ScriptedEvent::Kind::padunplug:
                pads_.unplug(0);
                break;
        }
    }
    pads_.tick(ms);
}

bool wholenumber(const std::string& text, long long& value) {
    try {
        size_t used = 0;
        value = std::stoll(text, &used);
        return used == text.size();
    } catch (...) {
        return false;
    }
}
