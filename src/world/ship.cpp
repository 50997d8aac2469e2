// The two ship designs: the small classic arrowhead (design 0) and the larger
// trek ship (design 1), each with the engine flame that fits it, and the laser
// beam that goes with the player's ship.
#include <cmath>

#include "core/game.h"

namespace {
struct PolarPoint {
    float radius;
    float angle;
};

// The classic arrowhead: nose along angle 0, two wing tips and a notched tail.
constexpr PolarPoint classic[] = {
    {9.5f, 0.0f}, {10.66f, 2.4859f}, {4.2453f, 2.5346f}, {4.2453f, -2.5346f}, {10.66f, -2.4859f},
};

// The upper half of the trek ship, nose to tail: p along the nose, q across it.
// The lower half mirrors points 2 to 18; points 1 and 19 lie on the axis.
struct ShipPoint {
    double p;
    double q;
};
constexpr ShipPoint trekhalf[] = {
    {19, 0},    {18, 3},      {16.6, 6.5},  {12.5, 9.25}, {7.25, 9.25}, {3.25, 6.5}, {0.75, 2.5},
    {-6, 2.1},  {-6, 5.75},   {-1.75, 6.8}, {-0.5, 7},    {-1.75, 8.2}, {-22.5, 8},  {-23, 7},
    {-22.5, 6}, {-7.6, 5.55}, {-7.7, 2},    {-12.1, 1.3}, {-12.6, 0},
};
constexpr int trekvertices = 36;
constexpr double trekscale = 0.6;  // the drawn ship is 0.6 of its point table

constexpr int32_t flamered = 255;  // rgb(255, 0, 0)

void buildclassic(Body& b) {
    b.vertexcount = 5;
    for (int j = 1; j <= 5; ++j) {
        b.radius[j] = classic[j - 1].radius;
        b.angle[j] = classic[j - 1].angle;
    }
}

void buildtrek(Body& b) {
    b.vertexcount = trekvertices;
    for (int j = 1; j <= 19; ++j) {
        const ShipPoint& pt = trekhalf[j - 1];
        b.radius[j] = static_cast<float>(std::sqrt(pt.p * pt.p + pt.q * pt.q));
        // The angle comes from the radius as stored, so a point on the tail axis
        // lands a hair short of a half turn.
        b.angle[j] = static_cast<float>(ArcCos(pt.p / static_cast<double>(b.radius[j])));
    }
    for (int k = 20; k <= trekvertices; ++k) {
        b.radius[k] = b.radius[38 - k];
        b.angle[k] = -b.angle[38 - k];
    }
    for (int j = 1; j <= trekvertices; ++j) {
        b.radius[j] = static_cast<float>(b.radius[j] * trekscale);
    }
}

// Radii 4 and 5 are not vertices: the flame's flicker amplitude and its
// shortest length, which the flame animation reads every frame.
void classicflame(Body& f) {
    f.vertexcount = 3;
    f.radius[1] = 5;
    f.angle[1] = 0;
    f.radius[2] = 5;
    f.angle[2] = 0.9f;
    f.radius[3] = 5;
    f.angle[3] = -0.9f;
    f.radius[4] = 7;
    f.radius[5] = 5;
    f.fillcolour = flamered;
    f.linecolour = flamered;
    f.basecolour = flamered;
}

// The trek flame spreads between the ship's two tail fins beside the axis.
void trekflame(Body& f, const Body& ship) {
    f.vertexcount = 3;
    f.radius[1] = 15;
    f.angle[1] = 0;
    f.radius[2] = ship.radius[20];
    f.angle[2] = ship.angle[20];
    f.radius[3] = ship.radius[18];
    f.angle[3] = ship.angle[18];
    f.radius[4] = 15;
    f.radius[5] = 6;
    f.fillcolour = flamered;
}
}  // namespace

// Builds a ship design into element `index` of bodies at a random point of the
// playfield, rebuilds the flame to fit it and, for the player's ship, readies
// the laser beam. State, type and spin of the body are left to the caller.
void Game::initializeship(int index, int ship) {
    if (index < 0 || index > capacity) return;
    if (ship == -1) ship = selectedship;
    // Only designs 0 and 1 exist; anything else gets the classic ship.
    const bool trek = ship == 1;

    Body& b = bodies[index];
    b.x = static_cast<float>(rnd() * playfieldwidth());
    b.y = static_cast<float>(rnd() * playfieldheight());
    b.vx = 0;
    b.vy = 0;
    b.fillstyle = 0;
    flame.fillstyle = 0;

    if (trek) {
        buildtrek(b);
    } else {
        buildclassic(b);
    }
    b.fillcolour = rgb(65, 65, 65);
    b.basecolour = b.fillcolour;
    b.linecolour = colours::white;

    if (trek) {
        trekflame(flame, b);
    } else {
        classicflame(flame);
    }
    flame.x = b.x;
    flame.y = b.y;
    flame.vx = b.vx;
    flame.vy = b.vy;

    if (index == 0) {
        // A line from 9 to 1200 units ahead of the ship; the laser aims,
        // places and colours it each frame.
        laserbeam.vertexcount = 2;
        laserbeam.radius[1] = 1200;
        laserbeam.radius[2] = 9;
        laserbeam.radius[3] = 9;
        laserbeam.fillcolour = 0;
        laserbeam.linecolour = 0;
        laserbeam.fillstyle = 1;
    }
}

// Arc cosine by way of the arctangent; exactly 0 for exactly 1, where the
// quotient would divide by zero.
double ArcCos(double x) {
    if (x == 1) return 0;
    return std::atan(-x / std::sqrt(1 - x * x)) + 2 * std::atan(1.0);
}
