// The animated words: how long each kind of word takes to go out, where its
// letters stand, and the colours a player sees on their first visible frames.
#include <gtest/gtest.h>

#include "support/gamefixture.h"

class LettersTest : public GameFixture {};

namespace {
// Frames of drawletters until the word reports finished.
int framesuntilfinished(Game& game, bool centred) {
    int n = 0;
    do {
        ++n;
    } while (!game.drawletters(centred) && n < 10000);
    return n;
}
}  // namespace

TEST_F(LettersTest, EveryWordLastsUntilItsLastLetterHasFaded) {
    struct Case {
        const char* word;
        LetterRow row;
        bool centred;
        int frames;  // last delay + rise + one turning frame + fall
    } cases[] = {
        {"Brannoch", LetterRow::author, true, 57},   {"Presents", LetterRow::presents, true, 57},
        {"VOLMARIN", LetterRow::title, true, 159},   {"GAME OVER", LetterRow::gameover, false, 286},
        {"PAUSE", LetterRow::pause, false, 151},     {"Level 1", LetterRow::banner, false, 136},
        {"Level 10", LetterRow::banner, false, 141}, {"A", LetterRow::pause, false, 111},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        game->letters.count = 0;
        game->addletters(c.word, c.row);
        EXPECT_EQ(game->lbltitle.caption, c.word);
        EXPECT_EQ(game->letters.count, static_cast<int>(std::string(c.word).size()));
        EXPECT_EQ(framesuntilfinished(*game, c.centred), c.frames);
    }
}

TEST_F(LettersTest, LettersStandWhereEachWordNeedsThem) {
    const double w = game->playfieldwidth();
    struct Case {
        const char* word;
        LetterRow row;
        int letter;
        int x, y, gap;  // gap: distance to the next letter
    } cases[] = {
        // The banner's middle letter starts at the centre, letters 25 apart.
        {"Level 1", LetterRow::banner, 4, cint(w / 2), 270, 25},
        // PAUSE stands 30 apart, its middle letter 10 left of the centre.
        {"PAUSE", LetterRow::pause, 3, cint(w / 2 - 10), 270, 30},
        {"GAME OVER", LetterRow::gameover, 1, cint(w / 10 - 36), 228,
         cint(2 * w / 10 - 36) - cint(w / 10 - 36)},
        {"VOLMARIN", LetterRow::title, 2, cint(2 * w / 9), 242, cint(3 * w / 9) - cint(2 * w / 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        game->letters.count = 0;
        game->addletters(c.word, c.row);
        const Letter& l = game->letters[c.letter];
        EXPECT_EQ(l.x, c.x);
        EXPECT_EQ(l.y, c.y);
        EXPECT_EQ(game->letters[c.letter + 1].x - l.x, c.gap);
        EXPECT_EQ(l.text, std::string(1, c.word[c.letter - 1]));
    }
}

TEST_F(LettersTest, LettersShowTheirFirstColoursAsTheyAppear) {
    Surface& window = game->window;
    // The ninth letter of GAME OVER waits 135 frames in black, then appears at
    // about half brightness rather than from black.
    game->addletters("GAME OVER", LetterRow::gameover);
    for (int f = 1; f <= 135; ++f) game->drawletters(false);
    EXPECT_EQ(window.linecolour(), rgb(0, 0, 0));
    game->drawletters(false);
    EXPECT_EQ(window.linecolour(), rgb(130, 0, 0));

    // A title letter starting above its full level shows full white for 31
    // visible frames before it starts to dim.
    game->letters.count = 0;
    game->addletters("V", LetterRow::title);
    for (int f = 1; f <= 6; ++f) game->drawletters(true);
    for (int f = 1; f <= 31; ++f) {
        game->drawletters(true);
        ASSERT_EQ(window.linecolour(), rgb(255, 255, 255)) << "visible frame " << f;
    }
    game->drawletters(true);
    EXPECT_EQ(window.linecolour(), rgb(252, 252, 252));

    // An author letter starts at its full level: it turns to fading at once
    // and never grows brighter than its full blue.
    game->letters.count = 0;
    game->addletters("B", LetterRow::author);
    game->drawletters(true);
    game->drawletters(true);
    game->drawletters(true);
    EXPECT_EQ(window.linecolour(), rgb(0, 0, 255));
    EXPECT_EQ(game->letters[1].fading, 1);
    game->drawletters(true);
    EXPECT_EQ(window.linecolour(), rgb(0, 0, 249));
}

TEST_F(LettersTest, FinishingAWordEndsItOnTheNextStep) {
    game->addletters("Presents", LetterRow::presents);
    EXPECT_FALSE(game->drawletters(true));
    game->finishletters();
    EXPECT_TRUE(game->drawletters(true));
    // No word at all is over at once rather than waiting for ever.
    game->letters.count = 0;
    EXPECT_TRUE(game->drawletters(false));
}
