// The intro's three titles: how long each lasts without keys, and Enter cutting
// the title on show short.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "support/gamefixture.h"

namespace {
struct IntroRun {
    std::map<std::string, int64_t> firstframe;  // frame after which each title was on
    int64_t frames = 0;
    int16_t lettercount = -1;
};

// Runs the intro; an Enter typed in one of `enters` frames asks to skip.
IntroRun runintro(Game& game, HeadlessPlatform& platform, const std::set<int64_t>& enters) {
    IntroRun run;
    game.lbltitle.caption = "Brannoch";
    if (enters.count(1)) game.firestate = -1;
    platform.onframeend([&](int64_t frame) {
        run.firstframe.emplace(game.lbltitle.caption, frame);
        if (enters.count(frame + 1)) game.firestate = -1;
    });
    game.intro();
    platform.onframeend(nullptr);
    run.frames = platform.frame();
    run.lettercount = game.letters.count;
    return run;
}
}  // namespace

TEST_F(GameFixture, IntroTitlesRunTheirFullLengthWithoutKeys) {
    // 57, 57 and 159 frames: each last letter waits, switches once to fading
    // and falls from its starting level.
    IntroRun run = runintro(*game, *platform, {});
    EXPECT_EQ(run.firstframe["Presents"], 57);
    EXPECT_EQ(run.firstframe["VOLMARIN"], 57 + 57);
    EXPECT_EQ(run.frames, 57 + 57 + 159);
    EXPECT_EQ(run.lettercount, 0);
    EXPECT_EQ(game->lbltitle.caption, "VOLMARIN");
}

TEST_F(GameFixture, EnterSkipsOnlyTheTitleOnShow) {
    struct Case {
        std::set<int64_t> enters;
        int64_t frames;
    } cases[] = {
        {{1}, 2 + 57 + 159},   // the author's name goes out on the next frame
        {{60}, 57 + 4 + 159},  // typed on the third frame of "Presents"
        {{1, 3, 5}, 6},        // three presses skip the whole intro
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames);
        auto fresh = std::make_unique<HeadlessPlatform>(folder.path());
        Game g(*fresh, random);
        IntroRun run = runintro(g, *fresh, c.enters);
        EXPECT_EQ(run.frames, c.frames);
        EXPECT_EQ(g.firestate, 0);
    }
}

TEST_F(GameFixture, ThreeTypedEntersSkipTheWholeIntro) {
    for (int64_t frame : {1, 3, 5}) platform->typed(frame, vk::enter);
    game->lbltitle.caption = "Brannoch";
    game->intro();
    EXPECT_EQ(platform->frame(), 6);
    EXPECT_EQ(game->lbltitle.caption, "VOLMARIN");
}
