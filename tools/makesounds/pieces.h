// The game's two pieces of music, as Standard MIDI File bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace volmarin::media {

// Driving E minor rock theme for play, about a minute long; its last bar
// turns around on the dominant so it loops straight back to the top.
std::vector<uint8_t> game_theme();

// Dark, slower D minor theme for the intro and menu.
std::vector<uint8_t> menu_theme();

}  // namespace volmarin::media
