// The page: the game's image copied to a canvas, keys from the page, the
// browser's high-resolution clock, sound through the Web Audio API and the
// high-score table in the browser's storage. Built with emscripten and
// ASYNCIFY, so the game's blocking loops yield to the browser while they wait.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/keyinput.h"
#include "platform/platform.h"

class MediaCommands;

class WebPlatform : public Platform {
  public:
    // The game's files are in `folder`; the high-score table in `statefolder`,
    // which the page keeps in its storage.
    WebPlatform(std::filesystem::path folder, std::filesystem::path statefolder, int width = 823,
                int height = 709);
    ~WebPlatform() override;
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    Surface& surface() override { return surface_; }
    void sethandler(EventHandler* handler) override { keys_.sethandler(handler); }
    // The page is going away (closed, reloaded, left): the game's unload
    // handler runs now, as when the desktop's window is closed, and the next
    // processing of events ends the game's loops.
    void closepage();
    void doevents() override;
    int64_t counter() override;
    int64_t frequency() override { return ticks_per_second; }
    void waituntil(int64_t deadline) override;
    int mcisendstring(std::string_view command, std::string* reply) override;
    int showcursor() override { return 1; }
    Files& files() override { return files_; }

    // The counter counts microseconds of the page's clock.
    static constexpr int64_t ticks_per_second = 1'000'000;

  private:
    void yield(double milliseconds);

    Surface surface_;
    Files files_;
    std::unique_ptr<MediaCommands> media_;
    KeyInput keys_;
    int64_t lastyield_ = 0;
    bool closed_ = false;
};

// Copies the image to the page's canvas as RGBA bytes through `scratch`,
// which keeps its size between calls so that showing allocates nothing.
void showimage(const Surface& surface, std::vector<uint8_t>& scratch);
