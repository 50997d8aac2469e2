// The SDL window: creation, the event loop that feeds the game's key
// handlers, presenting the image letter-boxed into whatever size the window
// has, and the media commands over SDL_mixer.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/media.h"
#include "platform/sdl/quiet_errors.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_mixer_player.h"
#include "platform/sdl/x11_window.h"

SdlPlatform::SdlPlatform(std::filesystem::path folder, int width, int height)
    : files_(std::move(folder)) {
    // The window's own surface is shown without an OpenGL context: under X
    // that is a shared-memory image, which starts faster, holds far less
    // memory than a software OpenGL driver and presents the software-drawn
    // image in a fraction of a millisecond.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Frames are paced by the game's own busy wait, not by the display.
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
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
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) != 0) {
            top = left = bottom = right = 0;
        }
        surface_ =
            std::make_unique<Surface>(width, height, width + left + right, height + top + bottom);
        // The game's image seen as an SDL surface, without a copy: its 0xAARRGGBB
        // words read as the window's usual 0x00RRGGBB, so showing it unscaled is
        // a plain copy of rows.
        image_ = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(surface_->data()), width,
                                                    height, 32, surface_->pitchbytes(),
                                                    SDL_PIXELFORMAT_RGB888);
    }
    if (!image_ || !SDL_GetWindowSurface(window_)) {
        std::string error = SDL_GetError();
        if (image_) SDL_FreeSurface(image_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_Quit();
        throw std::runtime_error("cannot create the window: " + error);
    }
    // Without a window manager nobody answers a request for full screen; the
    // window then covers the screen by itself.
    windowmanager_ = haswindowmanager(window_);

    media_ = std::make_unique<MediaCommands>(std::make_unique<SdlMixerPlayer>(), files_.folder());
    SDL_StartTextInput();
    present();
}

SdlPlatform::~SdlPlatform() {
    // The sounds go before the audio device, the device before SDL.
    media_.reset();
    for (auto& [instance, controller] : controllers_) SDL_GameControllerClose(controller);
    SDL_StopTextInput();
    makehardware(false);
    SDL_FreeSurface(image_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
}

void SdlPlatform::doevents() {
    ++frame_;
    if (framehook_) framehook_(frame_);
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
                if (auto button =
                        padbutton(static_cast<SDL_GameControllerButton>(event.cbutton.button))) {
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
        case SDL_SCANCODE_LALT:
            return KeySide::leftalt;
        case SDL_SCANCODE_RALT:
            return KeySide::rightalt;
        case SDL_SCANCODE_LCTRL:
            return KeySide::leftctrl;
        case SDL_SCANCODE_RCTRL:
            return KeySide::rightctrl;
        default:
            return KeySide::other;
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

namespace {
// Scaled presents timed on each path before the choice is made.
constexpr int trialframes = 64;
// A software-scaled present slower than this looks for a hardware renderer.
constexpr double slowpresent = 1.5e-3;  // seconds
}  // namespace

void SdlPlatform::present() {
    surface_->finish();  // image_ shows the surface's own pixels
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (w != seenwidth_ || h != seenheight_ || checksize_) {
        seenwidth_ = w;
        seenheight_ = h;
        checksize_ = false;
        realwidth_ = w;
        realheight_ = h;
        realwindowsize(window_, realwidth_, realheight_);
        // The presents that choose the path are all timed at one size: a
        // change (F11 and back) starts the count again.
        trialticks_ = 0;
        trialframes_ = 0;
    }
    // Only what the window really shows counts; SDL may believe it larger.
    w = std::min(w, realwidth_);
    h = std::min(h, realheight_);
    if (w <= 0 || h <= 0) return;
    bool scaled = w != image_->w || h != image_->h;
    int64_t start = static_cast<int64_t>(SDL_GetPerformanceCounter());
    if (renderer_) {
        showwithrenderer(w, h);
    } else {
        showonsurface(w, h);
    }
    if (trial_ != Trial::decided) {
        choosepath(static_cast<int64_t>(SDL_GetPerformanceCounter()) - start, scaled);
    }
}

void SdlPlatform::showonsurface(int width, int height) {
    SDL_Surface* out = SDL_GetWindowSurface(window_);
    if (!out) return;
    int w = std::min(out->w, width), h = std::min(out->h, height);
    SDL_Rect area = fitted(image_->w, image_->h, w, h);
    // Black bars beside or above and below the image; they are drawn every
    // time because a window that was covered comes back blank.
    SDL_Rect bars[2] = {{0, 0, area.x, h}, {area.x + area.w, 0, w - area.x - area.w, h}};
    if (area.w == w) {
        bars[0] = {0, 0, w, area.y};
        bars[1] = {0, area.y + area.h, w, h - area.y - area.h};
    }
    SDL_FillRects(out, bars, 2, 0);
    if (area.w == image_->w && area.h == image_->h) {
        SDL_BlitSurface(image_, nullptr, out, &area);
    } else if (SDL_SoftStretch(image_, nullptr, out, &area) != 0) {
        // A window surface in another pixel format: the general blitter converts.
        SDL_BlitScaled(image_, nullptr, out, &area);
    }
    SDL_Rect shown{0, 0, w, h};
    SDL_UpdateWindowSurfaceRects(window_, &shown, 1);
}

void SdlPlatform::showwithrenderer(int width, int height) {
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0) return;
    SDL_Rect area = fitted(image_->w, image_->h, std::min(w, width), std::min(h, height));
    SDL_UpdateTexture(texture_, nullptr, image_->pixels, image_->pitch);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, &area);
    SDL_RenderPresent(renderer_);
}

// Watches the scaled presents on the window surface; when they are slow,
// times the hardware renderer on as many and keeps whichever was faster.
void SdlPlatform::choosepath(int64_t ticks, bool scaled) {
    if (!scaled) return;
    trialticks_ += ticks;
    if (++trialframes_ < trialframes) return;
    double mean = static_cast<double>(trialticks_) / trialframes_ /
                  static_cast<double>(SDL_GetPerformanceFrequency());
    trialticks_ = 0;
    trialframes_ = 0;
    if (trial_ == Trial::watching) {
        if (mean <= slowpresent) return;  // fast enough: keep watching for a larger window
        surfacemean_ = mean;
        trial_ = makehardware(true) ? Trial::renderer : Trial::decided;
        return;
    }
    trial_ = Trial::decided;
    if (mean >= surfacemean_) makehardware(false);
}

bool SdlPlatform::usehardware(bool on) {
    trial_ = Trial::decided;
    return makehardware(on);
}

bool SdlPlatform::makehardware(bool on) {
    if (on == (renderer_ != nullptr)) return true;
    if (!on) {
        SDL_DestroyTexture(texture_);
        SDL_DestroyRenderer(renderer_);
        texture_ = nullptr;
        renderer_ = nullptr;
        checksize_ = true;
        return true;
    }
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    // The renderer may need a window of another kind, and SDL then replaces the
    // window by a new one in the old place; a window that covered the screen
    // by itself is moved over it again.
    if (fullscreen_ && !windowmanager_) coverscreen();
    SDL_RendererInfo info{};
    if (renderer_ && (SDL_GetRendererInfo(renderer_, &info) != 0 ||
                      (info.flags & SDL_RENDERER_ACCELERATED) == 0)) {
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
    }
    if (renderer_) {
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, image_->w, image_->h);
        if (!texture_) {
            SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
        }
    }
    checksize_ = true;
    return renderer_ != nullptr;
}

SDL_Rect SdlPlatform::fitted(int imagewidth, int imageheight, int width, int height) {
    // The largest copy of the image with its shape kept, centred.
    int64_t w = width, h = height;
    if (w * imageheight > h * imagewidth) {
        w = (h * imagewidth * 2 + imageheight) / (imageheight * 2);
    } else {
        h = (w * imageheight * 2 + imagewidth) / (imagewidth * 2);
    }
    w = std::max<int64_t>(1, w);
    h = std::max<int64_t>(1, h);
    return SDL_Rect{static_cast<int>((width - w) / 2), static_cast<int>((height - h) / 2),
                    static_cast<int>(w), static_cast<int>(h)};
}

void SdlPlatform::setfullscreen(bool on) {
    if (on == fullscreen_) return;
    if (windowmanager_) {
        if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
    } else if (on) {
        // No window manager to ask: the window itself moves over the whole screen.
        SDL_Rect windowed;
        SDL_GetWindowPosition(window_, &windowed.x, &windowed.y);
        SDL_GetWindowSize(window_, &windowed.w, &windowed.h);
        if (!coverscreen()) return;
        windowed_ = windowed;
    } else {
        SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
        SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
    }
    fullscreen_ = on;
    checksize_ = true;
}

bool SdlPlatform::coverscreen() {
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen) != 0) {
        return false;
    }
    SDL_SetWindowPosition(window_, screen.x, screen.y);
    SDL_SetWindowSize(window_, screen.w, screen.h);
    return true;
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
