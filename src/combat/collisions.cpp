// Collisions and damage. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::bodycolours(Body&) {}
void Game::shipcontact(int) {}
void Game::shotcontact(int) {}
void Game::removalpass() {}
