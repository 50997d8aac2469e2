// Game over. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::gameover() {}
