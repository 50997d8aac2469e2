// The real game binary in a real X server, driven by real key events: an Xvfb
// server of the test's own, the game started from a program folder of the
// test's own, key presses through xdotool, screenshots and the saved table.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "support/gamefixture.h"
#include "xserver/xserver.h"

// Xlib's macros (None, Bool, Status) would break GoogleTest's headers: it comes last.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

// Test-local, like the X server helper it holds.
namespace {
using namespace std::chrono_literals;

// A whole file's bytes; empty when it cannot be read.
inline std::string readfile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

// An Xvfb server of our own, and the game binary started in a copy of the
// program folder so the test's high-score file is its own.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        startx();
        if (IsSkipped()) return;
        // The program folder: the build folder's media beside a copy of the binary.
        std::filesystem::path build(VOLMARIN_BINARY_DIR);
        for (const auto& entry : std::filesystem::directory_iterator(build)) {
            auto name = entry.path().filename().string();
            bool media = entry.path().extension() == ".wav" || entry.path().extension() == ".mid" ||
                         name == "classic" || name == "trek";
            if (media)
                std::filesystem::copy(entry.path(), folder.path() / name,
                                      std::filesystem::copy_options::recursive);
        }
        std::filesystem::copy(binary, folder.path() / "volmarin");
        program = folder.path() / "volmarin";
    }

    // The X server and the tools; skips the test where they are missing.
    void startx() {
        if (!onpath("Xvfb") || !onpath("xdotool"))
            GTEST_SKIP() << "Xvfb or xdotool is not installed; window tests skipped";
        binary = std::filesystem::path(VOLMARIN_BINARY_DIR) / "volmarin";
        if (!std::filesystem::exists(binary)) GTEST_SKIP() << "the game binary was not built";
        xserver = std::make_unique<Xserver>();
        if (!xserver->problem().empty()) GTEST_SKIP() << xserver->problem();
        display = xserver->display();
        x = XOpenDisplay(display.c_str());
        if (!x) GTEST_SKIP() << "cannot connect to Xvfb on " << display;
        // Xlib's own handler ends the whole test program on a request for a
        // window that is gone; the screenshot looks for the window again instead.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        // Held keys do not repeat, as a player's quick presses would not.
        if (std::system("xset r off >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "xset could not switch key repeat off";
    }

    void TearDown() override {
        if (game > 0) {
            kill(game, SIGKILL);
            waitpid(game, nullptr, 0);
        }
        if (x) XCloseDisplay(x);
        xserver.reset();
    }

    // Starts `program` with the extra environment; as the given account
    // (uid and gid) when the test runs as root, so that file permissions hold.
    void start(const std::vector<std::pair<std::string, std::string>>& environment = {},
               std::optional<std::pair<uid_t, gid_t>> account = std::nullopt) {
        windowid.clear();
        game = fork();
        if (game == 0) {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
            if (account && geteuid() == 0) {
                if (setgroups(0, nullptr) != 0 || setgid(account->second) != 0 ||
                    setuid(account->first) != 0)
                    _exit(126);
            }
            std::string path = program.string();
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        findwindow();
        ASSERT_FALSE(windowid.empty()) << "the game window did not appear";
    }

    // Looks for the game's window for up to ten seconds and gives it the keyboard.
    // The game may replace its window by another, when it switches to
    // presenting through the graphics driver.
    void findwindow() {
        windowid.clear();
        for (int i = 0; i < 100 && windowid.empty(); ++i) {
            std::this_thread::sleep_for(100ms);
            windowid = run("xdotool search --name '^VOLMARIN$' 2>/dev/null | head -1");
        }
        if (!windowid.empty()) run("xdotool windowfocus --sync " + windowid + " 2>/dev/null");
    }

    void key(const std::string& name, std::chrono::milliseconds after = 250ms) {
        run("xdotool key --delay 60 " + name);
        std::this_thread::sleep_for(after);
    }

    // Gives up the game in play and waits for the name entry. "GAME OVER" glows
    // over the last picture for some five seconds (longer on a busy machine),
    // then the name entry prints its prompt in pure blue, which the letters
    // never are.
    void giveuptonameentry() {
        int blue = screenshot().colour(0x0000FF);
        key("Escape", 4000ms);
        for (int i = 0; i < 60; ++i) {
            int now = screenshot().colour(0x0000FF);
            if (now != blue && now > 200) break;
            std::this_thread::sleep_for(250ms);
        }
        std::this_thread::sleep_for(200ms);
    }

    // Waits for the game to end by itself; its exit status, or nothing on a timeout.
    std::optional<int> waitexit(std::chrono::seconds limit) {
        auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            int status;
            if (waitpid(game, &status, WNOHANG) == game) {
                game = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(50ms);
        }
        return std::nullopt;
    }

    // Counts the lit pixels of the window, and those in the given colour.
    struct Shot {
        int lit = 0, width = 0, height = 0;
        int colour(unsigned long rgb) const { return counts.count(rgb) ? counts.at(rgb) : 0; }
        std::map<unsigned long, int> counts;
    };
    Shot screenshot() {
        Shot shot;
        XWindowAttributes attributes;
        XImage* image = nullptr;
        for (int attempt = 0; attempt < 2 && !image; ++attempt) {
            if (attempt > 0) findwindow();
            if (windowid.empty()) return shot;
            Window w = std::stoul(windowid);
            if (XGetWindowAttributes(x, w, &attributes))
                image =
                    XGetImage(x, w, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
        }
        if (!image) return shot;
        shot.width = attributes.width;
        shot.height = attributes.height;
        for (int py = 0; py < image->height; ++py)
            for (int px = 0; px < image->width; ++px) {
                unsigned long p = XGetPixel(image, px, py) & 0xFFFFFF;
                if (p) {
                    ++shot.lit;
                    ++shot.counts[p];
                }
            }
        XDestroyImage(image);
        return shot;
    }

    std::string hiscores() { return readfile(folder.path() / "hiscores.dat"); }

    TempFolder folder;
    std::filesystem::path binary, program;
    std::string display, windowid;
    Display* x = nullptr;
    std::unique_ptr<Xserver> xserver;
    pid_t game = -1;
};
}  // namespace
