// Where the game finds its files, decided once at start-up. The program folder
// holds the sound sets, the loose sounds, the music and the face, and the game
// makes it its current folder; the high-score table lives there while it is
// writable, else in the player's data folder.
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

// The player's own data folder: $XDG_DATA_HOME when it is an absolute path,
// else ~/.local/share; empty when there is no home folder either.
std::filesystem::path userdatafolder();

// The folder for the high-score table of a program folder: the program folder
// while this account may write there, else the player's data folder's
// "volmarin" (created on the first save). The program folder when neither is known.
std::filesystem::path tablefolder(const std::filesystem::path& programfolder);
