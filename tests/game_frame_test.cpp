// The game frame without a window: its timing, the substep order's crush test and stand-up
// guard, the death burst, the view-restart wipe and the respawn, and the restart.
#include "game_world_support.h"

#include "core/frame_values.h"
#include "game/game_scene.h"

#include <gtest/gtest.h>

#include <SDL_scancode.h>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int FRAME_MS = 16;

class GameFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        world::reset();
        now = 100000;
        world::setClockMs(now);
        gameFrameMs = static_cast<int32_t>(now);
    }
    void TearDown() override { useVirtualCounter(false); }
    // One world update after `ms` milliseconds.
    void step(int ms = FRAME_MS)
    {
        now += ms;
        world::setClockMs(now);
        stepGameWorld();
    }
    // One whole game frame (world, picture state, wipe, keyboard) after `ms` milliseconds.
    void frame(int ms = FRAME_MS)
    {
        now += ms;
        world::setClockMs(now);
        gameFrame();
    }
    int64_t now = 0;
};

TEST(GameFrameTiming, SubstepFactorFollowsTheElapsedTimeUpToTheCap)
{
    struct Case {
        int32_t ms;
        float factor;
    };
    const Case cases[] = {{0, 0}, {16, 0.048f}, {17, 0.051f}, {80, 0.24f}, {1000, 0.24f}, {-50, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_NEAR(substepFactorFor(c.ms), c.factor, 1e-6);
    }
}

TEST_F(GameFrame, FactorsOfOneFrame)
{
    step(16);
    EXPECT_NEAR(substepFactor, 0.048f, 1e-6);
    EXPECT_NEAR(frameStepFactor, 0.072f, 1e-6);
    EXPECT_FLOAT_EQ(prevPlayerX, 500);
    step(0);   // a 0 ms frame still runs all substeps, moving nothing
    EXPECT_FLOAT_EQ(substepFactor, 0);
    EXPECT_EQ(playerAirborne, 1);
}

TEST_F(GameFrame, AStandingPlayerStaysOnItsBoxFrameAfterFrame)
{
    for (int f = 0; f < 120; ++f) {
        step();
        EXPECT_NEAR(playerY, 30.0f - GROUND_SINK_BOX, 1.0f);
    }
    for (int f = 0; f < 5; ++f)
        step();
    // Every frame ends in the air; the next frame's fall is caught within a few substeps.
    EXPECT_EQ(playerAirborne, 1);
    EXPECT_FALSE(playerDead);
}

TEST_F(GameFrame, ALiftPressingThePlayerOntoTheGroundKillsIt)
{
    // A lift coming down onto the head of a player standing in the ground strip's top.
    world::putLift(2, 480, 260, 200, 20, 0, 200, 10);
    boxTable.liftState[2] = 3;
    boxTable.liftStartY[2] = 100;
    for (int f = 0; f < 30 && !playerDead; ++f)
        step();
    EXPECT_EQ(playerDead, 1);
    EXPECT_EQ(playerLives, PLAYER_START_LIVES - 1);
}

TEST(CrushCount, TwoOverlapsOneALiftOneAboveTheHead)
{
    struct Case {
        const char* name;
        int typeA, typeB;
        float topB;   // top of box B; the player's top is 30 + 180 = 210
        int count;
    };
    const Case cases[] = {
        {"a lift and a box above the head", BOX_LIFT, BOX_STANDARD, 260, 3},
        {"no lift", BOX_STANDARD, BOX_STANDARD, 260, 0},
        {"nothing above the head", BOX_LIFT, BOX_STANDARD, 200, 0},
        {"the lift itself above the head", BOX_STANDARD, BOX_LIFT, 260, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        playerY = 30.0f;
        world::putBox(2, 450, 50, 100, 40, c.typeA);
        world::putBox(3, 520, c.topB - 100, 100, 100, c.typeB);
        // The ground strip's top touches the player's feet only: not counted.
        EXPECT_EQ(countCrushingBoxes(), c.count == 0 ? 0 : 2);
    }
    // One box alone never kills, whatever its type.
    world::reset();
    playerY = 30.0f;
    world::putBox(2, 450, 100, 100, 300, BOX_LIFT);
    EXPECT_LE(countCrushingBoxes(), 1);
}

TEST_F(GameFrame, CrouchedUnderALowBoxThePlayerStaysCrouched)
{
    struct Case {
        const char* name;
        float boxAboveFeet;
        bool staysCrouched;
    };
    const Case cases[] = {
        {"box 150 above the feet", 150, true},
        {"box 180 above the feet", 180, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        world::setClockMs(now);
        gameFrameMs = static_cast<int32_t>(now);
        world::putBox(2, 400, playerY + c.boxAboveFeet, 300, 100);
        playerCrouched = 1;
        playerHeight = CROUCH_HEIGHT;
        step();   // DOWN is not held: the player tries to stand up
        EXPECT_EQ(playerCrouched == 1, c.staysCrouched);
        EXPECT_FLOAT_EQ(playerHeight, c.staysCrouched ? CROUCH_HEIGHT : STAND_HEIGHT);
    }
}

TEST(DeathBurst, KillOncePerLifeAndLivesStopAtZero)
{
    world::reset();
    killPlayer();
    EXPECT_EQ(playerDead, 1);
    EXPECT_EQ(playerActive, 0);
    EXPECT_FLOAT_EQ(deathBurstTimer, DEATH_BURST_LENGTH);
    EXPECT_FLOAT_EQ(healthBarTimer, -1);
    killPlayer();   // the same life
    EXPECT_EQ(playerLives, PLAYER_START_LIVES - 1);
    for (int d = 0; d < 8; ++d) {
        playerDead = 0;
        killPlayer();
    }
    EXPECT_EQ(playerLives, 0);
}

TEST(DeathBurst, RunsItsTimeThenRespawnsAndStartsTheWipe)
{
    world::reset();
    crtSrand(3);
    resetDeathBurst();
    killPlayer();
    frameStepFactor = 0.075f;   // 60 frames per second
    float sparkSize[PLAYER_DEBRIS_COUNT];
    for (int p = 0; p < PLAYER_DEBRIS_COUNT; ++p)
        sparkSize[p] = playerDebris.size[p];
    int frames = 0;
    while (deathBurstActive && frames < 1000) {
        updateDeathBurst();
        ++frames;
        for (int p = 0; p < PLAYER_DEBRIS_COUNT; ++p) {
            if (playerDebris.kind[p] == 0.0f) {
                ASSERT_GE(playerDebris.size[p], 0.0f);
            } else if (deathBurstActive) {
                ASSERT_FLOAT_EQ(playerDebris.size[p], sparkSize[p]);
            }
        }
    }
    // 100 / (10 x 0.075) = 133.3: the 134th frame ends it.
    EXPECT_EQ(frames, 134);
    EXPECT_EQ(viewRestartActive, 1);
    EXPECT_FLOAT_EQ(wipeX, 0);
    EXPECT_EQ(respawnPending, 1);
    EXPECT_EQ(playerActive, 1);
    EXPECT_FLOAT_EQ(playerHealth, PLAYER_FULL_HEALTH);
    viewRestartActive = 0;
}

TEST_F(GameFrame, DeathBurstWipeAndRespawnAtTheStart)
{
    playerX = 2500;
    gameCameraX = 1500;
    prevPlayerX = playerX;
    playerHealth = 0;
    frame();   // the burst's first frame is the frame of the death
    ASSERT_EQ(playerDead, 1);
    int burstFrames = 1;
    while (deathBurstActive && burstFrames < 1000) {
        frame();
        ++burstFrames;
    }
    // 100 / (10 x 1.5 x 0.048) = 138.9 frames of 16 ms.
    EXPECT_EQ(burstFrames, 139);
    EXPECT_EQ(viewRestartActive, 1);   // and its first step ran in the burst's last frame

    frame();   // the respawn frame
    EXPECT_FLOAT_EQ(playerX, PLAYER_START_X);
    EXPECT_EQ(playerDead, 0);
    EXPECT_EQ(respawnPending, 0);
    int wipeFrames = 2;
    while (viewRestartActive && wipeFrames < 1000) {
        frame();
        ++wipeFrames;
    }
    // 1920 / (384 x 0.048) = 104.2: the wipe ends in its 105th frame, at the start view.
    EXPECT_EQ(wipeFrames, 105);
    EXPECT_GT(wipeX, 1920);
    EXPECT_FLOAT_EQ(gameCameraX, 0);
    EXPECT_FLOAT_EQ(gameCameraY, 0);
}

TEST_F(GameFrame, DrawnHeroStaysWithinAStepOfThePlayerAtAnyFrameRate)
{
    // Motions whose one-frame move stays under the drawing's step at some or all rates.
    enum Motion { SLOW_WALK, LIFT_UP, LIFT_SIDEWAYS };
    struct Case {
        const char* name;
        Motion motion;
        int frameMs;
    };
    const Case cases[] = {
        {"slow walk at 60 Hz", SLOW_WALK, 16},  {"slow walk at 30 Hz", SLOW_WALK, 33},
        {"slow walk at 144 Hz", SLOW_WALK, 7},  {"lift up at 60 Hz", LIFT_UP, 16},
        {"lift up at 20 Hz", LIFT_UP, 50},      {"sideways lift at 60 Hz", LIFT_SIDEWAYS, 16},
        {"sideways lift at 144 Hz", LIFT_SIDEWAYS, 7},
    };
    std::vector<unsigned char> keys(512, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        now += 1000;
        world::setClockMs(now);
        gameFrameMs = static_cast<int32_t>(now);
        std::fill(keys.begin(), keys.end(), 0);
        setKeySource(keys.data(), static_cast<int>(keys.size()));
        if (c.motion == SLOW_WALK) {
            keys[SDL_SCANCODE_RSHIFT] = keys[SDL_SCANCODE_RIGHT] = 1;
        } else {
            // The player stands on the lift's top.
            world::putLift(2, 450, 200, 200, 20, c.motion == LIFT_SIDEWAYS ? 600.0f : 0.0f,
                           c.motion == LIFT_UP ? 650.0f : 0.0f, 2);
            playerY = prevPlayerY = 220 - 2.01f;
        }
        heroSmoothX = heroDrawX = playerX;
        heroSmoothY = heroDrawY = playerY;
        const float startX = playerX;
        const float startY = playerY;
        float worstX = 0, worstY = 0;
        for (int f = 0; f < 3000 / c.frameMs; ++f) {
            frame(c.frameMs);
            worstX = std::max(worstX, std::fabs(heroDrawX - playerX));
            worstY = std::max(worstY, std::fabs(heroDrawY - playerY));
        }
        setKeySource(nullptr, 0);
        EXPECT_GT(std::fabs(playerX - startX) + std::fabs(playerY - startY), 100.0f);  // it did move
        EXPECT_LT(worstX, 5.0f);
        EXPECT_LT(worstY, 3.0f);
    }
}

TEST(Restart, PutsTheGameBackToItsStart)
{
    world::reset();
    world::putLift(2, 700, 300, 100, 20, 200, 0, 5);
    boxTable.x[2] = 850;
    boxTable.liftState[2] = 1;
    boxTable.type[1] = BOX_LEFT_SLOPE;
    world::putEnemy(1, ENEMY_ORB, 900, 100);
    world::putEnemy(2, ENEMY_ORB, 1000, 100);
    world::putEnemy(3, ENEMY_WALKER, 1100, 29);
    world::putEnemy(4, ENEMY_ORB, 1200, 100);
    enemyCount = 3;   // slot 4 belongs to no level
    enemyTable.health[2] = 0;   // reset revives it
    playerLives = 1;
    playerAmmo[0] = playerAmmo[1] = 0;
    debugOverlay = 1;
    editorRequest = 1;
    consoleVisible = 1;
    playerHeight = CROUCH_HEIGHT;
    jumpLatch = 0;
    const int restarts = restartCount;

    restartGame();
    EXPECT_EQ(restartCount, restarts + 1);
    EXPECT_EQ(playerLives, PLAYER_START_LIVES);
    EXPECT_EQ(playerAmmo[0], 100);
    EXPECT_EQ(playerAmmo[1], 5);
    EXPECT_EQ(debugOverlay, 0);
    EXPECT_EQ(editorRequest, 0);
    EXPECT_EQ(consoleVisible, 0);
    EXPECT_FLOAT_EQ(playerHeight, STAND_HEIGHT);
    EXPECT_EQ(jumpLatch, 1);
    EXPECT_FLOAT_EQ(jumpStartY, playerY + 1);
    EXPECT_EQ(respawnPending, 1);
    EXPECT_EQ(playerActive, 1);
    EXPECT_EQ(boxTable.type[1], BOX_STANDARD);
    EXPECT_FLOAT_EQ(boxTable.x[2], 700);
    EXPECT_EQ(boxTable.liftState[2], 1);
    EXPECT_EQ(orbsLeft, 2);
}

}  // namespace
