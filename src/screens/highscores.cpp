// High scores. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::loadhighscores() {}
void Game::savehighscores() {}
void Game::clearhighscores() {}
int Game::inserthighscore(double) { return 0; }
