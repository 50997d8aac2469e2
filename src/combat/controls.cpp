// Ship controls: the key handlers that record held keys and one-shot requests,
// the ship's own motion (wall bounce, drift, turning, thrust), the fire cadence
// that triggers the weapons, the hyperspace jump and the engine flame.
#include <cmath>

#include "core/game.h"

namespace {
// Virtual-key codes handled on release besides the arrows and space.
constexpr int key_x = 88;
constexpr int key_r = 82;
constexpr int key_p = 80;

constexpr double turnstep = pi / 48;     // radians per frame while a turn key is held
constexpr double thrust = 15.0 / 200.0;  // units per frame per frame along the heading

// A wall takes half the speed and sends it back; only a hard knock is heard.
// The new position uses the speed from before the halving.
void bounceaxis(Game& game, float& pos, float& v, float limit) {
    if (pos > limit) {
        pos = limit - v;
        v = static_cast<float>(v * -0.5);
        if (std::fabs(v) > 0.5) game.sound("bounce");
    }
    if (pos < 0) {
        pos = -v;
        v = static_cast<float>(v * -0.5);
        if (std::fabs(v) > 0.5) game.sound("bounce");
    }
}
}  // namespace

void Game::Form_KeyDown(int keycode) {
    switch (keycode) {
        case vk::left:
            keyleft = -1;
            break;
        case vk::right:
            keyright = -1;
            break;
        case vk::up:
            keyup = -1;
            break;
        case vk::down:
            keydown = -1;
            break;
        case vk::space:
            // Key repeat while held does not restart the cadence.
            if (gamestate != GameState::nameentry && firestate <= 0) firestate = 1;
            break;
        case vk::enter:
            if (gamestate == GameState::nameentry) firestate = 0;
            break;
        default:
            break;
    }
}

void Game::Form_KeyUp(int keycode) {
    // The late self-destruct looks at the countdown as it was when the key came up;
    // the later rows see it after that row, so one release never blasts twice.
    const int32_t timeratstart = respawntimer;
    switch (keycode) {
        case vk::left:
            keyleft = 0;
            break;
        case vk::right:
            keyright = 0;
            break;
        case vk::up:
            keyup = 0;
            break;
        case vk::down:
            keydown = 0;
            break;
        default:
            break;
    }
    if (keycode == key_x && timeratstart >= 1 && timeratstart <= 124 &&
        gamestate == GameState::play && lives > 0) {
        // Spend a spare ship at once and blow it up mid-field.
        lives -= 1;
        bodies[0].x = 400;
        bodies[0].y = 300;
        selfdestruct();
    }
    // Kept as the game has it, though play never lowers firestate below -1.
    if (keycode == vk::space && respawntimer <= 0 && gamestate != GameState::nameentry &&
        firestate < -3) {
        firestate = -3;
    }
    if (keycode == key_x && respawntimer <= 0 && gamestate == GameState::play) selfdestruct();
    if (keycode == vk::alt && respawntimer <= 0 && gamestate == GameState::play) {
        hyperspace(bodies[0]);
        sound("hyperspace");
    }
    // An A-bomb can be thrown even while the ship is away; with the particle
    // list full the bomb stays in stock.
    if (keycode == vk::control && stock(Weapon::abomb) > 0 && particles.count < capacity) {
        stock(Weapon::abomb) -= 1;
        sound("abomblaunch");
        launchabomb();
    }
    if (keycode == key_r && gamestate == GameState::play) {
        window.clear();
        wireframe = wireframe == 0 ? 1 : 0;
    }
    if (keycode == vk::space && gamestate == GameState::play) firestate = 0;
    if (keycode == key_p) paused = static_cast<int16_t>(~paused);
}

void Game::weaponkey(int code) {
    if (code < '1' || code > '9') return;
    int choice = code - '1';
    if (ammo[choice] > 0) weapon = static_cast<Weapon>(choice);
}

void Game::shipupdate() {
    Body& ship = bodies[0];
    bounceaxis(*this, ship.x, ship.vx, static_cast<float>(playfieldwidth()));
    bounceaxis(*this, ship.y, ship.vy, static_cast<float>(playfieldheight()));
    ship.x += ship.vx;
    ship.y += ship.vy;
    const int n = ship.vertexcount;
    for (int i = 1; i <= n; ++i) ship.angle[i] += ship.spin[i];
    // Both turn keys together cancel out.
    if (keyleft == -1) {
        for (int i = 1; i <= n; ++i) ship.angle[i] = static_cast<float>(ship.angle[i] - turnstep);
    }
    if (keyright == -1) {
        for (int i = 1; i <= n; ++i) ship.angle[i] = static_cast<float>(ship.angle[i] + turnstep);
    }
    // No friction and no top speed: only the walls take speed away.
    if (keyup == -1) {
        ship.vx = static_cast<float>(ship.vx + std::cos(ship.angle[1]) * thrust);
        ship.vy = static_cast<float>(ship.vy + std::sin(ship.angle[1]) * thrust);
    }
    firecadence();
}

void Game::firecadence() {
    // A press fires at once; held, the word runs 10 down to 2 and fires again
    // on the ninth frame.
    bool fire;
    if (firestate > 1) {
        firestate -= 1;
        fire = firestate == 1;
    } else {
        fire = firestate == 1;
    }
    if (!fire) return;
    firestate = 10;
    // Firing gives up what is left of the spawn shield on the next frame.
    if (bodies[0].state > 1) bodies[0].state = 1;
    fireweapon();
}

void Game::hyperspace(Body& b) {
    erasebody(b);
    // The arrival point is not checked for rocks.
    b.x = static_cast<float>(rnd() * playfieldwidth());
    b.y = static_cast<float>(rnd() * playfieldheight());
    b.vx = 0;
    b.vy = 0;
    for (int n = 0; n < 25; ++n) {
        int16_t k = particles.add();
        if (k == 0) break;
        Shot& spark = particles[k];
        spark = Shot{};
        spark.type = ParticleType::spark;
        spark.x = b.x;
        spark.y = b.y;
        spark.vx = static_cast<float>(rnd() * 4 - 2);
        spark.vy = static_cast<float>(rnd() * 4 - 2);
        spark.life = cint16(rnd() * 15 + 15);  // 15..30 frames
        spark.life0 = spark.life;
    }
}

void Game::flamestep() {
    // A 31-frame flicker cycle counted in the flame's state word.
    if (flame.state < 1) {
        flame.state = 30;
    } else {
        flame.state -= 1;
    }
    const Body& ship = bodies[0];
    flame.x = ship.x;
    flame.y = ship.y;
    // Turn the whole flame so that its vertex 1 points straight out behind the ship.
    double d = ship.angle[1] + pi - flame.angle[1];
    for (int i = 1; i <= 3; ++i) flame.angle[i] = static_cast<float>(flame.angle[i] + d);
    int c = flame.state;
    int k = c < 15 ? c : 30 - c;  // 0..15 and back
    // radius[4] and radius[5] are not vertices: flicker amplitude and shortest length.
    flame.radius[1] = static_cast<float>(k / 15.0 * flame.radius[4] + flame.radius[5]);
    flame.fillcolour = rgb(255, k / 15.0 * 255, 0);
    flame.linecolour = rgb(255, (15 - k) / 15.0 * 255, 0);
    if (keyup == -1) drawbody(flame);
}
