// Sound effects and music by media commands. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::sound(const std::string&, int) {}
void Game::startgamesounds() {}
void Game::musiccheck() {}
