// The sound effects of a game: each alias with the tail of its open command.
// A game opens them in this order from its sound-set folder, and closes them in
// the same order when the next game starts and when the window closes.
#pragma once

#include <array>

struct SoundEffect {
    const char* alias;
    const char* tail;  // follows ".\" and the sound folder in the open command
};

inline constexpr std::array<SoundEffect, 20> soundeffects{{
    {"abomb", "\\abomb.wav type waveaudio alias abomb"},
    {"abomblaunch", "\\abomblaunch.wav type waveaudio alias abomblaunch"},
    {"bounce", "\\bounce.wav type waveaudio alias bounce"},
    {"crash", "\\crash.wav type waveaudio alias crash"},
    // Four aliases on the same file, so up to four gun shots sound at once.
    {"fire1", "\\fire.wav type waveaudio alias fire1"},
    {"fire2", "\\fire.wav type waveaudio alias fire2"},
    {"fire3", "\\fire.wav type waveaudio alias fire3"},
    {"fire4", "\\fire.wav type waveaudio alias fire4"},
    {"gameover", "\\gameover.wav type waveaudio alias gameover"},
    {"get1", "\\get1.wav type waveaudio alias get1"},
    {"get2", "\\get2.wav type waveaudio alias get2"},
    {"get3", "\\get3.wav type waveaudio alias get3"},
    {"get4", "\\get4.wav type waveaudio alias get4"},
    {"get5", "\\get5.wav type waveaudio alias get5"},
    {"getweapon", "\\getweapon.wav type waveaudio alias getweapon"},
    {"hyperspace", "\\hyperspace.wav type waveaudio alias hyperspace"},
    {"laser", "\\laser.wav type waveaudio alias laser"},
    {"missile", "\\missile.wav type waveaudio alias missile"},
    {"spawn", "\\spawn.wav type waveaudio alias spawn"},
    {"1up", "\\1up.wav type waveaudio alias 1up"},
}};
