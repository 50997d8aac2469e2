// A game played in the real window through SDL's own key events, recorded,
// then replayed on the headless backend: the same frames, score and picture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/keyscript.h"
#include "platform/recorder.h"
#include "platform/sdl/sdl_platform.h"
#include "support/gamefixture.h"
#include "xserver/xserver.h"

namespace {
struct Stop {};

void pushkey(Uint32 type, SDL_Keycode key) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&e);
}
}  // namespace

TEST(Replay, AGameRecordedInTheWindowReplaysHeadlessToTheSameScoreAndPicture) {
    Xserver x;
    if (!x.problem().empty()) GTEST_SKIP() << x.problem() << "; no X server for the window";
    if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
    TempFolder folder;
    constexpr uint64_t seed = 4242;
    constexpr int64_t last = 900;

    // The player's keys by frame: skip the intro, start, choose the first
    // ship, then turn and fire at the rocks, trying every weapon.
    std::multimap<int64_t, std::pair<Uint32, SDL_Keycode>> keys;
    auto press = [&](int64_t frame, SDL_Keycode key, int64_t held = 1) {
        keys.emplace(frame, std::make_pair(SDL_KEYDOWN, key));
        keys.emplace(frame + held, std::make_pair(SDL_KEYUP, key));
    };
    for (int64_t f : {5, 10, 15, 40, 60}) press(f, SDLK_RETURN);
    press(300, SDLK_LEFT, 40);
    for (int64_t f = 320; f < 800; f += 14) press(f, SDLK_SPACE, 3);
    press(420, SDLK_UP, 25);
    press(500, SDLK_RIGHT, 90);
    press(650, SDLK_LCTRL);

    std::ostringstream journal;
    std::string windowscore;
    int64_t windowlevel = 0;
    std::vector<uint32_t> windowpicture;
    GameState windowstate{};
    {
        SdlPlatform sdl(folder.path());
        ClockRandom random(seed);
        // Each game holds its collections in fixed arrays: megabytes, kept off the stack.
        auto owned = std::make_unique<Game>(sdl, random);
        Game& game = *owned;
        InputRecorder recorder(journal, seed, sdl.surface());
        recorder.setgame(&game);
        sdl.sethandler(&recorder);
        sdl.onframe([&](int64_t frame) {
            if (frame > last) throw Stop{};
            recorder.setframe(frame);
            auto range = keys.equal_range(frame);
            for (auto it = range.first; it != range.second; ++it)
                pushkey(it->second.first, it->second.second);
        });
        EXPECT_THROW(game.Form_Load(), Stop);
        recorder.finish();
        windowscore = game.lblscore.caption;
        windowlevel = game.level;
        windowstate = game.gamestate;
        const Surface& shown = sdl.surface();
        windowpicture.assign(shown.data(), shown.data() + shown.width() * shown.height());
    }
    EXPECT_EQ(windowstate, GameState::play);

    KeyScript script = parsekeyfile(journal.str());
    ASSERT_EQ(script.seed, seed);
    ASSERT_EQ(script.end, last);
    EXPECT_GT(script.events.size(), 80u);

    ASSERT_TRUE(script.window);
    const RecordedWindow& w = *script.window;
    HeadlessPlatform headless(folder.path(), w.width, w.height, w.outerwidth, w.outerheight);
    headless.script(script.events);
    headless.setlastframe(*script.end);
    ClockRandom random(*script.seed);
    auto owned = std::make_unique<Game>(headless, random);
    Game& game = *owned;
    EXPECT_THROW(game.Form_Load(), FramesDone);
    EXPECT_EQ(headless.frame(), last);
    EXPECT_EQ(game.lblscore.caption, windowscore);
    EXPECT_NE(windowscore, "0");
    EXPECT_EQ(game.level, windowlevel);
    const Surface& picture = headless.surface();
    ASSERT_EQ(static_cast<size_t>(picture.width() * picture.height()), windowpicture.size());
    size_t differing = 0;
    for (size_t i = 0; i < windowpicture.size(); ++i)
        differing += picture.data()[i] != windowpicture[i];
    EXPECT_EQ(differing, 0u);
}
