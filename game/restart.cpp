#include "game/restart.h"

#include "core/frame_values.h"   // consoleVisible
#include "core/screen_frame.h"  // FRAME_ASPECT
#include "game/boxes.h"
#include "game/draw_2d.h"        // drawExplosionSprite
#include "game/enemies.h"
#include "game/game_assets.h"    // loadGameAssets
#include "game/game_state.h"  // playerY, playerHeight, playerX, playerWidth, playerHealth, ...
#include "game/missiles.h"       // clearHomingMissiles
#include "game/nuke.h"           // initNuke, nukeRadius
#include "game/weapons.h"        // deactivateAllSparks, freeAllShots
#include "core/keyboard.h"       // viewRestartActive
#include "gfx/render_targets.h"
#include "platform/crt_random.h"
#include "platform/gl_api.h"
#include "render/light_space.h"  // xsc, ysc, zsc

#include <initializer_list>

PlayerDebris playerDebris = {};
int32_t restartCount = 0;
bool deathBurstAges = true;
bool screenTargetsCleared = false;

// The enemy table as the level put it, kept by the latest restartGame.
static EnemyTable levelStartEnemies;
static int32_t levelStartEnemyCount = 0;
static bool levelStartKept = false;

static constexpr int RESTART_MISSILES = 100;
static constexpr int RESTART_NUKES = 5;

int countCrushingBoxes()
{
    int overlapping = 0;
    int lifts = 0;
    int aboveHead = 0;
    const float top = playerY + playerHeight;
    for (int i = 0; i <= boxCount; ++i) {
        if (!boxOverlapsRect(i, playerX, playerY, playerWidth, playerHeight))
            continue;
        ++overlapping;
        if (boxTable.type[i] == BOX_LIFT)
            ++lifts;
        if (boxTable.y[i] + boxTable.height[i] > top)
            ++aboveHead;
    }
    return lifts > 0 && aboveHead > 0 ? overlapping : 0;
}

void resetDeathBurst()
{
    playerHealth = PLAYER_FULL_HEALTH;
    deathBurstTimer = 0.0f;
    playerActive = 1;
    heroSmoothX = playerX;
    heroDrawX = playerX;
    PlayerDebris& d = playerDebris;
    for (int k = 0; k < PLAYER_DEBRIS_COUNT; ++k) {
        const int r = crtRand() % 100;
        if (r > 10) {
            d.kind[k] = 0.0f;
            d.velocityX[k] = static_cast<float>(20 - crtRand() % 40);
            d.velocityY[k] = static_cast<float>(20 - crtRand() % 40);
            d.growth[k] = static_cast<float>(crtRand() % 10 + 10);
            d.size[k] = static_cast<float>(crtRand() % 16 + 10);
            d.offsetX[k] = static_cast<float>(35 - crtRand() % 70);
            d.offsetY[k] = static_cast<float>(35 - crtRand() % 70);
            d.life[k] = static_cast<float>(crtRand() % 50 + 10);
        } else {
            d.kind[k] = 1.0f;
            d.velocityX[k] = static_cast<float>(40 - crtRand() % 80);
            d.velocityY[k] = static_cast<float>(40 - crtRand() % 80);
            d.growth[k] = 0.0f;
            d.size[k] = static_cast<float>(crtRand() % 10 + 4);
            d.offsetX[k] = static_cast<float>(40 - crtRand() % 80);
            d.offsetY[k] = static_cast<float>(40 - crtRand() % 80);
            d.life[k] = 1000.0f;
        }
    }
    respawnPending = 1;
}

void updateDeathBurst()
{
    if (!(deathBurstTimer > 0.0f))
        return;
    const float k = frameStepFactor;
    PlayerDebris& d = playerDebris;
    for (int p = 0; p < PLAYER_DEBRIS_COUNT; ++p) {
        drawExplosionSprite(playerX + playerWidth * 0.5f + d.offsetX[p] - gameCameraX,
                            playerY + playerHeight * 0.5f + d.offsetY[p] - gameCameraY, d.size[p] * 0.5f,
                            d.life[p] / 100.0f, d.kind[p] != 0.0f ? 1 : 0, 1.0f);
        if (!deathBurstAges)
            continue;
        d.offsetX[p] += d.velocityX[p] * k;
        d.offsetY[p] += d.velocityY[p] * k;
        d.life[p] -= 10.0f * k;
        if (d.kind[p] != 0.0f) {
            d.velocityY[p] -= 10.0f * k;
        } else {
            const float grown = d.size[p] + d.growth[p];
            d.size[p] = grown < 0.0f ? 0.0f : grown;
            d.growth[p] -= 10.0f * k;
        }
    }
    if (!deathBurstAges)
        return;
    deathBurstTimer -= 10.0f * k;
    if (deathBurstTimer <= 0.0f) {
        resetDeathBurst();
        viewRestartActive = 1;
        wipeX = 0.0f;
        deathBurstActive = 0;
        respawnPending = 1;
    }
}

static void clearTargetsAndProjection()
{
    if (!gameHasGlContext())
        return;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    // F2 held restarts in every substep; nothing draws between them, so one clear a frame
    // leaves the targets as twenty would (on the software renderer each round costs ~13 ms).
    if (!screenTargetsCleared) {
        const GLbitfield all = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
        for (const RenderTarget* target : {&screenTarget1, &screenTarget2, &screenTarget3, &screenTarget4}) {
            glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
            glClear(all);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClear(all);
        screenTargetsCleared = true;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, FRAME_ASPECT, 0.1, 500.0);
}

void restartGameFromLevelStart()
{
    if (levelStartKept) {
        enemyTable = levelStartEnemies;
        enemyCount = levelStartEnemyCount;
    }
    restartGame();
}

void restartGame()
{
    levelStartEnemies = enemyTable;
    levelStartEnemyCount = enemyCount;
    levelStartKept = true;
    debugOverlay = 0;
    playerAmmo[0] = RESTART_MISSILES;
    playerAmmo[1] = RESTART_NUKES;
    playerLives = PLAYER_START_LIVES;
    playerScore = 0;
    resetDeathBurst();
    // Restarted during a burst or the wipe that follows it: neither goes on into the new game
    // (a burst left active would also bar every later death by health).
    deathBurstActive = 0;
    if (viewRestartActive) {
        viewRestartActive = 0;
        wipeX = 0.0f;
    }
    editorRequest = 0;
    consoleVisible = 0;
    playerWidth = PLAYER_WIDTH;
    playerHeight = STAND_HEIGHT;
    prevPlayerX = playerX;
    prevPlayerY = playerY;
    playerHealth = PLAYER_FULL_HEALTH;
    playerMoving = 1;
    playerAirborne = 1;
    jumpTime = 0.0f;
    jumpTimeStart = 0.0f;
    jumpStartY = playerY + 1.0f;
    jumpSpeed = 0.0f;
    jumpCount = 0;
    jumpLatch = 1;
    if (restartCount++ == 0)
        loadGameAssets();
    resetBoundaryBoxAndLifts();
    resetEnemies();
    deactivateAllSparks();
    freeAllShots();
    clearHomingMissiles();
    nukeRadius = 0.0f;
    initNuke();
    orbsLeft = 0;
    for (int i = 0; i <= enemyCount && i < ENEMY_CAPACITY; ++i)
        if (enemyTable.type[i] == ENEMY_ORB && enemyTable.health[i] > 0.0f)
            ++orbsLeft;
    clearTargetsAndProjection();
    xsc = 1.0f;
    ysc = 2.0f;
    zsc = 2.0f;
}
