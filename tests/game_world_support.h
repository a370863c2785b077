// A small, known game world for the world-logic tests: no boxes but the ground strip, no
// enemies, the player active at rest, substeps of one 60 Hz frame, no keys. The world runs
// without a GL context; nothing is loaded (the restart's asset load counts as done).
#pragma once

#include "core/keyboard.h"
#include "game/boxes.h"
#include "game/collision.h"
#include "game/enemies.h"
#include "game/game_assets.h"
#include "game/game_camera.h"
#include "game/game_frame.h"
#include "game/hero.h"
#include "game/player.h"
#include "game/restart.h"
#include "gfx/height_profile.h"
#include "platform/crt_random.h"

#include <cstring>

namespace world {

inline void reset()
{
    boxTable = {};
    boxCount = 1;
    resetBoundaryBoxAndLifts();
    enemyTable = {};
    enemyCount = 0;
    groundSink = GROUND_SINK_BOX;
    keyboardState = {};
    viewRestartActive = 0;
    substepFactor = 1.0f;
    frameStepFactor = 1.5f;
    gameCameraX = gameCameraY = 0.0f;
    restartCount = 1;
    editorMode = editorRequest = 0;
    floorProfileId = ceilingProfileId = -1;

    playerX = 500.0f;
    playerY = 30.0f - GROUND_SINK_BOX;
    prevPlayerX = playerX;
    prevPlayerY = playerY;
    playerWidth = PLAYER_WIDTH;
    playerHeight = STAND_HEIGHT;
    playerHealth = PLAYER_FULL_HEALTH;
    playerLives = PLAYER_START_LIVES;
    playerScore = 0;
    orbsLeft = 0;
    healthBarTimer = 0.0f;
    playerFacing = FACING_RIGHT;
    stepDx = 0.0f;
    playerMoving = 0;
    playerAirborne = 0;
    jumpTime = jumpTimeStart = jumpSpeed = 0.0f;
    jumpStartY = playerY + 1.0f;
    jumpCount = 0;
    jumpLatch = 0;
    standingBoxIndex = 0;
    playerCrouched = crawlStepActive = 0;
    playerCrawlTime = 0.1f;
    heroCrouchFrame = 202.0f;
    crouchBlend = 0.0f;
    heroTurnAngle = 90.0f;
    playerActive = 1;
    playerDead = respawnPending = deathBurstActive = 0;
    deathBurstTimer = 0.0f;
    resolvedX = resolvedY = 0.0f;
}

// Box i (1-based, raising boxCount as needed) with the given rectangle and type.
inline void putBox(int i, float x, float y, float w, float h, int type = BOX_STANDARD)
{
    boxTable.x[i] = x;
    boxTable.y[i] = y;
    boxTable.width[i] = w;
    boxTable.height[i] = h;
    boxTable.type[i] = type;
    if (boxCount < i)
        boxCount = i;
}

inline void putLift(int i, float x, float y, float w, float h, float rangeX, float rangeY, float speed)
{
    putBox(i, x, y, w, h, BOX_LIFT);
    boxTable.liftStartX[i] = x;
    boxTable.liftStartY[i] = y;
    boxTable.liftRangeX[i] = rangeX;
    boxTable.liftRangeY[i] = rangeY;
    boxTable.liftSpeed[i] = speed;
    boxTable.liftState[i] = 0;
}

// Enemy i (1-based, raising enemyCount) alive with the type's defaults.
inline void putEnemy(int i, int type, float x, float y)
{
    EnemyTable& t = enemyTable;
    t.type[i] = type;
    t.x[i] = x;
    t.y[i] = y;
    t.width[i] = enemyDefaults[type].width;
    t.height[i] = enemyDefaults[type].height;
    t.speed[i] = enemyDefaults[type].speed;
    t.health[i] = enemyDefaults[type].health;
    t.maxHealth[i] = enemyDefaults[type].maxHealth;
    t.scoreValue[i] = 100.0f;
    if (enemyCount < i)
        enemyCount = i;
}

// A height profile in the next free slot of the profile table: `columns` values from `value`.
template <typename F>
int putProfile(int columns, F value)
{
    const int id = heightProfileCount < MAX_HEIGHT_PROFILES ? heightProfileCount++ : MAX_HEIGHT_PROFILES - 1;
    HeightProfile& p = heightProfiles[id];
    p.id = id;
    p.width = columns;
    for (int c = 0; c < HEIGHT_PROFILE_COLUMNS; ++c)
        p.heights[c] = c < columns ? value(c) : 0.0f;
    return id;
}

}  // namespace world

#include "core/clock.h"
#include "platform/os_services.h"

namespace world {

// The millisecond clock on the virtual counter, at `ms`.
inline void setClockMs(int64_t ms)
{
    useVirtualCounter(true);
    initClockFrequency();
    clockState.clockStart = 0;
    setVirtualCounter(ms * 1000000);
}

}  // namespace world
