// The game's sound effects, built from synth voices.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "synth.h"

namespace volmarin::media {

// Builds one effect; noise voices draw from the generator it is handed.
using SoundMaker = std::function<Samples(Rng&)>;

// File names shared by both ship sound sets, in a fixed order.
const std::vector<std::string>& sound_set_names();

// Renders and finishes every effect. Each one gets its own generator seeded
// from `seed_prefix` + its file name, so an effect never changes because
// another one was added or edited.
std::vector<NamedSound> render_sounds(const std::vector<std::pair<const char*, SoundMaker>>& makers,
                                      const std::string& seed_prefix);

// Sharp, retro-electronic set for the classic ship: square and noise voices,
// stepped pitch sweeps, short envelopes.
std::vector<NamedSound> classic_set();

// Smoother set for the trek ship: sine and FM voices with long echoing tails.
std::vector<NamedSound> trek_set();

// Effects shared by both ships: game start hit, missile launch whoosh,
// level chime and self-destruct blast.
std::vector<NamedSound> loose_sounds();

}  // namespace volmarin::media
