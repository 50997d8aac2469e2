// The intro titles: the author's name, "Presents" and the game's title, each
// spelled in letters that light up and fade, at 60 frames per second. Enter
// cuts the title being shown short.
#include <string>

#include "core/game.h"

void Game::intro() {
    for (;;) {
        const std::string word = lbltitle.caption;
        LetterRow row = word == "Brannoch"   ? LetterRow::author
                        : word == "Presents" ? LetterRow::presents
                                             : LetterRow::title;
        addletters(word, row);
        for (;;) {
            int64_t framestart = platform.counter();
            platform.doevents();
            window.blacken(0, 0, window.width(), window.height());
            // The next title starts at once when this one has gone out.
            if (drawletters(true)) break;
            if (firestate == -1) {  // Enter: this title goes out on the next frame
                finishletters();
                firestate = 0;
            }
            waitframe(framestart, letterrate);
        }
        window.clear();
        letters.count = 0;
        if (word == "Brannoch") {
            lbltitle.caption = "Presents";
        } else if (word == "Presents") {
            lbltitle.caption = "VOLMARIN";
        } else {
            return;
        }
    }
}
