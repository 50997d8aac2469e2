// The game's one shape test: is a point inside a body's outline? It keeps new
// rocks off the ship, and decides the ship's contact with a rock and a homing
// missile's hit.
#include <cmath>

#include "core/game.h"

void Game::outlineof(const Body& b, Outline& o) const {
    o.n = b.vertexcount > max_vertices ? max_vertices : (b.vertexcount < 0 ? 0 : b.vertexcount);
    const float cx = b.x, cy = b.y;
    for (int i = 1; i <= o.n; ++i) {
        const double a = b.angle[i];
        o.x[i] = static_cast<float>(cx + std::cos(a) * b.radius[i]);
        o.y[i] = static_cast<float>(cy + std::sin(a) * b.radius[i]);
    }
}

bool Game::pointinbody(const Body& b, float px, float py) const {
    Outline o;
    outlineof(b, o);
    return insideoutline(b, o, px, py);
}

// A point is inside when, for every edge, it lies on the same side of the
// edge's line as the body's centre; points on a line count as inside. Exact for
// convex outlines around their centre, which is what rocks and ships are.
bool Game::insideoutline(const Body& b, const Outline& o, float px, float py) const {
    const int n = o.n;
    const float cx = b.x, cy = b.y;
    for (int i = 1; i <= n; ++i) {
        const int j = i == n ? 1 : i + 1;
        const float x1 = o.x[i], y1 = o.y[i], x2 = o.x[j], y2 = o.y[j];

        if (x1 == x2 && y1 != y2) {
            // A vertical edge has no slope: the point must be on the centre's
            // side of the line x = x1.
            if (cx < x1 && px > x1) return false;
            if (cx > x1 && px < x1) return false;
            continue;
        }

        // An edge whose ends share one unit square is too short to trust its
        // slope and counts as horizontal.
        double s = 0;
        if (!(std::floor(x1) == std::floor(x2) && std::floor(y1) == std::floor(y2))) {
            s = (static_cast<double>(y2) - y1) / (static_cast<double>(x2) - x1);
        }
        const double o0 = y1 - s * x1;
        const double t = s * cx + o0;
        const double line = s * px + o0;
        if (t < cy && !(line <= py)) return false;
        if (t > cy && !(line >= py)) return false;
    }
    return true;
}
