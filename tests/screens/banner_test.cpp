// The level banner and the pause screen in their own 60-frame loops: how long
// they run, how a pause is lifted, and what they leave on the window.
#include <gtest/gtest.h>

#include "screens/screenfixture.h"

namespace {
constexpr int32_t white = 0xFFFFFF;
}

class BannerTest : public ScreenFixture {};

TEST_F(BannerTest, BannerRunsItsFramesAndLeavesABlackWindow) {
    struct Case {
        int16_t level;
        int64_t frames;
    } cases[] = {{1, 136}, {9, 136}, {10, 141}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        restart();
        game->window.fillrect(0, 0, 600, 600, white);
        game->level = c.level;
        game->showlevel();
        EXPECT_EQ(platform->frame(), c.frames);
        EXPECT_EQ(game->letters.count, 0);
        EXPECT_EQ(lit(0, 0, game->playfieldwidth(), 600), 0);
        ASSERT_FALSE(platform->mediacommands().empty());
        EXPECT_EQ(platform->mediacommands().back(), "play \\ding.wav from 0");
    }
}

TEST_F(BannerTest, PauseEndsOnTheFrameItIsLiftedAndClearsTheWindow) {
    // Left paused, a run spells the word to the end and keeps the game picture.
    game->paused = -1;
    game->window.fillrect(0, 0, 20, 20, white);
    game->pausemessage();
    EXPECT_EQ(platform->frame(), 151);
    EXPECT_EQ(game->letters.count, 0);
    EXPECT_EQ(game->window.pixel(5, 5), white);

    // Lifted mid-word: the run returns at the end of that same frame, cleared.
    restart();
    game->paused = -1;
    game->window.fillrect(0, 0, 20, 20, white);
    at(40, [&] { game->paused = 0; });
    game->pausemessage();
    EXPECT_EQ(platform->frame(), 40);
    EXPECT_EQ(game->letters.count, 0);
    EXPECT_EQ(lit(0, 0, game->playfieldwidth(), 600), 0);

    // Lifted on the very frame the word ends: the window is kept.
    restart();
    game->paused = -1;
    game->window.fillrect(0, 0, 20, 20, white);
    at(151, [&] { game->paused = 0; });
    game->pausemessage();
    EXPECT_EQ(platform->frame(), 151);
    EXPECT_EQ(game->window.pixel(5, 5), white);
}
