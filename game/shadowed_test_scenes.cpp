#include "game/shadowed_test_scenes.h"

#include "core/clock.h"            // tween
#include "core/frame_values.h"     // sceneStartMs, shadowDebugView
#include "core/screen_frame.h"  // the screen frame and its perspective
#include "game/game_resources.h"   // heroModel
#include "game/game_scene.h"       // composeDepthOfField
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "platform/gl_api.h"
#include "render/camera.h"
#include "render/light_space.h"    // drawModelDepth
#include "render/overlay.h"        // drawBackground
#include "render/particles.h"      // drawGlowPassStub
#include "render/screen_passes.h"  // full-screen passes
#include "render/shadowed_draw.h"  // drawModelShadowed, drawModelVolumetric
#include "scenes/flyby_map.h"
#include "scenes/toolkit.h"        // drawSkyBox

#include <cmath>

Model* shadowTestModels[SHADOW_TEST_MODEL_COUNT] = {};

static constexpr float TWO_PI = 6.2831853f;

int shadowTestHeroFrame()
{
    float t = 1.0f;
    tween(sceneStartMs, 1.0, 100.0, TWEEN_WRAP, 1.0, &t);
    return t < 1.0f ? 1 : static_cast<int>(t);
}

void drawShadowTestModels(unsigned char flag)
{
    (void)flag;  // the glow pass draws nothing whatever the flag
    int program = shaderLoader.current();
    glRotatef(270.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, -4.5f, -1.0f);
    for (int pass = 0; pass < 2; ++pass) {
        for (Model* model : shadowTestModels)
            if (model)
                drawModelVolumetric(*model, -1);
        if (pass == 0)
            glTranslatef(0.0f, 0.0f, 2.0f);
    }
    drawGlowPassStub();
    shaderLoader.use(static_cast<uint32_t>(program));
}

static void bindShadowTarget()
{
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glViewport(0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

static void loadSceneProjection(double fieldOfView)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, FRAME_ASPECT, 0.1, 500.0);
    mainCamera.applyLookAt();
    glMatrixMode(GL_MODELVIEW);
}

static void drawHeroDepth(int frame, uint32_t program)
{
    if (!heroModel)
        return;
    setTiltTransform();
    drawModelDepth(*heroModel, frame, static_cast<int>(program));
}

static void drawHeroLit(int frame)
{
    if (!heroModel)
        return;
    setTiltTransform();
    drawModelShadowed(*heroModel, static_cast<int>(shadowLitProgram), frame);
}

void drawShadowedSceneDof()
{
    tween(sceneStartMs, 0.0, 360.0, TWEEN_WRAP, 1.0, &lightAnimationAngles[0]);
    const int frame = shadowTestHeroFrame();

    bindShadowTarget();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(35.0, 1.0, 0.1, 1.0);
    glMatrixMode(GL_MODELVIEW);
    drawHeroDepth(frame, shadowDepthProgram);
    drawFlybyMapShadowPass();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    drawBackground();
    loadSceneProjection(35.0);
    // First pass marks the hero's pixels; the second lights only what the first marked, so the
    // hero's outline stays crisp over the backdrop.
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    drawHeroLit(frame);
    glStencilFunc(GL_EQUAL, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glDepthFunc(GL_LEQUAL);
    drawHeroLit(frame);
    glDepthFunc(GL_LESS);
    glDisable(GL_STENCIL_TEST);
    drawFlybyMapLitPass();

    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget3.framebuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    drawHeroDepth(frame, dofBlur1Program);

    composeDepthOfField();
    shaderLoader.unuse();
    if (shadowDebugView >= 0)
        drawShadowMapView();
}

void drawShadowedScene()
{
    // The light swings on three slow angles (radians, wrapping once per turn).
    tween(sceneStartMs, 0.0, TWO_PI, TWEEN_WRAP, 0.011, &lightAnimationAngles[1]);
    tween(sceneStartMs, 0.0, TWO_PI, TWEEN_WRAP, 0.007, &lightAnimationAngles[2]);
    tween(sceneStartMs, 0.0, TWO_PI, TWEEN_WRAP, 0.013, &lightAnimationAngles[3]);
    animateFlybyTileFrames();
    const int frame = shadowTestHeroFrame();

    bindShadowTarget();
    if (heroModel) {
        setLightTransformTilted();
        drawModelDepth(*heroModel, frame, static_cast<int>(shadowDepthProgram));
    }
    drawFlybyMapShadowPass();

    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1.0f, 0.4f, 0.1f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    loadSceneProjection(65.0);
    glLoadIdentity();
    drawSkyBox();
    if (heroModel) {
        setLightTransformTilted();
        drawModelShadowed(*heroModel, static_cast<int>(shadowLitProgram), frame);
    }
    drawFlybyMapLitPass();
    glLoadIdentity();
    drawShadowTestModels(0);
    if (shadowDebugView >= 0)
        drawShadowMapView();
}

void drawShadowedSceneForward()
{
    drawShadowedScene();
}
