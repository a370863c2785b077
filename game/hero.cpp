#include "game/hero.h"

#include "core/clock.h"          // tween, clockNowMs
#include "core/data_files.h"     // debugLog
#include "core/frame_values.h"   // sceneStartMs
#include "core/keyboard.h"
#include "game/game_camera.h"
#include "game/game_state.h"  // heroWalkPhase, frameStepFactor, playerFacing, FACING_LEFT, ...
#include "game/weapons.h"        // muzzleFlashFrames
#include "platform/gl_api.h"

#include <SDL_scancode.h>
#include <algorithm>
#include <cmath>

// The crouched hero is drawn this much lower at a full crouch.
static constexpr float CROUCH_DROP = 60.0f;
// Single-precision values one step below 800 and 450: the pull toward screen (800, 450).
static constexpr float PULL_DIVISOR_X = 799.99994f;
static constexpr float PULL_DIVISOR_Y = 449.99997f;

static int wholeUnits(float d)
{
    if (!std::isfinite(d))
        return 0;
    return static_cast<int>(std::fabs(std::trunc(std::clamp(d, -1e9f, 1e9f))));
}

void setHeroTransform()
{
    tween(sceneStartMs, 1.0, 110.0, TWEEN_WRAP, 1.6f, &heroWalkPhase);
    if (heroWalkPhase < 0.0f || keyboardState.held[SDL_SCANCODE_F9]) {
        sceneStartMs = clockNowMs();
        debugLog("timer restarted\n");
    }
    if (keyboardState.held[SDL_SCANCODE_RETURN])
        debugLog("\n");

    const float turn = HERO_TURN_RATE * frameStepFactor;
    if (playerFacing == FACING_LEFT)
        heroTurnAngle = std::max(heroTurnAngle - turn, -90.0f);
    else if (playerFacing == FACING_RIGHT)
        heroTurnAngle = std::min(heroTurnAngle + turn, 90.0f);
    if (heroTurnAngle != 90.0f && heroTurnAngle != -90.0f)
        muzzleFlashFrames = 0;

    const float r = HERO_IDLE_RATE * frameStepFactor;
    if (!playerMoving)
        heroIdleBlend = std::min(heroIdleBlend + r, 1.0f);
    else
        heroIdleBlend = std::max(heroIdleBlend - r, 0.0f);
    if (playerCrouched)
        crouchBlend = std::min(crouchBlend + r * 0.5f, 1.0f);
    else
        crouchBlend = std::max(crouchBlend - r * 0.5f, 0.0f);
    const float crouchDrop = CROUCH_DROP * crouchBlend;

    heroJumpPose += heroJumpPoseSpeed * frameStepFactor;
    heroJumpPoseSpeed += heroJumpPoseAccel * frameStepFactor;
    heroJumpPose = std::clamp(heroJumpPose, 0.0f, 1.0f);
    muzzleFlashFade = std::max(muzzleFlashFade - 0.1f * frameStepFactor, 0.0f);
    gunBob = static_cast<float>((1.0 - heroIdleBlend) * 3.0 * std::sin(4.0 * 3.14 * (heroWalkPhase / 110.0 - 0.25)));

    // A dead band around the drawn position: it keeps still through the stand's hover and
    // snaps to the player once the player is a whole step away, so it never trails the player by
    // a step or more, whatever a frame's own move (a lift, a slow walk, a high frame rate).
    if (wholeUnits(playerY - heroSmoothY) >= HERO_SMOOTH_STEP_Y)
        heroSmoothY = playerY;
    heroDrawY = heroSmoothY;
    if (wholeUnits(playerX - heroSmoothX) >= HERO_SMOOTH_STEP_X)
        heroSmoothX = playerX;
    heroDrawX = heroSmoothX;

    const float s = heroSmoothY - gameCameraY;
    heroYOffset = (450.0f - s) / (PULL_DIVISOR_Y / VIEW_PULL_Y) + gunBob - crouchDrop;
    if (heroCrouchFrame < 202.0f && std::trunc(heroCrouchFrame) != 144.0f)
        heroYOffset += 15.0f;

    if (!gameHasGlContext())
        return;
    const float u = heroSmoothX - gameCameraX;
    const float tx = ((800.0f - u) / (PULL_DIVISOR_X / VIEW_PULL_X) + 55.0f + heroSmoothX - gameCameraX - 990.0f) /
                     1000.0f * 2048.0f * VIEW_SCALE_X / 1980.0f;
    const float ty = worldToViewY(heroSmoothY);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(tx, ty, 0.15f);
    glRotatef(heroTurnAngle, 0.0f, 1.0f, 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
}
