#include "game/enemy_draw.h"

#include "core/clock.h"          // tween, clockNowMs
#include "core/data_files.h"     // debugLog
#include "core/frame_values.h"   // sceneStartMs
#include "game/enemies.h"
#include "game/game_camera.h"    // isEnemyNearView
#include "game/game_resources.h" // enemyModels, orbModels, tileDepthProgram, tileLitProgram
#include "game/game_state.h"  // spinAngle, walkFrame, gameHasGlContext, muzzleFlashFade
#include "game/orb_glow.h"
#include "platform/crt_random.h"
#include "platform/gl_api.h"
#include "render/blended_draw.h"      // drawModelDepthBlend, drawModelShadowedBlend
#include "render/light_space.h"       // drawModelDepth
#include "render/model_list_draw.h"   // drawStaticModelFading, advanceFadeTimer
#include "render/shadowed_draw.h"     // drawModelShadowed

#include <cmath>

static constexpr float FLYER_LIFT_SHADOW = 1.0f;
static constexpr float FLYER_LIFT_LIT = 0.25f;
static constexpr float ORB_BOB = 0.15f;
static constexpr float ORB_BOB_RATE = 57.13f;
static constexpr float ORB_OFFSET_X = -0.2f;
static constexpr int WALKER_SECOND_FRAME = 120;
static constexpr int FLYER_FRAME = 1;

// The enemy's placement: its view position, a flyer's lift, the spin and the models' tilt.
static void placeEnemy(int i, float flyerLift)
{
    float tx = 0.0f, ty = 0.0f;
    enemyViewPosition(i, tx, ty);
    glLoadIdentity();
    glTranslatef(tx, ty, 0.15f);
    if (enemyTable.type[i] == ENEMY_FLYER)
        glTranslatef(0.0f, flyerLift, 0.0f);
    glRotatef(enemyTable.animPhase[i] + spinAngle, 0.0f, 1.0f, 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
}

// An orb's bob, tilt and offset on top of the current matrix.
static void placeOrb(int i)
{
    float tx = 0.0f, ty = 0.0f;
    enemyViewPosition(i, tx, ty);
    glTranslatef(tx, ty, 0.15f);
    glTranslatef(0.0f, ORB_BOB * std::sin(3.0f * (spinAngle / ORB_BOB_RATE + enemyTable.animPhase[i])), 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(45.0f, 1.0f, 1.0f, 0.0f);
    glTranslatef(ORB_OFFSET_X, 0.0f, 0.0f);
}

static bool isWalkerOrJumper(int i)
{
    return enemyTable.type[i] == ENEMY_WALKER || enemyTable.type[i] == ENEMY_JUMPER;
}

int pickOrbModel(int index)
{
    crtSrand(static_cast<unsigned>(index));
    return crtRand() % ORB_MODEL_COUNT + 1;
}

void drawEnemiesShadowPass()
{
    float restartProbe = 0.0f;
    tween(sceneStartMs, 1.0, 110.0, TWEEN_WRAP, 1.6f, &walkFrame);
    tween(sceneStartMs, 1.0, 140.0, TWEEN_WRAP, 1.6f, &restartProbe);
    tween(sceneStartMs, 0.0, 360.0, TWEEN_WRAP, 1.6f, &spinAngle);
    if (walkFrame < 0.0f || restartProbe < 0.0f || spinAngle < 0.0f) {
        sceneStartMs = clockNowMs();
        debugLog("timer restarted\n");
    }
    float glowClock = 1.0f;
    tween(sceneStartMs, 1.0, 99.0, TWEEN_WRAP, 1.6f, &glowClock);
    const bool gl = gameHasGlContext();
    const int last = enemyCount < ENEMY_CAPACITY ? enemyCount : ENEMY_CAPACITY - 1;
    for (int i = 0; i <= last; ++i) {
        if (!(enemyTable.health[i] > 0.0f))
            continue;
        enemyFrame[i] = enemyTable.animPhase[i] + walkFrame;
        if (enemyFrame[i] > 110.0f)
            enemyFrame[i] -= 110.0f;
        enemyGlowPhase[i] = glowClock + enemyTable.animPhase[i];
        if (enemyGlowPhase[i] > 100.0f)
            enemyGlowPhase[i] -= 100.0f;
        if (!gl)
            continue;
        placeEnemy(i, FLYER_LIFT_SHADOW);
        const int program = static_cast<int>(tileDepthProgram);
        if (isWalkerOrJumper(i)) {
            if (enemyModels[0])
                drawModelDepthBlend(*enemyModels[0], static_cast<int>(enemyFrame[i]), WALKER_SECOND_FRAME, -1, 0.0f,
                                    muzzleFlashFade, program);
        } else if (enemyTable.type[i] == ENEMY_FLYER) {
            if (enemyModels[1])
                drawModelDepth(*enemyModels[1], FLYER_FRAME, program);
        } else if (enemyTable.type[i] == ENEMY_ORB) {
            // An orb still to collect stands on its own; a collected one keeps the spin.
            if (enemyTable.health[i] < ORB_COLLECTED_HEALTH)
                glLoadIdentity();
            placeOrb(i);
            if (orbModels[0])
                drawModelDepth(*orbModels[0], -1, program);
        }
    }
}

void drawEnemiesLitPass()
{
    const bool gl = gameHasGlContext();
    if (gl) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
    }
    const int program = static_cast<int>(tileLitProgram);
    const int last = enemyCount < ENEMY_CAPACITY ? enemyCount : ENEMY_CAPACITY - 1;
    for (int i = 0; i <= last; ++i) {
        if (!(enemyTable.health[i] > 0.0f) || !isEnemyNearView(i))
            continue;
        if (enemyTable.type[i] != ENEMY_ORB) {
            if (!gl)
                continue;
            placeEnemy(i, FLYER_LIFT_LIT);
            if (isWalkerOrJumper(i)) {
                if (enemyModels[0])
                    drawModelShadowedBlend(*enemyModels[0], program, static_cast<int>(enemyFrame[i]),
                                           WALKER_SECOND_FRAME, -1, 0.0f, muzzleFlashFade);
            } else if (enemyTable.type[i] == ENEMY_FLYER && enemyModels[1]) {
                drawModelShadowed(*enemyModels[1], program, FLYER_FRAME);
            }
            continue;
        }
        const int m = pickOrbModel(i);
        Model* orb = orbModels[m - 1];
        if (!gl || !orb) {
            // A collected orb fades out: its health is the fade clock.
            if (enemyTable.health[i] >= ORB_COLLECTED_HEALTH)
                advanceFadeTimer(enemyTable.health[i]);
            continue;
        }
        glLoadIdentity();
        placeOrb(i);
        if (enemyTable.health[i] >= ORB_COLLECTED_HEALTH)
            drawStaticModelFading(*orb, program, enemyTable.health[i]);
        else
            drawModelShadowed(*orb, program, -1);
        drawOrbGlow(i, m);
    }
}
