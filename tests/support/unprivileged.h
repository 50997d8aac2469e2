// Running a piece of a test as an ordinary account, where file permissions
// count: as root the test forks a child that drops to "nobody" first.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace unprivileged {

// The account the child runs as: "nobody" under root, else the caller's own.
inline uid_t uid() {
    if (geteuid() != 0) return geteuid();
    const passwd* pw = getpwnam("nobody");
    return pw ? pw->pw_uid : 65534;
}
inline gid_t gid() {
    if (geteuid() != 0) return getegid();
    const passwd* pw = getpwnam("nobody");
    return pw ? pw->pw_gid : 65534;
}

// Runs body in a forked child as that account and gives what it reported: an
// empty text when everything held, else what went wrong. Nothing when the
// child could not drop its privileges (the caller skips). A child that hangs is
// killed after `seconds`, which reports as a failure.
inline std::optional<std::string> run(const std::function<std::string()>& body,
                                      unsigned seconds = 20) {
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        close(channel[0]);
        alarm(seconds);
        std::string report;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(gid(), gid(), gid()) != 0 ||
                               setresuid(uid(), uid(), uid()) != 0)) {
            _exit(3);
        }
        report = body();
        if (write(channel[1], report.data(), report.size()) < 0) _exit(4);
        _exit(0);
    }
    close(channel[1]);
    std::string report;
    char buffer[512];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0) report.append(buffer, n);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) return std::nullopt;
    if (WIFSIGNALED(status))
        return report + " (killed by signal " + std::to_string(WTERMSIG(status)) + ")";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return report + " (child failed)";
    return report;
}

}  // namespace unprivileged
