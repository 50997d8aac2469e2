// Game over and name entry: the red letters, the play state left behind, the
// name typed into a new high score, and the table always saved afterwards.
#include <gtest/gtest.h>

#include <algorithm>

#include "screens/screenfixture.h"

namespace {
constexpr int enter = 13, esc = 27, backspace = 8;
constexpr int64_t letterframes = 286;  // "GAME OVER" from first frame to last fade

// A table that a final score of 0 enters at rank 3.
void tablewithroomatthree(Game& game) {
    for (int k = 1; k <= 10; ++k) {
        game.highscorename[k] = std::string(1, 'P').append(std::to_string(k));
        game.highscore[k] = k <= 2 ? 5000 / k : 0;
    }
}
}  // namespace

class GameOverTest : public ScreenFixture {};

TEST_F(GameOverTest, ScoreOutsideTheTableStillSavesIt) {
    for (int k = 1; k <= 10; ++k) game->highscore[k] = 1000;
    game->setscore("0");
    game->gamestate = GameState::play;
    game->powerups.count = 4;
    game->respawntimer = 1;
    game->lblweapon.caption = "Gun";
    game->lasercharge.visible = true;
    game->gameover();
    EXPECT_EQ(platform->frame(), letterframes);
    ASSERT_GE(platform->mediacommands().size(), 2u);
    EXPECT_EQ(platform->mediacommands()[0], "stop firebomb");
    EXPECT_EQ(platform->mediacommands()[1], "play gameover from 0");
    EXPECT_EQ(game->gamestate, GameState::play);  // no name entry
    EXPECT_EQ(game->powerups.count, 0);
    EXPECT_EQ(game->letters.count, 0);
    EXPECT_EQ(game->respawntimer, 0);
    EXPECT_EQ(game->lblweapon.caption, "");
    EXPECT_FALSE(game->lasercharge.visible);
    EXPECT_EQ(platform->files().readstate("hiscores.dat", 4096).found, FileText::Found::read);
    EXPECT_EQ(lit(0, 0, game->playfieldwidth(), 600), 0);
}

TEST_F(GameOverTest, EnterWithNothingTypedStoresAnEmptyName) {
    tablewithroomatthree(*game);
    game->setscore("0");
    game->gamestate = GameState::play;
    platform->typed(letterframes + 3, enter);
    platform->typed(letterframes + 6, enter);
    platform->setlastframe(letterframes + 50);
    game->gameover();
    EXPECT_EQ(platform->frame(), letterframes + 6);
    EXPECT_EQ(game->gamestate, GameState::menuleft);
    EXPECT_EQ(game->highscorename[3], "");
    EXPECT_EQ(game->highscorename[4], "P3");  // pushed down a rank
    EXPECT_TRUE(game->highscoressaved);
    EXPECT_EQ(platform->files().readstate("hiscores.dat", 4096).found, FileText::Found::read);
}

TEST_F(GameOverTest, NameKeepsWhatIsTypedUpToNineCharacters) {
    game->gamestate = GameState::nameentry;
    game->cursor = 2;
    platform->text(2, "Jo 1,");
    platform->text(3, "abcde");  // the tenth character comes in this frame
    int beyond = -1;
    std::string shown;
    at(4, [&] {
        shown = game->highscorename[2];
        game->window.setfontsize(20 * game->pixelscale);
        std::string line = "ENTER YOUR NAME: ";
        line += shown;
        double end = 50 + game->window.textwidth(line);
        beyond = lit(end + 3, 250, game->playfieldwidth(), 290);
    });
    runmenu(3);
    // Blanks, commas and digits belong to the name like any letter.
    EXPECT_EQ(shown, "Jo 1,abcd");
    EXPECT_EQ(beyond, 0) << "a tenth character was printed";
    EXPECT_EQ(game->Text1.text, "");
}

TEST_F(GameOverTest, BackspaceShortensTheNameAndWipesIt) {
    game->gamestate = GameState::nameentry;
    game->cursor = 2;
    game->highscorename[2] = "AB";
    game->window.fillrect(300, 260, 310, 270, 0xFFFFFF);
    game->ontyped(backspace);
    EXPECT_EQ(game->highscorename[2], "A");
    EXPECT_EQ(lit(300, 260, 310, 270), 0);

    // With nothing typed there is nothing to wipe, and the box stays empty.
    game->highscorename[2] = "";
    game->window.fillrect(300, 260, 310, 270, 0xFFFFFF);
    game->ontyped(backspace);
    EXPECT_EQ(game->highscorename[2], "");
    EXPECT_GT(lit(300, 260, 310, 270), 0);
    EXPECT_EQ(game->Text1.text, "");
}

TEST_F(GameOverTest, OnlyCharactersTheScoreFileCanHoldReachTheName) {
    game->gamestate = GameState::nameentry;
    game->cursor = 1;
    for (int code : {0x20AC, -1, 0x81, 0x9D, 127, 0x80, 0xE9, int{'Z'}}) game->ontyped(code);
    EXPECT_EQ(game->highscorename[1], "\x80\xE9Z");

    // After Esc the typing goes nowhere: not into the name, not into the box.
    game->ontyped(esc);
    EXPECT_EQ(game->gamestate, GameState::mainmenu);
    game->ontyped('q');
    EXPECT_EQ(game->highscorename[1], "\x80\xE9Z");
    EXPECT_EQ(game->Text1.text, "");
}

TEST_F(GameOverTest, QuittingAfterAnAbandonedEntryKeepsTheName) {
    tablewithroomatthree(*game);
    game->setscore("0");
    game->gamestate = GameState::play;
    const int64_t f = letterframes;
    platform->text(f + 2, "ZED");
    platform->typed(f + 3, esc);    // main menu, cursor still on rank 3: "QUIT"
    platform->typed(f + 4, enter);  // the quit question, "NO" highlighted
    at(f + 5, [&] {
        EXPECT_FALSE(game->highscoressaved);
        game->keyup = -1;
    });
    platform->typed(f + 6, enter);  // "YES"
    platform->setlastframe(f + 50);
    EXPECT_THROW(game->gameover(), ProgramEnd);
    EXPECT_TRUE(game->highscoressaved);
    auto file = platform->files().readstate("hiscores.dat", 4096);
    ASSERT_EQ(file.found, FileText::Found::read);
    EXPECT_NE(file.text.find("ZED"), std::string::npos);
}
