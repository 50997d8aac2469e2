// The program-wide state: construction. The collection rules live in Pool.
#include "core/game.h"

Game::Game(Platform& p, RandomSource& r) : platform(p), window(p.surface()), random(r) {
    pixelscale = window.pixelscale();
    frequency = p.frequency();
    mediacommand.reserve(128);
    p.sethandler(this);
}
