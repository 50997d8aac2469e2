// The body record: the ship, every rock, piece, fragment and hunter, the engine
// flame and the laser beam. A centre with a velocity and up to 300 vertices in
// polar form (radius and angle about the centre), each with its own spin.
#pragma once

#include <cstdint>

inline constexpr int max_vertices = 300;

// How a body behaves in the rock pass.
enum class BodyType : int16_t { plain = 0, flickering = 1, pulsing = 2, hunting = 3 };

struct Body {
    int16_t state = 0;     // >0 protection countdown (frames), <0 dying, 0 ordinary
    float x = 0, y = 0;    // centre, playfield units
    float vx = 0, vy = 0;  // velocity, units per frame
    int16_t vertexcount = 0;
    float radius[max_vertices + 1] = {};  // signed distance of vertex j from the centre
    float angle[max_vertices + 1] = {};   // direction of vertex j, radians
    float spin[max_vertices + 1] = {};    // radians per frame
    int32_t fillcolour = 0;
    int32_t basecolour = 0;  // colour that flashes and pulses return to
    int32_t linecolour = 0;
    int16_t fillstyle = 0;  // 0 solid, 1 outline only
    BodyType type = BodyType::plain;
};
