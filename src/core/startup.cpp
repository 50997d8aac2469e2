// Start-up and shutdown of the game window. Loading the window opens the music,
// reads the timer, installs the font, prepares the labels, starts the menu
// music and runs the intro and then the game's endless cycle; closing the
// window saves a pending high-score table and releases every media alias.
#include <string>

#include "core/game.h"
#include "core/media.h"
#include "platform/font.h"

namespace {
constexpr const char* fontfile = "trekfilm.ttf";
}  // namespace

int Game::run() {
    try {
        Form_Load();
    } catch (const WindowClosed&) {
    } catch (const ProgramEnd& end) {
        return end.status;
    }
    return 0;
}

void Game::Form_Load() {
    for (const MediaFile& m : musicfiles) {
        platform.mcisendstring(
            std::string("open .\\") + m.file + " type sequencer alias " + m.alias, nullptr);
    }
    frequency = platform.frequency();
    installfont(platform.files().folder(), fontfile);
    window.setfontface("StarTrek Film BT");
    // The random source was seeded from the clock when the program started.

    lbllevel.top = 500;
    lblscore.top = 50;
    lblscore.left = 50;
    lblscore.visible = false;
    lblweapon.visible = false;

    pixelscale = window.pixelscale();
    // Erasing draws in the background colour, so it must be black.
    window.setbackcolour(0);

    gamestate = GameState::mainmenu;
    respawntimer = 0;
    platform.mcisendstring("play mortalkombat from 0",
                           nullptr);  // the menu music plays through the intro

    setscore("0");
    lbltitle.caption = "Brannoch";
    lblweapon.caption = "";
    lasercharge.fillcolour = 0;
    setlevelcaption("");

    intro();
    programflow();
}

void Game::Form_Unload() {
    // A finished game's table is saved even when the window is closed on the
    // name entry or on the table itself.
    if (!highscoressaved) savehighscores();
    platform.mcisendstring("stop firebomb wait", nullptr);
    platform.mcisendstring("close firebomb wait", nullptr);
    platform.mcisendstring("stop mortalkombat wait", nullptr);
    platform.mcisendstring("close mortalkombat wait", nullptr);
    for (const MediaFile& e : soundeffects) {
        platform.mcisendstring(std::string("close ") + e.alias + " wait", nullptr);
    }
}
