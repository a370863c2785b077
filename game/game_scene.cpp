#include "game/game_scene.h"

#include "core/frame_values.h"   // shadowDebugView
#include "game/boxes.h"
#include "game/enemy_draw.h"
#include "game/game_assets.h"    // the flyer layout
#include "game/game_camera.h"
#include "game/game_frame.h"     // substepFactor, gameHasGlContext
#include "game/hero.h"
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "platform/crt_random.h"
#include "platform/gl_api.h"
#include "render/camera.h"
#include "render/light_space.h"  // sf, sfz
#include "render/model_list_draw.h"   // TINT_SEED

unsigned char backgroundPropsEnabled = 1;
unsigned char debugOverlay = 0;
// The props sit about 4 units behind the tiles and spread over the whole view, so their light
// box is about three times as wide and deep as the tiles' (sf 0.05, sfz 0.015): wide enough to
// hold the props' shadows, small enough to keep the shadow map's resolution on them.
float sfbg = 0.15f;
float sfzbg = 0.05f;

static constexpr float FLYER_WRAP = 20.0f;
static constexpr float TILE_SF = 0.05f;
static constexpr float TILE_SFZ = 0.015f;

static void setGameCamera()
{
    mainCamera.set(0.0f, 0.0f, 10.0f, 0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f);
}

static void clearShadowTarget()
{
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glViewport(0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void placeBackgroundFlyer(int i)
{
    const float x = cloudX[i];
    if (cloudDirection[i] == 0.0f) {
        cloudX[i] -= cloudSpeed[i] * substepFactor;
        if (cloudX[i] < -FLYER_WRAP)
            cloudX[i] += 2.0f * FLYER_WRAP;
    } else {
        cloudX[i] += cloudSpeed[i] * substepFactor;
        if (cloudX[i] > FLYER_WRAP)
            cloudX[i] -= 2.0f * FLYER_WRAP;
    }
    if (!gameHasGlContext())
        return;
    glLoadIdentity();
    glTranslatef(-7.0f * gameCameraX / (LEVEL_WIDTH - VIEW_WIDTH) / 10.0f,
                 -5.0f * gameCameraY / (LEVEL_HEIGHT - VIEW_HEIGHT) / 10.0f, 0.0f);
    glTranslatef(x, cloudY[i], cloudZ[i]);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    if (cloudDirection[i] == 1.0f)
        glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
}

void placeBackgroundProps()
{
    if (!gameHasGlContext())
        return;
    glLoadIdentity();
    glTranslatef(0.5f - 7.0f * gameCameraX / (LEVEL_WIDTH - VIEW_WIDTH) / 10.0f,
                 -5.0f - 5.0f * gameCameraY / (LEVEL_HEIGHT - VIEW_HEIGHT) / 10.0f, -4.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
}

void drawBackgroundShadowPass()
{
    sf = sfbg;
    sfz = sfzbg;
    for (int i = 0; i < BACKGROUND_FLYER_COUNT; ++i)
        placeBackgroundFlyer(i);   // each followed by the flyer's depth draw
    placeBackgroundProps();        // then the props' depth draw
}

void drawBackgroundLitPass()
{
    for (int i = 0; i < BACKGROUND_FLYER_COUNT; ++i)
        placeBackgroundFlyer(i);   // each followed by the flyer's lit draw
    placeBackgroundProps();
    // The props' tinted draw reseeds the generator and takes three draws per prop model.
    crtSrand(TINT_SEED);
    sf = TILE_SF;
    sfz = TILE_SFZ;
}

void drawCloudLayer()
{
    // Its pose shows from the next frame on, like the scene's.
    setGameCamera();
}

void renderGameScene()
{
    const bool gl = gameHasGlContext();
    if (gl) {
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
    drawCloudLayer();
    if (backgroundPropsEnabled) {
        if (gl)
            clearShadowTarget();
        drawBackgroundShadowPass();
        if (gl) {
            glViewport(0, 0, static_cast<GLsizei>(VIEW_WIDTH), static_cast<GLsizei>(VIEW_HEIGHT));
            glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
        }
        drawBackgroundLitPass();
    }
    setGameCamera();

    if (gl) {
        clearShadowTarget();
        glDepthMask(GL_TRUE);
        glDisable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glLoadIdentity();
    }
    setHeroTransform();
    drawEnemiesShadowPass();

    if (gl) {
        glViewport(0, 0, static_cast<GLsizei>(VIEW_WIDTH), static_cast<GLsizei>(VIEW_HEIGHT));
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
        glClearStencil(0);
        glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glCullFace(GL_BACK);
        glDepthMask(GL_TRUE);
        glLoadIdentity();
    }
    drawEnemiesLitPass();

    setHeroTransform();
    setHeroTransform();
    if (!gl)
        return;
    glDisable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    shaderLoader.use(passthroughProgram);
    glUniform1i(glGetUniformLocation(passthroughProgram, "colorMap"), 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, screenTarget2.colorTexture);
    glActiveTexture(GL_TEXTURE0);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    drawFullScreenQuad();
}

void renderEditorScene()
{
    setGameCamera();
    setHeroTransform();
    setHeroTransform();
    setHeroTransform();
}

void renderBackdropDof() {}

// drawBoxOutlines lives with the 2D layer's outlines (game/outlines_2d.cpp).
