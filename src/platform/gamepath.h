// Names as the game writes them: its file paths with backslashes and whatever
// case, and its media aliases, which ignore case.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The text with A..Z turned to a..z; other bytes stay as they are.
std::string lower(std::string_view text);

// A path as the game writes it (".\classic\fire.wav", "\ding.wav", "hiscores.dat")
// turned into a file under folder. Backslashes and slashes separate folders,
// "." and leading separators are dropped, and a component whose exact case is
// not on disk matches an entry that differs only in case.
std::filesystem::path resolvegamepath(const std::filesystem::path& folder, std::string_view path);
