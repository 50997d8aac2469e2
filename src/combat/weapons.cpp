// Everything the player fires and every short-lived moving point: the four
// weapons, the laser line, the shot and particle passes of each frame, the
// homing missile's steering, the A-bomb's flash, blast and hole, and the kite
// every shot and particle is drawn as.
//
// Sections: firing, laser line, shot pass, particle pass, homing missile,
// A-bomb, kite.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>

#include "core/game.h"
#include "core/media.h"

namespace {
using colours::white;

// One of four gun aliases, so that up to four shots can sound together.
const std::array<std::string, 4> gunsounds = {"fire1", "fire2", "fire3", "fire4"};

// A record added to a list, reset to a clean shot; null when the list is full
// and the record has to be dropped.
Shot* newrecord(Pool<Shot, Game::capacity>& list, int16_t k) {
    if (k == 0) return nullptr;
    list[k] = Shot{};
    return &list[k];
}

// An eight-sided blast shape of the given pixel radius round a pixel point.
void octagon(Game& game, double px, double py, double radius, int32_t line, int32_t fill,
             int style) {
    for (int k = 0; k < 8; ++k) {
        double a = k * 0.785375;  // an eighth of the game's full turn
        game.points[k + 1].x = cint(px + std::cos(a) * radius);
        game.points[k + 1].y = cint(py + std::sin(a) * radius);
    }
    game.window.setlinecolour(line);
    game.window.setfillcolour(fill);
    game.window.setfillstyle(style);
    game.windowdc = 1;
    game.window.polygon(&game.points[1], 8);
}

// The velocity's part of a kite: the direction against the motion, and the
// offsets of its four points from the shot's own pixel.
void kiteshape(const Shot& m, KiteShape& k) {
    double vx = m.vx, vy = m.vy;
    double speed = std::sqrt(vx * vx + vy * vy);
    double a;  // points against the motion
    if (vy == 0) {
        a = vx >= 0 ? pi : 0;
    } else {
        a = ArcSin(vx / speed);
        if (vy > 0) {
            a = threequarters - a;
        } else {
            a = a + quarterturn;
        }
    }
    k.tail[0] = 2 * speed * std::cos(a);
    k.tail[1] = 2 * speed * std::sin(a);
    k.side1[0] = 0.75 * std::cos(a + quarterturn);
    k.side1[1] = 0.75 * std::sin(a + quarterturn);
    k.nose[0] = 3 * std::cos(a);
    k.nose[1] = 3 * std::sin(a);
    k.side2[0] = 0.75 * std::cos(a - quarterturn);
    k.side2[1] = 0.75 * std::sin(a - quarterturn);
    k.vx = m.vx;
    k.vy = m.vy;
    k.known = true;
}

// The kept shape of a record of the shot or particle list, worked out again
// when its velocity has changed; null for a record of neither list.
KiteShape* keptshape(Game& game, const Shot& m) {
    const std::less<const Shot*> before;
    if (!before(&m, &game.shots[0]) && !before(&game.shots[Game::capacity], &m)) {
        return &game.shotkites[static_cast<size_t>(&m - &game.shots[0])];
    }
    if (!before(&m, &game.particles[0]) && !before(&game.particles[Game::capacity], &m)) {
        return &game.particlekites[static_cast<size_t>(&m - &game.particles[0])];
    }
    return nullptr;
}

// The small kite of a shot: nose ahead, tail trailing by twice the speed (pixels).
void kite(Game& game, const Shot& m, int32_t colour) {
    KiteShape local;
    KiteShape* k = keptshape(game, m);
    if (k == nullptr) k = &local;
    if (!k->known || !samebits(k->vx, m.vx) || !samebits(k->vy, m.vy)) {
        kiteshape(m, *k);
    }
    double px = m.x * game.pixelscale, py = m.y * game.pixelscale;
    auto& p = game.points;
    p[1] = {cint(px + k->tail[0]), cint(py + k->tail[1])};
    p[2] = {cint(px + k->side1[0]), cint(py + k->side1[1])};
    p[3] = {cint(px - k->nose[0]), cint(py - k->nose[1])};
    p[4] = {cint(px + k->side2[0]), cint(py + k->side2[1])};
    game.window.setlinecolour(colour);
    game.window.setfillcolour(colour);
    game.window.setfillstyle(game.wireframe != 0 ? 1 : 0);
    game.windowdc = 1;
    game.window.polygon(&p[1], 4);
}
}  // namespace

// --- firing

void Game::fireweapon() {
    const Body& ship = bodies[0];
    const double h = ship.angle[1];
    switch (weapon) {
        case Weapon::gun: {
            // The limit counts every record in flight, laser dots and shrapnel too.
            if (shots.count >= 4) return;
            sound(gunsounds[shots.count % 4]);
            Shot* s = newrecord(shots, shots.add());
            if (s == nullptr) return;
            s->vx = static_cast<float>(std::cos(h) * 8 + ship.vx);
            s->vy = static_cast<float>(std::sin(h) * 8 + ship.vy);
            s->x = ship.x + s->vx;
            s->y = ship.y + s->vy;
            s->colour = white;
            s->life = 45;
            break;
        }
        case Weapon::laser:
            if (stock(Weapon::laser) < 1) return;
            sound("laser");
            firelaser();
            stock(Weapon::laser) -= 1;
            lasercharge.tag -= 45;
            break;
        case Weapon::missile: {
            // With no rock to chase the missile stays in stock; with the list
            // full it is not launched either.
            if (bodies.count < 1 || stock(Weapon::missile) < 1 || particles.count >= capacity)
                return;
            sound(loosesound::missilefire);
            sound("missile");
            stock(Weapon::missile) -= 1;
            Shot* m = newrecord(particles, particles.add());
            if (m == nullptr) return;
            m->type = ParticleType::missile;
            m->vx = static_cast<float>(std::cos(h) * 5 + ship.vx);
            m->vy = static_cast<float>(std::sin(h) * 5 + ship.vy);
            m->x = ship.x + m->vx;
            m->y = ship.y + m->vy;
            m->colour = white;
            m->life = 1150;
            m->life0 = 1150;
            m->heading = h;
            m->turn = 0;
            m->target = cint16(rnd() * bodies.count + 1);
            break;
        }
        case Weapon::abomb:
            if (stock(Weapon::abomb) < 1 || particles.count >= capacity) return;
            sound("abomblaunch");
            stock(Weapon::abomb) -= 1;
            launchabomb();
            break;
    }
}

void Game::launchabomb() {
    const Body& ship = bodies[0];
    const double h = ship.angle[1];
    Shot* b = newrecord(particles, particles.add());
    if (b == nullptr) return;
    // Thrown backwards, away from the ship's heading.
    b->type = ParticleType::abomb;
    b->vx = static_cast<float>(std::cos(h) * -5 + ship.vx);
    b->vy = static_cast<float>(std::sin(h) * -5 + ship.vy);
    b->x = ship.x + b->vx;
    b->y = ship.y + b->vy;
    b->colour = white;
    b->life = 125;
    b->life0 = 125;
}

// --- laser line

void Game::firelaser() {
    const Body& ship = bodies[0];
    const double h = ship.angle[1];
    laserbeam.fillcolour = rgb(255, 0, 0);
    laserbeam.linecolour = laserbeam.fillcolour;
    laserbeam.x = ship.x;
    laserbeam.y = ship.y;
    laserbeam.angle[1] = ship.angle[1];
    laserbeam.angle[2] = ship.angle[1];
    laserbeam.radius[2] = ship.radius[1];  // the line starts at the nose
    laserbeam.radius[3] = ship.radius[1];
    laserbeam.radius[1] = 0;
    // 120 dots ten units apart: the beam reaches 1200 units ahead.
    for (int k = 1; k <= 120; ++k) {
        laserbeam.radius[1] += 10;
        Shot* s = newrecord(shots, shots.add());
        if (s == nullptr) continue;
        s->x = static_cast<float>(ship.x + std::cos(h) * 10 * k);
        s->y = static_cast<float>(ship.y + std::sin(h) * 10 * k);
        s->vx = static_cast<float>(std::cos(h) * ship.radius[1]);
        s->vy = static_cast<float>(std::sin(h) * ship.radius[1]);
        s->colour = white;
        s->life = 2;
    }
}

void Game::laserbeamstep() {
    // Below 0 the line is off: neither drawn nor erased.
    if (laserbeam.fillcolour < 0) return;
    const Body& ship = bodies[0];
    laserbeam.x = ship.x;
    laserbeam.y = ship.y;
    laserbeam.angle[1] = ship.angle[1];
    laserbeam.angle[2] = ship.angle[1];
    drawbody(laserbeam);
    // The red fades by 0.7 a frame: 255, 178, 125, ... 10, then one last
    // draw in black (0) before the line goes off.
    int32_t c = laserbeam.fillcolour;
    if (c > 0) c = cint(c * 0.7);
    if (c <= 1) {
        c = -1;
    } else if (c < 10) {
        c = 0;
    }
    laserbeam.fillcolour = c;
    laserbeam.linecolour = c;
}

// --- shot pass

void Game::shotpass() {
    // A spent shot takes the last one's place and the scan moves on, so the
    // moved shot is only looked at on the next frame (it stays at life 0,
    // drawn black and never hits anything).
    for (int i = 1; i <= shots.count; ++i) {
        if (shots[i].life < 1) shots.remove(i);
    }
    const int n = shots.count;
    for (int i = 1; i <= n; ++i) {
        Shot& s = shots[i];
        if (s.life > 0) s.life -= 1;
        // Greys out over its last 10 frames.
        if (s.life < 10) {
            double v = s.life / 10.0 * 255;
            s.colour = rgb(v, v, v);
        }
        s.x += s.vx;
        s.y += s.vy;
        drawmissile(s);
    }
}

// --- particle pass

void Game::particlepass() {
    // Records added during the pass wait for the next frame.
    const int n = particles.count;
    for (int i = 1; i <= n; ++i) {
        Shot& p = particles[i];
        p.life -= 1;
        switch (p.type) {
            case ParticleType::flame: {  // red to yellow, darkening
                p.x += p.vx;
                p.y += p.vy;
                double f = static_cast<double>(p.life) / p.life0;
                p.colour = rgb(f * 355, f * rnd() * 355, 0);
                break;
            }
            case ParticleType::spark: {  // cyan, darkening
                p.x += p.vx;
                p.y += p.vy;
                int32_t g = cint(static_cast<double>(p.life) / p.life0 * 255 + 50);
                p.colour = rgb(0, g, g);
                break;
            }
            case ParticleType::missile:
                homingmissile(p);
                break;
            case ParticleType::abomb:
                abomb(p);
                break;
            default:
                break;
        }
        if (p.colour > 0) drawmissile(p);
    }
    // Spent particles go; the one moved into the gap is looked at again at
    // once, as a fresh search from the start would find it next.
    for (int i = 1; i <= particles.count;) {
        if (particles[i].life < 1) {
            erasemissile(particles[i]);
            particles.remove(i);
        } else {
            ++i;
        }
    }
}

// --- homing missile

void Game::homingmissile(Shot& m) {
    if (m.target > bodies.count) m.target = cint16(rnd() * bodies.count + 1);
    if (bodies.count == 0) {
        // Nothing left to chase: fly home and go back into stock when caught.
        m.target = 0;
        const Body& ship = bodies[0];
        if (ship.x - 10 < m.x && m.x < ship.x + 10 && ship.y - 10 < m.y && m.y < ship.y + 10) {
            stock(Weapon::missile) += 1;
            m.life = -1;
        }
    }
    m.x += m.vx;
    m.y += m.vy;
    m.heading += m.turn;

    // A target one past the list is a stale record; never read past the array.
    const Body& t = bodies[std::min<int>(m.target, capacity)];
    float dx = t.x - m.x, dy = t.y - m.y;
    double aim;
    if (dx != 0) {
        aim = std::atan(static_cast<double>(dy) / dx);
        if (dx < 0) aim += pi;
    } else {
        aim = dy > 0 ? quarterturn : threequarters;
    }
    if (m.heading > fullturn) m.heading -= fullturn;
    if (m.heading < 0) m.heading += fullturn;
    if (aim > fullturn) aim -= fullturn;
    if (aim < 0) aim += fullturn;

    // Turn the shorter way round towards the aim, damped.
    if (m.heading < aim) {
        m.turn += (aim - m.heading <= pi) ? 0.05 : -0.05;
    } else {
        m.turn += (m.heading - aim <= pi) ? -0.05 : 0.05;
    }
    m.turn *= 0.8;
    // Thrust with drag: top speed 4.75 units per frame.
    m.vx = static_cast<float>((m.vx + std::cos(m.heading) * 0.25) * 0.95);
    m.vy = static_cast<float>((m.vy + std::sin(m.heading) * 0.25) * 0.95);
    m.colour = rgb(255, rnd() * 55 + 200, 0);

    for (int k = 1; k <= bodies.count; ++k) {
        if (bodies[k].vertexcount > 2 && pointinbody(bodies[k], m.x, m.y) && m.life < m.life0) {
            m.life = 0;
            break;
        }
    }
    // A spent missile bursts into shrapnel; the shrapnel breaks the rock next frame.
    if (m.life == 0) {
        for (int n = 0; n < 5; ++n) {
            Shot* s = newrecord(shots, shots.add());
            if (s == nullptr) break;
            double speed = rnd() * 5;
            double a = rnd() * fullturn;
            s->vx = static_cast<float>(std::cos(a) * speed);
            s->vy = static_cast<float>(std::sin(a) * speed);
            s->x = m.x;
            s->y = m.y;
            s->colour = white;
            s->life = cint16(rnd() * 45 + 1);
        }
    }
}

// --- A-bomb

void Game::abomb(Shot& m) {
    // 125 frames: drift to 45, flash to 35, blast from 30, hole from 20.
    if (m.life == 45) {
        m.vx = 0;
        m.vy = 0;
    }
    m.x += m.vx;
    m.y += m.vy;
    m.vx = static_cast<float>(m.vx * 0.99);
    m.vy = static_cast<float>(m.vy * 0.99);
    if (m.life >= 31) {
        double f = static_cast<double>(m.life) / m.life0;  // white fading to blue
        m.colour = rgb(255 - 255 * f, 255 - 255 * f, 255 * f);
    } else {
        m.colour = 0;
    }
    // The walls turn it back without putting it back inside.
    if (m.x < 0 || m.x > playfieldwidth()) m.vx = -m.vx;
    if (m.y < 0 || m.y > playfieldheight()) m.vy = -m.vy;

    const int style = wireframe != 0 ? 1 : 0;
    const double px = m.x * pixelscale, py = m.y * pixelscale;
    const int life = m.life;
    if (life > 34 && life <= 45) {
        double g = (45 - life) / 10.0;
        int32_t c = rgb(128 - 128 * g, 128 - 127 * g, 128 - 127 * g);
        // The last flash is solid and nearly black: it wipes the flash away.
        octagon(*this, px, py, g * 400 * pixelscale, c, c, life == 35 ? 0 : style);
    }
    if (life <= 30) {
        double g = (900.0 - life * life) / 900;
        int32_t line = rgb(255, rnd() * 255, 0);
        int32_t fill = rgb(255, rnd() * 255, 0);
        octagon(*this, px, py, g * 200 * pixelscale, line, fill, style);
        // Every body the grid reaches splits, shielded or not, whatever its type.
        blastgrid(m.x, m.y, cint(g * 200));
    }
    if (life <= 20) {
        double g = (400.0 - life * life) / 400;
        octagon(*this, px, py, g * 200 * pixelscale, 0, 0, 0);
    }
    if (life == 30) sound("abomb");
}

// The grid of the blast: points 25 units apart out to `reach` round the bomb,
// column by column; at each point every body (the count read afresh) whose
// outline holds it splits. Each body's outline is worked out once, with the
// box outside which no point can be inside it, and again only when a split
// changes the body; so a point is tested only against the bodies near it, and
// every answer is the one the shape test gives.
void Game::blastgrid(float x, float y, int reach) {
    const double x0 = static_cast<double>(x) - reach - 1, x1 = static_cast<double>(x) + reach + 1;
    const double y0 = static_cast<double>(y) - reach - 1, y1 = static_cast<double>(y) + reach + 1;
    auto know = [&](int k) {
        const Body& b = bodies[k];
        if (b.vertexcount <= 2) {
            reaches[k] = OutlineReach{};  // segments are never split by the blast
            return;
        }
        outlineof(b, outlines[k]);
        reaches[k] = outlinereach(b, outlines[k], x0, y0, x1, y1);
    };
    for (int k = 1; k <= bodies.count; ++k) know(k);
    // The bodies whose box spans a column, in list order; a body split in the
    // column stays in it, and new pieces join at the end as they come.
    std::array<int16_t, capacity> column;
    for (int u = -reach; u <= reach; u += 25) {
        const float px = x + u;
        auto spans = [&](int k) { return !(px < reaches[k].minx || px > reaches[k].maxx); };
        int count = 0;
        for (int k = 1; k <= bodies.count; ++k) {
            if (spans(k)) column[count++] = static_cast<int16_t>(k);
        }
        for (int v = -reach; v <= reach; v += 25) {
            const float py = y + v;
            const int n = bodies.count;
            for (int e = 0; e < count; ++e) {
                const int k = column[e];
                if (k > n) break;
                if (!reaches[k].holds(px, py)) continue;
                if (insideoutline(bodies[k], outlines[k], px, py)) {
                    // The split rewrites this element and adds pieces past the old count.
                    const int before = bodies.count;
                    splitrock(k);
                    know(k);
                    for (int i = before + 1; i <= bodies.count; ++i) {
                        know(i);
                        if (spans(i) && count < capacity) column[count++] = static_cast<int16_t>(i);
                    }
                }
            }
        }
    }
}

// --- kite

void Game::drawmissile(const Shot& m) {
    kite(*this, m, m.colour);
}

void Game::erasemissile(const Shot& m) {
    kite(*this, m, 0);
}

double ArcSin(double x) {
    if (x == 1) return quarterturn;
    return std::atan(x / std::sqrt(1 - x * x));
}
