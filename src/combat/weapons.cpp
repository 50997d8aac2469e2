// Shots and weapons. Not built yet: every procedure here does nothing.
#include "core/game.h"

void Game::fireweapon() {}
void Game::firelaser() {}
void Game::launchabomb() {}
void Game::laserbeamstep() {}
void Game::shotpass() {}
void Game::particlepass() {}
void Game::homingmissile(Shot&) {}
void Game::abomb(Shot&) {}
void Game::drawmissile(const Shot&) {}
void Game::erasemissile(const Shot&) {}
double ArcSin(double x) { return x; }
