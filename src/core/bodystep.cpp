// One body's step in the rock pass: type effects, hit flash, the state word,
// segment fading, edge bounce, motion and turning, contacts, drawing.
#include "core/game.h"

void Game::bodystep(int k) {
    Body& b = bodies[k];
    bodycolours(b);
    if (b.type != BodyType::hunting) hitflash(b);
    bodystate(b);
    if (b.vertexcount <= 2) segmentfade(b);
    if (b.type != BodyType::hunting) {
        // Only the centre bounces, so an outline may cross the edge by its radius.
        float w = static_cast<float>(playfieldwidth()), h = static_cast<float>(playfieldheight());
        if (b.x > w) {
            b.x = w;
            b.vx = -b.vx;
        }
        if (b.x < 0) {
            b.x = 0;
            b.vx = -b.vx;
        }
        if (b.y > h) {
            b.y = h;
            b.vy = -b.vy;
        }
        if (b.y < 0) {
            b.y = 0;
            b.vy = -b.vy;
        }
    }
    b.x += b.vx;
    b.y += b.vy;
    for (int j = 1; j <= b.vertexcount; ++j) b.angle[j] += b.spin[j];
    shipcontact(k);
    shotcontact(k);
    // A split leaves its last piece in this element; that piece is drawn now.
    drawbody(bodies[k]);
}

void Game::hitflash(Body& b) {
    int32_t k = b.state;
    if (k <= 0) return;
    double r = redof(b.basecolour), g = greenof(b.basecolour), bl = blueof(b.basecolour);
    b.linecolour =
        rgb(k / 10.0 * (255 - r) + r, k / 10.0 * (255 - g) + g, k / 10.0 * (255 - bl) + bl);
    if (k == 1) b.linecolour = b.basecolour;
}

void Game::bodystate(Body& b) {
    if (b.state > 0) {
        --b.state;
    } else if (b.state < 0) {
        // A dying fragment: a random red-and-green mix that darkens to nothing at -150.
        if (b.state > -32768) --b.state;
        int32_t fill = cint(rnd() * (150.0 + b.state) / 150.0 * 65535.0);
        if (fill < 25) fill = 0;
        b.fillcolour = fill;
        b.linecolour = fill;
    }
}

void Game::segmentfade(Body& b) {
    // The colour shrinks as one integer, so its channels run into each other.
    b.fillcolour = cint(b.fillcolour * 0.9);
    b.linecolour = b.fillcolour;
    if (b.fillcolour < 33023) {
        b.radius[1] *= 0.8f;
        b.radius[2] *= 0.8f;
    }
    if (b.fillcolour < 6400) {
        b.fillcolour = 0;
        b.linecolour = 0;
    }
}
