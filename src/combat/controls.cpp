// Ship controls. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::Form_KeyDown(int, int) {}
void Game::Form_KeyUp(int, int) {}
void Game::weaponkey(int) {}
void Game::shipupdate() {}
void Game::firecadence() {}
void Game::hyperspace(Body&) {}
void Game::flamestep() {}
