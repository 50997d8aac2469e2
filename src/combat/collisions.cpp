// What touches what in the rock pass: the colours of flickering and pulsing
// rocks, the ship against a body, shots against a body, and the removal of
// faded bodies, where segments earn their 100 points and may leave a power-up.
#include <cmath>

#include "core/game.h"

namespace {
// Pale yellow of a fresh segment of a flickering or pulsing rock.
const int32_t freshsegment = rgb(255, 255, 120);
}  // namespace

void Game::bodycolours(Body& b) {
    const Body& ship = bodies[0];
    // A body wearing the ship's colour, or a dying fragment, keeps its colour.
    const bool keepscolour = b.fillcolour == ship.fillcolour || b.state == -1;
    if (b.type == BodyType::flickering) {
        if (b.vertexcount > 2) {
            if (!keepscolour) {
                b.fillcolour = rgb(255, rnd() * 255, 0);  // red to yellow every frame
                b.linecolour = b.fillcolour;
            }
        } else if (b.state == 10) {
            b.fillcolour = freshsegment;
            b.linecolour = freshsegment;
        }
    } else if (b.type == BodyType::pulsing) {
        if (b.vertexcount > 2) {
            if (!keepscolour) {
                // The red climbs 76..255; the step past 255 is (0, 1, 0), nearly
                // black for one frame, and the climb starts again.
                if (b.fillcolour > 255) {
                    b.fillcolour = 75;
                    b.linecolour = 75;
                }
                b.fillcolour += 1;
                b.linecolour = b.fillcolour;
            }
        } else if (b.state == 10) {
            b.fillcolour = freshsegment;
            b.linecolour = freshsegment;
        }
        // Bright, it grows, up to a nose distance of 150.
        if (b.fillcolour >= 240 && std::fabs(b.radius[1]) < 150) {
            for (int j = 1; j <= b.vertexcount; ++j) {
                b.radius[j] += b.radius[j] > 1 ? 1.0f : -1.0f;
            }
        }
    } else if (b.type == BodyType::hunting && b.vertexcount > 2) {
        huntersteer(b);
    }
}

void Game::shipcontact(int k) {
    // Only the ship's centre counts; once exploded it is parked off the field,
    // so the rest of the pass misses it.
    const Body& ship = bodies[0];
    const Body& b = bodies[k];
    if (ship.state <= 0 && b.vertexcount > 2 && pointinbody(b, ship.x, ship.y)) explodeship(1.0f);
}

void Game::sortshots() {
    // Only living shots can hit, and a shot's life only falls during the pass.
    ShotCells& c = shotcells;
    std::array<int16_t, ShotCells::columns* ShotCells::rows + 1>& start = c.start;
    start.fill(0);
    c.widest = 0;
    for (int i = 1; i <= shots.count; ++i) {
        const Shot& s = shots[i];
        if (s.life <= 0) continue;
        ++start[ShotCells::row(s.y) * ShotCells::columns + ShotCells::column(s.x) + 1];
        const double half = (std::fabs(s.vx) + std::fabs(s.vy)) / 2;
        if (half > c.widest) c.widest = half;
    }
    for (size_t cell = 1; cell < start.size(); ++cell) start[cell] += start[cell - 1];
    // Filled in shot order, so each cell lists its shots in ascending order;
    // the cell's start moves on as it fills and is put back afterwards.
    for (int i = 1; i <= shots.count; ++i) {
        const Shot& s = shots[i];
        if (s.life <= 0) continue;
        const int cell = ShotCells::row(s.y) * ShotCells::columns + ShotCells::column(s.x);
        c.index[start[cell]++] = static_cast<int16_t>(i);
    }
    for (size_t cell = start.size() - 1; cell > 0; --cell) start[cell] = start[cell - 1];
    start[0] = 0;
    c.count = shots.count;
    c.ready = true;
}

void Game::shotcontact(int k) {
    Body& b = bodies[k];
    // Segments are never hit. Shielded bodies are not either, except that a
    // hunting body's piece opens up 15 frames into its 500-frame shield.
    if (b.vertexcount <= 2) return;
    if (!(b.state <= 0 || (b.type == BodyType::hunting && b.state <= hunterrammable))) return;
    double mean = 0;
    for (int j = 1; j <= b.vertexcount; ++j) mean += std::fabs(b.radius[j]);
    mean /= b.vertexcount;
    // A square of the mean radius, widened by half the shot's step so a fast
    // shot cannot jump over it; strict on every side.
    auto hits = [&](const Shot& s) {
        double w = mean + (std::fabs(s.vx) + std::fabs(s.vy)) / 2;
        return b.x - w < s.x && s.x < b.x + w && b.y - w < s.y && s.y < b.y + w;
    };
    // The first living shot in the list that is inside the square hits.
    int first = 0;
    const double widest = mean + shotcells.widest;
    if (shotcells.ready && shotcells.count == shots.count && std::isfinite(widest)) {
        // Only the cells the widest square can reach hold shots that may hit.
        const int c0 = ShotCells::column(b.x - widest), c1 = ShotCells::column(b.x + widest);
        const int r0 = ShotCells::row(b.y - widest), r1 = ShotCells::row(b.y + widest);
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) {
                const int cell = r * ShotCells::columns + c;
                for (int e = shotcells.start[cell]; e < shotcells.start[cell + 1]; ++e) {
                    const int i = shotcells.index[e];
                    if (first != 0 && i > first) break;  // a cell lists its shots in order
                    if (shots[i].life > 0 && hits(shots[i])) first = i;
                }
            }
        }
    } else {
        const int n = shots.count;
        for (int i = 1; i <= n && first == 0; ++i) {
            if (shots[i].life > 0 && hits(shots[i])) first = i;
        }
    }
    if (first == 0) return;
    shots[first].life = 0;
    if (b.type == BodyType::flickering && b.vertexcount > 3) {
        shatterrock(k);
    } else {
        splitrock(k);
    }
    // One hit per body and frame; other shots fly on.
}

void Game::removalpass() {
    // A removal moves the last body into the gap; looking at that slot again is
    // what a fresh search from body 1 would do next.
    for (int k = 1; k <= bodies.count;) {
        const Body& b = bodies[k];
        if (b.fillcolour > 1) {
            ++k;
            continue;
        }
        // Only a faded segment of a rock scores; one in five leaves a power-up.
        if (b.vertexcount <= 2 && b.type != BodyType::hunting) {
            addscore(100);
            int q = static_cast<int>(std::floor(rnd() * 5));
            if (q == 0) droppowerup(b.x, b.y, b.vx, b.vy);
        }
        bodies.remove(k);
    }
}
