// Level banner and pause. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::showlevel() {}
void Game::pausemessage() {}
