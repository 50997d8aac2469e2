// Reading and atomically replacing files in the program's folder.
#include "platform/files.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include <unistd.h>

Files::Files(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path Files::resolve(const std::string& name) const {
    std::string local = name;
    for (char& c : local) {
        if (c == '\\') c = '/';
    }
    while (!local.empty() && local.front() == '/') local.erase(local.begin());
    return folder_ / local;
}

bool Files::exists(const std::string& name) const {
    std::error_code ec;
    return std::filesystem::is_regular_file(resolve(name), ec);
}

std::optional<std::string> Files::read(const std::string& name, std::size_t maxbytes) const {
    std::error_code ec;
    auto path = resolve(name);
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data(maxbytes, '\0');
    in.read(data.data(), static_cast<std::streamsize>(maxbytes));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

bool Files::writeatomic(const std::string& name, const std::string& contents) const {
    auto target = resolve(name);
    auto temporary = target;
    temporary += ".tmp";
    FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    ok = (std::fflush(out) == 0) && ok;
    ok = (fsync(fileno(out)) == 0) && ok;
    ok = (std::fclose(out) == 0) && ok;
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temporary, target, ec);
        ok = !ec;
    }
    if (!ok) std::filesystem::remove(temporary, ec);
    return ok;
}
