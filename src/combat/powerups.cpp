// Power-ups: the pick-ups a faded rock segment may leave behind. What a drop
// turns out to be, how it drifts and slows, what picking it up gives, and how
// it is drawn (a turning triangle for points, a letter for the rest) and erased.
#include <cmath>
#include <string>

#include "core/game.h"

namespace {
// Stock of a weapon taken from power-ups never rises above this.
constexpr int16_t stockcap = 72;

int16_t addstock(int16_t stock, int16_t amount) {
    return cint16(double(stock) + amount);
}
}  // namespace

void Game::droppowerup(float x, float y, float vx, float vy) {
    int16_t k = powerups.add();
    if (k == 0) return;
    Powerup& p = powerups[k];
    p = Powerup{};
    p.x = x;
    p.y = y;
    p.vx = vx;
    p.vy = vy;
    int32_t n = cint(rnd() * 10 + 1);
    if (n <= 9) {
        p.kind = PowerupKind::points;
    } else if (n == 10) {
        p.kind = static_cast<PowerupKind>(
            cint16(rnd() * 2 + 1));  // the missiles come twice as often as the others
    } else {
        p.kind = PowerupKind::spareship;  // the rare top roll gives a spare ship
    }
    switch (p.kind) {
        case PowerupKind::points: {
            // Bigger prizes on later levels: up to 3000, 4000 at levels 6 and 7, then 5000.
            int m = level < 6 ? 3 : (level < 8 ? 4 : 5);
            p.life = 500;
            p.amount = static_cast<int16_t>(std::floor(rnd() * m + 1) * 1000);
            break;
        }
        case PowerupKind::laser:
            p.life = 700;
            p.amount = 45;
            break;
        case PowerupKind::missiles:
            p.life = 700;
            p.amount = 30;
            break;
        default:  // an A-bomb or a spare ship: one of them
            p.life = 700;
            p.amount = 1;
            break;
    }
}

void Game::poweruppass() {
    const float w = static_cast<float>(playfieldwidth()), h = static_cast<float>(playfieldheight());
    const Body& ship = bodies[0];
    const int n = powerups.count;
    for (int i = 1; i <= n; ++i) {
        Powerup& p = powerups[i];
        if (p.life > 0) --p.life;
        // Drag grows with speed up to 5 units per frame: about 15 % a frame when
        // fast, under 1 % when slow.
        double q = static_cast<double>(p.vx) * p.vx + static_cast<double>(p.vy) * p.vy;
        if (q > 19) q = 19;
        double factor = 1 - q / 25 * 0.2;
        p.vx = static_cast<float>(p.vx * factor);
        p.vy = static_cast<float>(p.vy * factor);
        if (p.x > w) {
            p.x = w - p.vx;
            p.vx = -p.vx;
        }
        if (p.x < 0) {
            p.x = -p.vx;
            p.vx = -p.vx;
        }
        if (p.y > h) {
            p.y = h - p.vy;
            p.vy = -p.vy;
        }
        if (p.y < 0) {
            p.y = -p.vy;
            p.vy = -p.vy;
        }
        p.x += p.vx;
        p.y += p.vy;
        if (ship.x - 15 < p.x && p.x < ship.x + 15 && ship.y - 15 < p.y && p.y < ship.y + 15) {
            pickup(p);
            p.life = 0;
        }
        drawpowerup(i);
    }
    for (;;) {
        int found = 0;
        for (int i = 1; i <= powerups.count; ++i) {
            if (powerups[i].life < 1) {
                found = i;
                break;
            }
        }
        if (found == 0) break;
        erasepowerup(found);
        powerups.remove(found);
    }
}

void Game::pickup(Powerup& p) {
    switch (p.kind) {
        case PowerupKind::points:
            addscore(p.amount);
            sound("get" + std::to_string(p.amount / 1000));
            break;
        case PowerupKind::laser:
            lasercharge.tag = 280;  // the gauge's full value
            weapon = Weapon::laser;
            stock(Weapon::laser) = addstock(stock(Weapon::laser), p.amount);
            if (stock(Weapon::laser) > stockcap) stock(Weapon::laser) = stockcap;
            sound("getweapon");
            break;
        case PowerupKind::missiles:
            stock(Weapon::missile) = addstock(stock(Weapon::missile), p.amount);
            weapon = Weapon::missile;
            if (stock(Weapon::missile) > stockcap) stock(Weapon::missile) = stockcap;
            sound("getweapon");
            break;
        case PowerupKind::abomb:
            // A-bombs pile up without a cap and never take over the current weapon.
            stock(Weapon::abomb) = addstock(stock(Weapon::abomb), p.amount);
            sound("getweapon");
            break;
        case PowerupKind::spareship:
            lives = addstock(lives, p.amount);
            break;
        default:
            break;
    }
}

void Game::drawpowerup(int index) {
    const Powerup& p = powerups[index];
    // Full brightness down to life 500, then darkening to black.
    const double v = p.life / 500.0 * 255;
    window.setposition(p.x, p.y);
    window.setfontsize(std::floor(pixelscale * 9));
    switch (p.kind) {
        case PowerupKind::points: {
            double a = cint(rnd() * (v + 75));
            double top = cint(v + 75);
            int32_t colour = 0;
            switch (p.amount) {
                case 1000:
                    colour = rgb(a, cint(a * 0.25), 0);
                    break;
                case 2000:
                    colour = rgb(a, a, a);
                    break;
                case 3000:
                    colour = rgb(a, a, 0);
                    break;
                case 4000: {
                    double w = cint((p.life % 25) / 25.0 * top);
                    colour = rgb(w, cint(a * 0.25), w);
                    break;
                }
                case 5000:
                    colour = rgb(0, cint((p.life % 10) / 10.0 * top), top);
                    break;
                default:
                    colour = window.fillcolour();
                    break;
            }
            window.setlinecolour(colour);
            window.setfillcolour(colour);
            // A turning triangle: small prizes spread their corners 1 to 3 pixels
            // out, the big ones turn slower with all corners 2 pixels out.
            const bool big = p.amount == 4000 || p.amount == 5000;
            const double phase = big ? (p.life % 75) * pi / 25 : (p.life % 50) * pi / 25;
            const double px = p.x * pixelscale, py = p.y * pixelscale;
            PixelPoint corners[3];
            for (int i = 1; i <= 3; ++i) {
                double angle = i * 2 * pi / 3 + phase;
                double distance = (big ? 2 : i) * pixelscale;
                corners[i - 1].x = cint(px + std::cos(angle) * distance);
                corners[i - 1].y = cint(py + std::sin(angle) * distance);
            }
            window.setfillstyle(wireframe != 0 ? 1 : 0);
            window.polygon(corners, 3);
            break;
        }
        case PowerupKind::laser:
            window.setlinecolour(rgb(v, 0, 0));
            window.print("L");
            break;
        case PowerupKind::missiles:
            window.setlinecolour(rgb(v, v, 0));
            window.print("M");
            break;
        case PowerupKind::abomb:
            window.setlinecolour(rgb(v, v * rnd(), 0));
            window.print("A");
            break;
        case PowerupKind::spareship:
            window.setlinecolour(rgb(v, v, v));
            window.print("@");
            break;
        default:
            break;
    }
}

void Game::erasepowerup(int index) {
    const Powerup& p = powerups[index];
    // The squares cover the triangle, or a letter printed from its top left corner.
    if (p.kind == PowerupKind::points) {
        int side = cint(8 * pixelscale);
        window.blacken(cint((p.x - 3) * pixelscale), cint((p.y - 3) * pixelscale), side, side);
    } else if (p.kind >= PowerupKind::spareship && p.kind <= PowerupKind::abomb) {
        int side = cint(30 * pixelscale);
        window.blacken(cint((p.x - 2) * pixelscale), cint((p.y - 2) * pixelscale), side, side);
    }
}
