// The program flow (menu, game, game over, for ever) and the fixed-rate frame
// loop of a game in play, in the order its steps must run: events, pause, HUD,
// erase, shots, particles, ship, power-ups, hunter, rocks, removal, ship
// drawing, wait, level end.
#include "core/game.h"

void Game::programflow() {
    for (;;) {
        setscore("0");
        loadhighscores();
        gamestate = 0;
        cursor = 0;
        gamemenu();
        newgame();
        frameloop();
        gameover();
    }
}

void Game::newgame() {
    gamestate = -2;
    startgamesounds();
    initializeship();
    weapon = 1;
    lives = 3;
    ammo[0] = 1;
    ammo[1] = 0;
    ammo[2] = 0;
    ammo[3] = 3;
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
        waitframe(framestart, 80);
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
    for (int k = 1; k <= bodycount; ++k) bodystep(k);
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
    int n = bodycount;
    for (int k = 1; k <= n; ++k) erasebody(bodies[k]);
    n = shotcount;
    for (int k = 1; k <= n; ++k) erasemissile(shots[k]);
    n = powerupcount;
    for (int k = 1; k <= n; ++k) erasepowerup(k);
    n = particlecount;
    for (int k = 1; k <= n; ++k) erasemissile(particles[k]);
}

bool Game::shipstep() {
    if (!respawnstep()) return false;
    if (respawntimer > 0) {
        --respawntimer;
        if (respawntimer > 1) {
            bodies[0].x = -500;
            bodies[0].y = -500;
        }
    } else {
        shipupdate();
    }
    return true;
}

bool Game::levelended() const {
    if (bodycount != 0 || powerupcount != 0) return false;
    for (int k = 1; k <= particlecount; ++k) {
        if (particles[k].type == 3) return false;
    }
    return true;
}

void Game::waitframe(int64_t framestart, int rate) {
    int64_t period = cint(static_cast<double>(frequency) / rate);
    platform.waituntil(framestart + period);
}
