// Drawing, erasing and recentring a body. The outline becomes pixel points in
// the shared point buffer; erasing draws the same points in the background
// colour, so a moving thing never needs the window cleared.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "core/game.h"

namespace {
// Fills points 1..n of the buffer with the body's outline in pixels.
int outline(const Body& b, double s, std::array<PixelPoint, Game::capacity + 1>& points) {
    int n = b.vertexcount;
    if (n > max_vertices) n = max_vertices;
    for (int j = 1; j <= n; ++j) {
        double r = static_cast<double>(b.radius[j]) * s;
        double a = b.angle[j];
        points[j].x = cint(std::cos(a) * r + static_cast<double>(b.x) * s);
        points[j].y = cint(static_cast<double>(b.y) * s + std::sin(a) * r);
    }
    return n < 0 ? 0 : n;
}

// Whether the kept points were drawn from exactly these values.
bool samedrawing(const DrawnOutline& d, const Body& b, double s) {
    if (!d.known || d.n != b.vertexcount || d.scale != s) return false;
    if (!samebits(d.x, b.x) || !samebits(d.y, b.y)) {
        return false;
    }
    const size_t bytes = sizeof(float) * static_cast<size_t>(d.n);
    return std::memcmp(d.radius, &b.radius[1], bytes) == 0 &&
           std::memcmp(d.angle, &b.angle[1], bytes) == 0;
}
}  // namespace

// A body of the list that is erased before it moves, or drawn again unmoved,
// takes the points of its last drawing; others are worked out afresh.
int Game::bodypoints(const Body& b) {
    const std::less<const Body*> before;
    const bool listed = !before(&b, &bodies[0]) && !before(&bodies[capacity], &b);
    if (!listed || b.vertexcount < 1 || b.vertexcount > DrawnOutline::most)
        return outline(b, pixelscale, points);
    DrawnOutline& d = drawnoutlines[static_cast<size_t>(&b - &bodies[0])];
    const int n = b.vertexcount;
    if (samedrawing(d, b, pixelscale)) {
        std::copy(d.points, d.points + n, &points[1]);
        return n;
    }
    outline(b, pixelscale, points);
    d.known = true;
    d.n = b.vertexcount;
    d.x = b.x;
    d.y = b.y;
    d.scale = pixelscale;
    std::copy(&b.radius[1], &b.radius[1] + n, d.radius);
    std::copy(&b.angle[1], &b.angle[1] + n, d.angle);
    std::copy(&points[1], &points[1] + n, d.points);
    return n;
}

void Game::drawbody(Body& b) {
    int n = bodypoints(b);
    window.setlinecolour(b.linecolour);
    window.setfillcolour(b.fillcolour);
    window.setfillstyle(wireframe != 0 ? 1 : b.fillstyle);
    windowdc = 1;
    window.polygon(&points[1], n);
}

void Game::erasebody(Body& b) {
    int n = bodypoints(b);
    window.setlinecolour(window.backcolour());
    window.setfillcolour(window.backcolour());
    window.setfillstyle(wireframe != 0 ? 1 : b.fillstyle);
    windowdc = 1;
    window.polygon(&points[1], n);
}

void Game::centerbody(Body& b) {
    int n = b.vertexcount;
    if (n < 1) return;
    if (n > max_vertices) n = max_vertices;
    const float cx = b.x, cy = b.y;
    float dx[max_vertices + 1], dy[max_vertices + 1];
    double sumx = 0, sumy = 0;
    for (int j = 1; j <= n; ++j) {
        dx[j] = static_cast<float>(std::cos(static_cast<double>(b.angle[j])) * b.radius[j]);
        dy[j] = static_cast<float>(std::sin(static_cast<double>(b.angle[j])) * b.radius[j]);
        sumx += dx[j];
        sumy += dy[j];
    }
    b.x = static_cast<float>(cx + sumx / n);
    b.y = static_cast<float>(cy + sumy / n);
    for (int j = 1; j <= n; ++j) {
        float ox = static_cast<float>(static_cast<double>(cx) + dx[j] - b.x);
        float oy = static_cast<float>(static_cast<double>(cy) + dy[j] - b.y);
        if (ox != 0) {
            // Left of the new centre the angle stays within a half turn and the radius goes
            // negative.
            b.angle[j] = static_cast<float>(std::atan(static_cast<double>(oy) / ox));
            b.radius[j] = static_cast<float>(ox / std::cos(static_cast<double>(b.angle[j])));
        } else {
            b.radius[j] = std::fabs(oy);
            b.angle[j] = oy > 0 ? static_cast<float>(M_PI / 2)
                                : (oy < 0 ? static_cast<float>(-M_PI / 2) : 0.0f);
        }
    }
    // Pieces of a hunting body are shielded far longer than the 10 frames of a rock's piece.
    if (b.type == BodyType::hunting && b.state == 10) b.state = huntershield;
}
