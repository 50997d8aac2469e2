// Cost of one whole frame of play (everything but the events and the wait) at
// four loads, from a quiet first level to an A-bomb at its widest over a
// crowded field. Each iteration starts from the same saved scene.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/game.h"
#include "platform/headless/headless_platform.h"

namespace {
// The part of the game a frame changes, kept so that every timed frame starts
// from the same scene. Only the elements in use are copied.
struct Snapshot {
    std::vector<Body> bodies;
    std::vector<DrawnOutline> drawn;  // the points each body was last drawn with
    std::vector<Shot> shots, particles;
    std::vector<Powerup> powerups;
    Body flame, laserbeam;
    std::array<int16_t, 11> ammo{};
    Weapon weapon = Weapon::gun;
    int16_t lives = 0, level = 0, firestate = 0;
    int32_t respawntimer = 0, huntertimer = 0, nextlife = 0;
    Label lblscore, lblweapon;
    Gauge lasercharge;

    void save(const Game& g) {
        bodies.assign(g.bodies.begin(), g.bodies.begin() + g.bodies.count + 1);
        drawn.assign(g.drawnoutlines.begin(), g.drawnoutlines.begin() + g.bodies.count + 1);
        shots.assign(g.shots.begin(), g.shots.begin() + g.shots.count + 1);
        particles.assign(g.particles.begin(), g.particles.begin() + g.particles.count + 1);
        powerups.assign(g.powerups.begin(), g.powerups.begin() + g.powerups.count + 1);
        flame = g.flame;
        laserbeam = g.laserbeam;
        ammo = g.ammo;
        weapon = g.weapon;
        lives = g.lives;
        level = g.level;
        firestate = g.firestate;
        respawntimer = g.respawntimer;
        huntertimer = g.huntertimer;
        nextlife = g.nextlife;
        lblscore = g.lblscore;
        lblweapon = g.lblweapon;
        lasercharge = g.lasercharge;
    }

    void restore(Game& g) const {
        std::copy(bodies.begin(), bodies.end(), g.bodies.begin());
        std::copy(drawn.begin(), drawn.end(), g.drawnoutlines.begin());
        std::copy(shots.begin(), shots.end(), g.shots.begin());
        std::copy(particles.begin(), particles.end(), g.particles.begin());
        std::copy(powerups.begin(), powerups.end(), g.powerups.begin());
        g.bodies.count = static_cast<int16_t>(bodies.size() - 1);
        g.shots.count = static_cast<int16_t>(shots.size() - 1);
        g.particles.count = static_cast<int16_t>(particles.size() - 1);
        g.powerups.count = static_cast<int16_t>(powerups.size() - 1);
        g.flame = flame;
        g.laserbeam = laserbeam;
        g.ammo = ammo;
        g.weapon = weapon;
        g.lives = lives;
        g.level = level;
        g.firestate = firestate;
        g.respawntimer = respawntimer;
        g.huntertimer = huntertimer;
        g.nextlife = nextlife;
        g.lblscore = lblscore;
        g.lblweapon = lblweapon;
        g.lasercharge = lasercharge;
    }
};

struct Scene {
    HeadlessPlatform platform{std::filesystem::temp_directory_path()};
    ClockRandom random{11};
    std::unique_ptr<Game> game = std::make_unique<Game>(platform, random);
    Snapshot start;

    Scene() {
        Game& g = *game;
        g.pixelscale = 709.0 / 600;  // the headless window's inner height over 600 units
        g.selectedship = 0;
        g.newgame();  // level 1: ship built, one rock, banner shown
    }

    // Lays out level `l` again until it is a standard level (not one of the special ones).
    void standardlevel(int l) {
        Game& g = *game;
        int rocks = l <= 7 ? l : 8 + (l - 7) / 2;
        do {
            g.level = static_cast<int16_t>(l);
            g.nextlevel();
        } while (g.bodies.count != rocks);
    }

    // Splits the rocks down to small pieces, then scatters copies of the pieces
    // over the playfield until it holds `target` bodies.
    void crowd(int target) {
        Game& g = *game;
        for (int k = 1; g.bodies.count < target && k <= g.bodies.count; ++k) {
            if (g.bodies[k].vertexcount > 3 && g.bodies[k].type != BodyType::hunting) {
                g.splitrock(k);
                k = 0;  // from the start again, so every rock is cut down evenly
            }
        }
        const int pieces = g.bodies.count;
        while (g.bodies.count < target) {
            int16_t k = g.bodies.add();
            g.bodies[k] = g.bodies[1 + static_cast<int>(g.rnd() * pieces)];
            g.bodies[k].x = static_cast<float>(g.rnd() * g.playfieldwidth());
            g.bodies[k].y = static_cast<float>(g.rnd() * 600);
        }
        for (int k = 1; k <= g.bodies.count; ++k) g.bodies[k].state = 0;  // no longer flashing
    }

    // Saves the scene as a frame of play finds it: every body drawn by the
    // frame before, so that erasing it takes the points it was drawn with.
    void ready() {
        Game& g = *game;
        for (int k = 0; k <= g.bodies.count; ++k) g.drawbody(g.bodies[k]);
        g.window.finish();
        start.save(g);
    }
};

void runframes(benchmark::State& state, Scene& scene) {
    Game& g = *scene.game;
    const uint64_t before = g.window.pixelswritten();
    for (auto _ : state) {
        benchmark::DoNotOptimize(g.playframe());
        g.window.finish();  // as presenting the frame would
        state.PauseTiming();
        scene.start.restore(g);
        scene.platform.clearmedia();
        state.ResumeTiming();
    }
    state.counters["budget_%"] = benchmark::Counter(
        12.5e-3 / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["bodies"] = g.bodies.count;
    state.counters["shots"] = g.shots.count;
    state.counters["particles"] = g.particles.count;
    state.counters["pixels"] = static_cast<double>(g.window.pixelswritten() - before) /
                               static_cast<double>(state.iterations());
}
}  // namespace

// A new game's first level: one slow rock, the ship shielded in the middle.
static void BM_Frame_Level1(benchmark::State& state) {
    Scene scene;
    scene.ready();
    runframes(state, scene);
}
BENCHMARK(BM_Frame_Level1)->Unit(benchmark::kMicrosecond);

// Level 13: eleven rocks, four hunters chasing the ship and a few power-ups drifting.
static void BM_Frame_LateLevel(benchmark::State& state) {
    Scene scene;
    Game& g = *scene.game;
    scene.standardlevel(13);
    for (int n = 0; n < 4; ++n) {
        g.huntertimer = 1000;
        g.huntertimerstep();
    }
    for (int n = 0; n < 6; ++n) {
        g.droppowerup(static_cast<float>(100 + 100 * n), 300.0f, 0.3f, -0.2f);
    }
    scene.ready();
    runframes(state, scene);
}
BENCHMARK(BM_Frame_LateLevel)->Unit(benchmark::kMicrosecond);

// The ship blows itself up in a crowded field: 250 bullets, 50 sparks and the
// ship's wedges, among 200 rocks and pieces.
static void BM_Frame_SelfDestruct(benchmark::State& state) {
    Scene scene;
    Game& g = *scene.game;
    scene.standardlevel(13);
    scene.crowd(200);
    g.bodies[0].state = 0;
    g.selfdestruct();
    scene.ready();
    runframes(state, scene);
}
BENCHMARK(BM_Frame_SelfDestruct)->Unit(benchmark::kMicrosecond);

// An A-bomb at its widest in the middle of a level broken into 700 pieces, with
// the shot and particle lists nearly full.
static void BM_Frame_ABombBlast(benchmark::State& state) {
    Scene scene;
    Game& g = *scene.game;
    scene.standardlevel(13);
    scene.crowd(700);
    g.shots.count = 0;
    g.particles.count = 0;
    for (int n = 0; n < 900; ++n) {
        Shot& s = g.shots[g.shots.add()];
        s = Shot{};
        s.x = static_cast<float>(g.rnd() * g.playfieldwidth());
        s.y = static_cast<float>(g.rnd() * 600);
        s.vx = 1;
        s.colour = rgb(255, 255, 255);
        s.life = s.life0 = 30;
    }
    for (int n = 0; n < 899; ++n) {
        Shot& p = g.particles[g.particles.add()];
        p = Shot{};
        p.type = ParticleType::flame;
        p.x = static_cast<float>(g.rnd() * g.playfieldwidth());
        p.y = static_cast<float>(g.rnd() * 600);
        p.life = p.life0 = 30;
    }
    Shot& bomb = g.particles[g.particles.add()];
    bomb = Shot{};
    bomb.type = ParticleType::abomb;
    bomb.x = static_cast<float>(g.playfieldwidth() / 2);
    bomb.y = 300;
    bomb.life0 = 125;
    bomb.life = 2;  // aged to 1 in this frame: the blast's full 200-unit reach
    scene.ready();
    runframes(state, scene);
}
BENCHMARK(BM_Frame_ABombBlast)->Unit(benchmark::kMicrosecond);

// The worst frames of real play, not of a built scene: 10,000 frames (two
// minutes) from level 13 on, a player holding the gun down while turning and
// thrusting, switching weapons, and setting off an A-bomb every two seconds,
// with every weapon and life topped up so the game runs on through the
// levels. The counters give the slowest frame's work, the 99th percentile and
// the mean; on a busy machine the slowest is a time slice lost to another
// program (4 ms here), so it is read on a quiet one.
static void BM_Frame_WorstOfPlay(benchmark::State& state) {
    constexpr int frames = 10000;
    std::vector<double> ms;
    ms.reserve(frames);
    for (auto _ : state) {
        state.PauseTiming();
        Scene scene;
        Game& g = *scene.game;
        scene.standardlevel(13);
        ms.clear();
        state.ResumeTiming();
        for (int f = 0; f < frames; ++f) {
            g.stock(Weapon::laser) = 50;
            g.stock(Weapon::missile) = 50;
            g.stock(Weapon::abomb) = 3;
            g.lives = 5;
            if (f == 0) g.Form_KeyDown(vk::space);
            if (f % 120 == 0) g.Form_KeyDown(f % 240 == 0 ? vk::left : vk::right);
            if (f % 120 == 60) g.Form_KeyUp(f % 240 == 60 ? vk::left : vk::right);
            if (f % 100 == 0) g.Form_KeyDown(vk::up);
            if (f % 100 == 20) g.Form_KeyUp(vk::up);
            if (f % 160 == 40) g.Form_KeyDown(vk::control);
            if (f % 160 == 41) g.Form_KeyUp(vk::control);
            if (f % 400 == 0) g.ontyped('1' + (f / 400) % 4);
            const auto start = std::chrono::steady_clock::now();
            const bool playing = g.playframe();
            g.window.finish();
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
            // The next level's banner runs frames of its own.
            if (!playing) {
                g.newgame();
            } else if (g.levelended()) {
                ++g.level;
                g.nextlevel();
            }
        }
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    state.counters["worst_ms"] = ms.back();
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["mean_ms"] = sum / static_cast<double>(ms.size());
}
BENCHMARK(BM_Frame_WorstOfPlay)->Unit(benchmark::kMillisecond)->Iterations(1);
