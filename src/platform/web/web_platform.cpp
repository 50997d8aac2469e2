// The page's side of the game: keys taken from the page's queue, the image put
// on the canvas, the clock, the frame wait that yields to the browser, and the
// high-score folder written back to the browser's storage after each save.
#include "platform/web/web_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/media.h"
#include "platform/virtualkeys.h"
#include "platform/web/web_audio_player.h"

// The next key event of the page: 0 when there is none, else bit 0 set for a
// key-down (clear for a key-up) and bit 2 for Num Lock on; the event's code
// and key strings are copied out.
EM_JS(int, page_nextevent, (char* code, int codesize, char* key, int keysize), {
    const e = VolmarinPage.events.shift();
    if (!e) return 0;
    stringToUTF8(e.code, code, codesize);
    stringToUTF8(e.key, key, keysize);
    return (e.down ? 1 : 0) | (e.numlock ? 4 : 0);
});

EM_JS(void, page_show, (const uint8_t* rgba, int width, int height),
      { VolmarinPage.show(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height); });

// Hands control to the browser for a while: its events, painting and timers
// run, then the game goes on where it stood.
EM_ASYNC_JS(void, page_yield, (double milliseconds), { await VolmarinPage.pause(milliseconds); });

EM_JS(void, page_savescores, (), { VolmarinPage.savescores(); });

void showimage(const Surface& surface, std::vector<uint8_t>& scratch) {
    const size_t count = static_cast<size_t>(surface.width()) * surface.height();
    scratch.resize(count * 4);
    const uint32_t* pixels = surface.data();
    for (size_t i = 0; i < count; ++i) {
        uint32_t p = pixels[i];
        scratch[i * 4] = static_cast<uint8_t>(p >> 16);
        scratch[i * 4 + 1] = static_cast<uint8_t>(p >> 8);
        scratch[i * 4 + 2] = static_cast<uint8_t>(p);
        scratch[i * 4 + 3] = 255;
    }
    page_show(scratch.data(), surface.width(), surface.height());
}

namespace {
std::vector<uint8_t> shown;
// The one platform of the page, for the page's own events.
WebPlatform* thepage = nullptr;
}  // namespace

// Called by the page when it is hidden for good (pagehide).
extern "C" EMSCRIPTEN_KEEPALIVE void page_unload() {
    if (thepage) thepage->closepage();
}

void WebPlatform::closepage() {
    if (closed_) return;
    closed_ = true;
    if (EventHandler* handler = keys_.handler()) handler->onunload();
}

WebPlatform::WebPlatform(std::filesystem::path folder, std::filesystem::path statefolder, int width,
                         int height)
    : surface_(width, height), files_(std::move(folder)) {
    files_.setstatefolder(std::move(statefolder));
    // The browser keeps its copy of the table folder only when told to.
    files_.aftersave = [] { page_savescores(); };
    media_ = std::make_unique<MediaCommands>(std::make_unique<WebAudioPlayer>(), files_.folder());
    showimage(surface_, shown);
    thepage = this;
}

WebPlatform::~WebPlatform() {
    if (thepage == this) thepage = nullptr;
}

void WebPlatform::yield(double milliseconds) {
    page_yield(milliseconds);
    lastyield_ = counter();
}

void WebPlatform::doevents() {
    if (closed_) throw WindowClosed{};
    // A loop that does not wait for its frame's end still lets the page breathe.
    if (counter() - lastyield_ > ticks_per_second / 20) yield(0);
    char code[64], key[64];
    while (int event = page_nextevent(code, sizeof code, key, sizeof key)) {
        int where = usageofcode(code);
        // Only letters follow the layout here; every other key goes by its place.
        char32_t c = onecharacter(key);
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        int vk = virtualkey(where, letter ? c : 0, (event & 4) != 0);
        if ((event & 1) != 0) {
            keys_.keydown(vk, keyside(where));
            // The character the key types, as the desktop's text input gives it.
            if (c != 0) {
                for (int typed : windows1252(key)) keys_.text(typed);
            }
        } else {
            keys_.keyup(vk, keyside(where));
        }
    }
    showimage(surface_, shown);
}

int64_t WebPlatform::counter() {
    return static_cast<int64_t>(emscripten_performance_now() * (ticks_per_second / 1000));
}

void WebPlatform::waituntil(int64_t deadline) {
    for (;;) {
        int64_t left = deadline - counter();
        if (left < 0) return;
        double ms = static_cast<double>(left) * 1000 / ticks_per_second;
        // A timer fires late by up to a millisecond; the rest of the wait is
        // spent in short yields that come back at once.
        yield(ms > 2 ? ms - 1 : 0);
    }
}

int WebPlatform::mcisendstring(std::string_view command, std::string* reply) {
    return media_->send(command, reply);
}
