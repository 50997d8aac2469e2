// The real game binary in a real X server, driven by real key events: the
// intro, the menu, a game, game over with a name typed and saved, quitting,
// and closing the window during play. Skips where Xvfb or xdotool is missing.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

#include <sys/wait.h>
#include <unistd.h>

#include "support/gamefixture.h"
#include "support/xserver.h"

namespace {
using namespace std::chrono_literals;

std::string run(const std::string& command) {
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
        if (!onpath("Xvfb") || !onpath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed; window tests skipped";
        binary = std::filesystem::path(VOLMARIN_BINARY_DIR) / "volmarin";
        if (!std::filesystem::exists(binary)) GTEST_SKIP() << "the game binary was not built";
        xserver = std::make_unique<Xserver>();
        if (!xserver->problem().empty()) GTEST_SKIP() << xserver->problem();
        display = xserver->display();
        x = XOpenDisplay(display.c_str());
        if (!x) GTEST_SKIP() << "cannot connect to Xvfb on " << display;
        std::system("xset r off >/dev/null 2>&1");
        // The program folder: the build folder's media beside a copy of the binary.
        std::filesystem::path build(VOLMARIN_BINARY_DIR);
        for (const auto& entry : std::filesystem::directory_iterator(build)) {
            auto name = entry.path().filename().string();
            bool media = entry.path().extension() == ".wav" || entry.path().extension() == ".mid" || name == "classic" ||
                         name == "trek";
            if (media) std::filesystem::copy(entry.path(), folder.path() / name, std::filesystem::copy_options::recursive);
        }
        std::filesystem::copy(binary, folder.path() / "volmarin");
    }

    void TearDown() override {
        if (game > 0) {
            kill(game, SIGKILL);
            waitpid(game, nullptr, 0);
        }
        if (x) XCloseDisplay(x);
        xserver.reset();
    }

    void start() {
        game = fork();
        if (game == 0) {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            std::string path = (folder.path() / "volmarin").string();
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && windowid.empty(); ++i) {
            std::this_thread::sleep_for(100ms);
            windowid = run("xdotool search --name '^VOLMARIN$' 2>/dev/null | head -1");
        }
        ASSERT_FALSE(windowid.empty()) << "the game window did not appear";
        run("xdotool windowfocus --sync " + windowid + " 2>/dev/null");
    }

    void key(const std::string& name, std::chrono::milliseconds after = 250ms) {
        run("xdotool key --delay 60 " + name);
        std::this_thread::sleep_for(after);
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
        Window w = std::stoul(windowid);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(x, w, &attributes)) return shot;
        XImage* image = XGetImage(x, w, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
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

    std::string hiscores() {
        std::ifstream in(folder.path() / "hiscores.dat", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    TempFolder folder;
    std::filesystem::path binary;
    std::string display, windowid;
    Display* x = nullptr;
    std::unique_ptr<Xserver> xserver;
    pid_t game = -1;
};
}  // namespace

TEST_F(WindowFixture, AWholeGameFromIntroToSavedHighScoreAndQuit) {
    start();
    auto window = screenshot();
    EXPECT_EQ(window.width, 823);
    EXPECT_EQ(window.height, 709);
    std::this_thread::sleep_for(600ms);
    EXPECT_GT(screenshot().lit, 0) << "the intro shows its letters";
    key("Return");
    key("Return");
    key("Return", 1500ms);  // the intro is over; the menu slides in
    auto menu = screenshot();
    EXPECT_GT(menu.lit, 500) << "the main menu shows";

    key("Return", 900ms);  // START: the ship selection
    key("Return", 3500ms);  // a ship chosen: the level banner, then play
    auto play = screenshot();
    EXPECT_GT(play.lit, 200) << "the ship, the rocks and the HUD show";

    // The game ends; "GAME OVER" glows over the last picture for some five
    // seconds (longer on a busy machine), then the name entry prints its
    // prompt in pure blue, which the letters never are.
    int blue = screenshot().colour(0x0000FF);
    key("Escape", 4000ms);
    for (int i = 0; i < 60; ++i) {
        int now = screenshot().colour(0x0000FF);
        if (now != blue && now > 200) break;
        std::this_thread::sleep_for(250ms);
    }
    std::this_thread::sleep_for(200ms);
    run("xdotool type --delay 80 ACE");
    std::this_thread::sleep_for(400ms);
    key("Return", 700ms);  // the table with the new entry
    key("Return", 1200ms);  // back to the main menu, the table saved
    EXPECT_NE(hiscores().find("ACE"), std::string::npos) << hiscores();

    key("Up", 300ms);      // QUIT
    key("Return", 800ms);  // the quit question, "NO" highlighted
    key("Up", 300ms);      // YES
    key("Return");
    auto status = waitexit(10s);
    ASSERT_TRUE(status.has_value()) << "the game did not end after QUIT and YES";
    EXPECT_EQ(*status, 0);
}

TEST_F(WindowFixture, ClosingTheWindowDuringPlayEndsTheGameCleanly) {
    start();
    key("Return");
    key("Return");
    key("Return", 1500ms);
    key("Return", 900ms);
    key("Return", 3500ms);  // in play
    kill(game, SIGTERM);    // the same quit event as the window's close button
    auto status = waitexit(10s);
    ASSERT_TRUE(status.has_value()) << "the game did not end when its window was closed";
    EXPECT_EQ(*status, 0);
}

TEST_F(WindowFixture, F11OnABareXServerFillsTheScreenWithTheWholePictureAndReturns) {
    start();
    key("Return");
    key("Return");
    key("Return", 1500ms);  // the menu: a still picture with lit text
    auto before = screenshot();
    ASSERT_GT(before.lit, 500);
    key("F11", 600ms);
    auto full = screenshot();
    // No window manager: the window itself covers the 1024 x 768 screen, and
    // the picture, enlarged 768 / 709 times, sits between black bars.
    EXPECT_EQ(full.width, 1024);
    EXPECT_EQ(full.height, 768);
    double enlarged = (768.0 / 709) * (768.0 / 709);
    EXPECT_NEAR(full.lit, before.lit * enlarged, before.lit * enlarged * 0.15)
        << "the whole picture, no more and no less, shows in full screen";
    key("F11", 600ms);
    auto back = screenshot();
    EXPECT_EQ(back.width, 823);
    EXPECT_EQ(back.height, 709);
    EXPECT_NEAR(back.lit, before.lit, before.lit * 0.05);
}
