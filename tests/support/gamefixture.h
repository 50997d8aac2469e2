// A game on the headless backend with scripted randomness, for tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "core/game.h"
#include "platform/headless/headless_platform.h"

// A fresh, empty folder under the system's temporary folder, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("volmarin-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A game in play with a small triangular ship at (300, 300), nose along angle 0.
inline void shipinplay(Game& g) {
    g.gamestate = GameState::play;
    Body& s = g.bodies[0];
    s.vertexcount = 3;
    for (int j = 1; j <= 3; ++j) {
        s.radius[j] = 10;
        s.angle[j] = static_cast<float>(fullturn / 3 * (j - 1));
    }
    s.x = 300;
    s.y = 300;
}

class GameFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        platform = std::make_unique<HeadlessPlatform>(folder.path());
        game = std::make_unique<Game>(*platform, random);
    }

    TempFolder folder;
    ScriptedRandom random;
    std::unique_ptr<HeadlessPlatform> platform;
    std::unique_ptr<Game> game;
};
