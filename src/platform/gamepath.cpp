// The game was written for a file system that ignores case and separates
// folders with backslashes; these helpers find its files on any other.
#include "platform/gamepath.h"

#include <system_error>

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::filesystem::path resolvegamepath(const std::filesystem::path& folder, std::string_view path) {
    std::filesystem::path out = folder;
    std::error_code ec;
    size_t i = 0;
    while (i <= path.size()) {
        size_t end = path.find_first_of("\\/", i);
        if (end == std::string_view::npos) end = path.size();
        std::string part(path.substr(i, end - i));
        i = end + 1;
        if (part.empty() || part == ".") continue;
        std::filesystem::path exact = out / part;
        if (!std::filesystem::exists(exact, ec) && std::filesystem::is_directory(out, ec)) {
            std::string wanted = lower(part);
            for (std::filesystem::directory_iterator it(out, ec), done; !ec && it != done;
                 it.increment(ec)) {
                if (lower(it->path().filename().string()) == wanted) {
                    exact = it->path();
                    break;
                }
            }
        }
        out = exact;
    }
    return out;
}
