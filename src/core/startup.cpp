// Start-up and shutdown of the game window. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::Form_Load() {
    frequency = platform.frequency();
    programflow();
}
void Game::Form_Unload() {}
