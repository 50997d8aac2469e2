// The menu: its own loop of up to 100 frames per second showing one of seven
// screens chosen by gamestate (main menu, table, options, name entry, table
// after an entry, ship selection, quit), and the typed-key handler that feeds it.
//
// Sections: drawing helpers, the screens, the loop, typed keys, what a gamepad asks.
#include <string_view>

#include "core/game.h"
#include "platform/cp1252.h"

namespace {

// ---------------------------------------------------------------- drawing helpers

constexpr std::string_view mainentries[] = {"START", "HIGH SCORES", "OPTIONS", "QUIT"};
constexpr std::string_view optionentries[] = {"CLEAR HIGH SCORES", "BACK"};
constexpr std::string_view quitentries[] = {"YES", "NO"};

double centrex(Game& game, std::string_view text) {
    return game.playfieldwidth() / 2 - game.window.textwidth(text) / 2;
}

void printat(Surface& window, double x, double y, std::string_view text) {
    window.setposition(x, y);
    window.print(text);
}

// A heading slides in as two copies 200 units apart that meet in the middle
// when t reaches 100, then whitens over the next 50 counts.
void headingslide(Game& game, std::string_view text, double y, double t, double fade) {
    Surface& window = game.window;
    double x = centrex(game, text);
    if (t >= 100) {
        int32_t r = cint((t - 100) / 50 * 255);
        window.setlinecolour(rgb(r, r, 255));
        printat(window, x, y, text);
    } else {
        window.setlinecolour(rgb(0, 0, cint(fade * 255)));
        printat(window, x + 100 - t, y, text);
        printat(window, x - 100 + t, y, text);
    }
}

// Entries slide together over the first 50 counts; the highlighted one starts
// to whiten once t passes 100.
template <size_t n>
void entrylist(Game& game, const std::string_view (&entries)[n], double t, double fade) {
    Surface& window = game.window;
    for (size_t i = 0; i < n; ++i) {
        double y = 200 + 50.0 * i;
        double x = centrex(game, entries[i]);
        window.setlinecolour(rgb(0, 0, cint(fade * 255)));
        if (t <= 50) {
            printat(window, x - 50 + t, y, entries[i]);
            printat(window, x + 50 - t, y, entries[i]);
        } else {
            printat(window, x, y, entries[i]);
        }
        if (t > 100 && static_cast<int>(i) == game.cursor) {
            int32_t h = cint((t - 100) / 100 * 255);
            window.setlinecolour(rgb(h, h, 255));
            printat(window, x, y, entries[i]);
        }
    }
}

// Moves the highlight by the arrow presses seen this frame, then tells whether
// Enter confirmed. Only stepping just past either end wraps; a cursor left out
// of range by a name entry walks back one entry per press.
bool movehighlight(Game& game, int n) {
    if (game.keyup == -1) {
        game.keyup = 0;
        --game.cursor;
        if (game.cursor == -1) game.cursor = static_cast<int16_t>(n - 1);
    }
    if (game.keydown == -1) {
        game.keydown = 0;
        ++game.cursor;
        if (game.cursor == n) game.cursor = 0;
    }
    return game.firestate == -1;
}

// Returns to a screen with its heading and entries sliding in afresh.
void changescreen(Game& game, GameState state) {
    game.window.clear();
    game.gamestate = state;
    game.menutimer = 0;
}

// ---------------------------------------------------------------- the screens

void mainmenu(Game& game, double t, double fade) {
    game.window.setfontsize(20 * game.pixelscale);
    entrylist(game, mainentries, t, fade);
    if (!movehighlight(game, 4)) return;
    game.menutimer = 0;
    game.window.clear();
    switch (game.cursor) {
        case 0:
            game.gamestate = GameState::shipselection;
            break;  // the first design starts highlighted
        case 1:
            game.gamestate = GameState::highscores;
            break;
        case 2:
            game.gamestate = GameState::options;
            game.cursor = 1;  // "BACK"
            break;
        case 3:
            changescreen(game, GameState::quit);
            game.cursor = 1;  // "NO"
            break;
        default:
            break;
    }
}

void options(Game& game, double t, double fade) {
    game.window.setfontsize(20 * game.pixelscale);
    headingslide(game, "OPTIONS", 130, t, fade);
    entrylist(game, optionentries, t, fade);
    if (!movehighlight(game, 2)) return;
    game.menutimer = 0;
    game.window.clear();
    if (game.cursor == 0) {
        game.clearhighscores();
        game.menutimer = 0;
        // The background glows up to blue and settles back to black.
        for (int i = 1; i <= 100; ++i) game.window.setbackcolour(rgb(0, 0, i / 100.0 * 255));
        game.window.setbackcolour(colours::black);
    } else if (game.cursor == 1) {
        game.gamestate = GameState::mainmenu;
        game.menutimer = 0;
        game.cursor = 2;  // "OPTIONS"
    }
}

void shipselection(Game& game, double t, double fade) {
    game.window.setfontsize(20 * game.pixelscale);
    headingslide(game, "SELECT SHIP", 130, t, fade);
    Body& ship = game.bodies[0];
    for (int16_t i = 0; i <= 1; ++i) {
        game.selectedship = i;
        game.initializeship();
        ship.x = static_cast<float>(game.playfieldwidth() / 2);
        ship.y = static_cast<float>(200 + 50 * i);
        ship.fillcolour = rgb(0, 0, cint(fade * 255));
        game.drawbody(ship);
        if (i == game.cursor) {
            // The chosen design whitens over its first 50 frames on the screen.
            int32_t h = cint(game.menutimer / 100.0 * 255);
            game.selectedship = i;
            game.initializeship();
            ship.x = static_cast<float>(game.playfieldwidth() / 2);
            ship.y = static_cast<float>(200 + 50 * i);
            ship.fillcolour = rgb(h, h, 255);
            game.drawbody(ship);
        }
    }
    if (!movehighlight(game, 2)) return;
    // The window is kept: the game's first level clears it.
    game.menutimer = 0;
    game.selectedship = game.cursor;
    game.gamestate = GameState::menuleft;
}

void quitconfirmation(Game& game, double t, double fade) {
    game.window.setfontsize(20 * game.pixelscale);
    headingslide(game, "QUIT?", 130, t, fade);
    entrylist(game, quitentries, t, fade);
    if (!movehighlight(game, 2)) return;
    game.menutimer = 0;
    game.window.clear();
    if (game.cursor == 0) {
        while (game.platform.showcursor() <= 0) {
        }
        game.platform.mcisendstring("stop mortalkombat", nullptr);
        // A name entry left with Esc still holds the finished game's score.
        if (!game.highscoressaved) game.savehighscores();
        throw ProgramEnd{0};
    }
    if (game.cursor == 1) {
        changescreen(game, GameState::mainmenu);
        game.cursor = 3;  // "QUIT"
    }
}

// One frame of whichever screen is showing, after the window's events.
void menuframe(Game& game) {
    double t = 0, fade = 0;
    switch (game.gamestate) {
        case GameState::highscores:
        case GameState::newentry:
            // The table screens count by one, so their heading takes 100 frames.
            if (game.menutimer < 150) ++game.menutimer;
            t = game.menutimer;
            fade = t / 150;
            game.window.setfontsize(58 * game.pixelscale);
            headingslide(game, "HIGH SCORES", 50, t, fade);
            break;
        case GameState::mainmenu:
        case GameState::options:
        case GameState::shipselection:
        case GameState::quit:
            // Counting by two: the title meets in the middle after 50 frames.
            if (game.menutimer < 250) game.menutimer += 2;
            t = game.menutimer;
            fade = t > 150 ? 1.0 : t / 150;
            game.window.setfontsize(58 * game.pixelscale);
            headingslide(game, "VOLMARIN", 50, t, fade);
            break;
        default:
            break;
    }
    switch (game.gamestate) {
        case GameState::mainmenu:
            mainmenu(game, t, fade);
            break;
        case GameState::highscores:
            game.highscorescreen();
            break;
        case GameState::options:
            options(game, t, fade);
            break;
        case GameState::nameentry:
            game.nameentryscreen();
            break;
        case GameState::newentry:
            game.newentryscreen();
            break;
        case GameState::shipselection:
            shipselection(game, t, fade);
            break;
        case GameState::quit:
            quitconfirmation(game, t, fade);
            break;
        default:
            break;
    }
}

}  // namespace

// ---------------------------------------------------------------- the loop

void Game::gamemenu() {
    window.clear();
    menutimer = 0;
    lasercharge.visible = false;
    lblscore.visible = false;
    do {
        firestate = 0;
        int64_t framestart = platform.counter();
        platform.doevents();
        menuframe(*this);
        // Typed characters reach the name box only on the name-entry screen.
        if (gamestate != GameState::nameentry) Text1.focus = false;
        waitframe(framestart, menurate);
    } while (gamestate != GameState::menuleft);
}

// ---------------------------------------------------------------- typed keys

void Game::Form_KeyPress(int& keyascii) {
    if (keyascii == vk::escape) {
        keyascii = 0;
        // Every menu screen lies above the main menu.
        if (gamestate >= GameState::highscores) {
            // Back to the main menu; a name entry keeps what was typed so far.
            changescreen(*this, GameState::mainmenu);
            Text1.focus = false;
        } else if (gamestate == GameState::mainmenu) {
            changescreen(*this, GameState::quit);
            cursor = 1;  // "NO"
        } else if (gamestate == GameState::play) {
            // Abandoning the game: the frame loop ends it on its next frame.
            respawntimer = 1;
            lives = 0;
        }
    }
    if (keyascii >= '1' && keyascii <= '9') weaponkey(keyascii);
    if (gamestate == GameState::nameentry) {
        if (keyascii == vk::back && cursor >= 1 && cursor <= 10) {
            std::string& name = highscorename[cursor];
            if (!name.empty()) {
                name.pop_back();
                // Wipe the printed name; the next frame prints the shorter one.
                window.fillrect(275, 250, 500, 300, colours::black);
            }
        }
        Text1.focus = true;
    }
    if (keyascii == vk::enter) {
        keyascii = 0;
        if (gamestate != GameState::play) firestate = -1;
    }
}

void Game::ontyped(int code) {
    // Only characters a name can hold in the score file get anywhere.
    if (!cp1252assigned(code)) return;
    int keyascii = code;
    Form_KeyPress(keyascii);
    if (keyascii == 0 || !Text1.focus) return;
    // Backspace and the other control codes leave the box as it is; so does
    // DEL, which has no shape to print.
    if (keyascii < 32 || keyascii == 127) return;
    Text1.text.push_back(static_cast<char>(keyascii));
    Text1_Change();
}

InputContext Game::inputcontext() const {
    InputContext context;
    if (gamestate == GameState::play) context.screen = InputContext::Screen::play;
    if (gamestate == GameState::nameentry) context.screen = InputContext::Screen::nameentry;
    context.weapon = weaponindex(weapon);
    context.instock = 0;
    for (int w = 0; w < 4; ++w) {
        if (ammo[w] > 0) context.instock |= 1u << w;
    }
    if (gamestate == GameState::nameentry && cursor >= 1 && cursor <= 10 &&
        !highscorename[cursor].empty()) {
        context.lastcharacter = static_cast<unsigned char>(highscorename[cursor].back());
    }
    return context;
}
