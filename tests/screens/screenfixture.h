// A game on the headless backend for the screens' own loops: actions can be
// scheduled for a frame (they run as that frame's events are processed, before
// its scripted keys), and regions of the window can be inspected in units.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "support/gamefixture.h"

class ScreenFixture : public GameFixture {
  protected:
    void SetUp() override {
        GameFixture::SetUp();
        hook();
    }

    // A fresh game and window, for tables of cases.
    void restart() {
        actions.clear();
        platform = std::make_unique<HeadlessPlatform>(folder.path());
        game = std::make_unique<Game>(*platform, random);
        hook();
    }

    // Runs `action` at the start of frame `frame` (2 or later).
    void at(int64_t frame, std::function<void()> action) {
        actions[frame].push_back(std::move(action));
    }

    // Runs the menu for at most `frames` frames; true when it was left.
    bool runmenu(int64_t frames) {
        platform->setlastframe(frames);
        try {
            game->gamemenu();
        } catch (const FramesDone&) {
            return false;
        }
        return true;
    }

    // Pixels of the window region (playfield units) whose colour passes `test`.
    int count(double x1, double y1, double x2, double y2,
              const std::function<bool(int32_t)>& test) {
        double s = game->pixelscale;
        int n = 0;
        for (int y = static_cast<int>(y1 * s); y < static_cast<int>(y2 * s); ++y) {
            for (int x = static_cast<int>(x1 * s); x < static_cast<int>(x2 * s); ++x) {
                if (test(game->window.pixel(x, y))) ++n;
            }
        }
        return n;
    }
    int lit(double x1, double y1, double x2, double y2) {
        return count(x1, y1, x2, y2, [](int32_t c) { return c != 0; });
    }

    std::map<int64_t, std::vector<std::function<void()>>> actions;

  private:
    void hook() {
        platform->onframeend([this](int64_t ended) {
            auto it = actions.find(ended + 1);
            if (it == actions.end()) return;
            for (auto& action : it->second) action();
        });
    }
};
