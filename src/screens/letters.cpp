// Animated letters. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::addletters(const std::string&, LetterRow) {}
bool Game::drawletters(bool) { return true; }
void Game::finishletters() {}
bool Game::lettersfinished() const { return true; }
