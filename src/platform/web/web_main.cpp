// The game in a page. Without arguments the player plays: the page's keys,
// clock, sound and storage. With the headless runner's arguments (which the
// page takes from its address) the game runs on the virtual counter with
// scripted keys exactly as volmarin-headless does, and the images of the
// frames asked for are handed to the page.
//   --frames F [--seed S] [--keys FILE] [--snapshot N ...]
#include <emscripten.h>
#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <set>
#include <string>

#include "core/game.h"
#include "core/random.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/headless/headless_platform.h"
#include "platform/keyscript.h"
#include "platform/web/web_platform.h"

EM_JS(void, page_message, (const char* text), { VolmarinPage.message(UTF8ToString(text)); });
EM_JS(void, page_snapshot, (int frame, const uint8_t* rgba, int width, int height), {
    VolmarinPage.snapshot(frame, HEAPU8.slice(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, page_scripteddone, (int frames, int status),
      { VolmarinPage.scripteddone(frames, status); });
EM_ASYNC_JS(void, page_breathe, (), { await VolmarinPage.pause(0); });

namespace {
// The page's files: the game's data, shipped with the page, and the folder
// the browser's storage keeps.
constexpr const char* gamefolder = "/game";
constexpr const char* scorefolder = "/scores";
// A scripted run keeps its table apart from the player's, and starts without one.
constexpr const char* scriptedfolder = "/scripted";
// The frames a scripted run plays between two looks at the page.
constexpr int64_t framesperbreath = 50;

struct Arguments {
    long long frames = 0;
    long long seed = 20261207;
    std::string keys;
    std::set<long long> snapshots;
};

bool parse(int argc, char** argv, Arguments& out, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value = i + 1 < argc ? argv[i + 1] : "";
        long long n = 0;
        if (arg == "--frames" && wholenumber(value, n) && n >= 1) {
            out.frames = n;
        } else if (arg == "--seed" && wholenumber(value, n)) {
            out.seed = n;
        } else if (arg == "--keys" && !value.empty()) {
            out.keys = value;
        } else if (arg == "--snapshot" && wholenumber(value, n) && n >= 1) {
            out.snapshots.insert(n);
        } else {
            error = "bad argument " + arg + " " + value;
            return false;
        }
        ++i;
    }
    return true;
}

int scripted(const Arguments& args) {
    auto platform = std::make_unique<HeadlessPlatform>(gamefolder);
    platform->files().setstatefolder(scriptedfolder);
    if (!args.keys.empty()) {
        FileText keys = readtext(args.keys, 16u << 20);
        if (keys.found != FileText::Found::read) {
            page_message(("cannot read the key file " + args.keys).c_str());
            return 2;
        }
        try {
            platform->script(parsekeyscript(keys.text));
        } catch (const std::exception& e) {
            page_message(e.what());
            return 2;
        }
    }
    platform->setlastframe(args.frames);
    std::vector<uint8_t> rgba;
    std::set<long long> due = args.snapshots;
    auto frameend = [&](int64_t frame) {
        if (due.erase(frame) > 0) {
            showimage(platform->surface(), rgba);
            page_snapshot(static_cast<int>(frame), rgba.data(), platform->surface().width(),
                          platform->surface().height());
        }
        if (frame % framesperbreath == 0) page_breathe();
    };
    platform->onframeend(frameend);
    ClockRandom random(static_cast<uint64_t>(args.seed));
    auto game = std::make_unique<Game>(*platform, random);
    const int status = platform->run([&] { return game->run(); });
    page_scripteddone(static_cast<int>(platform->frame()), status);
    return status;
}
}  // namespace

int main(int argc, char** argv) {
    // emscripten's file system starts with a umask of 0777, which would save
    // the table with no permission bits at all: unreadable once the browser
    // hands it back after a reload.
    ::umask(022);
    // The default face ships with the page; the surface's text needs it first.
    registerfontfile(std::string(gamefolder) + "/Play-Regular.ttf");
    Arguments args;
    std::string error;
    if (!parse(argc, argv, args, error)) {
        page_message(error.c_str());
        return 2;
    }
    if (args.frames > 0) return scripted(args);

    auto platform = std::make_unique<WebPlatform>(gamefolder, scorefolder);
    auto seed = std::chrono::system_clock::now().time_since_epoch().count();
    ClockRandom random(static_cast<uint64_t>(seed));
    auto game = std::make_unique<Game>(*platform, random);
    try {
        game->Form_Load();
    } catch (const ProgramEnd&) {
        page_message("The game has ended. Reload the page to play again.");
    } catch (const WindowClosed&) {
    }
    return 0;
}
