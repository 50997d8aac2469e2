// The real machine: one SDL window showing the game's image, keys and typed
// characters from the keyboard, the performance counter, and the media
// commands played through SDL_mixer.
#pragma once

#include <SDL_rect.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "platform/gamepad.h"
#include "platform/keyinput.h"
#include "platform/platform.h"

struct SDL_Window;
struct SDL_Surface;
struct SDL_Renderer;
struct SDL_Texture;
struct _SDL_GameController;
class MediaCommands;

class SdlPlatform : public Platform {
  public:
    // Opens the window "VOLMARIN" with a client area of width x height pixels.
    // Throws std::runtime_error when there is no display to open it on; a
    // missing audio device only leaves the game silent.
    explicit SdlPlatform(std::filesystem::path folder, int width = 823, int height = 709);
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    Surface& surface() override { return *surface_; }
    void sethandler(EventHandler* handler) override {
        handler_ = handler;
        keys_.sethandler(handler);
    }
    void doevents() override;
    int64_t counter() override;
    int64_t frequency() override;
    int mcisendstring(std::string_view command, std::string* reply) override;
    int showcursor() override;
    Files& files() override { return files_; }

    // Event passes so far, one per frame of whichever loop runs: the frame
    // numbers of recordings and replays.
    int64_t frame() const { return frame_; }
    // Called at the start of every event pass with its frame number, before
    // the window's own events are read (a replay hands the game its keys here).
    void onframe(std::function<void(int64_t)> hook) { framehook_ = std::move(hook); }

    // Shows the image in the window now, as large as the window really holds
    // it with its shape kept, between black bars.
    void present();
    // Where an image of the given size goes in a window of the given size.
    static SDL_Rect fitted(int imagewidth, int imageheight, int width, int height);
    SDL_Window* window() const { return window_; }

    // The image is shown through the window's own surface, scaled in software
    // when the window is larger. Where that scaling is slow (a large screen) a
    // hardware renderer is tried and kept if it shows the image faster.
    // Switches by hand, ending the automatic choice; false when no hardware
    // renderer can be made.
    bool usehardware(bool on);
    bool hardware() const { return renderer_ != nullptr; }
    bool fullscreen() const { return fullscreen_; }
    void setfullscreen(bool on);

  private:
    int64_t frame_ = 0;
    std::function<void(int64_t)> framehook_;
    void keydown(int scancode, int key, bool repeat);
    void keyup(int scancode, int key);
    void text(const char* utf8);
    void controlleradded(int deviceindex);
    void controllerremoved(int instance);

    Files files_;
    SDL_Window* window_ = nullptr;
    void showonsurface(int width, int height);
    void showwithrenderer(int width, int height);
    void choosepath(int64_t ticks, bool scaled);
    bool makehardware(bool on);
    // Moves and sizes the window over its whole screen; false when the screen is unknown.
    bool coverscreen();

    SDL_Surface* image_ = nullptr;  // the surface's pixels, seen by SDL
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    // Timing of scaled presents on each path, to choose the faster one once.
    enum class Trial { watching, renderer, decided } trial_ = Trial::watching;
    int64_t trialticks_ = 0;
    int trialframes_ = 0;
    double surfacemean_ = 0;  // seconds per scaled present on the window surface
    std::unique_ptr<Surface> surface_;
    std::unique_ptr<MediaCommands> media_;
    EventHandler* handler_ = nullptr;
    bool fullscreen_ = false;
    // Keys and pads reach the game through the same rules as on every backend.
    KeyInput keys_;
    Gamepads pads_{keys_};
    // The open game controllers by their joystick instance number.
    std::map<int, _SDL_GameController*> controllers_;
    bool windowmanager_ = true;
    SDL_Rect windowed_{};  // place and size to return to from full screen by hand
    // The window's size as SDL last reported it, and as the display really has
    // it; the second is asked for again whenever the first changes.
    int seenwidth_ = 0, seenheight_ = 0, realwidth_ = 0, realheight_ = 0;
    bool checksize_ = true;
};
