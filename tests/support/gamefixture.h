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
        path_ = std::filesystem::temp_directory_path() / ("volmarin-test-" + std::to_string(rd()) + std::to_string(rd()));
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

class GameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform = std::make_unique<HeadlessPlatform>(folder.path());
        game = std::make_unique<Game>(*platform, random);
        game->frequency = platform->frequency();
    }

    TempFolder folder;
    ScriptedRandom random;
    std::unique_ptr<HeadlessPlatform> platform;
    std::unique_ptr<Game> game;
};
