// Splitting a hit rock: two pieces cut along the chord from vertex 1 to a
// vertex about half-way round, or a triangle's three edges. Pieces keep the
// rock's colours and type, turn in opposite directions and fly apart.
#include <cmath>

#include "core/game.h"

namespace {
// A new piece starts where the rock was, flashing and shielded for 10 frames.
void startpiece(Body& q, const Body& p) {
    q.state = 10;
    q.x = p.x;
    q.y = p.y;
    q.fillcolour = p.fillcolour;
    q.basecolour = p.basecolour;
    q.linecolour = p.linecolour;
    q.fillstyle = p.fillstyle;
}

// Appends the rock's vertex j to the piece, turning at the given rate.
void takevertex(Body& q, const Body& p, int j, float spin) {
    const int v = ++q.vertexcount;
    q.radius[v] = p.radius[j];
    q.angle[v] = p.angle[j];
    q.spin[v] = spin;
}

// Sends a recentred piece away from the rock's centre, at up to 2 units per
// frame on each axis on top of the rock's own velocity.
void pushpiece(Game& game, Body& q, const Body& p) {
    const float dx = q.x - p.x;
    const float dy = q.y - p.y;
    // A piece centred exactly where the rock was has no direction to fly in;
    // it keeps the rock's velocity.
    double kx = 0, ky = 0;
    if (dx != 0 || dy != 0) {
        const double k = 1 / std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
        kx = k * dx;
        ky = dy * k;
    }
    q.vx = static_cast<float>(game.rnd() * kx * 2 + p.vx);
    q.vy = static_cast<float>(game.rnd() * ky * 2 + p.vy);
}
}  // namespace

void Game::splitrock(int k) {
    if (k < 1 || k > bodies.count) return;
    const Body& p = bodies[k];
    const int n = p.vertexcount > max_vertices ? max_vertices : p.vertexcount;
    if (n < 3) return;
    // Two pieces, or three edges of a triangle, must all fit before the last
    // one takes the rock's place; otherwise the rock stays whole.
    const int pieces = n == 3 ? splitpieces : 2;
    if (bodies.count + pieces > capacity) return;

    const float s = static_cast<float>(rnd() * pi / 24 - pi / 48);

    // Piece A: vertex 1 to vertex m. m is n/2 + 1 rounded halves to even, so
    // 5 vertices cut 4 and 3 and 7 vertices cut 4 and 5.
    int16_t a = bodies.add();
    if (a == 0) return;
    Body& pa = bodies[a];
    startpiece(pa, p);
    const int m = cint16(n / 2.0 + 1);
    pa.vertexcount = 0;
    for (int j = 1; j <= m; ++j) takevertex(pa, p, j, s);
    pa.type = p.type;
    centerbody(pa);
    pushpiece(*this, pa, p);

    // Piece B: a triangle's second edge, or vertex m round to vertex 1, so the
    // two pieces share the cut.
    int16_t last = bodies.add();
    if (last == 0) return;
    Body& pb = bodies[last];
    startpiece(pb, p);
    pb.vertexcount = 0;
    if (n == 3) {
        takevertex(pb, p, 2, -s);
        takevertex(pb, p, 3, -s);
    } else {
        for (int j = m; j <= n; ++j) takevertex(pb, p, j, -s);
        takevertex(pb, p, 1, -s);
    }
    pb.type = p.type;
    centerbody(pb);
    pushpiece(*this, pb, p);

    if (n == 3) {
        // The triangle's closing edge, vertex 1 to vertex 3.
        last = bodies.add();
        if (last == 0) return;
        Body& pc = bodies[last];
        startpiece(pc, p);
        pc.vertexcount = 0;
        takevertex(pc, p, 1, -s);
        takevertex(pc, p, 3, -s);
        pc.type = p.type;
        centerbody(pc);
        pushpiece(*this, pc, p);
    }

    // The last piece takes over the rock's element, keeping the list packed.
    bodies.remove(k);
}
