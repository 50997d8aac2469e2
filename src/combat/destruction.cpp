// Ship destruction and respawn. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::explodeship(float) {}
void Game::shatterrock(int) {}
void Game::selfdestruct() {}
void Game::protectionblink() {}
bool Game::respawnstep() { return true; }
