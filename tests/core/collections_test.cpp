// The collection rules every list of the game follows, and the refusal of an
// addition beyond the capacity.
#include <gtest/gtest.h>

#include "core/pool.h"
#include "support/gamefixture.h"

TEST(Pool, AddsAtCountRemovesByCopyingTheLastAndRefusesWhenFull) {
    Pool<int, 3> pool;
    for (int i = 1; i <= 3; ++i) {
        int16_t k = pool.add();
        ASSERT_EQ(k, i);
        pool[k] = 10 * i;
    }
    // A full pool gives 0 and writes nothing, not even element 0.
    pool[0] = -7;
    EXPECT_EQ(pool.add(), 0);
    EXPECT_EQ(pool.count, 3);
    EXPECT_EQ(pool[0], -7);
    EXPECT_TRUE(pool.full());

    pool.remove(1);  // the last moves into the gap
    EXPECT_EQ(pool.count, 2);
    EXPECT_EQ(pool[1], 30);
    EXPECT_EQ(pool[2], 20);
    pool.remove(2);  // removing the last only lowers the count
    EXPECT_EQ(pool.count, 1);
    EXPECT_EQ(pool[1], 30);
    // Indices outside 1..count, the ship's element 0 among them, change nothing.
    for (int k : {0, 2, -1, 4}) pool.remove(k);
    EXPECT_EQ(pool.count, 1);
    EXPECT_EQ(pool[1], 30);
    EXPECT_EQ(pool.add(), 2);  // room again after a removal
}

TEST_F(GameFixture, EveryCollectionRefusesAdditionsPastItsCapacity) {
    Game& g = *game;
    auto fill = [](auto& pool, int capacity) {
        pool.count = 0;
        for (int i = 1; i <= capacity; ++i) ASSERT_EQ(pool.add(), i);
        EXPECT_EQ(pool.add(), 0);
        EXPECT_EQ(pool.count, capacity);
    };
    fill(g.bodies, 1000);
    fill(g.shots, 1000);
    fill(g.particles, 1000);
    fill(g.powerups, 1000);
    fill(g.letters, 100);
}
