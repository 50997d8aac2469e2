// A private X server for whatever opens real windows away from a desktop (the
// window tests, the frame-pacing and start-up tools, the present benchmark):
// Xvfb on a display number it picks itself, so parallel runs never share one
// and a server already running is never taken over; stopped again at the end.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace {
inline bool onpath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string file = dirs.substr(start, end - start) + "/" + program;
        if (access(file.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Starts Xvfb on a display number it picks itself, and stops it again.
class Xserver {
  public:
    Xserver() {
        if (!onpath("Xvfb")) {
            problem_ = "Xvfb is not installed";
            return;
        }
        int fds[2];
        if (pipe(fds) != 0) {
            problem_ = "no pipe for Xvfb";
            return;
        }
        std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb",        "-displayfd", fd.c_str(), "-screen", "0",
                              "1024x768x24", "-nolisten",  "tcp",      nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        int failed =
            posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (failed) {
            pid_ = 0;
            close(fds[0]);
            problem_ = "Xvfb could not be started";
            return;
        }
        // Xvfb writes its display number once it accepts connections.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        while (poll(&p, 1, 10000) > 0) {
            char c;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            problem_ = "Xvfb did not report a display";
            return;
        }
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
    }
    ~Xserver() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& problem() const { return problem_; }
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = 0;
    std::string display_;
    std::string problem_;
};

}  // namespace
