// Mutes the process's error stream for a while. The libraries under SDL (the
// sound and display clients of the system) print their complaints straight
// to it when they look for a device the machine does not have; for the game
// that is no error, and SDL reports what matters through its own error text.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

class QuietErrors {
  public:
    QuietErrors() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        int null = ::open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietErrors() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

  private:
    int saved_ = -1;
};
