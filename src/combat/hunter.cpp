// The hunter: a small green body that enters from a corner every 1000 frames
// while anything is left to shoot, and steers after the ship, aiming where the
// ship will be on the next frame. Its pieces steer too, gently at first.
#include <cmath>

#include "core/game.h"

namespace {
// Outlines as (radius, angle); vertex 1 is the nose and gives the heading.
struct Vertex {
    float radius;
    float angle;
};
constexpr Vertex smallhunter[] = {{15, 0}, {10, 6.283f / 3}, {10, 12.566f / 3}};
constexpr Vertex bighunter[] = {{15, 0}, {10, 6.283f / 3}, {5, 3.1415f}, {10, 12.566f / 3}};
}  // namespace

void Game::huntertimerstep() {
    // Counted only while something other than the ship exists.
    ++huntertimer;
    if (bodies.count == 0) huntertimer = 0;
    if (huntertimer <= 999) return;
    huntertimer = 0;
    int16_t k = bodies.add();
    if (k == 0) return;
    Body& b = bodies[k];
    // A fresh record: the hunter starts at rest and without spin; its colours
    // come with its first steering step.
    b = Body{};
    b.type = BodyType::hunting;
    b.state = 0;
    b.fillstyle = 0;
    // One of the four corners.
    b.x = static_cast<float>(std::floor(2 * rnd()) * playfieldwidth());
    b.y = static_cast<float>(std::floor(2 * rnd()) * playfieldheight());
    // From level 4 on it has a fourth vertex, so its first hit splits it into two hunters.
    const Vertex* outline = level >= 4 ? bighunter : smallhunter;
    b.vertexcount = level >= 4 ? 4 : 3;
    for (int j = 1; j <= b.vertexcount; ++j) {
        b.radius[j] = outline[j - 1].radius;
        b.angle[j] = outline[j - 1].angle;
    }
}

void Game::huntersteer(Body& b) {
    const Body& ship = bodies[0];
    // 1 for a hunter, 0 for a piece just split off one, rising as its shield counts down.
    const double f = (static_cast<double>(huntershield) - b.state) / huntershield;
    b.fillcolour = rgb(0, rnd() * 127 + 127, 0);
    b.linecolour = b.fillcolour;

    const double dx = static_cast<double>(ship.x) + ship.vx - b.x;
    const double dy = static_cast<double>(ship.y) + ship.vy - b.y;
    double aim;
    if (dx != 0) {
        aim = std::atan(dy / dx);
        if (dx < 0) aim += pi;
    } else {
        // Straight above or below: an exact quarter turn. Sitting exactly on the
        // ship's next position there is nothing to aim at.
        aim = dy > 0 ? M_PI / 2 : (dy < 0 ? -M_PI / 2 : 0);
    }

    if (b.angle[1] > fullturn) b.angle[1] = static_cast<float>(b.angle[1] - fullturn);
    if (b.angle[1] < -fullturn) b.angle[1] = static_cast<float>(b.angle[1] + fullturn);

    const int n = b.vertexcount;
    if (respawntimer > 0) {
        // No ship to chase: it wanders, turning a little at random each frame.
        double w = rnd() * pi / 12 - pi / 24;
        for (int j = 1; j <= n; ++j) {
            b.spin[j] = 0;
            b.angle[j] = static_cast<float>(b.angle[j] + w);
        }
    } else {
        // It turns straight towards the aim, never looking for the shorter way round.
        const double k = (1 - f) * 0.2 + 0.8;
        const double turn = b.angle[1] < aim ? 0.02 * f : -0.02 * f;
        for (int j = 1; j <= n; ++j) b.spin[j] = static_cast<float>((b.spin[j] + turn) * k);
    }

    // Thrust along the heading with drag: top speed about 2.47 units per frame.
    const double drag = (1 - f) * 0.05 + 0.95;
    b.vx = static_cast<float>((f * std::cos(b.angle[1]) * 0.13 + b.vx) * drag);
    b.vy = static_cast<float>((f * std::sin(b.angle[1]) * 0.13 + b.vy) * drag);
}
