// The real game binary in a real X server, driven by real key events: the
// intro, the menu, a game, game over with a name typed and saved, quitting,
// and closing the window during play. Skips where Xvfb or xdotool is missing.
#include "support/windowgame.h"

TEST_F(WindowFixture, AWholeGameFromIntroToSavedHighScoreAndQuit) {
    start();
    auto window = screenshot();
    EXPECT_EQ(window.width, 823);
    EXPECT_EQ(window.height, 709);
    std::this_thread::sleep_for(600ms);
    EXPECT_GT(screenshot().lit, 0) << "the intro shows its letters";
    key("Return");
    key("Return");
    key("Return", 1500ms);  // the intro is over; the menu slides in
    auto menu = screenshot();
    EXPECT_GT(menu.lit, 500) << "the main menu shows";

    key("Return", 900ms);   // START: the ship selection
    key("Return", 3500ms);  // a ship chosen: the level banner, then play
    auto play = screenshot();
    EXPECT_GT(play.lit, 200) << "the ship, the rocks and the HUD show";

    giveuptonameentry();
    run("xdotool type --delay 80 ACE");
    std::this_thread::sleep_for(400ms);
    key("Return", 700ms);   // the table with the new entry
    key("Return", 1200ms);  // back to the main menu, the table saved
    EXPECT_NE(hiscores().find("ACE"), std::string::npos) << hiscores();

    key("Up", 300ms);      // QUIT
    key("Return", 800ms);  // the quit question, "NO" highlighted
    key("Up", 300ms);      // YES
    key("Return");
    auto status = waitexit(10s);
    ASSERT_TRUE(status.has_value()) << "the game did not end after QUIT and YES";
    EXPECT_EQ(*status, 0);
}

TEST_F(WindowFixture, ClosingTheWindowDuringPlayEndsTheGameCleanly) {
    start();
    key("Return");
    key("Return");
    key("Return", 1500ms);
    key("Return", 900ms);
    key("Return", 3500ms);  // in play
    kill(game, SIGTERM);    // the same quit event as the window's close button
    auto status = waitexit(10s);
    ASSERT_TRUE(status.has_value()) << "the game did not end when its window was closed";
    EXPECT_EQ(*status, 0);
}

TEST_F(WindowFixture, AltGrTypesIntoAHighScoreNameWhileLeftAltTypesNothing) {
    // A German layout, where AltGr+Q is "@" and AltGr+E is "€". The fixture's
    // own connection keeps the server from resetting the layout.
    if (!onpath("setxkbmap")) GTEST_SKIP() << "setxkbmap is not installed";
    ASSERT_EQ(std::system("setxkbmap de >/dev/null 2>&1"), 0);
    start();
    std::this_thread::sleep_for(600ms);
    key("Return");
    key("Return");
    key("Return", 1500ms);
    key("Return", 900ms);
    key("Return", 3500ms);  // in play
    giveuptonameentry();
    key("ISO_Level3_Shift+q");
    key("alt+x");  // Left Alt is the hyperspace key, not a way of typing
    key("a");
    key("ISO_Level3_Shift+e", 400ms);
    key("Return", 700ms);
    key("Return");  // the table saved
    // The file is in Windows-1252, where the euro sign is 0x80.
    for (int i = 0; i < 30 && hiscores().find("@a\x80 ") == std::string::npos; ++i) {
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_NE(hiscores().find("@a\x80 "), std::string::npos) << hiscores();
}

TEST_F(WindowFixture, F11OnABareXServerFillsTheScreenWithTheWholePictureAndReturns) {
    // On a slow machine the scaled full-screen picture makes the game try a
    // hardware renderer, and SDL replaces the window for it; a key pressed in
    // that moment is lost. Only the software renderer is offered here, which
    // needs no new window (the replacement has its own test, SdlWindow.*).
    start({{"SDL_RENDER_DRIVER", "software"}});
    key("Return");
    key("Return");
    key("Return", 1500ms);  // the menu: a still picture with lit text
    auto before = screenshot();
    ASSERT_GT(before.lit, 500);
    key("F11", 600ms);
    auto full = screenshot();
    // No window manager: the window itself covers the 1024 x 768 screen, and
    // the picture, enlarged 768 / 709 times, sits between black bars.
    EXPECT_EQ(full.width, 1024);
    EXPECT_EQ(full.height, 768);
    double enlarged = (768.0 / 709) * (768.0 / 709);
    EXPECT_NEAR(full.lit, before.lit * enlarged, before.lit * enlarged * 0.15)
        << "the whole picture, no more and no less, shows in full screen";
    key("F11", 600ms);
    auto back = screenshot();
    EXPECT_EQ(back.width, 823);
    EXPECT_EQ(back.height, 709);
    EXPECT_NEAR(back.lit, before.lit, before.lit * 0.05);
}
