// The two ship designs: exact outlines, colours, where the ship is placed, the
// flame that goes with each design and the laser beam of the player's ship.
#include <gtest/gtest.h>

#include <cmath>

#include "support/gamefixture.h"

namespace {
class ShipTest : public GameFixture {};

constexpr int32_t white = 0xFFFFFF;
constexpr int32_t grey65 = 65 + 256 * 65 + 65536 * 65;
}  // namespace

TEST_F(ShipTest, ClassicDesignIsBuiltExactlyWithZeroVelocityAndSolidFill) {
    Body& ship = game->bodies[0];
    ship.vx = 3;
    ship.vy = -2;
    ship.fillstyle = 1;
    ship.state = 77;
    ship.type = BodyType::pulsing;
    ship.spin[1] = 0.25f;
    game->selectedship = 0;
    random.push(0.25, 0.5);
    game->initializeship();

    EXPECT_EQ(ship.x, static_cast<float>(0.25 * game->playfieldwidth()));
    EXPECT_EQ(ship.y, 300.0f);
    EXPECT_EQ(ship.vx, 0.0f);
    EXPECT_EQ(ship.vy, 0.0f);
    EXPECT_EQ(ship.fillstyle, 0);
    // The caller's own fields are left alone.
    EXPECT_EQ(ship.state, 77);
    EXPECT_EQ(ship.type, BodyType::pulsing);
    EXPECT_EQ(ship.spin[1], 0.25f);

    const float radius[] = {9.5f, 10.66f, 4.2453f, 4.2453f, 10.66f};
    const float angle[] = {0.0f, 2.4859f, 2.5346f, -2.5346f, -2.4859f};
    ASSERT_EQ(ship.vertexcount, 5);
    for (int j = 1; j <= 5; ++j) {
        EXPECT_EQ(ship.radius[j], radius[j - 1]) << j;
        EXPECT_EQ(ship.angle[j], angle[j - 1]) << j;
    }
    EXPECT_EQ(ship.fillcolour, grey65);
    EXPECT_EQ(ship.basecolour, grey65);
    EXPECT_EQ(ship.linecolour, white);

    const Body& f = game->flame;
    ASSERT_EQ(f.vertexcount, 3);
    EXPECT_EQ(f.radius[1], 5.0f);
    EXPECT_EQ(f.angle[2], 0.9f);
    EXPECT_EQ(f.angle[3], -0.9f);
    EXPECT_EQ(f.radius[4], 7.0f);  // flicker amplitude
    EXPECT_EQ(f.radius[5], 5.0f);  // shortest length
    EXPECT_EQ(f.fillcolour, 255);
    EXPECT_EQ(f.linecolour, 255);
    EXPECT_EQ(f.basecolour, 255);
    EXPECT_EQ(f.x, ship.x);
    EXPECT_EQ(f.y, ship.y);

    const Body& beam = game->laserbeam;
    EXPECT_EQ(beam.vertexcount, 2);
    EXPECT_EQ(beam.radius[1], 1200.0f);
    EXPECT_EQ(beam.radius[2], 9.0f);
    EXPECT_EQ(beam.fillstyle, 1);
    EXPECT_EQ(beam.fillcolour, 0);
}

TEST_F(ShipTest, TrekDesignMatchesItsPointTableMirroredAndScaled) {
    struct Row {
        int vertex;
        double radius, angle;
    };
    const Row table[] = {
        {1, 11.4000, 0},       {2, 10.9490, 0.1651},  {3, 10.6963, 0.3732},  {4, 9.3302, 0.6371},
        {5, 7.0516, 0.9060},   {6, 4.3603, 1.1071},   {7, 1.5660, 1.2793},   {8, 3.8141, 2.8049},
        {9, 4.9862, 2.3775},   {10, 4.2129, 1.8227},  {11, 4.2107, 1.6421},  {12, 5.0308, 1.7811},
        {13, 14.3279, 2.8000}, {14, 14.4250, 2.8462}, {15, 13.9718, 2.8810}, {16, 5.6465, 2.5108},
        {17, 4.7733, 2.8875},  {18, 7.3018, 3.0346},  {19, 7.5600, 3.1413},
    };
    game->selectedship = 1;
    game->initializeship();
    const Body& ship = game->bodies[0];
    ASSERT_EQ(ship.vertexcount, 36);
    for (const Row& r : table) {
        SCOPED_TRACE(r.vertex);
        EXPECT_NEAR(ship.radius[r.vertex], r.radius, 5e-5);
        EXPECT_NEAR(ship.angle[r.vertex], r.angle, 5e-5);
    }
    // The nose lies exactly on the axis; the tail just short of a half turn.
    EXPECT_EQ(ship.angle[1], 0.0f);
    EXPECT_EQ(ship.radius[1], static_cast<float>(19 * 0.6));
    EXPECT_LT(ship.angle[19], static_cast<float>(M_PI));
    for (int k = 20; k <= 36; ++k) {
        EXPECT_EQ(ship.radius[k], ship.radius[38 - k]) << k;
        EXPECT_EQ(ship.angle[k], -ship.angle[38 - k]) << k;
    }

    // The flame fans out between the tail fins next to the axis.
    const Body& f = game->flame;
    EXPECT_EQ(f.vertexcount, 3);
    EXPECT_EQ(f.radius[1], 15.0f);
    EXPECT_EQ(f.radius[2], ship.radius[20]);
    EXPECT_EQ(f.angle[2], ship.angle[20]);
    EXPECT_EQ(f.radius[3], ship.radius[18]);
    EXPECT_EQ(f.angle[3], ship.angle[18]);
    EXPECT_EQ(f.radius[4], 15.0f);
    EXPECT_EQ(f.radius[5], 6.0f);
    EXPECT_EQ(f.fillcolour, 255);
}

TEST_F(ShipTest, ArcCosIsExactAtTheEndsAndAgreesInBetween) {
    EXPECT_EQ(ArcCos(1.0), 0.0);
    EXPECT_NEAR(ArcCos(-1.0), M_PI, 1e-12);
    for (double v : {-0.9, -0.3, 0.0, 0.5, 0.99}) EXPECT_NEAR(ArcCos(v), std::acos(v), 1e-12) << v;
}

TEST_F(ShipTest, BuildingAnotherElementLeavesShipAndBeamButMovesTheFlame) {
    game->selectedship = 1;
    game->initializeship();
    const Body ship = game->bodies[0];
    game->laserbeam.fillcolour = 12345;  // as if fired
    game->laserbeam.angle[1] = 1.5f;
    game->flame.linecolour = 99;

    random.push(0.75, 0.1);
    game->initializeship(5, 0);
    const Body& rock = game->bodies[5];
    EXPECT_EQ(rock.vertexcount, 5);
    EXPECT_EQ(rock.x, static_cast<float>(0.75 * game->playfieldwidth()));
    EXPECT_EQ(rock.y, static_cast<float>(0.1 * 600));
    EXPECT_EQ(game->laserbeam.fillcolour, 12345);
    EXPECT_EQ(game->laserbeam.angle[1], 1.5f);
    EXPECT_EQ(game->bodies[0].vertexcount, ship.vertexcount);
    EXPECT_EQ(game->bodies[0].x, ship.x);
    // The flame is rebuilt for the classic design at the new element.
    EXPECT_EQ(game->flame.radius[4], 7.0f);
    EXPECT_EQ(game->flame.linecolour, 255);
    EXPECT_EQ(game->flame.x, rock.x);
    EXPECT_EQ(game->flame.y, rock.y);
}

TEST_F(ShipTest, TrekFlameKeepsItsOutlineColourAndUnknownDesignsBuildTheClassicShip) {
    game->flame.linecolour = 4242;
    game->flame.basecolour = 4343;
    game->initializeship(0, 1);
    EXPECT_EQ(game->flame.linecolour, 4242);
    EXPECT_EQ(game->flame.basecolour, 4343);

    for (int design : {2, -7}) {
        game->initializeship(3, design);
        EXPECT_EQ(game->bodies[3].vertexcount, 5) << design;
        EXPECT_EQ(game->bodies[3].radius[1], 9.5f) << design;
        EXPECT_EQ(game->flame.radius[5], 5.0f) << design;
    }
}
