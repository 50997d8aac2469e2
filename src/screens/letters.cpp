// The large animated words: each character is a letter that waits its turn,
// brightens to its full colour, then fades to black. The intro titles, "GAME
// OVER", "PAUSE" and the level banner are laid out here and stepped each frame.
#include "core/game.h"

namespace {

// How one kind of word is laid out. Every letter of a word shares the same
// timing; only its delay and place depend on its position j in the word.
struct Layout {
    int16_t size;  // font base size
    int16_t red, green, blue;
    int32_t delaystep;  // the letter at position j waits delaystep x j frames
    int32_t startlevel;
    int32_t fulllevel;
};

Layout layoutof(LetterRow row) {
    switch (row) {
        case LetterRow::author:
        case LetterRow::presents:
            return {48, 0, 0, 255, 2, 40, 40};
        // Starting above the full level keeps the title white for 31 frames.
        case LetterRow::title:
            return {58, 255, 255, 255, 6, 110, 80};
        // Starting halfway up: the letters appear at half brightness.
        case LetterRow::gameover:
            return {72, 255, 0, 0, 15, 50, 100};
        case LetterRow::pause:
            return {30, 0, 0, 255, 10, 0, 50};
        case LetterRow::banner:
            return {30, 255, 255, 255, 5, 0, 50};
    }
    return {30, 255, 255, 255, 5, 0, 50};
}

// Horizontal place of the letter at position j of a word of length L on a
// playfield w units wide.
double letterx(LetterRow row, int j, int L, double w, int16_t size) {
    switch (row) {
        case LetterRow::author:
        case LetterRow::presents:
        case LetterRow::title:
            return static_cast<double>(j) / (L + 1) * w;
        case LetterRow::gameover:
            return static_cast<double>(j) / (L + 1) * w - size / 2.0;
        // Pause letters stand 30 apart while the centring term counts 25, so
        // the word sits a little left of the middle.
        case LetterRow::pause:
            return (L / 2.0 - 0.5) * 25 + w / 2 - (L - j) * 30;
        // Banner letters stand 25 apart; an odd word's middle letter starts at
        // the centre.
        case LetterRow::banner:
            return (L / 2.0 - 0.5) * 25 + w / 2 - (L - j) * 25;
    }
    return 0;
}

}  // namespace

void Game::addletters(const std::string& word, LetterRow row) {
    // The word travels through the title label; the letters are what it holds.
    lbltitle.caption = word;
    const std::string& caption = lbltitle.caption;
    const Layout layout = layoutof(row);
    const int L = static_cast<int>(caption.size());
    const double w = playfieldwidth();
    const double h = playfieldheight();
    for (int j = 1; j <= L; ++j) {
        int16_t k = letters.add();
        if (k == 0) return;  // no room left: the rest of the word is not shown
        Letter& c = letters[k];
        c.x = cint16(letterx(row, j, L, w, layout.size));
        c.y = cint16(h / 2 - layout.size);
        c.red = layout.red;
        c.green = layout.green;
        c.blue = layout.blue;
        c.delay = layout.delaystep * j;
        c.level = layout.startlevel;
        c.fulllevel = layout.fulllevel;
        c.text.assign(1, caption[j - 1]);
        c.size = layout.size;
        c.fading = 0;
    }
}

bool Game::drawletters(bool centred) {
    for (int k = 1; k <= letters.count; ++k) {
        Letter& c = letters[k];
        window.setfontsize(c.size * pixelscale);
        if (c.delay < 1) {
            if (c.fading == 0) {
                // The frame that reaches the full level only turns the letter round.
                if (c.level < c.fulllevel) {
                    ++c.level;
                } else {
                    c.fading = 1;
                }
            } else if (c.level > 0) {
                --c.level;
            }
            double x = centred ? c.x - window.textwidth(c.text) / 2 : c.x;
            window.setposition(x, c.y);
            double f = c.fulllevel != 0 ? static_cast<double>(c.level) / c.fulllevel : 0.0;
            window.setlinecolour(rgb(f * c.red, f * c.green, f * c.blue));
            window.print(c.text);
        } else {
            // A waiting letter is printed in black, wiping whatever lies beneath.
            --c.delay;
            window.setposition(c.x, c.y);
            window.setlinecolour(rgb(0, 0, 0));
            window.print(c.text);
        }
    }
    return lettersfinished();
}

void Game::finishletters() {
    for (int k = 1; k <= letters.count; ++k) {
        letters[k].delay = 0;
        letters[k].fading = 1;
        letters[k].level = 0;
    }
}

bool Game::lettersfinished() const {
    // The last letter is the last to go out; an empty word has nothing to show.
    if (letters.count < 1) return true;
    const Letter& last = letters[letters.count];
    return last.fading == 1 && last.level == 0;
}
