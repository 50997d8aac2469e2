// The score, the extra ships and the HUD strip. Not built yet: every procedure here does nothing.
#include "core/game.h"

double Game::score() const { return 0; }
void Game::setscore(const std::string& caption) { lblscore.caption = caption; }
void Game::addscore(int32_t) {}
void Game::lblscore_Change() {}
void Game::setlevelcaption(const std::string& caption) { lbllevel.caption = caption; }
void Game::lbllevel_Change() {}
void Game::extraship() {}
void Game::scoreflash() {}
void Game::drawhud() {}
