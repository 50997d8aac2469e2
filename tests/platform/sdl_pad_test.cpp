// A gamepad on the real SDL backend: SDL's virtual joystick, given a
// controller mapping, is plugged in, pressed on the menu and in play, and
// pulled out mid-game.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sdl/sdl_platform.h"
#include "support/gamefixture.h"

namespace {

struct PadListener : EventHandler {
    std::vector<std::string> heard;
    InputContext context;
    void onkeydown(int code) override { heard.push_back("down " + std::to_string(code)); }
    void onkeyup(int code) override { heard.push_back("up " + std::to_string(code)); }
    void ontyped(int code) override { heard.push_back("typed " + std::to_string(code)); }
    void onunload() override {}
    InputContext inputcontext() const override { return context; }
    std::vector<std::string> take() { return std::exchange(heard, {}); }
};

// Runs the window's event processing until something is heard (at most a second).
std::vector<std::string> listen(SdlPlatform& platform, PadListener& game) {
    for (int i = 0; i < 100 && game.heard.empty(); ++i) {
        platform.doevents();
        SDL_Delay(10);
    }
    platform.doevents();
    return game.take();
}

}  // namespace

TEST(SdlPad, AVirtualPadPlaysAndLetsGoWhenPulledOut) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The dummy window never has the focus, and SDL keeps pads from windows without it.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    TempFolder folder;
    SdlPlatform platform(folder.path());
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS");
    PadListener game;
    platform.sethandler(&game);
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) GTEST_SKIP() << "no game controller support";

    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = 6;
    desc.nbuttons = 15;
    desc.name = "Test Pad";
    int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    char guid[33];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
    std::string mapping = std::string(guid) +
                          ",Test Pad,a:b0,b:b1,x:b2,y:b3,back:b4,guide:b5,start:b6,leftstick:b7,"
                          "rightstick:b8,leftshoulder:b9,rightshoulder:b10,dpup:b11,dpdown:b12,"
                          "dpleft:b13,dpright:b14,leftx:a0,lefty:a1,rightx:a2,righty:a3,"
                          "lefttrigger:a4,righttrigger:a5,";
    ASSERT_GE(SDL_GameControllerAddMapping(mapping.c_str()), 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr) << SDL_GetError();
    platform.doevents();

    // A on the menu confirms, as Enter does.
    SDL_JoystickSetVirtualButton(stick, 0, 1);
    EXPECT_EQ(listen(platform, game), (std::vector<std::string>{"down 13", "typed 13"}));
    SDL_JoystickSetVirtualButton(stick, 0, 0);
    EXPECT_EQ(listen(platform, game), std::vector<std::string>{"up 13"});

    // In play: fire held, the stick turning right, the trigger thrusting.
    game.context.screen = InputContext::Screen::play;
    SDL_JoystickSetVirtualButton(stick, 0, 1);
    SDL_JoystickSetVirtualAxis(stick, 0, 32767);
    SDL_JoystickSetVirtualAxis(stick, 5, 32767);
    auto held = listen(platform, game);
    for (int i = 0; i < 20 && held.size() < 3; ++i) {
        auto more = listen(platform, game);
        held.insert(held.end(), more.begin(), more.end());
    }
    std::sort(held.begin(), held.end());
    EXPECT_EQ(held, (std::vector<std::string>{"down 32", "down 38", "down 39"}));

    // Pulled out mid-game: nothing stays held (SDL lets go of the buttons it
    // knew as well; the pad's own keys come up with its removal either way).
    SDL_JoystickClose(stick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
    auto released = listen(platform, game);
    std::sort(released.begin(), released.end());
    EXPECT_EQ(released, (std::vector<std::string>{"up 32", "up 38", "up 39"}));
}
