// Start-up and shutdown of the game window. Loading the window opens the music,
// reads the timer, installs the font, prepares the labels, starts the menu
// music and runs the intro and then the game's endless cycle; closing the
// window saves a pending high-score table and releases every media alias.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/game.h"
#include "core/soundeffects.h"
#include "platform/font.h"

namespace {
namespace fs = std::filesystem;

constexpr const char* fontfile = "trekfilm.ttf";

// The per-user fonts folder; empty when the user has no home folder.
fs::path userfontsfolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data != '\0') return fs::path(data) / "fonts";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return fs::path(home) / ".local" / "share" / "fonts";
    return {};
}

// Copies the program's font into the user's fonts folder unless one of that
// name is already there (an existing copy is kept as it is), then makes the
// font available to this run. Every failure only leaves the default face.
void installfont(const fs::path& programfolder) {
    std::error_code ec;
    fs::path source = programfolder / fontfile;
    bool havesource = fs::is_regular_file(source, ec);
    fs::path folder = userfontsfolder();
    fs::path target = folder.empty() ? fs::path() : folder / fontfile;
    if (havesource && !target.empty() && !fs::exists(target, ec)) {
        fs::create_directories(folder, ec);
        fs::copy_file(source, target, ec);
    }
    if (!target.empty() && fs::is_regular_file(target, ec)) {
        registerfontfile(target.string());
    } else if (havesource) {
        registerfontfile(source.string());
    }
}
}  // namespace

void Game::Form_Load() {
    platform.mcisendstring("open .\\Firebomb.mid type sequencer alias firebomb", nullptr);
    frequency = platform.frequency();
    platform.mcisendstring("open .\\MortalKombat.mid type sequencer alias mortalkombat", nullptr);
    installfont(platform.files().folder());
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

    gamestate = 0;
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
    for (const SoundEffect& e : soundeffects) {
        platform.mcisendstring(std::string("close ") + e.alias + " wait", nullptr);
    }
}
