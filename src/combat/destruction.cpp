// How things blow up and how the ship comes back: the ship's explosion into
// blue wedges, the shattering of a flickering rock into red wedges, the
// self-destruct blast, the protection blink and the return after a loss.
#include <algorithm>
#include <cmath>

#include "core/game.h"
#include "core/media.h"

namespace {
constexpr int selfdestructbullets = 250;
using colours::blue;
using colours::red;
using colours::white;

// A wedge: the centre and the two ends of the edge from vertex i to the next
// one of the source outline (wrapping to vertex 1 after the last).
void wedge(Body& w, const Body& source, int i) {
    int j = i < source.vertexcount ? i + 1 : 1;
    w = Body{};
    w.vertexcount = 3;
    w.x = source.x;
    w.y = source.y;
    w.radius[2] = source.radius[i];
    w.angle[2] = source.angle[i];
    w.radius[3] = source.radius[j];
    w.angle[3] = source.angle[j];
}

void setspin(Body& w, double spin) {
    for (int j = 1; j <= w.vertexcount; ++j) w.spin[j] = static_cast<float>(spin);
}

// Flame particles thrown out of an explosion at (x, y), drifting with the
// exploding thing's own velocity; they live 1 to 76 frames.
void flameburst(Game& g, float x, float y, float vx, float vy) {
    for (int n = 1; n <= 25; ++n) {
        int16_t k = g.particles.add();
        if (k == 0) return;
        Shot& p = g.particles[k];
        p = Shot{};
        p.type = ParticleType::flame;
        p.x = x;
        p.y = y;
        p.vx = static_cast<float>(g.rnd() * 4 - 2 + vx);
        p.vy = static_cast<float>(g.rnd() * 4 - 2 + vy);
        p.life = cint16(g.rnd() * 75 + 1);
        p.life0 = p.life;
    }
}
}  // namespace

void Game::explodeship(float spread) {
    Body& ship = bodies[0];
    sound("crash");
    erasebody(ship);
    const int n = ship.vertexcount;
    for (int i = 1; i <= n; ++i) {
        int16_t k = bodies.add();
        if (k == 0) break;
        Body& w = bodies[k];
        wedge(w, ship, i);
        w.state = -1;  // dying from the start: it flickers and darkens away
        w.fillcolour = blue;
        w.linecolour = blue;
        w.fillstyle = ship.fillstyle;
        w.type = BodyType::plain;
        // The wedges scatter on their own; the ship's velocity is not added.
        w.vx = static_cast<float>(rnd() * spread - spread / 2.0);
        w.vy = static_cast<float>(rnd() * spread - spread / 2.0);
        setspin(w, rnd() * pi / 12 - pi / 24);
        centerbody(w);
    }
    flameburst(*this, ship.x, ship.y, ship.vx, ship.vy);
    ship.x = parkedship;
    ship.y = parkedship;
    ship.vx = 0;
    ship.vy = 0;
    respawntimer = respawndelay;
}

void Game::shatterrock(int k) {
    Body& rock = bodies[k];
    // A big rock breaks into slow, slowly turning wedges; a small one flies apart.
    const bool big = rock.radius[1] > 200;
    const double m = big ? pi / 80 : pi / 12;
    const double push = big ? 0.8 : 4;
    erasebody(rock);
    const int n = rock.vertexcount;
    for (int e = 1; e <= n; ++e) {
        int16_t i = bodies.add();
        if (i == 0) break;
        Body& w = bodies[i];
        wedge(w, rock, e);
        w.state = 10;  // protected for 10 frames, flashing
        w.fillcolour = red;
        w.basecolour = red;
        w.linecolour = red;
        w.fillstyle = rock.fillstyle;
        w.type = rock.type;
        setspin(w, rnd() * m - m / 2);
        centerbody(w);
        double dx = static_cast<double>(w.x) - rock.x;
        double dy = static_cast<double>(w.y) - rock.y;
        double d = std::sqrt(dx * dx + dy * dy);
        double r1 = rnd();
        double r2 = rnd();
        // A wedge whose centre fell on the rock's (a degenerate edge) has no
        // direction to fly off in; it just drifts with the rock.
        double ux = d > 0 ? dx / d : 0, uy = d > 0 ? dy / d : 0;
        w.vx = static_cast<float>(push * r1 * ux + rock.vx);
        w.vy = static_cast<float>(push * r2 * uy + rock.vy);
    }
    flameburst(*this, rock.x, rock.y, rock.vx, rock.vy);
    // What is left of the rock is its first edge: a segment that fades and scores.
    rock.vertexcount = 2;
}

void Game::selfdestruct() {
    Body& ship = bodies[0];
    // A shower of bullets that breaks every rock close around the ship.
    for (int n = 1; n <= selfdestructbullets; ++n) {
        int16_t k = shots.add();
        if (k == 0) break;
        Shot& s = shots[k];
        s = Shot{};
        double speed = rnd() * 10;
        double a = rnd() * fullturn;
        s.vx = static_cast<float>(std::cos(a) * speed);
        s.vy = static_cast<float>(std::sin(a) * speed);
        s.x = ship.x + s.vx;
        s.y = ship.y + s.vy;
        s.colour = white;
        s.life = cint16(rnd() * 35 + 1);
        s.life0 = s.life;
    }
    // A ring of sparks running outward at 5 units per frame.
    for (int n = 1; n <= 50; ++n) {
        int16_t k = particles.add();
        if (k == 0) break;
        Shot& p = particles[k];
        p = Shot{};
        double a = fullturn / 50 * n;
        p.type = ParticleType::spark;
        p.vx = static_cast<float>(std::cos(a) * 5);
        p.vy = static_cast<float>(std::sin(a) * 5);
        p.x = ship.x;
        p.y = ship.y;
        p.colour = white;
        p.life = 35;
        p.life0 = 35;
    }
    explodeship(5.0f);
    sound(loosesound::explosion);
}

void Game::protectionblink() {
    Body& ship = bodies[0];
    int k = ship.state;
    // The fill brightens towards grey and sinks back every 35 frames.
    int32_t v = cint((k % 35) / 35.0 * 255);
    ship.fillcolour =
        rgb(std::max(redof(ship.basecolour), v), std::max(greenof(ship.basecolour), v),
            std::max(blueof(ship.basecolour), v));
    ship.state = static_cast<int16_t>(k - 1);
}

bool Game::respawnstep() {
    if (respawntimer != 1) return true;
    if (lives < 1) return false;
    Body& ship = bodies[0];
    --lives;
    // Back at the centre with the heading it had and the zero velocity it was parked with.
    ship.x = static_cast<float>(playfieldwidth() / 2);
    ship.y = static_cast<float>(playfieldheight() / 2);
    ship.state = spawnprotection;
    sound("spawn");
    firestate = 0;
    spawnsparks();
    return true;
}

void Game::spawnsparks() {
    // A ring of white sparks flying out from the ship at 5 units per frame.
    const Body& ship = bodies[0];
    for (int n = 1; n <= 25; ++n) {
        int16_t k = particles.add();
        if (k == 0) break;
        Shot& p = particles[k];
        p = Shot{};
        double a = rnd() * fullturn;
        p.type = ParticleType::spark;
        p.vx = static_cast<float>(std::cos(a) * 5);
        p.vy = static_cast<float>(std::sin(a) * 5);
        p.x = ship.x;
        p.y = ship.y;
        p.colour = white;
        p.life = cint16(rnd() * 15 + 10);
        p.life0 = p.life;
    }
}
