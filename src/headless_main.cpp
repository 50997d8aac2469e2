// volmarin-headless: runs the whole program on the headless backend, for tools,
// tests and bug reports.
//   volmarin-headless --frames F [--seed S] [--keys FILE] [--folder DIR]
//                     [--snapshot N:FILE.png ...] [--media-log FILE] [--score-log FILE]
// A recorded game (volmarin --record) carries its seed and its last frame, so
// `--keys FILE` alone replays it; --seed and --frames given as well win.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "core/game.h"
#include "platform/folders.h"
#include "platform/headless/headless_platform.h"
#include "platform/keyscript.h"

namespace {
int usage(const std::string& message) {
    std::cerr << "volmarin-headless: " << message << "\n";
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    long long frames = -1, seed = 20261207;
    bool seedgiven = false;
    std::string keysfile, folder = ".", medialog, scorelog;
    std::multimap<long long, std::string> snapshots;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (arg == "--frames") {
            if (!value(v) || !wholenumber(v, frames) || frames < 1)
                return usage("--frames needs a positive count");
        } else if (arg == "--seed") {
            if (!value(v) || !wholenumber(v, seed)) return usage("--seed needs a number");
            seedgiven = true;
        } else if (arg == "--keys") {
            if (!value(keysfile)) return usage("--keys needs a file");
        } else if (arg == "--folder") {
            if (!value(folder)) return usage("--folder needs a folder");
        } else if (arg == "--media-log") {
            if (!value(medialog)) return usage("--media-log needs a file");
        } else if (arg == "--score-log") {
            if (!value(scorelog)) return usage("--score-log needs a file");
        } else if (arg == "--snapshot") {
            long long n;
            size_t colon;
            if (!value(v) || (colon = v.find(':')) == std::string::npos ||
                !wholenumber(v.substr(0, colon), n) || n < 1 || colon + 1 >= v.size())
                return usage("--snapshot needs N:FILE.png");
            snapshots.emplace(n, v.substr(colon + 1));
        } else {
            return usage("unknown argument " + arg);
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return usage("no such folder " + folder);
    KeyScript script;
    if (!keysfile.empty()) {
        std::ifstream in(keysfile);
        if (!in) return usage("cannot read key file " + keysfile);
        std::stringstream text;
        text << in.rdbuf();
        try {
            script = parsekeyfile(text.str());
        } catch (const std::exception& e) {
            return usage(e.what());
        }
        if (script.seed && !seedgiven) seed = static_cast<long long>(*script.seed);
        if (script.end && frames < 1) frames = *script.end;
    }
    if (frames < 1) return usage("--frames is required");
    // A recorded game runs in a window of the size it was recorded in.
    const RecordedWindow window = script.window.value_or(RecordedWindow{823, 709, 823, 709});
    auto platform =
        std::make_unique<HeadlessPlatform>(std::filesystem::absolute(folder), window.width,
                                           window.height, window.outerwidth, window.outerheight);
    platform->files().setstatefolder(tablefolder(platform->files().folder()));
    platform->script(std::move(script.events));
    bool snapshotfailed = false;
    platform->setlastframe(frames);
    // Each snapshot is written once, when its frame has ended.
    auto writesnapshots = [&](int64_t frame) {
        auto range = snapshots.equal_range(frame);
        for (auto it = range.first; it != range.second; ++it) {
            if (!platform->surface().savepng(it->second)) snapshotfailed = true;
        }
        snapshots.erase(range.first, range.second);
    };
    platform->onframeend(writesnapshots);

    ClockRandom random(static_cast<uint64_t>(seed));
    auto game = std::make_unique<Game>(*platform, random);
    const int status = platform->run([&] { return game->run(); });
    if (!medialog.empty()) {
        std::ofstream out(medialog);
        for (const auto& m : platform->media()) out << m.frame << '\t' << m.command << '\n';
        if (!out) return usage("cannot write media log " + medialog);
    }
    if (!scorelog.empty()) {
        // Where the run ended: the frame, the score and the level.
        std::ofstream out(scorelog);
        out << "frame " << platform->frame() << "\nscore " << game->lblscore.caption << "\nlevel "
            << game->level << '\n';
        if (!out) return usage("cannot write score log " + scorelog);
    }
    if (snapshotfailed) return usage("cannot write a snapshot");
    return status;
}
