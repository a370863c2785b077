#include "game/player.h"

#include "core/clock.h"          // tween, clockNowMs
#include "core/data_files.h"     // debugLog
#include "core/frame_values.h"   // timelineT, gameFirstFrame, consoleVisible, screenshotRequested, shadowDebugView
#include "core/keyboard.h"
#include "core/sound.h"
#include "game/boxes.h"
#include "game/flash_light.h"
#include "game/game_state.h"  // PLAYER_START_Y, heroTurnAngle, playerX, playerY, ...
#include "game/restart.h"        // restartGameFromLevelStart
#include "render/light_space.h"  // sf, sfz, xsc, ysc, zsc

#include <SDL_scancode.h>
#include <cmath>

// Crouch-walk animation frames: at rest, and the start of a crawl cycle.
static constexpr float CROUCH_FRAME_REST = 202.0f;
static constexpr float CROUCH_FRAME_START = 144.0f;
// Crouched walking shorter than this (60 Hz frames) does not move yet.
static constexpr float CRAWL_START_TIME = 3.0f;
static constexpr float CRAWL_POSE_THRESHOLD = 0.1f;
static constexpr float SHADOW_BOX_STEP = 0.001f;
static constexpr float LIGHT_POSITION_STEP = 0.5f;
// The respawn's start of the fall curve, one unit above the respawn height.
static constexpr float RESPAWN_FALL_Y = PLAYER_START_Y + 1.0f;

static bool held(int scancode)
{
    return keyboardState.held[scancode] != 0;
}

static bool pressed(int scancode)
{
    return keyboardState.pressed[scancode] != 0;
}

static bool turnComplete()
{
    return heroTurnAngle == 90.0f || heroTurnAngle == -90.0f;
}

static void logShadowBox()
{
    if (held(SDL_SCANCODE_RSHIFT))
        debugLog("sfbg = %f, sfzbg= %f\n", static_cast<double>(sfbg), static_cast<double>(sfzbg));
    else
        debugLog("sf = %f, sfz= %f\n", static_cast<double>(sf), static_cast<double>(sfz));
}

static void nudgeShadowBox(bool depth, float step)
{
    const bool background = held(SDL_SCANCODE_RSHIFT);
    float& value = depth ? (background ? sfzbg : sfz) : (background ? sfbg : sf);
    value += step;
    logShadowBox();
}

static void nudgeLight(float& value, float step)
{
    value += step;
    debugLog("xsc = %f, ysc = %f, zsc= %f\n", static_cast<double>(xsc), static_cast<double>(ysc), static_cast<double>(zsc));
}

static void serveRestartAndEditorKeys()
{
    if (held(SDL_SCANCODE_F2))
        restartGameFromLevelStart();
    if (pressed(SDL_SCANCODE_F1))
        editorRequest = 1;
}

static void serveDebugKeys()
{
    if (pressed(SDL_SCANCODE_RETURN)) {
        timelineT += 1.0f;
        if (timelineT > 0.0f)
            timelineT = -9.0f;
        gameFirstFrame = 1;
    }
    if (pressed(SDL_SCANCODE_L))
        debugLog("%f %f, %f %f\n", static_cast<double>(playerX), static_cast<double>(playerY),
                 static_cast<double>(gameCameraX), static_cast<double>(gameCameraY));
    if (held(SDL_SCANCODE_U))
        nudgeShadowBox(false, -SHADOW_BOX_STEP);
    if (held(SDL_SCANCODE_I))
        nudgeShadowBox(false, SHADOW_BOX_STEP);
    if (held(SDL_SCANCODE_O))
        nudgeShadowBox(true, -SHADOW_BOX_STEP);
    if (held(SDL_SCANCODE_P))
        nudgeShadowBox(true, SHADOW_BOX_STEP);
    if (pressed(SDL_SCANCODE_Q))
        nudgeLight(zsc, -LIGHT_POSITION_STEP);
    if (pressed(SDL_SCANCODE_E))
        nudgeLight(zsc, LIGHT_POSITION_STEP);
    if (pressed(SDL_SCANCODE_W))
        nudgeLight(ysc, LIGHT_POSITION_STEP);
    if (pressed(SDL_SCANCODE_S))
        nudgeLight(ysc, -LIGHT_POSITION_STEP);
    if (pressed(SDL_SCANCODE_A))
        nudgeLight(xsc, -LIGHT_POSITION_STEP);
    if (pressed(SDL_SCANCODE_D))
        nudgeLight(xsc, LIGHT_POSITION_STEP);
    if (pressed(SDL_SCANCODE_Z))
        consoleVisible = !consoleVisible;
    if (pressed(SDL_SCANCODE_F12))
        debugOverlay = !debugOverlay;
    if (pressed(SDL_SCANCODE_F4))
        screenshotRequested = 1;
    if (pressed(SDL_SCANCODE_B))
        shadowDebugView = -shadowDebugView;
    if (pressed(SDL_SCANCODE_C))
        backgroundPropsEnabled = !backgroundPropsEnabled;
    serveRestartAndEditorKeys();
}

static bool jumpKeyHeld()
{
    return held(SDL_SCANCODE_SPACE) || held(SDL_SCANCODE_UP);
}

static void tryStartJump(bool& airborne)
{
    if (!jumpKeyHeld() || jumpCount > 1 || jumpLatch || playerCrouched || crawlStepActive || held(SDL_SCANCODE_DOWN))
        return;
    if (standingBoxIndex == 0 && jumpCount != 1)
        return;
    airborne = true;
    playerMoving = 1;
    playerAirborne = 1;
    jumpTime = 0.0f;
    jumpTimeStart = 0.0f;
    jumpStartY = playerY + 1.0f;
    jumpSpeed = JUMP_SPEED;
    jumpCount += 1;
    jumpLatch = 1;
    heroJumpPose = 0.0f;
    heroJumpPoseSpeed = 0.1f;
    heroJumpPoseAccel = 0.01f;
}

// One walk step in direction d (-1 left, +1 right); with frameAdvance the crawl cycle moves on.
static void walkStep(int d, float speed, bool frameAdvance)
{
    const float step = static_cast<float>(d) * speed * substepFactor;
    playerX += step;
    stepDx = step;
    playerMoving = 1;
    if (crouchBlend >= CRAWL_POSE_THRESHOLD) {
        playerCrawlTime += substepFactor;
        if (frameAdvance)
            heroCrouchFrame += 2.0f * substepFactor;
        crawlStepActive = 1;
    }
    if (heroCrouchFrame > CROUCH_FRAME_REST) {
        heroCrouchFrame = CROUCH_FRAME_REST;
        crawlStepActive = 0;
        if (!held(SDL_SCANCODE_DOWN))
            playerCrouched = 0;
    }
    if ((d < 0 && playerFacing == FACING_RIGHT) || (d > 0 && playerFacing == FACING_LEFT)) {
        heroCrouchFrame = CROUCH_FRAME_REST;
        crawlStepActive = 0;
        playerCrawlTime = 0.0f;
    }
    playerFacing = d < 0 ? FACING_LEFT : FACING_RIGHT;
}

static void walk(float speed, bool airborne)
{
    const bool crawlOn = playerCrouched && crawlStepActive && turnComplete() && !airborne;
    if (held(SDL_SCANCODE_LEFT) && !crawlStepActive)
        walkStep(-1, speed, false);
    else if (crawlOn && playerFacing == FACING_LEFT)
        walkStep(-1, speed, true);
    const bool crawlOnNow = playerCrouched && crawlStepActive && turnComplete() && !airborne;
    if (held(SDL_SCANCODE_RIGHT) && !crawlStepActive)
        walkStep(1, speed, false);
    else if (crawlOnNow && playerFacing == FACING_RIGHT)
        walkStep(1, speed, true);
}

// Returns whether the player ends crouched.
static bool settlePosture(float x0, bool airborne)
{
    if (!turnComplete())
        heroCrouchFrame = CROUCH_FRAME_REST;
    bool crouch = true;
    if (!held(SDL_SCANCODE_DOWN)) {
        playerCrouched = 0;
        crouch = crawlStepActive != 0;
    }
    if (crouch && !airborne) {
        playerCrouched = 1;
        playerHeight = CROUCH_HEIGHT;
        playerWidth = PLAYER_WIDTH;
        if (std::trunc(heroCrouchFrame) == CROUCH_FRAME_START)
            playerX = x0;
        return true;
    }
    playerHeight = STAND_HEIGHT;
    playerWidth = PLAYER_WIDTH;
    crawlStepActive = 0;
    return false;
}

static void followCurve(float y0)
{
    if (playerAirborne == 0) {
        jumpTime = 0.0f;
        jumpTimeStart = 0.0f;
        jumpStartY = y0 + 1.0f;
        jumpSpeed = 0.0f;
        return;
    }
    jumpTime += 0.1f * substepFactor;
    const float u = 4.0f * (jumpTime - jumpTimeStart);
    playerY = jumpStartY + jumpSpeed * u - FALL_CURVE * u * u;
    if (standingBoxIndex == 0)
        playerMoving = 1;
    if (jumpTime > JUMP_LATCH_TIME)
        jumpLatch = 0;
}

static void respawn()
{
    playSound(0);
    playerX = PLAYER_START_X;
    prevPlayerY = PLAYER_START_Y;
    playerCrouched = 0;
    crawlStepActive = 0;
    heroCrouchFrame = CROUCH_FRAME_START;
    playerFacing = FACING_NONE;
    heroTurnAngle = 0.0f;
    heroIdleBlend = 1.0f;
    heroJumpPose = 0.0f;
    standingBoxIndex = 0;
    playerMoving = 0;
    stepDx = 0.0f;
    playerAirborne = 1;
    jumpTime = 0.0f;
    jumpTimeStart = 0.0f;
    jumpStartY = RESPAWN_FALL_Y;
    jumpSpeed = 0.0f;
    playerY = RESPAWN_FALL_Y;
    heroAppearStartMs = clockNowMs();
    playerDead = 0;
    resolvedX = PLAYER_START_X;
    resolvedY = PLAYER_START_Y;
}

void updatePlayer()
{
    // Dead: the game frame keeps the tables fresh; only a restart or the editor can be asked
    // for, so a level that kills at the start can always be left.
    if (!playerActive) {
        serveRestartAndEditorKeys();
        return;
    }
    tween(heroAppearStartMs, 0.0, 1.1f, TWEEN_CLAMP, 1.0f / 60.0f, &heroViewYOffset);
    playerMoving = 0;
    pollKeyboardState();
    serveDebugKeys();

    bool airborne = false;
    tryStartJump(airborne);

    const float speed = held(SDL_SCANCODE_RSHIFT) ? SLOW_WALK_SPEED : walkSpeed;
    const float x0 = playerX;
    const float y0 = playerY;

    if (!playerHasSupport() && playerCanStandUp()) {
        crawlStepActive = 0;
        playerCrouched = 0;
        heroCrouchFrame = CROUCH_FRAME_REST;
        airborne = true;
    }

    if (playerCrawlTime < CRAWL_START_TIME)
        heroCrouchFrame = CROUCH_FRAME_REST;
    if (held(SDL_SCANCODE_LEFT) && heroCrouchFrame >= CROUCH_FRAME_REST)
        heroCrouchFrame = CROUCH_FRAME_START;
    if (held(SDL_SCANCODE_RIGHT) && heroCrouchFrame >= CROUCH_FRAME_REST)
        heroCrouchFrame = CROUCH_FRAME_START;

    walk(speed, airborne);
    const bool endedCrouched = settlePosture(x0, airborne);

    if (jumpTime > JUMP_LATCH_TIME || jumpSpeed == 0.0f) {
        heroJumpPoseSpeed = -0.05f;
        heroJumpPoseAccel = 0.0f;
    }
    if (!jumpKeyHeld() && !endedCrouched)
        jumpLatch = 0;

    followCurve(y0);

    if (respawnPending)
        respawn();
    if (playerHealth <= 0.0f && !deathBurstActive && !playerDead)
        killPlayer();
}

void killPlayer()
{
    if (playerDead)
        return;
    playerDead = 1;
    playSound(1);
    playerHealth = 0.0f;
    spawnFlashLight(-1);
    deathBurstTimer = DEATH_BURST_LENGTH;
    deathBurstActive = 1;
    playerActive = 0;
    healthBarTimer = -1.0f;
    debugLog("player1 restart\n");
    playerLives = playerLives > 0 ? playerLives - 1 : 0;
}
