// The high-score table: loading and checking "hiscores.dat", saving it, resetting
// it, placing a new score, and the two menu screens that show the table (the
// plain table, and the table after a name entry with the new row flickering).
#include "core/game.h"
#include "screens/highscorefile.h"

namespace {

const std::string scorefile = "hiscores.dat";

// A damaged table is announced only by the background glowing up to red.
void redramp(Surface& window) {
    for (int i = 1; i <= 100; ++i) window.setbackcolour(rgb(i / 100.0 * 255, 0, 0));
    window.setbackcolour(rgb(0, 0, 0));
}

// Replaces the file with the table in memory. A write that fails (read-only
// folder, full disk) leaves the old file whole and the table in memory.
// True when the file now holds the table; a failed write leaves the old file whole.
bool writetable(Game& game) {
    highscorefile::Table table;
    table.names = game.highscorename;
    table.scores = game.highscore;
    return game.platform.files().writeatomic(scorefile, highscorefile::format(table));
}

// One row of the table: the name on the left, the score to the right of centre.
void printrow(Game& game, int rank, int32_t colour) {
    Surface& window = game.window;
    double middle = game.playfieldwidth() / 2;
    double y = 40.0 * rank + 100;
    window.setlinecolour(colour);
    window.setposition(middle - 147, y);
    window.print(game.highscorename[rank]);
    window.setposition(middle + 50, y);
    window.print(printed(game.highscore[rank]));
}

// The new entry's colour: red to yellow, drawn afresh each time it is printed.
int32_t flickercolour(Game& game) {
    return rgb(255, game.rnd() * 255, 0);
}

}  // namespace

void Game::loadhighscores() {
    Files& files = platform.files();
    if (!files.exists(scorefile)) {
        // First run: start from the default table without any fuss.
        clearhighscores();
    } else {
        std::optional<std::string> text = files.read(scorefile, highscorefile::maxbytes + 1);
        std::optional<highscorefile::Table> table;
        if (text) table = highscorefile::parse(*text);
        if (table) {
            highscorename = table->names;
            highscore = table->scores;
        }
        if (!table || !highscorefile::checks(*table)) {
            redramp(window);
            clearhighscores();
        }
    }
    highscore[11] = highscorefile::checksum(highscore);
}

void Game::savehighscores() {
    highscore[11] = highscorefile::checksum(highscore);
    // A failed save is tried again on the way out of the program.
    highscoressaved = writetable(*this);
}

void Game::clearhighscores() {
    highscorefile::Table fresh = highscorefile::defaulttable(highscorename[11]);
    highscorename = fresh.names;
    highscore = fresh.scores;
    highscoressaved = writetable(*this);
}

int Game::inserthighscore(double finalscore) {
    int rank = 0;
    for (int k = 1; k <= 10; ++k) {
        // An equal score goes above the one already there.
        if (finalscore >= highscore[k]) {
            rank = k;
            break;
        }
    }
    if (rank == 0) return 0;
    for (int j = 10; j > rank; --j) {
        highscorename[j] = highscorename[j - 1];
        highscore[j] = highscore[j - 1];
    }
    highscore[rank] = cint(finalscore);
    highscorename[rank].clear();
    return rank;
}

void Game::highscorescreen() {
    // The rows are printed once, on the screen's first frame, and stay.
    if (menutimer < 2) {
        window.setfontsize(20 * pixelscale);
        for (int rank = 1; rank <= 10; ++rank) {
            // 455 makes the top four rows white, then they fade down to blue.
            double shade = (10 - rank) / 10.0 * 455;
            printrow(*this, rank, rgb(shade, shade, 255));
        }
    }
    if (firestate == -1) {
        window.clear();
        gamestate = 0;
        menutimer = 0;
    }
}

void Game::newentryscreen() {
    window.setfontsize(20 * pixelscale);
    bool flickering = cursor >= 1 && cursor <= 10;
    if (menutimer < 2) {
        for (int rank = 1; rank <= 10; ++rank) {
            if (flickering && rank == cursor) {
                printrow(*this, rank, flickercolour(*this));
            } else {
                // Dark blue rows, so the new one stands out.
                double shade = (10 - rank) / 10.0 * 55;
                printrow(*this, rank, rgb(shade, shade, 255));
            }
        }
    } else if (flickering) {
        printrow(*this, cursor, flickercolour(*this));
    }
    if (firestate == -1) {
        firestate = 0;
        window.clear();
        gamestate = -1;  // leaves the menu
    }
}
