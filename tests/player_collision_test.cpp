// The player's collision passes against each kind of box, enemy contact, the level clamp and
// the game camera.
#include "game_world_support.h"

#include "core/sound.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> heardSounds;

class PlayerCollision : public ::testing::Test {
protected:
    void SetUp() override { world::reset(); }
    static void bothPasses()
    {
        resolvePlayerCollisions(0);
        resolvePlayerCollisions(1);
    }
};

TEST_F(PlayerCollision, StandingOnABoxKeepsTheSinkAndStaysGrounded)
{
    for (int pass = 0; pass < 3; ++pass) {
        bothPasses();
        EXPECT_FLOAT_EQ(playerY, 30.0f - GROUND_SINK_BOX);
        EXPECT_EQ(playerAirborne, 0);
        EXPECT_EQ(standingBoxIndex, 1);
    }
    // On a lift the player stands deeper.
    world::reset();
    world::putLift(2, 400, 200, 300, 20, 0, 0, 0);
    playerY = 220.0f - GROUND_SINK_LIFT;
    groundSink = GROUND_SINK_LIFT;
    bothPasses();
    EXPECT_FLOAT_EQ(playerY, 220.0f - GROUND_SINK_LIFT);
    EXPECT_EQ(standingBoxIndex, 2);
}

TEST_F(PlayerCollision, LandingClearsTheJumpBookkeeping)
{
    jumpCount = 2;
    jumpLatch = 1;
    playerAirborne = 1;
    playerY = 25.0f;
    resolvePlayerCollisions(0);
    EXPECT_FLOAT_EQ(playerY, 30.0f - GROUND_SINK_BOX);
    EXPECT_EQ(jumpCount, 0);
    EXPECT_EQ(jumpLatch, 0);
    EXPECT_EQ(playerAirborne, 0);
}

struct WallCase {
    const char* name;
    float wallX;
    float expectedX;
};

TEST_F(PlayerCollision, WallsPushThePlayerOutToOneUnitBeside)
{
    const WallCase cases[] = {
        {"wall on the right", 560, 560 - PLAYER_WIDTH - 1},
        {"wall on the left", 400, 400 + 105 + 1},
    };
    for (const WallCase& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        world::putBox(2, c.wallX, 30, 105, 500);
        bothPasses();
        EXPECT_FLOAT_EQ(playerX, c.expectedX);
        EXPECT_FLOAT_EQ(playerY, 30.0f - GROUND_SINK_BOX);
        EXPECT_EQ(playerMoving, 1);
    }
}

TEST_F(PlayerCollision, HeadUnderABoxStartsAFallFromBelowIt)
{
    // A wide low box whose bottom the rising player's head has just passed.
    world::putBox(2, 300, 200, 600, 100);
    playerY = 40.0f;
    playerAirborne = 1;
    jumpSpeed = JUMP_SPEED;
    jumpTime = 1.0f;
    resolvePlayerCollisions(0);
    EXPECT_FLOAT_EQ(playerY, 200.0f - STAND_HEIGHT);
    EXPECT_FLOAT_EQ(jumpStartY, 200.0f - STAND_HEIGHT - 1.0f);
    EXPECT_FLOAT_EQ(jumpSpeed, 0);
    EXPECT_FLOAT_EQ(jumpTime, 0);
    EXPECT_EQ(playerAirborne, 1);
}

TEST_F(PlayerCollision, NearTheSideEdgesOnlyTheSidePushActs)
{
    struct Case {
        const char* name;
        float playerY;
        float expectedX;
    };
    // Box 2 ends at x 501, one unit right of the player's left edge: never a landing. The
    // player is pushed out to its right only while the vertical overlap is the larger one.
    const Case cases[] = {
        {"vertical overlap 5 > horizontal 1", 115, 502},
        {"vertical overlap 0.5 < horizontal 1", 119.5f, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        world::putBox(2, 300, 100, 201, 20);
        playerY = c.playerY;
        playerAirborne = 1;
        resolvePlayerCollisions(0);
        EXPECT_FLOAT_EQ(playerY, c.playerY);
        EXPECT_EQ(playerAirborne, 1);
        EXPECT_FLOAT_EQ(playerX, c.expectedX);
    }
}

TEST_F(PlayerCollision, SlopesLandOnTheirDiagonal)
{
    struct Case {
        const char* name;
        int type;
        float playerY;
        float expectedY;
        bool grounded;
    };
    // Box 2: x 400..700, y 30..330. At the player's left edge (x 500) the left slope's surface
    // is 230; at its right edge (565) the right slope's is 195.
    const Case cases[] = {
        {"left slope below the surface", BOX_LEFT_SLOPE, 220, 230, true},
        {"left slope above the surface", BOX_LEFT_SLOPE, 240, 240, false},
        {"right slope below the surface", BOX_RIGHT_SLOPE, 150, 195, true},
        {"right slope above the surface", BOX_RIGHT_SLOPE, 200, 200, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        world::putBox(2, 400, 30, 300, 300, c.type);
        playerY = c.playerY;
        playerAirborne = 1;
        resolvePlayerCollisions(0);
        EXPECT_FLOAT_EQ(playerY, c.expectedY);
        EXPECT_EQ(playerAirborne == 0, c.grounded);
        EXPECT_EQ(standingBoxIndex == 2, c.grounded);
    }
}

TEST_F(PlayerCollision, ASlopeClearOfThePlayerEndsThePassInItsOrder)
{
    world::putBox(2, 400, 30, 300, 300, BOX_LEFT_SLOPE);   // surface 230 at x 500
    world::putBox(3, 540, 280, 100, 30);                   // a ledge under the player's feet
    playerY = 300.0f;
    playerAirborne = 1;
    resolvePlayerCollisions(0);   // the slope comes first and ends the pass
    EXPECT_FLOAT_EQ(playerY, 300.0f);
    resolvePlayerCollisions(1);   // the ledge comes first in the other order
    EXPECT_FLOAT_EQ(playerY, 310.0f - GROUND_SINK_BOX);
    EXPECT_EQ(standingBoxIndex, 3);
}

TEST_F(PlayerCollision, BottomSlopesBumpTheHeadDown)
{
    // A bottom left slope (solid above the diagonal from its top left to its bottom right);
    // its surface under the player's right edge (x 565) is 480 - 165 = 315, where the
    // diagonal's x is 565 again.
    world::putBox(2, 400, 180, 300, 300, BOX_BOTTOM_LEFT_SLOPE);
    playerY = 150.0f;   // head at 330, above the surface
    playerAirborne = 1;
    jumpSpeed = JUMP_SPEED;
    stepDx = 3.0f;
    resolvePlayerCollisions(0);
    EXPECT_FLOAT_EQ(playerY, 315.0f - STAND_HEIGHT);
    EXPECT_FLOAT_EQ(playerX, 565.0f - PLAYER_WIDTH + 10.0f - 2.0f - 3.0f);
    EXPECT_FLOAT_EQ(jumpSpeed, 0);
    EXPECT_FLOAT_EQ(stepDx, 0);
    EXPECT_EQ(playerAirborne, 1);
}

TEST_F(PlayerCollision, HeightmapFloorLandsOnTheHighestColumnUnderThePlayer)
{
    heightProfileCount = 0;
    floorProfileId = world::putProfile(10, [](int c) { return 0.05f * static_cast<float>(c); });
    world::putBox(2, 400, 30, 400, 200, BOX_HEIGHTMAP_FLOOR);
    playerY = 50.0f;
    playerAirborne = 1;
    resolvePlayerCollisions(0);
    // Columns under x 500..564: 2 to 4 of 10 over 400 units, the highest 0.2 of 200.
    EXPECT_FLOAT_EQ(playerY, 30.0f + 200.0f * 0.2f);
    EXPECT_EQ(playerAirborne, 0);
}

TEST_F(PlayerCollision, EnemyContactHurtsKillsOrCollects)
{
    world::putEnemy(1, ENEMY_WALKER, 520, 30);
    heardSounds.clear();
    soundObserver = [](int index) { heardSounds.push_back(index); };
    bothPasses();
    soundObserver = nullptr;
    EXPECT_EQ(heardSounds, (std::vector<int>{1}));
    EXPECT_FLOAT_EQ(playerHealth, PLAYER_FULL_HEALTH - 30);
    EXPECT_FLOAT_EQ(enemyTable.health[1], 0);
    EXPECT_EQ(playerScore, 100);
    EXPECT_FLOAT_EQ(healthBarTimer, 300);

    world::reset();
    world::putEnemy(1, ENEMY_FLYER, 520, 60);
    resolvePlayerCollisions(0);
    EXPECT_FLOAT_EQ(playerHealth, 0);

    world::reset();
    world::putEnemy(1, ENEMY_ORB, 520, 60);
    world::putEnemy(2, ENEMY_ORB, 480, 100);
    orbsLeft = 2;
    heardSounds.clear();
    soundObserver = [](int index) { heardSounds.push_back(index); };
    resolvePlayerCollisions(0);
    EXPECT_EQ(orbsLeft, 0);
    EXPECT_FLOAT_EQ(enemyTable.health[1], ORB_COLLECTED_HEALTH);
    // An orb each, then the level's end for the last one.
    EXPECT_EQ(heardSounds, (std::vector<int>{4, 4, 5}));
    resolvePlayerCollisions(0);   // collected orbs are not counted again
    EXPECT_EQ(orbsLeft, 0);
    EXPECT_EQ(heardSounds.size(), 3u);
    EXPECT_FLOAT_EQ(playerHealth, PLAYER_FULL_HEALTH);
    soundObserver = nullptr;
}

TEST_F(PlayerCollision, SlotsAboveTheEnemyCountNeverTouchThePlayer)
{
    world::putEnemy(1, ENEMY_WALKER, 2000, 30);
    world::putEnemy(2, ENEMY_FLYER, 520, 60);
    enemyCount = 1;   // slot 2 holds an enemy of an earlier, larger level
    bothPasses();
    EXPECT_FLOAT_EQ(playerHealth, PLAYER_FULL_HEALTH);
}

TEST_F(PlayerCollision, TheLevelClampsThePlayerWhileAlive)
{
    struct Case {
        const char* name;
        float x, y, health;
        float expectedX, expectedY;
    };
    const Case cases[] = {
        {"left of the level", -40, 400, 100, 0, 400},
        {"right of the level", 3800, 400, 100, LEVEL_WIDTH - PLAYER_WIDTH, 400},
        {"below the level", 1000, -20, 100, 1000, 0},
        {"a dead player is not even clamped", -40, -20, 0, -40, -20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        boxCount = 0;   // nothing to collide with
        playerX = c.x;
        playerY = c.y;
        playerHealth = c.health;
        resolvePlayerCollisions(0);
        EXPECT_FLOAT_EQ(playerX, c.expectedX);
        EXPECT_FLOAT_EQ(playerY, c.expectedY);
    }
}

struct CameraCase {
    const char* name;
    float cameraX, cameraY;
    float prevX, prevY, x, y;
    float expectedX, expectedY;
};

TEST(GameCamera, DeadZoneAndClamps)
{
    const CameraCase cases[] = {
        {"standing still", 100, 100, 200, 200, 200, 200, 100, 100},
        {"inside the middle third", 0, 0, 890, 500, 900, 500, 0, 0},
        {"right of the middle third", 0, 0, 1390, 500, 1400.7f, 500, 10, 0},
        {"left of the middle third", 1000, 0, 1400, 500, 1390, 500, 990, 0},
        {"above the middle third", 0, 1000, 900, 1800, 900, 1830, 0, 1030},
        {"clamped at the left", 5, 0, 500, 500, 490, 500, 0, 0},
        {"clamped at the right edge", 1915, 0, 3500, 500, 3520, 500, 1920, 0},
        {"clamped at the top", 0, 9715, 900, 10500, 900, 10520, 0, 9720},
    };
    for (const CameraCase& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        gameCameraX = c.cameraX;
        gameCameraY = c.cameraY;
        prevPlayerX = c.prevX;
        prevPlayerY = c.prevY;
        playerX = c.x;
        playerY = c.y;
        updateGameCamera();
        EXPECT_FLOAT_EQ(gameCameraX, c.expectedX);
        EXPECT_FLOAT_EQ(gameCameraY, c.expectedY);
    }
}

TEST(GameCamera, RespawnPlacesThePlayerAtTheStartAndAnInactivePlayerMovesNothing)
{
    world::reset();
    respawnPending = 1;
    playerX = 2000;
    playerY = 900;
    updateGameCamera();
    EXPECT_EQ(respawnPending, 0);
    EXPECT_FLOAT_EQ(playerX, PLAYER_START_X);
    EXPECT_FLOAT_EQ(playerY, PLAYER_START_Y);
    EXPECT_FLOAT_EQ(heroDrawX, PLAYER_START_X);
    EXPECT_FLOAT_EQ(resolvedY, PLAYER_START_Y);

    world::reset();
    playerActive = 0;
    respawnPending = 1;
    prevPlayerX = 0;
    playerX = 3000;
    updateGameCamera();
    EXPECT_EQ(respawnPending, 1);
    EXPECT_FLOAT_EQ(gameCameraX, 0);
}

}  // namespace
