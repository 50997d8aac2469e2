// Where the game finds its files. The program folder holds the sound sets,
// the loose sounds, the music and the face; the game makes it its current
// folder at start-up. Decided once, from where the binary lies.
#pragma once

#include <filesystem>

// The program folder for a binary in `binaryfolder`: the installed data folder
// `binaryfolder / datafrombinary` (e.g. ../share/games/volmarin beside
// /usr/games) when it exists, so an installed tree can be moved as a whole;
// otherwise the binary's own folder, as in a build folder or an unpacked archive.
std::filesystem::path programfolder(const std::filesystem::path& binaryfolder,
                                    const std::filesystem::path& datafrombinary);

// The folder of the running binary; the current folder when it cannot be told.
std::filesystem::path binaryfolder();
