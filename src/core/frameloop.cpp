// The program flow (menu, game, game over, for ever) and the fixed-rate frame
// loop of a game in play, in the order its steps must run: events, pause, HUD,
// erase, shots, particles, ship, power-ups, hunter, rocks, removal, ship
// drawing, wait, level end.
#include "core/game.h"

void Game::programflow() {
    for (;;) {
        setscore("0");
        loadhighscores();
        gamestate = GameState::mainmenu;
        cursor = 0;
        gamemenu();
        newgame();
        frameloop();
        gameover();
    }
}

void Game::newgame() {
    gamestate = GameState::play;
    startgamesounds();
    initializeship();
    weapon = Weapon::laser;
    lives = 3;
    stock(Weapon::gun) = 1;
    stock(Weapon::laser) = 0;
    stock(Weapon::missile) = 0;
    stock(Weapon::abomb) = 3;
    nextlife = 50000;
    wireframe = 0;
    levelmode = 1;
    level = 1;
    nextlevel();
    paused = 0;
}

bool Game::frameloop() {
    for (;;) {
        int64_t framestart = platform.counter();
        platform.doevents();
        if (paused != 0) {
            pausemessage();
            continue;
        }
        if (!playframe()) return false;
        waitframe(framestart, gamerate);
        if (levelended()) {
            ++level;
            nextlevel();
        }
    }
}

// The work of one frame of play between the events and the wait; false when
// the game has ended in it.
bool Game::playframe() {
    extraship();
    scoreflash();
    drawhud();
    if (respawntimer == 1 && lives == 0) return false;
    erasepass();
    shotpass();
    particlepass();
    if (bodies[0].state > 0) protectionblink();
    if (!shipstep()) return false;
    poweruppass();
    huntertimerstep();
    // The count is read again before every body, so pieces split off during
    // the pass are moved, tested and drawn in this same frame.
    sortshots();
    for (int k = 1; k <= bodies.count; ++k) bodystep(k);
    shotcells.ready = false;
    removalpass();
    flamestep();
    drawbody(bodies[0]);
    laserbeamstep();
    return true;
}

void Game::erasepass() {
    if (laserbeam.fillcolour >= 0) erasebody(laserbeam);
    erasebody(flame);
    erasebody(bodies[0]);
    int n = bodies.count;
    for (int k = 1; k <= n; ++k) erasebody(bodies[k]);
    n = shots.count;
    for (int k = 1; k <= n; ++k) erasemissile(shots[k]);
    n = powerups.count;
    for (int k = 1; k <= n; ++k) erasepowerup(k);
    n = particles.count;
    for (int k = 1; k <= n; ++k) erasemissile(particles[k]);
}

bool Game::shipstep() {
    if (!respawnstep()) return false;
    if (respawntimer > 0) {
        --respawntimer;
        if (respawntimer > 1) {
            bodies[0].x = parkedship;
            bodies[0].y = parkedship;
        }
    } else {
        shipupdate();
    }
    return true;
}

bool Game::levelended() const {
    if (bodies.count != 0 || powerups.count != 0) return false;
    for (int k = 1; k <= particles.count; ++k) {
        if (particles[k].type == ParticleType::missile) return false;
    }
    return true;
}

void Game::waitframe(int64_t framestart, int rate) {
    int64_t period = cint(static_cast<double>(frequency) / rate);
    platform.waituntil(framestart + period);
}
