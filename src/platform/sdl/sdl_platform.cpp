// The SDL window: creation, the event loop that feeds the game's key
// handlers, presenting the image letter-boxed into whatever size the window
// has, and the media commands over SDL_mixer.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <stdexcept>
#include <string>

#include "platform/media.h"
#include "platform/sdl/quiet_errors.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_mixer_player.h"

SdlPlatform::SdlPlatform(std::filesystem::path folder, int width, int height)
    : files_(std::move(folder)) {
    // Frames are paced by the game's own busy wait, not by the display.
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    // The image is scaled smoothly when the window is resized.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    int failed;
    {
        QuietErrors quiet;
        failed = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
    if (failed) throw std::runtime_error(std::string("cannot open the display: ") + SDL_GetError());
    {
        // Without game controller support the game is played with the keyboard
        // only. Pads present now arrive as added-device events.
        QuietErrors quiet;
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    // With no display SDL falls back to drawing nowhere; a game nobody can see
    // is not started unless that is asked for by name.
    std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    if ((driver == "offscreen" || driver == "dummy") && !(wanted && driver == wanted)) {
        SDL_Quit();
        throw std::runtime_error("cannot open the window: no display");
    }
    window_ = SDL_CreateWindow("VOLMARIN", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                               height, SDL_WINDOW_RESIZABLE);
    if (window_) {
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    }
    if (renderer_) {
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, width, height);
    }
    if (!texture_) {
        std::string error = SDL_GetError();
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_Quit();
        throw std::runtime_error("cannot create the window: " + error);
    }
    // Letter-boxed into the window with its shape kept, whatever the window's size.
    SDL_RenderSetLogicalSize(renderer_, width, height);

    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) {
        top = left = bottom = right = 0;
    }
    surface_ =
        std::make_unique<Surface>(width, height, width + left + right, height + top + bottom);
    media_ = std::make_unique<MediaCommands>(std::make_unique<SdlMixerPlayer>(), files_.folder());
    SDL_StartTextInput();
    present();
}

SdlPlatform::~SdlPlatform() {
    // The sounds go before the audio device, the device before SDL.
    media_.reset();
    for (auto& [instance, controller] : controllers_) SDL_GameControllerClose(controller);
    SDL_StopTextInput();
    SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
}

void SdlPlatform::doevents() {
    SDL_Event event;
    bool closed = false;
    while (SDL_PollEvent(&event)) {
        // Once the window is closed the rest of the queue is only drained, so
        // that the next call starts from a fresh look at the system's events.
        if (closed) continue;
        switch (event.type) {
            case SDL_QUIT:
                // The window's close box, or the system asking the program to end.
                closed = true;
                break;
            case SDL_KEYDOWN:
                keydown(event.key.keysym.scancode, event.key.keysym.sym, event.key.repeat != 0);
                break;
            case SDL_KEYUP:
                keyup(event.key.keysym.scancode, event.key.keysym.sym);
                break;
            case SDL_TEXTINPUT:
                text(event.text.text);
                break;
            case SDL_CONTROLLERDEVICEADDED:
                controlleradded(event.cdevice.which);
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                controllerremoved(event.cdevice.which);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                if (auto button = padbutton(
                        static_cast<SDL_GameControllerButton>(event.cbutton.button))) {
                    pads_.button(event.cbutton.which, *button,
                                 event.type == SDL_CONTROLLERBUTTONDOWN, event.cbutton.timestamp);
                }
                break;
            case SDL_CONTROLLERAXISMOTION:
                if (auto axis = padaxis(static_cast<SDL_GameControllerAxis>(event.caxis.axis))) {
                    pads_.axis(event.caxis.which, *axis, event.caxis.value, event.caxis.timestamp);
                }
                break;
            default:
                break;
        }
    }
    if (!closed) pads_.tick(SDL_GetTicks());
    if (closed) {
        if (handler_) handler_->onunload();
        throw WindowClosed{};
    }
    present();
}

namespace {

KeySide side(SDL_Scancode code) {
    switch (code) {
        case SDL_SCANCODE_LALT: return KeySide::leftalt;
        case SDL_SCANCODE_RALT: return KeySide::rightalt;
        case SDL_SCANCODE_LCTRL: return KeySide::leftctrl;
        case SDL_SCANCODE_RCTRL: return KeySide::rightctrl;
        default: return KeySide::other;
    }
}

}  // namespace

void SdlPlatform::keydown(int scancode, int key, bool repeat) {
    auto code = static_cast<SDL_Scancode>(scancode);
    if (key == SDLK_F11) {
        // The window's own key: full screen and back.
        if (!repeat) setfullscreen(!fullscreen_);
        return;
    }
    bool numlock = (SDL_GetModState() & KMOD_NUM) != 0;
    keys_.keydown(virtualkey(key, code, numlock), side(code));
}

void SdlPlatform::keyup(int scancode, int key) {
    auto code = static_cast<SDL_Scancode>(scancode);
    if (key == SDLK_F11) return;
    bool numlock = (SDL_GetModState() & KMOD_NUM) != 0;
    keys_.keyup(virtualkey(key, code, numlock), side(code));
}

void SdlPlatform::text(const char* utf8) {
    for (int code : windows1252(utf8)) keys_.text(code);
}

void SdlPlatform::controlleradded(int deviceindex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceindex);
    if (!controller) return;
    int instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (controllers_.count(instance)) {
        // Already open (a pad present at start-up is announced twice).
        SDL_GameControllerClose(controller);
        return;
    }
    controllers_[instance] = controller;
    pads_.plug(instance);
}

void SdlPlatform::controllerremoved(int instance) {
    pads_.unplug(instance);
    auto it = controllers_.find(instance);
    if (it == controllers_.end()) return;
    SDL_GameControllerClose(it->second);
    controllers_.erase(it);
}

void SdlPlatform::present() {
    SDL_UpdateTexture(texture_, nullptr, surface_->data(), surface_->pitchbytes());
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

void SdlPlatform::setfullscreen(bool on) {
    if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) {
        fullscreen_ = on;
    }
}

int64_t SdlPlatform::counter() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t SdlPlatform::frequency() {
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

int SdlPlatform::mcisendstring(std::string_view command, std::string* reply) {
    return media_->send(command, reply);
}

int SdlPlatform::showcursor() {
    SDL_ShowCursor(SDL_ENABLE);
    return 1;
}
