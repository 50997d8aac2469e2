// Files of the program's folder: the high-score file and the font. All paths
// the game gives are relative to that folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

class Files {
public:
    explicit Files(std::filesystem::path folder);

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path resolve(const std::string& name) const;

    bool exists(const std::string& name) const;
    // Reads at most maxbytes; nothing when the file cannot be opened.
    std::optional<std::string> read(const std::string& name, std::size_t maxbytes) const;
    // Writes a temporary file beside the target and renames it over the target,
    // so the old contents survive any failure. False when the write failed.
    bool writeatomic(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path folder_;
};
