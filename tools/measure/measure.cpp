// volmarin-measure: starts the real game in a private Xvfb several times and
// reports the median time from exec to the window being mapped and to the
// first lit pixel of the intro, the peak resident memory after some seconds
// of play, and the processor time the game takes in the menu and in play.
//   volmarin-measure [runs] [game binary]
// The game is driven into play with xdotool, as a player would.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "xserver/xserver.h"

namespace {
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The top-level window called VOLMARIN, or 0.
Window findgame(Display* x) {
    Window root = DefaultRootWindow(x), parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(x, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes a;
        if (XFetchName(x, children[i], &name) && name && std::string(name) == "VOLMARIN" &&
            XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable) {
            found = children[i];
        }
        if (name) XFree(name);
    }
    if (children) XFree(children);
    return found;
}

bool lit(Display* x, Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(x, w, &a)) return false;
    XImage* image = XGetImage(x, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return false;
    bool any = false;
    for (int y = 0; y < image->height && !any; y += 2)
        for (int px = 0; px < image->width && !any; px += 2)
            any = (XGetPixel(image, px, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return any;
}

long statuskb(pid_t pid, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

// User plus system processor time of the process, in seconds.
double cputime(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t close = all.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14 || i == 15) ticks += std::strtod(field.c_str(), nullptr);
    }
    return ticks / sysconf(_SC_CLK_TCK);
}

void key(const std::string& display, const std::string& name, std::chrono::milliseconds after) {
    std::string command =
        "DISPLAY=" + display + " xdotool key --delay 60 " + name + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "volmarin-measure: xdotool failed\n");
    std::this_thread::sleep_for(after);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Run {
    double mapped = -1, firstframe = -1, peakmb = -1, menucpu = -1, playcpu = -1;
};

Run once(const std::string& binary) {
    Run r;
    Xserver server;
    if (server.display().empty()) {
        std::fprintf(stderr, "volmarin-measure: %s\n", server.problem().c_str());
        return r;
    }
    Display* x = XOpenDisplay(server.display().c_str());
    if (!x) return r;
    auto start = Clock::now();
    pid_t game = fork();
    if (game == 0) {
        setenv("DISPLAY", server.display().c_str(), 1);
        if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Window w = 0;
    while (Clock::now() - start < 10s) {
        if (!w && (w = findgame(x))) r.mapped = seconds(Clock::now() - start);
        if (w && lit(x, w)) {
            r.firstframe = seconds(Clock::now() - start);
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    // The intro: its processor time stands for the menu's, which loops the same way.
    double before = cputime(game);
    auto t = Clock::now();
    std::this_thread::sleep_for(2s);
    r.menucpu = (cputime(game) - before) / seconds(Clock::now() - t);
    key(server.display(), "Return", 250ms);
    key(server.display(), "Return", 250ms);
    key(server.display(), "Return", 1500ms);  // the menu
    key(server.display(), "Return", 900ms);   // the ship selection
    key(server.display(), "Return", 3500ms);  // in play after the banner
    key(server.display(), "space", 0ms);      // fire a little
    before = cputime(game);
    t = Clock::now();
    std::this_thread::sleep_for(3s);
    r.playcpu = (cputime(game) - before) / seconds(Clock::now() - t);
    r.peakmb = statuskb(game, "VmHWM") / 1024.0;
    kill(game, SIGKILL);
    waitpid(game, nullptr, 0);
    XCloseDisplay(x);
    return r;
}
}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (runs < 1) runs = 5;
    std::string binary = argc > 2 ? argv[2] : std::string(VOLMARIN_BINARY_DIR) + "/volmarin";
    std::vector<double> mapped, first, peak, menu, play;
    for (int i = 0; i < runs; ++i) {
        Run r = once(binary);
        std::printf(
            "run %d: mapped %.3f s, first intro frame %.3f s, peak %.1f MB, cpu intro %.0f %% play "
            "%.0f %%\n",
            i + 1, r.mapped, r.firstframe, r.peakmb, r.menucpu * 100, r.playcpu * 100);
        std::fflush(stdout);
        if (r.firstframe < 0) continue;
        mapped.push_back(r.mapped);
        first.push_back(r.firstframe);
        peak.push_back(r.peakmb);
        menu.push_back(r.menucpu);
        play.push_back(r.playcpu);
    }
    if (first.empty()) {
        std::fprintf(stderr, "volmarin-measure: the game never showed a frame\n");
        return 1;
    }
    std::printf(
        "median of %zu runs: window mapped %.3f s, first intro frame %.3f s after exec; "
        "peak resident memory in play %.1f MB; processor time intro %.0f %%, play %.0f %% of a "
        "core\n",
        first.size(), median(mapped), median(first), median(peak), median(menu) * 100,
        median(play) * 100);
    return 0;
}
