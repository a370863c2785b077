#include "game/game_scene.h"

#include "core/frame_values.h"   // shadowDebugView
#include "core/screen_frame.h"  // FRAME_ASPECT, FRAME_NEAR_PLANE
#include "game/boxes.h"
#include "game/enemy_draw.h"
#include "game/game_assets.h"    // the flyer layout
#include "game/game_resources.h" // the models, textures and programs
#include "game/game_state.h"  // substepFactor, gameHasGlContext, gameCameraX, VIEW_WIDTH, ...
#include "game/hero.h"
#include "game/level_tiles.h"
#include "core/clock.h"          // tween
#include "gfx/pass_timer.h"
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "platform/gl_api.h"
#include "render/camera.h"
#include "render/depth_prepass.h"    // the props' and flyers' depth first
#include "render/blended_draw.h"     // drawModelDepthBlend, drawModelShadowedBlend
#include "render/light_space.h"  // sf, sfz, drawModelDepth
#include "render/model_list_draw.h"   // the list draws and their tints
#include "render/overlay.h"          // drawBackground
#include "render/screen_passes.h"    // full-screen quad and passes
#include "render/shadowed_draw.h"    // drawModelShadowed

static constexpr float FLYER_WRAP = 20.0f;
// The hero's frame slots: jump, idle, gun, the crouch at rest and the first crawl frame the lit
// pass follows; its shadow starts this far into the appear fade.
static constexpr int HERO_JUMP_FRAME = 115;
static constexpr int HERO_IDLE_FRAME = 120;
static constexpr int HERO_GUN_FRAME = 142;
static constexpr int HERO_CROUCH_REST_FRAME = 202;
static constexpr float HERO_CRAWL_FIRST_BLENDED = 145.0f;
static constexpr float HERO_SHADOW_DELAY = 0.1f;
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

// The shadow-map pass of the game and the editor: the cleared shadow target, depth writes on,
// culling off with the back face as the cull face, the identity.
static void beginShadowMapPass()
{
    clearShadowTarget();
    glDepthMask(GL_TRUE);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glLoadIdentity();
}

// The lit pass of the game and the editor into screen target 2, over the colour already there:
// depth and stencil cleared, back cull face, depth writes on, the identity.
static void beginLitPass()
{
    glViewport(0, 0, static_cast<GLsizei>(VIEW_WIDTH), static_cast<GLsizei>(VIEW_HEIGHT));
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    glClearStencil(0);
    glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glCullFace(GL_BACK);
    glDepthMask(GL_TRUE);
    glLoadIdentity();
}

// Moves flyer i along its track; returns where it was, which is where this frame draws it.
static float advanceBackgroundFlyer(int i)
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
    return x;
}

static void placeFlyerAt(int i, float x)
{
    glLoadIdentity();
    glTranslatef(-7.0f * gameCameraX / (LEVEL_WIDTH - VIEW_WIDTH) / 10.0f,
                 -5.0f * gameCameraY / (LEVEL_HEIGHT - VIEW_HEIGHT) / 10.0f, 0.0f);
    glTranslatef(x, cloudY[i], cloudZ[i]);
    glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    if (cloudDirection[i] == 1.0f)
        glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
}

void placeBackgroundFlyer(int i)
{
    const float x = advanceBackgroundFlyer(i);
    if (gameHasGlContext())
        placeFlyerAt(i, x);
}

// A flyer placed at x (before parallax) and depth z shows in the view: its centre lies within the
// view's half-width at its distance from the eye, widened by the craft's half-length.
static bool flyerInView(float x, float z)
{
    constexpr float TAN_HALF_FIELD = 0.31529879f;   // tan(17.5 degrees)
    constexpr float FLYER_HALF_LENGTH = 0.6f;
    const float viewX = x - 7.0f * gameCameraX / (LEVEL_WIDTH - VIEW_WIDTH) / 10.0f;
    const float halfWidth = (10.0f - z) * TAN_HALF_FIELD * 16.0f / 9.0f + FLYER_HALF_LENGTH;
    return viewX > -halfWidth && viewX < halfWidth;
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
    const bool gl = gameHasGlContext();
    for (int i = 0; i < BACKGROUND_FLYER_COUNT; ++i) {
        placeBackgroundFlyer(i);
        if (gl && flyerModel)
            drawModelDepth(*flyerModel, -1, static_cast<int>(backgroundDepthProgram));
    }
    placeBackgroundProps();
    if (gl && backgroundScene)
        drawModelListDepth(*backgroundScene, static_cast<int>(backgroundDepthProgram));
}

// The flyers in view, each placed where this frame draws it, then the props: lit, or only
// their depth for the lit pass's pre-pass.
static void drawBackgroundModels(const float* flyerX, bool depthOnly)
{
    if (!depthOnly)
        glColor4f(0.9f, 0.9f, 0.9f, 1.0f);
    for (int i = 0; i < BACKGROUND_FLYER_COUNT; ++i) {
        // Half the flyers are beyond the view's sides at any time; their draw shows nothing.
        if (!flyerModel || !flyerInView(flyerX[i], cloudZ[i]))
            continue;
        placeFlyerAt(i, flyerX[i]);
        if (depthOnly)
            drawModelDepthPrepass(*flyerModel);
        else
            drawModelShadowed(*flyerModel, static_cast<int>(tileLitProgram), -1);
    }
    if (!depthOnly)
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    placeBackgroundProps();
    if (!backgroundScene)
        return;
    // The props' tinted draw reseeds the generator and takes three draws per prop model.
    if (depthOnly)
        drawModelListDepthPrepass(*backgroundScene);
    else
        drawStaticModelListTinted(*backgroundScene, static_cast<int>(tileLitProgram));
}

void drawBackgroundLitPass()
{
    float flyerX[BACKGROUND_FLYER_COUNT];
    for (int i = 0; i < BACKGROUND_FLYER_COUNT; ++i)
        flyerX[i] = advanceBackgroundFlyer(i);
    if (!gameHasGlContext()) {
        if (backgroundScene)
            takeModelListTints(*backgroundScene);
    } else {
        // The props and flyers overlap back to front: their depth first, then each pixel lit once.
        // Their colours have alpha 1.
        const bool prepass = depthPrepassKeepsPicture(backgroundModelsOpaque);
        // The scene pass draws the tiles over all of this, in the colour (white) and the blending
        // this pass leaves, which the shadow pass between keeps: nothing under them needs light.
        const bool tilesCover = depthPrepassKeepsPicture(tileModelsOpaque);
        if (tilesCover) {
            beginCoverMark();
            drawTilesLitPassDepth();
            endCoverMark();
        }
        if (prepass) {
            beginDepthPrepass();
            drawBackgroundModels(flyerX, true);
            endDepthPrepass();
        }
        drawBackgroundModels(flyerX, false);
        if (prepass)
            endPrepassedDraws();
        if (tilesCover)
            endCoverTest();
    }
    sf = TILE_SF;
    sfz = TILE_SFZ;
}

// Scroll speeds of the two cloud layers, per 60 Hz frame (16.7 s and 36 s per cycle).
static constexpr float CLOUD_SCROLL1_SPEED = 0.001f;
static constexpr float CLOUD_SCROLL2_SPEED = 1.0f / 2160.0f;

void drawCloudLayer()
{
    const bool gl = gameHasGlContext();
    if (gl) {
        gluPerspective(35.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 500.0);
        glViewport(0, 0, static_cast<GLsizei>(VIEW_WIDTH), static_cast<GLsizei>(VIEW_HEIGHT));
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    }
    // Its pose shows from the next frame on, like the scene's.
    setGameCamera();
    if (!gl)
        return;
    mainCamera.applyLookAt();
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // Start 0 is the clock's zero: the layer scrolls on across restarts.
    float scroll1 = 0.0f, scroll2 = 0.0f;
    tween(0.0, 0.0, 1.0, TWEEN_WRAP, CLOUD_SCROLL1_SPEED, &scroll1);
    tween(0.0, 0.0, 1.0, TWEEN_WRAP, CLOUD_SCROLL2_SPEED, &scroll2);
    shaderLoader.use(cloudsProgram);
    const int* u = cloudsUniforms.of(cloudsProgram);
    bindSampler(u[CLOUDS_MAP1], 0, clouds1Texture);
    bindSampler(u[CLOUDS_MAP2], 1, clouds2Texture);
    bindSampler(u[CLOUDS_MASK], 2, cloudsMaskTexture);
    glActiveTexture(GL_TEXTURE0);
    glUniform1f(u[CLOUDS_SCROLL1], scroll1);
    glUniform1f(u[CLOUDS_SCROLL2], scroll2);
    glBegin(GL_QUADS);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, 3.0f);
    glVertex3f(-65.0f, 10.0f, 0.0f);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(65.0f, 10.0f, 0.0f);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(1.2f, 0.0f);
    glVertex3f(65.0f, 0.0f, -10.0f);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(1.2f, 3.0f);
    glVertex3f(-65.0f, 0.0f, -10.0f);
    glEnd();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClear(GL_DEPTH_BUFFER_BIT);
}

// The hero's pose blend of the two game passes: frame B and its weight, from the crouch, the
// jump and the idle blends in that order. Crouching, the shadow blends towards the idle frame and
// the lit hero towards the crouch, following the crawl once it is half in.
static void heroBlend(bool lit, int& frameB, float& weight)
{
    if (crouchBlend > 0.0f) {
        weight = crouchBlend;
        frameB = HERO_IDLE_FRAME;
        if (lit)
            frameB = crouchBlend >= 0.5f && heroCrouchFrame >= HERO_CRAWL_FIRST_BLENDED ? static_cast<int>(heroCrouchFrame)
                                                                                        : HERO_CROUCH_REST_FRAME;
    } else if (heroJumpPose > 0.0f) {
        frameB = HERO_JUMP_FRAME;
        weight = heroJumpPose;
    } else {
        frameB = HERO_IDLE_FRAME;
        weight = heroIdleBlend;
    }
}

void renderGameScene()
{
    const bool gl = gameHasGlContext();
    beginPass("backdrop");
    if (gl) {
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
        // The opaque background picture covers every pixel: only depth and stencil need a clear.
        glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        drawBackground();
    }
    drawCloudLayer();
    endPass();
    if (backgroundPropsEnabled) {
        beginPass("background_shadow");
        if (gl)
            clearShadowTarget();
        drawBackgroundShadowPass();
        endPass();
        beginPass("background_lit");
        if (gl) {
            glViewport(0, 0, static_cast<GLsizei>(VIEW_WIDTH), static_cast<GLsizei>(VIEW_HEIGHT));
            glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
        }
        drawBackgroundLitPass();
        endPass();
    }
    setGameCamera();

    beginPass("shadow");
    if (gl)
        beginShadowMapPass();
    setHeroTransform();
    if (gl) {
        if (playerActive && heroViewYOffset > HERO_SHADOW_DELAY && heroModel) {
            int frameB = HERO_IDLE_FRAME;
            float weight = 0.0f;
            heroBlend(false, frameB, weight);
            drawModelDepthBlend(*heroModel, static_cast<int>(heroWalkPhase), frameB, HERO_GUN_FRAME, weight,
                                muzzleFlashFade, static_cast<int>(heroDepthProgram));
        }
        drawTilesShadowPass();
    }
    drawEnemiesShadowPass();
    endPass();

    beginPass("scene");
    if (gl) {
        beginLitPass();
        drawTilesLitPass();
    }
    drawEnemiesLitPass();

    setHeroTransform();
    setHeroTransform();
    if (!gl) {
        endPass();
        return;
    }
    glDisable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    if (playerActive && heroModel) {
        int frameB = HERO_IDLE_FRAME;
        float weight = 0.0f;
        heroBlend(true, frameB, weight);
        drawModelShadowedBlend(*heroModel, static_cast<int>(heroLitProgram), static_cast<int>(heroWalkPhase), frameB,
                               HERO_GUN_FRAME, weight, muzzleFlashFade);
    }
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    endPass();

    beginPass("scene_copy");
    shaderLoader.use(passthroughProgram);
    bindSampler(passthroughUniforms.of(passthroughProgram)[COLOR_MAP_SAMPLER], 1, screenTarget2.colorTexture);
    glActiveTexture(GL_TEXTURE0);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    drawFullScreenQuad();
    endPass();
    if (shadowDebugView >= 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        drawShadowMapView();
    }
}

// Where the backdrop-only variant leaves out a model draw or a hero placement it sets this
// placement instead.
static void placeBackdropStandIn()
{
    glLoadIdentity();
    glTranslatef(1.0f, 1.0f, 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
}

// The editor's passes: tiles into the shadow map, backdrop and tiles lit into screen target 2,
// a black depth map in screen target 3, and the depth-of-field composite into screen target 1.
static void renderEditorPasses(bool withModels)
{
    const bool gl = gameHasGlContext();
    setGameCamera();
    if (gl) {
        beginPass("shadow");
        beginShadowMapPass();
        if (withModels)
            drawTilesShadowPass();
        else
            placeBackdropStandIn();
        endPass();

        beginPass("scene");
        beginLitPass();
        drawBackground();
        if (withModels)
            drawTilesLitPass();
        else
            placeBackdropStandIn();
        endPass();
    }
    if (withModels) {
        setHeroTransform();
        setHeroTransform();
    } else if (gl) {
        placeBackdropStandIn();
    }
    if (gl) {
        glDisable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glEnable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

        beginPass("depth_map");
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget3.framebuffer);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClearDepth(1.0);
        glClearStencil(0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        endPass();
    }
    if (withModels)
        setHeroTransform();
    else if (gl)
        placeBackdropStandIn();
    if (!gl)
        return;
    glLoadIdentity();

    composeDepthOfField();
    if (shadowDebugView >= 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        drawShadowMapView();
    }
}

void composeDepthOfField()
{
    beginPass("depth_of_field");
    shaderLoader.use(dofBlurProgram);
    const int* u = dofBlurUniforms.of(dofBlurProgram);
    glUniform1i(u[DOF_BLUR_DEPTH_MAP], 0);
    glUniform1i(u[DOF_BLUR_COLOR_MAP], 1);
    glUniform1i(u[DOF_BLUR_INTENSITY], 2);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, screenTarget3.colorTexture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, screenTarget2.colorTexture);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, dofBlurIntensityTexture);
    glActiveTexture(GL_TEXTURE0);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    drawFullScreenQuad();
    endPass();
}

void renderEditorScene()
{
    renderEditorPasses(true);
}

void renderBackdropDof()
{
    renderEditorPasses(false);
}

// drawBoxOutlines lives with the 2D layer's outlines (game/outlines_2d.cpp).
