// Power-ups. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::droppowerup(float, float, float, float) {}
void Game::poweruppass() {}
void Game::pickup(Powerup&) {}
void Game::drawpowerup(int, int) {}
void Game::erasepowerup(int) {}
