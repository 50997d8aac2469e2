// The hunter. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::huntertimerstep() {}
void Game::huntersteer(Body&) {}
