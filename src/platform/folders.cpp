// Finding the program folder from the binary's own place.
#include "platform/folders.h"

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
