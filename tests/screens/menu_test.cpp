// The menu's screens driven by scripted keys: moving and wrapping the
// highlight, confirming, Esc, clearing the scores, choosing a ship, quitting.
#include <gtest/gtest.h>

#include <algorithm>

#include "screens/screenfixture.h"

namespace {
constexpr int enter = 13, esc = 27;
}

class MenuTest : public ScreenFixture {};

TEST_F(MenuTest, HighlightWrapsOnlyJustPastEitherEnd) {
    struct Case {
        GameState screen;
        int16_t cursor;
        bool up;
        int16_t expected;
    } cases[] = {
        {GameState::mainmenu, 0, true, 3},
        {GameState::mainmenu, 3, false, 0},
        {GameState::mainmenu, 1, false, 2},
        {GameState::options, 0, true, 1},
        {GameState::options, 1, false, 0},
        {GameState::quit, 0, true, 1},
        {GameState::quit, 1, false, 0},
        {GameState::shipselection, 1, false, 0},
        // A rank left in the cursor by a name entry walks back one per press.
        {GameState::mainmenu, 7, false, 8},
        {GameState::mainmenu, 7, true, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "screen " << static_cast<int>(c.screen) << " cursor " << c.cursor);
        restart();
        game->gamestate = c.screen;
        game->cursor = c.cursor;
        at(3, [&] { (c.up ? game->keyup : game->keydown) = -1; });
        EXPECT_FALSE(runmenu(4));
        EXPECT_EQ(game->cursor, c.expected);
        EXPECT_EQ(game->gamestate, c.screen);
        EXPECT_EQ(game->keyup, 0);
        EXPECT_EQ(game->keydown, 0);
    }
}

TEST_F(MenuTest, EnterConfirmsWhatTheCursorHoldsAfterThisFramesArrows) {
    // Before the highlight has shown, Enter still confirms "START".
    platform->typed(2, enter);
    EXPECT_FALSE(runmenu(2));
    EXPECT_EQ(game->gamestate, GameState::shipselection);
    EXPECT_EQ(game->cursor, 0);
    EXPECT_EQ(game->menutimer, 0);

    // Down and Enter in one frame: the arrow moves first, "HIGH SCORES" opens.
    restart();
    at(3, [&] { game->keydown = -1; });
    platform->typed(3, enter);
    EXPECT_FALSE(runmenu(3));
    EXPECT_EQ(game->gamestate, GameState::highscores);
    EXPECT_EQ(game->cursor, 1);

    // "OPTIONS" puts the highlight on "BACK", which returns to "OPTIONS".
    restart();
    game->cursor = 2;
    platform->typed(2, enter);
    platform->typed(4, enter);
    EXPECT_FALSE(runmenu(3));
    EXPECT_EQ(game->gamestate, GameState::options);
    EXPECT_EQ(game->cursor, 1);
    EXPECT_FALSE(runmenu(4));
    EXPECT_EQ(game->gamestate, GameState::mainmenu);
    EXPECT_EQ(game->cursor, 2);
}

TEST_F(MenuTest, EscLeadsToTheQuitQuestionAndBackToTheMainMenu) {
    platform->typed(2, esc);
    EXPECT_FALSE(runmenu(2));
    EXPECT_EQ(game->gamestate, GameState::quit);
    EXPECT_EQ(game->cursor, 1);  // "NO"
    platform->typed(3, esc);
    EXPECT_FALSE(runmenu(3));
    EXPECT_EQ(game->gamestate, GameState::mainmenu);
    EXPECT_EQ(game->cursor, 1);

    // Esc from a name entry keeps the rank in the cursor; four presses of Up
    // bring it from rank 7 to "QUIT", which asks the quit question.
    restart();
    game->gamestate = GameState::nameentry;
    game->cursor = 7;
    platform->typed(2, esc);
    for (int f = 3; f <= 6; ++f) at(f, [&] { game->keyup = -1; });
    platform->typed(7, enter);
    EXPECT_FALSE(runmenu(7));
    EXPECT_EQ(game->gamestate, GameState::quit);
    EXPECT_EQ(game->cursor, 1);

    // In play, Esc ends the game on the next frame and Enter asks nothing.
    restart();
    game->gamestate = GameState::play;
    game->lives = 2;
    game->firestate = 5;
    game->ontyped(enter);
    EXPECT_EQ(game->firestate, 5);
    game->ontyped(esc);
    EXPECT_EQ(game->respawntimer, 1);
    EXPECT_EQ(game->lives, 0);
}

TEST_F(MenuTest, ClearingTheScoresStaysOnTheOptions) {
    game->highscorename[1] = "ACE";
    game->highscore[1] = 90000;
    game->gamestate = GameState::options;
    game->cursor = 0;
    platform->typed(5, enter);
    EXPECT_FALSE(runmenu(6));
    EXPECT_EQ(game->gamestate, GameState::options);
    EXPECT_EQ(game->cursor, 0);
    EXPECT_EQ(game->menutimer, 2);  // the heading and entries slide in again
    EXPECT_EQ(game->highscorename[1], "NOBODY");
    EXPECT_EQ(game->highscore[1], 0);
    EXPECT_EQ(game->window.backcolour(), 0);
    EXPECT_EQ(platform->files().readstate("hiscores.dat", 4096).found, FileText::Found::read);
}

TEST_F(MenuTest, ChoosingAShipLeavesTheMenu) {
    platform->typed(2, enter);  // START
    at(3, [&] { game->keydown = -1; });
    platform->typed(4, enter);
    EXPECT_TRUE(runmenu(100));
    EXPECT_EQ(platform->frame(), 4);
    EXPECT_EQ(game->gamestate, GameState::menuleft);
    EXPECT_EQ(game->selectedship, 1);
    EXPECT_EQ(game->menutimer, 0);
}

TEST_F(MenuTest, QuittingSavesAPendingTableAndEndsTheProgram) {
    game->gamestate = GameState::quit;
    game->cursor = 1;
    platform->typed(2, enter);  // "NO"
    EXPECT_FALSE(runmenu(2));
    EXPECT_EQ(game->gamestate, GameState::mainmenu);
    EXPECT_EQ(game->cursor, 3);  // "QUIT"

    restart();
    game->gamestate = GameState::quit;
    game->cursor = 0;
    game->highscorename[1] = "ACE";
    game->highscoressaved = false;
    platform->typed(2, enter);  // "YES"
    try {
        runmenu(10);
        FAIL() << "the program did not end";
    } catch (const ProgramEnd& end) {
        EXPECT_EQ(end.status, 0);
    }
    auto commands = platform->mediacommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "stop mortalkombat"), commands.end());
    EXPECT_TRUE(game->highscoressaved);
    auto file = platform->files().readstate("hiscores.dat", 4096);
    ASSERT_EQ(file.found, FileText::Found::read);
    EXPECT_NE(file.text.find("ACE"), std::string::npos);
}

TEST_F(MenuTest, HighlightShowsOnlyAfterTheEntriesHaveSettled) {
    // The entries are all blue until the highlight starts to whiten; rows are
    // 50 units apart from y = 200.
    auto whitish = [](int32_t c) { return redof(c) > 0; };
    int startrow = -1, otherrows = -1;
    at(51, [&] { startrow = count(0, 200, game->playfieldwidth(), 240, whitish); });
    at(61, [&] {
        startrow = count(0, 200, game->playfieldwidth(), 240, whitish);
        otherrows = count(0, 250, game->playfieldwidth(), 390, whitish);
    });
    at(51, [&] { EXPECT_EQ(startrow, 0) << "highlight before frame 51"; });
    runmenu(60);
    EXPECT_GT(startrow, 0);
    EXPECT_EQ(otherrows, 0);
}
