// The game's media as named constants and tables, from the one list in
// media.def: the sound effects of a ship set, the loose sounds and the music.
#pragma once

#include <array>
#include <cstddef>

struct MediaFile {
    const char* alias;  // name the media commands use
    const char* file;   // file name in its folder
};

// Every sound effect of a ship set, in the order they are opened and closed.
inline constexpr MediaFile soundeffects[] = {
#define EFFECT(alias, file) {alias, file},
#define LOOSE(name, file)
#define MUSIC(name, alias, file)
#include "core/media.def"
#undef EFFECT
#undef LOOSE
#undef MUSIC
};

// The loose sounds, played by their path: sound(loosesound::ding).
namespace loosesound {
#define EFFECT(alias, file)
#define LOOSE(name, file) inline constexpr const char* name = "\\" file;
#define MUSIC(name, alias, file)
#include "core/media.def"
#undef EFFECT
#undef LOOSE
#undef MUSIC
}  // namespace loosesound

inline constexpr MediaFile loosesounds[] = {
#define EFFECT(alias, file)
#define LOOSE(name, file) {"\\" file, file},
#define MUSIC(name, alias, file)
#include "core/media.def"
#undef EFFECT
#undef LOOSE
#undef MUSIC
};

// The two pieces of music: music::gamemusic.alias is "firebomb", and so on.
namespace music {
#define EFFECT(alias, file)
#define LOOSE(name, file)
#define MUSIC(name, alias, file) inline constexpr MediaFile name{alias, file};
#include "core/media.def"
#undef EFFECT
#undef LOOSE
#undef MUSIC
}  // namespace music

inline constexpr MediaFile musicfiles[] = {music::gamemusic, music::menumusic};
