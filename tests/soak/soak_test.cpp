// Long runs of the whole program on the headless backend with random keys:
// menus, games, deaths, levels, pauses and name entry for many thousands of
// frames, checking after every frame that no list overflows and nothing that
// moves has left the numbers, and at the end that the score file reads back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "core/game.h"
#include "platform/headless/headless_platform.h"
#include "screens/highscorefile.h"
#include "support/gamefixture.h"

namespace {
// 100,000 frames by default; VOLMARIN_SOAK_FRAMES sets another total (the
// sanitizer pass runs the long one).
int64_t soakframes() {
    if (const char* v = std::getenv("VOLMARIN_SOAK_FRAMES")) {
        long long n = std::atoll(v);
        if (n > 0) return n;
    }
    return 100000;
}

struct Broken {};

bool finite(float v) {
    return std::isfinite(v);
}

std::string named(const char* what, int number) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %d", what, number);
    return text;
}

// The first broken rule after a frame, or an empty text.
std::string checkframe(const Game& g) {
    auto within = [](int count, int capacity) { return count >= 0 && count <= capacity; };
    if (!within(g.bodies.count, Game::capacity)) return named("bodies.count", g.bodies.count);
    if (!within(g.shots.count, Game::capacity)) return named("shots.count", g.shots.count);
    if (!within(g.particles.count, Game::capacity))
        return named("particles.count", g.particles.count);
    if (!within(g.powerups.count, Game::capacity)) return named("powerups.count", g.powerups.count);
    if (!within(g.letters.count, Game::lettercapacity))
        return named("letters.count", g.letters.count);
    for (int k = 0; k <= g.bodies.count; ++k) {
        const Body& b = g.bodies[k];
        if (!finite(b.x) || !finite(b.y) || !finite(b.vx) || !finite(b.vy)) return named("body", k);
        if (b.vertexcount < 0 || b.vertexcount > max_vertices) return named("vertices of body", k);
        for (int j = 1; j <= b.vertexcount; ++j) {
            if (!finite(b.radius[j]) || !finite(b.angle[j])) return named("outline of body", k);
        }
    }
    auto shotsok = [](const auto& list, int n) {
        for (int k = 1; k <= n; ++k) {
            const Shot& s = list[k];
            if (!finite(s.x) || !finite(s.y) || !finite(s.vx) || !finite(s.vy)) return k;
        }
        return 0;
    };
    if (int k = shotsok(g.shots, g.shots.count)) return named("shot", k);
    if (int k = shotsok(g.particles, g.particles.count)) return named("particle", k);
    for (int k = 1; k <= g.powerups.count; ++k) {
        const Powerup& p = g.powerups[k];
        if (!finite(p.x) || !finite(p.y) || !finite(p.vx) || !finite(p.vy))
            return named("power-up", k);
    }
    return {};
}

// A player mashing keys: the arrows, fire, Alt and Ctrl held for a while and
// let go, Enter often enough to get through menus, the rarer keys now and then.
class Masher {
  public:
    explicit Masher(uint32_t seed) : engine_(seed) {}

    void nextframe(HeadlessPlatform& p, const Game& g, int64_t f) {
        // A pause is undone within a few frames, so most of the run is play.
        if (g.paused != 0 && chance(0.3)) press(p, f, 80);
        // In play the fire key is down most of the time, so levels get cleared.
        if (g.gamestate == GameState::play && !isdown_[4] && chance(0.1)) {
            p.keydown(f, vk::space);
            isdown_[4] = true;
        }
        if (!chance(0.3)) return;
        double r = uniform();
        static constexpr int held[] = {vk::left,  vk::right, vk::up,     vk::down,
                                       vk::space, vk::alt,   vk::control};
        if (r < 0.55) {
            int i = static_cast<int>(uniform() * 7);
            if (isdown_[i]) {
                p.keyup(f, held[i]);
            } else {
                p.keydown(f, held[i]);
            }
            isdown_[i] = !isdown_[i];
        } else if (r < 0.72) {
            p.typed(f, vk::enter);
        } else if (r < 0.80) {
            p.typed(f, 'A' + static_cast<int>(uniform() * 26));  // a name being typed
        } else if (r < 0.83) {
            p.typed(f, vk::back);
        } else if (r < 0.88) {
            p.typed(f, 49 + static_cast<int>(uniform() * 9));  // weapon digits
        } else if (r < 0.91) {
            press(p, f, 82);  // R
        } else if (r < 0.925) {
            // Esc leaves a game: seldom in play, or the games stay short.
            if (g.gamestate != GameState::play || chance(0.05)) p.typed(f, vk::escape);
        } else if (r < 0.942) {
            p.typed(f, 'a' + static_cast<int>(uniform() * 26));
        } else if (r < 0.945) {
            press(p, f, 88);  // X: self-destruct
        } else if (r < 0.95) {
            press(p, f, 80);  // P
        } else {
            int i = static_cast<int>(uniform() * 4);  // arrows in the menus
            press(p, f, held[i]);
            isdown_[i] = false;
        }
    }

  private:
    double uniform() { return std::uniform_real_distribution<double>(0, 1)(engine_); }
    bool chance(double p) { return uniform() < p; }
    void press(HeadlessPlatform& p, int64_t f, int code) {
        p.keydown(f, code);
        p.keyup(f + 1, code);
    }

    std::mt19937 engine_;
    bool isdown_[7] = {};
};

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
}  // namespace

TEST(Soak, RandomKeysThroughManyGamesKeepEveryListAndNumberSound) {
    TempFolder folder;
    const int64_t total = soakframes();
    int64_t done = 0;
    int runs = 0, games = 0, deaths = 0, maxlevel = 0, pausedframes = 0;
    Masher masher(20261207);
    std::mt19937 fate(7);
    auto doom = [&](int64_t) { return std::uniform_int_distribution<int>(0, 199)(fate) == 0; };

    while (done < total) {
        ++runs;
        auto platform = std::make_unique<HeadlessPlatform>(folder.path());
        ClockRandom random(static_cast<uint64_t>(runs) * 7919);
        auto game = std::make_unique<Game>(*platform, random);
        Game& g = *game;
        GameState laststate = GameState::mainmenu;
        int16_t lastlives = 0;
        std::string broken;
        platform->setlastframe(total - done);
        platform->onframeend([&](int64_t f) {
            broken = checkframe(g);
            if (!broken.empty()) throw Broken{};
            if (g.gamestate == GameState::play && laststate != GameState::play) ++games;
            if (g.gamestate == GameState::play && g.lives < lastlives) ++deaths;
            laststate = g.gamestate;
            lastlives = g.lives;
            if (g.gamestate == GameState::play && g.level > maxlevel) maxlevel = g.level;
            if (g.paused != 0) ++pausedframes;
            // Random play seldom clears a level, so now and then every rock
            // starts to fade out: the level ends the ordinary way, through the
            // removal pass, and the following ones get played too.
            if (g.gamestate == GameState::play && g.paused == 0 && doom(f)) {
                for (int k = 1; k <= g.bodies.count; ++k) {
                    if (g.bodies[k].state >= 0) g.bodies[k].state = -1;
                }
            }
            platform->clearmedia();
            masher.nextframe(*platform, g, f + 1);
        });
        try {
            g.Form_Load();
            FAIL() << "the program returned without ending";
        } catch (const FramesDone&) {
        } catch (const ProgramEnd&) {
            // QUIT and YES came up: start the program again.
        } catch (const Broken&) {
            FAIL() << "after frame " << done + platform->frame() << " of run " << runs << ": "
                   << broken;
        }
        done += platform->frame();
    }

    std::optional<highscorefile::Table> table =
        highscorefile::parse(contents(folder.path() / "hiscores.dat"));
    EXPECT_TRUE(table.has_value()) << contents(folder.path() / "hiscores.dat");
    // The run has to have been a real one, not one long menu or one long pause.
    EXPECT_GE(games, total / 20000);
    EXPECT_LT(pausedframes, total / 4);
    RecordProperty("games", games);
    RecordProperty("deaths", deaths);
    RecordProperty("maxlevel", maxlevel);
    std::printf(
        "soak: %lld frames, %d program runs, %d games, %d lives lost, level %d reached, %d paused "
        "frames\n",
        static_cast<long long>(done), runs, games, deaths, maxlevel, pausedframes);
}
