// The two short screens that interrupt play: the level banner, spelled in white
// on a black window before a level's rocks appear, and "PAUSE", spelled in blue
// over the frozen game while it is paused. Both run at 60 frames per second.
#include <string>

#include "core/game.h"
#include "core/media.h"

void Game::showlevel() {
    addletters("Level " + std::to_string(level), LetterRow::banner);
    for (;;) {
        int64_t framestart = platform.counter();
        platform.doevents();
        window.blacken(0, 0, window.outerwidth(), window.outerheight());
        if (drawletters(false)) break;
        waitframe(framestart, letterrate);
    }
    window.clear();
    letters.count = 0;
    sound(loosesound::ding);
}

void Game::pausemessage() {
    addletters("PAUSE", LetterRow::pause);
    for (;;) {
        int64_t framestart = platform.counter();
        // A release of P seen here may end the pause.
        platform.doevents();
        // The window is not cleared: the word glows over the frozen game.
        if (drawletters(false)) {
            // The frame loop calls again at once while still paused.
            letters.count = 0;
            return;
        }
        if (paused == 0) {
            // Play resumes on a clean window; the next frame draws everything again.
            letters.count = 0;
            window.clear();
            return;
        }
        waitframe(framestart, letterrate);
    }
}
