// The real machine: one SDL window showing the game's image, keys and typed
// characters from the keyboard, the performance counter, and the media
// commands played through SDL_mixer.
#pragma once

#include <filesystem>
#include <map>
#include <memory>

#include "platform/gamepad.h"
#include "platform/keyinput.h"
#include "platform/platform.h"

struct SDL_Window;
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

    // Shows the image in the window now.
    void present();
    SDL_Window* window() const { return window_; }
    bool fullscreen() const { return fullscreen_; }
    void setfullscreen(bool on);

  private:
    void keydown(int scancode, int key, bool repeat);
    void keyup(int scancode, int key);
    void text(const char* utf8);
    void controlleradded(int deviceindex);
    void controllerremoved(int instance);

    Files files_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::unique_ptr<Surface> surface_;
    std::unique_ptr<MediaCommands> media_;
    EventHandler* handler_ = nullptr;
    bool fullscreen_ = false;
    // Keys and pads reach the game through the same rules as on every backend.
    KeyInput keys_;
    Gamepads pads_{keys_};
    // The open game controllers by their joystick instance number.
    std::map<int, _SDL_GameController*> controllers_;
};
