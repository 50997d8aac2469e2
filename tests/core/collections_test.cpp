// The collection rules every list of the game follows, and the refusal of an
// addition beyond the capacity.
#include <gtest/gtest.h>

#include "support/gamefixture.h"

TEST_F(GameFixture, CollectionsAddAtCountAndRemoveByCopyingTheLast) {
    for (int i = 1; i <= 4; ++i) {
        int16_t k = game->addshot();
        ASSERT_EQ(k, i);
        game->shots[k].life = static_cast<int16_t>(10 * i);
    }
    game->removeshot(2);  // the last moves into the gap
    EXPECT_EQ(game->shotcount, 3);
    EXPECT_EQ(game->shots[2].life, 40);
    game->removeshot(3);  // removing the last only lowers the count
    EXPECT_EQ(game->shotcount, 2);
    EXPECT_EQ(game->shots[1].life, 10);
    EXPECT_EQ(game->shots[2].life, 40);
}

TEST_F(GameFixture, FullCollectionsRefuseAdditions) {
    struct Case {
        const char* name;
        int16_t (Game::*add)();
        int16_t Game::*count;
        int capacity;
    } cases[] = {
        {"bodies", &Game::addbody, &Game::bodycount, 1000},
        {"shots", &Game::addshot, &Game::shotcount, 1000},
        {"particles", &Game::addparticle, &Game::particlecount, 1000},
        {"powerups", &Game::addpowerup, &Game::powerupcount, 1000},
        {"letters", &Game::addletter, &Game::lettercount, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Game& g = *game;
        g.*c.count = 0;
        for (int i = 1; i <= c.capacity; ++i) ASSERT_EQ((g.*c.add)(), i);
        EXPECT_EQ((g.*c.add)(), 0);
        EXPECT_EQ(g.*c.count, c.capacity);
    }
}
