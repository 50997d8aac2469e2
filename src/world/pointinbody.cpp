// The game's one shape test: is a point inside a body's outline? It keeps new
// rocks off the ship, and decides the ship's contact with a rock and a homing
// missile's hit. Beside it, the box outside which the test can never answer
// true, so that crowded tests can pass over far bodies without changing any
// answer.
#include <algorithm>
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

namespace {
// A point of the clipped area, playfield units.
struct Corner {
    double x, y;
};

// Keeps the part of the convex polygon c[0..n-1] where a x + b y + c >= -slack,
// writing it to out; returns the new number of corners.
int clipcorners(const Corner* in, int n, double a, double b, double c, double slack, Corner* out) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const Corner& p = in[i];
        const Corner& q = in[i + 1 == n ? 0 : i + 1];
        const double fp = a * p.x + b * p.y + c + slack, fq = a * q.x + b * q.y + c + slack;
        if (fp >= 0) out[m++] = p;
        if ((fp >= 0) != (fq >= 0)) {
            const double t = fp / (fp - fq);
            out[m++] = {p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
        }
    }
    return m;
}
}  // namespace

// The shape test is a set of half-planes, one for each edge (those that set a
// condition). Clipping the area by every half-plane, each widened by a margin
// far above the test's rounding, and boxing what is left gives a box that
// holds every point of the area the test can answer true for.
OutlineReach Game::outlinereach(const Body& b, const Outline& o, double x0, double y0, double x1,
                                double y1) const {
    constexpr double margin = 1.0 / 64;  // playfield units
    OutlineReach whole{static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x1),
                       static_cast<float>(y1), true};
    // Up to four corners and one more for each edge.
    Corner a[max_vertices + 5], c[max_vertices + 5];
    a[0] = {x0, y0};
    a[1] = {x1, y0};
    a[2] = {x1, y1};
    a[3] = {x0, y1};
    int count = 4;
    const int n = o.n;
    const float cx = b.x, cy = b.y;
    for (int i = 1; i <= n && count > 0; ++i) {
        const int j = i == n ? 1 : i + 1;
        const float ex1 = o.x[i], ey1 = o.y[i], ex2 = o.x[j], ey2 = o.y[j];
        double ka, kb, kc;  // the kept side: ka x + kb y + kc >= 0
        if (ex1 == ex2 && ey1 != ey2) {
            if (cx < ex1) {
                ka = -1, kb = 0, kc = ex1;
            } else if (cx > ex1) {
                ka = 1, kb = 0, kc = -static_cast<double>(ex1);
            } else {
                continue;
            }
        } else {
            double s = 0;
            if (!(std::floor(ex1) == std::floor(ex2) && std::floor(ey1) == std::floor(ey2))) {
                s = (static_cast<double>(ey2) - ey1) / (static_cast<double>(ex2) - ex1);
            }
            const double o0 = ey1 - s * ex1;
            const double t = s * cx + o0;
            if (t < cy) {
                ka = -s, kb = 1, kc = -o0;
            } else if (t > cy) {
                ka = s, kb = -1, kc = o0;
            } else {
                continue;
            }
        }
        // An outline with infinite or undefined points: no box can be trusted.
        if (!std::isfinite(ka) || !std::isfinite(kc)) return whole;
        count = clipcorners(a, count, ka, kb, kc, margin * (std::fabs(ka) + std::fabs(kb)), c);
        std::copy(c, c + count, a);
    }
    if (count == 0) return {1, 1, 0, 0, true};  // empty: no point of the area is inside
    double minx = a[0].x, maxx = a[0].x, miny = a[0].y, maxy = a[0].y;
    for (int i = 1; i < count; ++i) {
        minx = std::min(minx, a[i].x);
        maxx = std::max(maxx, a[i].x);
        miny = std::min(miny, a[i].y);
        maxy = std::max(maxy, a[i].y);
    }
    return {static_cast<float>(minx - margin), static_cast<float>(miny - margin),
            static_cast<float>(maxx + margin), static_cast<float>(maxy + margin), true};
}
