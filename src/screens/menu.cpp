// The menu. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::gamemenu() {}
void Game::Form_KeyPress(int&) {}
void Game::ontyped(int) {}
void Game::Text1_Change() {}
