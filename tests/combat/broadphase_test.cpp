// The crowded tests pass over far bodies and far shots: the A-bomb's grid and
// the shots of the rock pass. On random fields of awkward outlines (upright
// edges, edges shorter than a unit, centres outside the outline, negative
// radii) they must give exactly what testing everything gives.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/gamefixture.h"

namespace {
// A random awkward body round (x, y).
Body awkwardbody(std::mt19937& rng, float x, float y) {
    std::uniform_real_distribution<double> unit(0, 1);
    Body b;
    b.x = x;
    b.y = y;
    b.vertexcount = static_cast<int16_t>(3 + rng() % 10);
    const int kind = static_cast<int>(rng() % 5);
    for (int j = 1; j <= b.vertexcount; ++j) {
        double r = 3 + unit(rng) * 40, a = 6.283 / b.vertexcount * j;
        if (kind == 1) {
            a = unit(rng) * 6.283;  // jagged and crossing
            if (unit(rng) < 0.3) r = -r;
        } else if (kind == 2 && j % 2 == 0) {
            r = b.radius[j - 1];  // mirrored about the x axis: an upright edge
            a = -b.angle[j - 1];
        } else if (kind == 3 && j % 2 == 0) {
            r = b.radius[j - 1] + 0.3;  // an edge inside one unit square
            a = b.angle[j - 1] + 0.001;
        } else if (kind == 4) {
            a = unit(rng) * 1.2;  // every vertex to one side of the centre
        }
        b.radius[j] = static_cast<float>(r);
        b.angle[j] = static_cast<float>(a);
        b.spin[j] = 0.01f;
    }
    b.fillcolour = b.basecolour = b.linecolour = rgb(90, 90, 90);
    return b;
}

// A field of `count` awkward bodies round (300, 300).
void awkwardfield(Game& g, std::mt19937& rng, int count) {
    std::uniform_real_distribution<double> spread(40, 560);
    g.bodies.count = 0;
    for (int n = 0; n < count; ++n) {
        const int16_t k = g.bodies.add();
        g.bodies[k] =
            awkwardbody(rng, static_cast<float>(spread(rng)), static_cast<float>(spread(rng)));
    }
}

void expectsamebodies(const Game& a, const Game& b) {
    ASSERT_EQ(a.bodies.count, b.bodies.count);
    for (int k = 1; k <= a.bodies.count; ++k) {
        const Body &p = a.bodies[k], &q = b.bodies[k];
        SCOPED_TRACE(k);
        ASSERT_EQ(p.vertexcount, q.vertexcount);
        EXPECT_EQ(p.state, q.state);
        EXPECT_EQ(p.x, q.x);
        EXPECT_EQ(p.y, q.y);
        EXPECT_EQ(p.vx, q.vx);
        EXPECT_EQ(p.vy, q.vy);
        for (int j = 1; j <= p.vertexcount; ++j) {
            EXPECT_EQ(p.radius[j], q.radius[j]);
            EXPECT_EQ(p.angle[j], q.angle[j]);
        }
    }
}

class BroadPhase : public ::testing::Test {
  protected:
    // Two games that draw the same random numbers.
    TempFolder folder;
    HeadlessPlatform platforma{folder.path()}, platformb{folder.path()};
    ScriptedRandom randoma, randomb;
    std::unique_ptr<Game> a = std::make_unique<Game>(platforma, randoma);
    std::unique_ptr<Game> b = std::make_unique<Game>(platformb, randomb);
};
}  // namespace

TEST_F(BroadPhase, NoPointTheShapeTestHoldsLiesOutsideItsBodysBox) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> unit(0, 1);
    Game& g = *a;
    int narrow = 0;  // bodies whose box is far smaller than the area
    for (int n = 0; n < 400; ++n) {
        const Body body = awkwardbody(rng, static_cast<float>(200 + unit(rng) * 200),
                                      static_cast<float>(200 + unit(rng) * 200));
        Outline o;
        g.outlineof(body, o);
        const OutlineReach reach = g.outlinereach(body, o, 99, 99, 501, 501);
        narrow += reach.maxx - reach.minx < 150 && reach.maxy - reach.miny < 150;
        for (int p = 0; p < 2000; ++p) {
            // Points near the outline, where the answers change.
            const float px = static_cast<float>(body.x + (unit(rng) - 0.5) * 110);
            const float py = static_cast<float>(body.y + (unit(rng) - 0.5) * 110);
            if (g.insideoutline(body, o, px, py)) {
                ASSERT_TRUE(reach.holds(px, py)) << "body " << n << " point " << px << ", " << py;
            }
        }
    }
    EXPECT_GT(narrow, 250);
    // An ordinary rock: its box is its own square, and the blast's far points skip it.
    Body rock;
    rock.x = rock.y = 300;
    rock.vertexcount = 8;
    for (int j = 1; j <= 8; ++j) {
        rock.radius[j] = 20;
        rock.angle[j] = static_cast<float>(0.2 + 6.283 / 8 * j);
    }
    Outline o;
    g.outlineof(rock, o);
    const OutlineReach reach = g.outlinereach(rock, o, 99, 99, 501, 501);
    EXPECT_GT(reach.minx, 279);
    EXPECT_LT(reach.maxx, 321);
    EXPECT_FALSE(reach.holds(400, 300));
    EXPECT_TRUE(reach.holds(300, 300));
}

TEST_F(BroadPhase, TheBlastSplitsWhatTestingEveryBodyAtEveryPointSplits) {
    for (int field = 0; field < 6; ++field) {
        SCOPED_TRACE(field);
        std::mt19937 ra(100 + field), rb(100 + field);
        awkwardfield(*a, ra, 150 + 100 * field);
        awkwardfield(*b, rb, 150 + 100 * field);
        const float x = 250.0f + 17.3f * field, y = 280.5f + 9.1f * field;
        const int reach = 200 - 20 * field;
        a->blastgrid(x, y, reach);
        // Every body at every point, as the blast is described.
        Game& g = *b;
        for (int u = -reach; u <= reach; u += 25) {
            for (int v = -reach; v <= reach; v += 25) {
                const int n = g.bodies.count;
                for (int k = 1; k <= n; ++k) {
                    if (g.bodies[k].vertexcount > 2 && g.pointinbody(g.bodies[k], x + u, y + v))
                        g.splitrock(k);
                }
            }
        }
        EXPECT_GT(a->bodies.count, 150 + 100 * field);  // the blast did split
        EXPECT_EQ(randoma.drawn(), randomb.drawn());
        expectsamebodies(*a, *b);
    }
}

TEST_F(BroadPhase, ShotsSortedByCellHitWhatTestingEveryShotHits) {
    for (int field = 0; field < 4; ++field) {
        SCOPED_TRACE(field);
        std::mt19937 ra(200 + field), rb(200 + field);
        awkwardfield(*a, ra, 300);
        awkwardfield(*b, rb, 300);
        std::mt19937 rs(300 + field);
        std::uniform_real_distribution<double> unit(0, 1);
        for (Game* g : {a.get(), b.get()}) g->shots.count = 0;
        for (int n = 0; n < 900; ++n) {
            Shot s;
            // Some shots off the playfield, some fast, some already spent.
            s.x = static_cast<float>(unit(rs) * 900 - 100);
            s.y = static_cast<float>(unit(rs) * 800 - 100);
            s.vx = static_cast<float>((unit(rs) - 0.5) * (n % 50 == 0 ? 60 : 8));
            s.vy = static_cast<float>((unit(rs) - 0.5) * 8);
            s.life = static_cast<int16_t>(n % 7 == 0 ? 0 : 20);
            for (Game* g : {a.get(), b.get()}) g->shots[g->shots.add()] = s;
        }
        a->sortshots();
        for (int k = 1; k <= a->bodies.count; ++k) a->shotcontact(k);
        for (int k = 1; k <= b->bodies.count; ++k) b->shotcontact(k);  // no cells: every shot
        EXPECT_EQ(randoma.drawn(), randomb.drawn());
        expectsamebodies(*a, *b);
        for (int i = 1; i <= a->shots.count; ++i)
            ASSERT_EQ(a->shots[i].life, b->shots[i].life) << i;
        a->shotcells.ready = false;
    }
}
