// Finding the program folder from the binary's own place, and the table's
// folder from the program folder's.
#include "platform/folders.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

fs::path programfolder(const fs::path& binaryfolder, const fs::path& datafrombinary) {
    std::error_code ec;
    if (!datafrombinary.empty()) {
        fs::path installed = (binaryfolder / datafrombinary).lexically_normal();
        if (fs::is_directory(installed, ec)) return installed;
    }
    return binaryfolder;
}

fs::path binaryfolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return fs::current_path(ec);
    return exe.parent_path();
}

fs::path userdatafolder() {
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return fs::path(data);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return fs::path(home) / ".local" / "share";
    return {};
}

fs::path tablefolder(const fs::path& programfolder) {
    if (::access(programfolder.c_str(), W_OK | X_OK) == 0) return programfolder;
    fs::path user = userdatafolder();
    if (user.empty()) return programfolder;
    return user / "volmarin";
}
