// The enemy table: reset and its reseeds, box collision and settling, edge turns, flyer paths,
// jump decisions, separation (and its pair skipping against the full walk).
#include "game_world_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

class EnemyAi : public ::testing::Test {
protected:
    void SetUp() override
    {
        world::reset();
        separationSkipsPairs = true;
    }
    static void substeps(int n)
    {
        for (int k = 0; k < n; ++k) {
            collideEnemiesWithBoxes();
            decideEnemyJumps();
            updateEnemyAI();
        }
    }
    // A walker that does not walk, so only the rule under test moves it.
    static void putStill(int i, float x, float y)
    {
        world::putEnemy(i, ENEMY_WALKER, x, y);
        enemyTable.speed[i] = 0.0f;
    }
};

// The generator's next value after a fresh seed.
int firstDrawAfterSeed(unsigned seed)
{
    crtSrand(seed);
    return crtRand();
}

TEST_F(EnemyAi, ResetWithNoEnemyStillReseedsTwice)
{
    crtSrand(5);
    crtRand();
    resetEnemies();
    const int next = crtRand();
    EXPECT_EQ(next, firstDrawAfterSeed(2071));
    EXPECT_EQ(livingTargetCount, 0);
}

TEST_F(EnemyAi, ResetRevivesTheLevelsEnemiesOnly)
{
    world::putEnemy(1, ENEMY_WALKER, 300, 29);
    world::putEnemy(2, ENEMY_ORB, 600, 100);
    world::putEnemy(3, ENEMY_FLYER, 900, 400);
    enemyTable.health[1] = 0;
    enemyTable.health[2] = ORB_COLLECTED_HEALTH;
    enemyTable.health[3] = -5;
    enemyCount = 2;
    resetEnemies();
    EXPECT_FLOAT_EQ(enemyTable.health[1], 100);
    EXPECT_FLOAT_EQ(enemyTable.health[2], 100);
    EXPECT_FLOAT_EQ(enemyTable.health[3], -5);
    EXPECT_FLOAT_EQ(enemyTable.jumpY0[1], 30);
    EXPECT_FLOAT_EQ(enemyTable.scoreValue[2], 100);
    EXPECT_EQ(livingTargetCount, 2);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_GE(enemyTable.animPhase[i], 0);
        EXPECT_LT(enemyTable.animPhase[i], 110);
        EXPECT_TRUE(enemyTable.direction[i] == 0 || enemyTable.direction[i] == 1);
        for (int k = 0; k < DEBRIS_PER_ENEMY; ++k) {
            const int s = DEBRIS_PER_ENEMY * i + k;
            const bool spark = enemyDebris.kind[s] == 1.0f;
            EXPECT_EQ(spark ? 1000.0f : enemyDebris.life[s] < 60.0f, spark ? enemyDebris.life[s] : 1.0f);
            EXPECT_LT(enemyDebris.rampSelect[s], 1.0f);
        }
    }
    // The same reset gives the same enemies.
    const EnemyTable first = enemyTable;
    resetEnemies();
    EXPECT_EQ(std::memcmp(&first, &enemyTable, sizeof first), 0);
}

TEST_F(EnemyAi, AnEnemyOnABoxSettlesOneUnitInsideItsTop)
{
    world::putBox(2, 200, 300, 600, 40);
    world::putEnemy(1, ENEMY_WALKER, 400, 600);   // dropped from above
    enemyTable.airborne[1] = 1;
    enemyTable.jumpY0[1] = 600;
    substeps(120);
    EXPECT_FLOAT_EQ(enemyTable.y[1], 340 - 1);
    EXPECT_EQ(enemyTable.boxUnder[1], 2);
    EXPECT_EQ(enemyTable.airborne[1], 0);
    substeps(5);   // and keeps touching it, landing again every substep
    EXPECT_FLOAT_EQ(enemyTable.y[1], 340 - 1);
    EXPECT_EQ(enemyTable.boxUnder[1], 2);
}

struct EdgeCase {
    const char* name;
    float x;
    int direction;
    bool boxBeside;
    int expectedDirection;
};

TEST_F(EnemyAi, WalkersTurnAtEdgesWithNothingBeside)
{
    // Box 2: x 600..800, top 320; the walker stands on it (y 319).
    const EdgeCase cases[] = {
        {"past the left edge", 595, 0, false, 1},
        {"past the left edge with a box beside", 595, 0, true, 0},
        {"past the right edge", 735, 1, false, 0},
        {"past the right edge with a box beside", 735, 1, true, 1},
        {"inside the box", 650, 0, false, 0},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        world::putBox(2, 600, 280, 200, 40);
        if (c.boxBeside) {
            world::putBox(3, 520, 260, 80, 30);    // left neighbour, inside the strip's height
            world::putBox(4, 800, 325, 80, 30);    // right neighbour, starting 5 above the box's top
        }
        world::putEnemy(1, ENEMY_WALKER, c.x, 319);
        enemyTable.direction[1] = c.direction;
        enemyTable.boxUnder[1] = 2;
        updateEnemyAI();
        EXPECT_EQ(enemyTable.direction[1], c.expectedDirection);
    }
}

TEST_F(EnemyAi, FlyersFollowTheirRectangle)
{
    world::putEnemy(1, ENEMY_FLYER, 1000, 500);
    EnemyTable& t = enemyTable;
    t.pathStartX[1] = 1000;
    t.pathStartY[1] = 500;
    t.pathRangeX[1] = 20;
    t.pathRangeY[1] = 10;
    t.speed[1] = 5;
    struct Step {
        float x, y;
        int state;
    };
    // Each completed leg snaps to its end and the next leg takes the whole step.
    const Step expected[] = {{1005, 500, 0}, {1010, 500, 0}, {1015, 500, 0}, {1020, 505, 1}, {1015, 510, 2},
                             {1010, 510, 2}, {1005, 510, 2}, {1000, 505, 3}, {1000, 500, 0}, {1005, 500, 0}};
    for (const Step& s : expected) {
        updateEnemyAI();
        EXPECT_FLOAT_EQ(t.x[1], s.x);
        EXPECT_FLOAT_EQ(t.y[1], s.y);
        EXPECT_EQ(t.pathState[1], s.state);
    }
    // Both ranges 0: the flyer stays at its start corner.
    t.pathRangeX[1] = t.pathRangeY[1] = 0;
    for (int k = 0; k < 10; ++k)
        updateEnemyAI();
    EXPECT_FLOAT_EQ(t.x[1], 1000);
    EXPECT_FLOAT_EQ(t.y[1], 500);
}

TEST_F(EnemyAi, JumpDecisionsLookForBoxesAheadOnly)
{
    world::putBox(2, 400, 300, 200, 40);   // the enemy's own box
    world::putBox(3, 560, 400, 100, 40);   // 150 ahead of the right probe's reach
    world::putEnemy(1, ENEMY_JUMPER, 460, 339);
    enemyTable.boxUnder[1] = 2;
    enemyTable.direction[1] = 0;
    crtSrand(1);
    decideEnemyJumps();
    EXPECT_EQ(enemyTable.direction[1], 1);   // turned toward box 3 (right probe at 610)

    // A left probe at or left of x 0 does nothing.
    world::reset();
    world::putBox(2, 0, 300, 200, 40);
    world::putBox(3, -300, 330, 200, 40);
    world::putEnemy(1, ENEMY_JUMPER, 100, 339);
    enemyTable.boxUnder[1] = 2;
    enemyTable.direction[1] = 1;
    enemyTable.jumpRequest[1] = 1;
    decideEnemyJumps();
    EXPECT_EQ(enemyTable.direction[1], 1);
    EXPECT_EQ(enemyTable.jumpRequest[1], 0);

    // Without a box under it the enemy keeps its direction and never asks to jump.
    enemyTable.boxUnder[1] = 0;
    enemyTable.x[1] = 500;
    enemyTable.direction[1] = 0;
    decideEnemyJumps();
    EXPECT_EQ(enemyTable.direction[1], 0);
    EXPECT_EQ(enemyTable.jumpRequest[1], 0);
}

TEST_F(EnemyAi, OverlappingWalkersArePutEdgeToEdge)
{
    struct Case {
        const char* name;
        float ax, bx;
        bool boxLeftOfA;
        float expectedA, expectedB;
    };
    const Case cases[] = {
        {"the one further left is put against the other", 100, 120, false, 50, 120},
        {"b further left", 150, 120, false, 150, 80},
        {"same x: the higher index moves", 100, 100, false, 100, 30},
        {"a box where the moved one would go: the other moves instead", 100, 120, true, 100, 170},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        boxCount = 0;
        if (c.boxLeftOfA)
            world::putBox(1, 20, 400, 60, 300);
        putStill(1, c.ax, 500);
        putStill(2, c.bx, 500);
        updateEnemyAI();
        EXPECT_FLOAT_EQ(enemyTable.x[1], c.expectedA);
        EXPECT_FLOAT_EQ(enemyTable.x[2], c.expectedB);
        EXPECT_FALSE(enemiesOverlap(1, 2));
    }
}

TEST_F(EnemyAi, FlyersAndOrbsAreNeverSeparated)
{
    boxCount = 0;
    putStill(1, 100, 500);
    world::putEnemy(2, ENEMY_ORB, 120, 500);
    world::putEnemy(3, ENEMY_FLYER, 110, 500);
    enemyTable.pathStartX[3] = 110;
    enemyTable.pathStartY[3] = 500;
    updateEnemyAI();
    EXPECT_FLOAT_EQ(enemyTable.x[1], 100);
    EXPECT_FLOAT_EQ(enemyTable.x[2], 120);
}

TEST_F(EnemyAi, SlotsAboveTheCountNeverAct)
{
    world::putEnemy(1, ENEMY_WALKER, 300, 29);
    world::putEnemy(2, ENEMY_WALKER, 900, 29);
    enemyCount = 1;
    const float y2 = enemyTable.y[2];
    substeps(10);
    EXPECT_FLOAT_EQ(enemyTable.x[2], 900);
    EXPECT_FLOAT_EQ(enemyTable.y[2], y2);
    EXPECT_EQ(enemyTable.boxUnder[2], 0);
}

TEST_F(EnemyAi, AnEnemyBelowTheLevelDies)
{
    boxCount = 0;
    world::putEnemy(1, ENEMY_WALKER, 300, -1);
    updateEnemyAI();
    EXPECT_FLOAT_EQ(enemyTable.health[1], 0);
}

// A crowd of walkers and jumpers on a few ledges (some outside the level, a lift, a box of
// negative width), run with and without the pair skipping from the same start: the tables and
// the generator must end the same.
TEST_F(EnemyAi, PairSkippingSeparatesExactlyLikeTheFullWalk)
{
    world::reset();
    world::putBox(2, 100, 300, 900, 40);
    world::putBox(3, 1200, 600, 500, 40);
    world::putBox(4, 1800, 200, 1200, 30);
    world::putBox(5, -500, 100, 300, 40);    // outside the level on both sides
    world::putBox(6, 4200, 0, 900, 60);
    world::putLift(7, 2500, 400, 300, 20, -200, 150, 7);
    world::putBox(8, 900, 500, -120, 30);    // a negative width
    crtSrand(77);
    for (int i = 1; i <= MAX_LEVEL_ENEMIES; ++i) {
        const int type = i % 7 == 0 ? ENEMY_FLYER : (i % 5 == 0 ? ENEMY_JUMPER : ENEMY_WALKER);
        const float x = i % 11 == 0 ? 4300.0f + static_cast<float>(i) : (i % 13 == 0 ? -400.0f : 0.0f);
        world::putEnemy(i, type, x + static_cast<float>(crtRand() % 3000), static_cast<float>(29 + crtRand() % 700));
        enemyTable.pathStartX[i] = enemyTable.x[i];
        enemyTable.pathStartY[i] = enemyTable.y[i];
        enemyTable.pathRangeX[i] = 200;
        enemyTable.pathRangeY[i] = 100;
    }
    resetEnemies();
    const auto start = std::make_unique<EnemyTable>(enemyTable);
    const auto boxes = std::make_unique<BoxTable>(boxTable);
    substepFactor = 0.25f;

    auto run = [&](bool skipping) {
        enemyTable = *start;
        boxTable = *boxes;
        crtSrand(99);
        separationSkipsPairs = skipping;
        for (int k = 0; k < 400; ++k) {
            updateLifts();
            substeps(1);
        }
        separationSkipsPairs = true;
        return std::make_pair(std::make_unique<EnemyTable>(enemyTable), crtRand());
    };
    const auto reference = run(false);
    const auto skipping = run(true);
    EXPECT_EQ(std::memcmp(reference.first.get(), skipping.first.get(), sizeof(EnemyTable)), 0);
    EXPECT_EQ(reference.second, skipping.second);
}

}  // namespace
