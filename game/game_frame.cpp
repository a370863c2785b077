#include "game/game_frame.h"

#include "core/clock.h"
#include "core/data_files.h"      // debugLog
#include "core/frame_values.h"    // framesOfMs
#include "core/keyboard.h"
#include "game/boxes.h"
#include "game/collision.h"
#include "game/editor.h"
#include "game/enemies.h"
#include "game/game_camera.h"
#include "game/game_frame_render.h"
#include "game/game_state.h"  // substepFactor, substepCount, playerDead, playerCrouched, ...
#include "game/hud.h"
#include "game/player.h"
#include "game/restart.h"
#include "game/game_scene.h"      // renderEditorScene
#include "game/weapons.h"
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"       // passthroughProgram, viewMixProgram
#include "platform/gl_api.h"
#include "render/lights.h"        // uploadLights
#include "render/model_draw.h"    // fogZFactor
#include "render/screen_passes.h"  // full-screen quad and passes

#include <SDL.h>
#include <algorithm>
#include <cmath>

static constexpr float GAME_FOG_Z_FACTOR = 21.0f;

// A clock restart between two frames gives a negative time; it moves nothing rather than
// running the world backwards.
float substepFactorFor(int32_t elapsedMs)
{
    const int32_t cap = MAX_GAME_FRAME_MS_PER_SUBSTEP * substepCount;
    const int32_t elapsed = std::clamp(elapsedMs, 0, cap);
    return framesOfMs(static_cast<float>(elapsed) / static_cast<float>(substepCount));
}

static void runSubstep()
{
    updateLifts();
    if (countCrushingBoxes() > 1 && !playerDead)
        killPlayer();
    const bool wasCrouched = playerCrouched != 0;
    updatePlayer();
    if (wasCrouched && !playerCrouched && !playerCanStandUp()) {
        playerCrouched = 1;
        crawlStepActive = 0;
        playerHeight = CROUCH_HEIGHT;
    }
    updateWeapons();
    resolvePlayerCollisions(0);
    resolvePlayerCollisions(1);
    collideEnemiesWithBoxes();
    decideEnemyJumps();
    updateEnemyAI();
}

static bool withinOneUnit(float d)
{
    return std::isfinite(d) && std::fabs(std::trunc(d)) <= 1.0f;
}

void stepGameWorld()
{
    prevGameFrameMs = gameFrameMs;
    gameFrameMs = clockNowMs();
    substepFactor = substepFactorFor(gameFrameMs - prevGameFrameMs);
    frameStepFactor = 1.5f * substepFactor;
    playerMoving = 0;
    prevPlayerX = playerX;
    prevPlayerY = playerY;

    for (int s = 0; s < substepCount; ++s)
        runSubstep();
    updateGameCamera();
    if (withinOneUnit(playerX - prevPlayerX) && withinOneUnit(playerY - prevPlayerY))
        playerMoving = 0;
    playerAirborne = 1;
}

void runViewRestartWipeStep()
{
    debugLog("viewrestarting\n");
    const bool gl = gameHasGlContext();
    if (gl) {
        shaderLoader.use(passthroughProgram);
        bindSampler(passthroughUniforms.of(passthroughProgram)[COLOR_MAP_SAMPLER], 0, screenTarget1.colorTexture);
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget4.framebuffer);
        drawFullScreenQuad();
    }

    const float keptX = gameCameraX;
    const float keptY = gameCameraY;
    gameCameraX = 0.0f;
    gameCameraY = 0.0f;
    deathBurstAges = false;   // a death during the wipe: the first view has aged the burst already
    renderGameFrame();
    deathBurstAges = true;
    gameCameraX = keptX;
    gameCameraY = keptY;

    if (gl) {
        shaderLoader.use(viewMixProgram);
        bindSampler(viewMixUniforms.of(viewMixProgram)[VIEW_MIX_COLOR_MAP2], 0, screenTarget4.colorTexture);
        bindSampler(viewMixUniforms.of(viewMixProgram)[VIEW_MIX_COLOR_MAP], 1, screenTarget1.colorTexture);
        glActiveTexture(GL_TEXTURE0);
    }

    wipeX += WIPE_SPEED * substepFactor;
    if (wipeX > VIEW_WIDTH) {
        viewRestartActive = 0;
        gameCameraX = 0.0f;
        gameCameraY = 0.0f;
    }

    if (gl) {
        glUniform1f(viewMixUniforms.of(viewMixProgram)[VIEW_MIX_XC], wipeX);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        drawFullScreenQuad();
    }
}

void (*worldStepObserver)(bool finished) = nullptr;

void gameFrame()
{
    fogZFactor = GAME_FOG_Z_FACTOR;
    screenTargetsCleared = false;
    if (editorMode) {
        editorInput();
        renderEditorScene();
        if (gameHasGlContext())
            applyBloom();
        drawEditorOverlay();
    } else {
        if (worldStepObserver)
            worldStepObserver(false);
        stepGameWorld();
        if (worldStepObserver)
            worldStepObserver(true);
        uploadLights();
        renderGameFrame();
        if (viewRestartActive)
            runViewRestartWipeStep();
        if (gameHasGlContext())   // the HUD only draws; the world runs without a window too
            drawHud();
    }
    screenTargetsCleared = false;   // drawn since: the editor's restart below clears again
    pollKeyboardState();
    if (!editorMode && editorRequest) {
        editorMode = 1;
        restartGame();
        initEditor();
    }
}
