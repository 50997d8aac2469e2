// The high-score table: loading and checking "hiscores.dat", saving it (merged
// with what other copies of the game saved meanwhile), resetting it, placing a
// new score, and the two menu screens that show the table (the plain table, and
// the table after a name entry with the new row flickering).
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/game.h"
#include "screens/highscorefile.h"

namespace {

using highscorefile::Table;

const std::string scorefile = "hiscores.dat";

// A damaged table is announced only by the background glowing up to red.
void redramp(Surface& window) {
    for (int i = 1; i <= 100; ++i) window.setbackcolour(rgb(i / 100.0 * 255, 0, 0));
    window.setbackcolour(rgb(0, 0, 0));
}

Table memorytable(const Game& game) {
    Table table;
    table.names = game.highscorename;
    table.scores = game.highscore;
    return table;
}

void settable(Game& game, const Table& table) {
    game.highscorename = table.names;
    game.highscore = table.scores;
    game.highscore[11] = highscorefile::checksum(game.highscore);
}

// The table a file holds when it was read whole and checks; nothing otherwise.
std::optional<Table> soundtable(const FileText& file) {
    if (file.found != FileText::Found::read) return std::nullopt;
    std::optional<Table> table = highscorefile::parse(file.text);
    if (table && highscorefile::checks(*table)) return table;
    return std::nullopt;
}

// The rank a score takes: the first whose score it reaches, so an equal score
// goes above the one already there; 0 when it is below all ten.
int rankfor(const std::array<int32_t, 12>& scores, double score) {
    for (int k = 1; k <= 10; ++k) {
        if (score >= scores[k]) return k;
    }
    return 0;
}

// Moves ranks rank..9 down one (the old rank 10 is dropped) to free `rank`.
template <typename Rows>
void shiftdown(Rows& rows, int rank) {
    for (int j = 10; j > rank; --j) rows[j] = rows[j - 1];
}

// The first-run table, or the one that replaces a damaged file. The file is
// looked at again under the lock: a sound table that another copy of the game
// wrote meanwhile is taken instead, and a file that is no longer the one
// judged damaged is left for the next load to judge.
void resettable(Game& game, const FileText& judged) {
    settable(game, highscorefile::defaulttable(game.highscorename[11]));
    const std::string text = highscorefile::format(memorytable(game));
    std::optional<Table> theirs;
    game.platform.files().updatestate(scorefile, highscorefile::maxbytes, [&](const FileText& now) {
        FileChange change;
        theirs = soundtable(now);
        if (theirs || now.found == FileText::Found::unreadable) return change;
        bool same = now.found == judged.found && now.text == judged.text;
        if (now.found != FileText::Found::missing && !same) return change;
        change.action = now.found == FileText::Found::missing ? FileChange::Action::write
                                                              : FileChange::Action::writekeepingold;
        change.text = text;
        return change;
    });
    if (theirs) settable(game, *theirs);
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
    if (!highscoressaved) {
        // A table that still owes its save is never read over: the save merges
        // it into the file instead, and if it fails again the table stays.
        savehighscores();
        highscore[11] = highscorefile::checksum(highscore);
        return;
    }
    Files& files = platform.files();
    FileText file = files.readstate(scorefile, highscorefile::maxbytes);
    bool packaged = false;
    if (file.found == FileText::Found::missing && files.statefolder() != files.folder()) {
        // The player has no table of their own yet: one packaged beside the
        // program is where it starts.
        FileText shipped = files.read(scorefile, highscorefile::maxbytes);
        if (shipped.found == FileText::Found::read || shipped.found == FileText::Found::toolarge) {
            file = shipped;
            packaged = true;
        }
    }
    switch (file.found) {
        case FileText::Found::missing:
            // First run: start from the default table without any fuss.
            resettable(*this, file);
            break;
        case FileText::Found::unreadable:
            // Not ours to read (no permission, not a plain file): the file is
            // left alone and the game plays with the defaults.
            settable(*this, highscorefile::defaulttable(highscorename[11]));
            break;
        default: {
            if (std::optional<Table> table = soundtable(file)) {
                settable(*this, *table);
                break;
            }
            std::optional<Table> damaged = highscorefile::parse(file.text);
            if (damaged) highscorename[11] = damaged->names[11];
            if (!packaged && !files.statesettled(scorefile, file, highscorefile::maxbytes)) {
                // Another program is still writing it: not damaged, just not
                // ready. Play with the defaults and look again next time.
                settable(*this, highscorefile::defaulttable(highscorename[11]));
                break;
            }
            redramp(window);
            // The packaged table is never touched; the player's own starts afresh.
            resettable(*this, packaged ? FileText{} : file);
            break;
        }
    }
    highscore[11] = highscorefile::checksum(highscore);
}

void Game::savehighscores() {
    highscore[11] = highscorefile::checksum(highscore);
    const Table mine = memorytable(*this);
    // This run's unsaved rows, worst first: inserted again in that order, rows
    // of equal score keep their order.
    std::vector<std::pair<std::string, int32_t>> fresh;
    for (int k = 10; k >= 1; --k) {
        if (highscorenew[k]) fresh.emplace_back(highscorename[k], highscore[k]);
    }
    std::optional<Table> written;
    bool ok =
        platform.files().updatestate(scorefile, highscorefile::maxbytes, [&](const FileText& now) {
            FileChange change;
            // A table that cannot be read is never saved over.
            if (now.found == FileText::Found::unreadable) return change;
            std::optional<Table> theirs = soundtable(now);
            Table table = mine;
            if (theirs && !highscorescleared) {
                // The file as it is now, which may hold rows another copy of
                // the game saved since this one loaded, with this run's rows
                // entered by the usual rule.
                table = *theirs;
                for (const auto& [name, score] : fresh) {
                    int rank = rankfor(table.scores, score);
                    if (rank == 0) continue;
                    shiftdown(table.names, rank);
                    shiftdown(table.scores, rank);
                    table.names[rank] = name;
                    table.scores[rank] = score;
                }
            }
            table.scores[11] = highscorefile::checksum(table.scores);
            bool damaged = !theirs && now.found != FileText::Found::missing;
            change.action =
                damaged ? FileChange::Action::writekeepingold : FileChange::Action::write;
            change.text = highscorefile::format(table);
            written = table;
            return change;
        });
    if (ok && written) {
        settable(*this, *written);
        highscorenew.fill(false);
        highscorescleared = false;
        highscoressaved = true;
    } else {
        // Tried again at the next return to the menu and on the way out.
        highscoressaved = false;
    }
}

void Game::clearhighscores() {
    settable(*this, highscorefile::defaulttable(highscorename[11]));
    highscorenew.fill(false);
    highscorescleared = true;
    savehighscores();
}

int Game::inserthighscore(double finalscore) {
    int rank = rankfor(highscore, finalscore);
    if (rank == 0) return 0;
    shiftdown(highscorename, rank);
    shiftdown(highscore, rank);
    shiftdown(highscorenew, rank);
    highscore[rank] = cint(finalscore);
    highscorename[rank].clear();
    highscorenew[rank] = true;
    highscoressaved = false;
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
        gamestate = GameState::mainmenu;
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
        gamestate = GameState::menuleft;  // leaves the menu
    }
}
