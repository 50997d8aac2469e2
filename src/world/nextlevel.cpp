// Setting up a level: the banner, the ship back in the middle under its spawn
// shield with a burst of sparks, the level's rocks (a standard field or, now
// and then from level 3 on, one of six special layouts), rocks moved off the
// ship, the level label and the game music.
#include <cmath>
#include <string>

#include "core/game.h"

namespace {
using colours::red;
using colours::white;
constexpr int32_t yellow = 255 + 256 * 255;
constexpr int32_t darkgrey = 25 + 256 * 25 + 65536 * 25;

constexpr int keepofftries = 10000;  // far more than any real layout needs

int sign(double v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// A random centre at least 100 units left or right of the middle and at least
// 100 units above or below it; the horizontal offset is a whole number.
void place(Game& g, Body& b, double w, double h) {
    const double xspan = w / 2 - 100;
    const double yspan = h / 2 - 100;
    const int16_t xo = cint16(g.rnd() * xspan - xspan / 2);
    const float yo = static_cast<float>(g.rnd() * yspan - yspan / 2);
    b.x = static_cast<float>(100 * sign(xo) + w / 2 + xo);
    b.y = static_cast<float>(100 * sign(yo) + h / 2 + yo);
}

// Up to half the level number in units per frame on each axis, at most 2.5
// from level 7 on.
void levelspeed(Game& g, Body& b, int level) {
    if (level > 6) {
        b.vy = static_cast<float>(g.rnd() * 5 - 2.5);
        b.vx = static_cast<float>(g.rnd() * 5 - 2.5);
    } else {
        b.vy = static_cast<float>(g.rnd() * level - level / 2.0);
        b.vx = static_cast<float>(g.rnd() * level - level / 2.0);
    }
}

// Turning rate of a whole rock: up to about 0.0654 radians per frame either way.
float spinrate(Game& g) {
    return static_cast<float>(g.rnd() * pi / 24 - pi / 48);
}

// Vertices evenly round the full turn, vertex n at the full turn itself.
float vertexangle(int j, int n) {
    return static_cast<float>(fullturn / n * j);
}

void setcolours(Body& b, int32_t fill, int32_t base, int32_t line) {
    b.fillcolour = fill;
    b.basecolour = base;
    b.linecolour = line;
}

void standardrock(Game& g, Body& b, int level, bool small, double w, double h) {
    place(g, b, w, h);
    // Bluish greys: blue is the strongest channel, red the weakest.
    const int32_t blue = cint(g.rnd() * 105 + 70);
    const int32_t green = cint(g.rnd() * blue);
    const int32_t redpart = cint(g.rnd() * green);
    setcolours(b, rgb(redpart, green, blue), rgb(redpart, green, blue),
               rgb(redpart + 50, green + 50, blue));
    levelspeed(g, b, level);
    const int n = small ? 4 : 8;
    b.vertexcount = static_cast<int16_t>(n);
    const float s = spinrate(g);
    for (int j = 1; j <= n; ++j) {
        b.radius[j] = static_cast<float>(g.rnd() * 25 + 40);
        if (small) b.radius[j] = static_cast<float>(g.rnd() * 5 + 20);
        b.angle[j] = vertexangle(j, n);
        b.spin[j] = s;
    }
    b.fillstyle = 0;
    b.state = 0;
    // One rock in eight is a half-size flickering rock, or from level 7 on a
    // half-size pulsing red one.
    const double t = g.rnd();
    if (t * 8 > 1) {
        b.type = BodyType::plain;
    } else {
        for (int j = 1; j <= n; ++j) b.radius[j] /= 2;
        if (level < 7) {
            b.type = BodyType::flickering;
        } else {
            b.type = BodyType::pulsing;
            b.fillcolour = rgb(cint16(g.rnd() * 255), 0, 0);
            b.basecolour = red;
            b.linecolour = b.fillcolour;
        }
    }
    g.centerbody(b);
}

// The special rocks of kinds 0 to 3 and 5: every vertex at the same spin.
void evenrock(Body& b, int n, float s) {
    b.vertexcount = static_cast<int16_t>(n);
    for (int j = 1; j <= n; ++j) {
        b.angle[j] = vertexangle(j, n);
        b.spin[j] = s;
    }
}

// Kinds 0, 1 and 2: a field of yellow eight-sided rocks, small and
// flickering, pulsing, or hunting.
void yellowrock(Game& g, Body& b, int kind, int level, double w, double h) {
    place(g, b, w, h);
    setcolours(b, yellow, red, white);
    levelspeed(g, b, level);
    b.vertexcount = 8;
    const float s = spinrate(g);
    for (int j = 1; j <= 8; ++j) {
        double r = g.rnd() * 25 + 40;
        if (kind == 0) r *= 0.5;
        b.radius[j] = static_cast<float>(r);
    }
    evenrock(b, 8, s);
    b.fillstyle = 0;
    b.state = 0;
    b.type = kind == 0 ? BodyType::flickering : (kind == 1 ? BodyType::pulsing : BodyType::hunting);
    g.centerbody(b);
}

// Kind 3: one dark round rock of radius 150.
void bigrock(Game& g, Body& b, int level, double w, double h) {
    place(g, b, w, h);
    setcolours(b, darkgrey, red, white);
    levelspeed(g, b, level);
    const float s = spinrate(g);
    evenrock(b, 30, s);
    for (int j = 1; j <= 30; ++j) b.radius[j] = 150;
    b.fillstyle = 0;
    b.state = 0;
    b.type = BodyType::plain;
    g.centerbody(b);
}

// Kind 4: a still, hunting copy of the classic ship somewhere on the field.
void shiprock(Game& g, int i, int level, double w, double h) {
    Body& b = g.bodies[i];
    place(g, b, w, h);
    setcolours(b, yellow, red, white);
    levelspeed(g, b, level);
    b.fillstyle = 0;
    b.state = 0;
    g.initializeship(i, 0);
    b.type = BodyType::hunting;
    g.centerbody(b);
}

// Kind 5: one giant flickering rock that drifts slowly and turns a full turn
// every 1600 frames (20 seconds).
void giantrock(Game& g, Body& b, double w, double h) {
    place(g, b, w, h);
    setcolours(b, darkgrey, red, white);
    b.vy = static_cast<float>(g.rnd() - 0.5);
    b.vx = static_cast<float>(g.rnd() - 0.5);
    evenrock(b, 30, static_cast<float>(pi / 800));
    for (int j = 1; j <= 30; ++j) b.radius[j] = 250;
    b.fillstyle = 0;
    b.state = 0;
    b.type = BodyType::flickering;
    g.centerbody(b);
}

// Rocks per level: one more each level up to 7, then one more every two.
int rockcount(int level) {
    int count = level <= 7 ? level : 8 + static_cast<int>(std::floor((level - 8) / 2.0 + 0.5));
    if (count < 0) count = 0;
    return count > Game::capacity ? Game::capacity : count;
}
}  // namespace

void Game::nextlevel() {
    const double w = playfieldwidth();
    const double h = playfieldheight();
    const int L = level;

    huntertimer = 0;
    window.clear();
    particles.count = 0;
    shots.count = 0;
    respawntimer = 0;
    showlevel();

    Body& ship = bodies[0];
    ship.vx = 0;
    ship.vy = 0;
    ship.x = static_cast<float>(w / 2);
    ship.y = static_cast<float>(h / 2);
    ship.state = spawnprotection;
    sound("spawn");
    firestate = 0;

    spawnsparks();

    bodies.count = static_cast<int16_t>(rockcount(L));

    // Levels 1 and 2 are always standard; later ones are special about 27% of the time.
    double v = rnd() * 100;
    if (L <= 2) v = 100;
    if (v <= 27) {
        const int kind = static_cast<int>(std::floor(rnd() * 6));
        if (kind == 3 || kind == 5) bodies.count = 1;
        if (kind == 4) bodies.count = 12;
        for (int i = 1; i <= bodies.count; ++i) {
            // A fresh record: nothing of the last level's body carries over
            // (the ship-shaped rocks in particular start without spin).
            bodies[i] = Body{};
            switch (kind) {
                case 3:
                    bigrock(*this, bodies[i], L, w, h);
                    break;
                case 4:
                    shiprock(*this, i, L, w, h);
                    break;
                case 5:
                    giantrock(*this, bodies[i], w, h);
                    break;
                default:
                    yellowrock(*this, bodies[i], kind, L, w, h);
                    break;
            }
        }
    } else {
        // From level 9 on, odd levels end the field with one small four-sided rock.
        const bool smalllast = L > 8 && (L - 8) % 2 == 1;
        for (int i = 1; i <= bodies.count; ++i) {
            bodies[i] = Body{};
            standardrock(*this, bodies[i], L, smalllast && i == bodies.count, w, h);
        }
    }

    // No rock may start over the ship.
    for (int i = 1; i <= bodies.count; ++i) {
        for (int tries = 0; tries < keepofftries && pointinbody(bodies[i], ship.x, ship.y);
             ++tries) {
            bodies[i].x = static_cast<float>(rnd() * w);
            bodies[i].y = static_cast<float>(rnd() * h);
        }
    }

    const std::string caption = "Level " + std::to_string(L);
    setlevelcaption(caption);
    lbllevel.left = w / 2 - window.textwidth(caption) / 2;

    musiccheck();
}
