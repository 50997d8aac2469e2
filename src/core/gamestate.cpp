// The program-wide state: construction and the collection rules (add at
// count + 1, remove by copying the last element over the removed one, and
// refuse an addition beyond the capacity).
#include "core/game.h"

namespace {
template <typename Array>
int16_t add(Array&, int16_t& count, int16_t capacity) {
    if (count >= capacity) return 0;
    return ++count;
}

template <typename Array>
void remove(Array& items, int16_t& count, int k) {
    if (k < 1 || k > count) return;
    if (k != count) items[k] = items[count];
    --count;
}
}  // namespace

Game::Game(Platform& p, RandomSource& r)
    : platform(p), window(p.surface()), random(r) {
    pixelscale = window.pixelscale();
    p.sethandler(this);
}

int16_t Game::addbody() { return add(bodies, bodycount, capacity); }
int16_t Game::addshot() { return add(shots, shotcount, capacity); }
int16_t Game::addparticle() { return add(particles, particlecount, capacity); }
int16_t Game::addpowerup() { return add(powerups, powerupcount, capacity); }
int16_t Game::addletter() { return add(letters, lettercount, lettercapacity); }

void Game::removebody(int k) { remove(bodies, bodycount, k); }
void Game::removeshot(int k) { remove(shots, shotcount, k); }
void Game::removeparticle(int k) { remove(particles, particlecount, k); }
void Game::removepowerup(int k) { remove(powerups, powerupcount, k); }
