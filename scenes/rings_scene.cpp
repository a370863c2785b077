// The spheres-and-rings scene (see scenes/rings_scene.h).
#include "scenes/rings_scene.h"

#include "core/frame_values.h"              // beatFlags, frameDt
#include "core/screen_frame.h"       // SCREEN_WIDTH, SCREEN_HEIGHT
#include "core/keyboard.h"          // keyboardState
#include "gfx/model.h"              // loadModel, scaleModel, uploadModelVertices
#include "gfx/pass_timer.h"
#include "gfx/shadow_map.h"         // beginShadowTargetPass and the shadow programs
#include "platform/gl_api.h"
#include "render/camera.h"          // mainCamera
#include "render/light_space.h"     // sf, sfz, the light position, drawModelDepth
#include "render/lights.h"          // applyLightPreset
#include "render/model_draw.h"      // fogZFactor
#include "render/overlay.h"         // drawBackground
#include "render/shadowed_draw.h"   // drawModelShadowed
#include "scenes/scenes.h"
#include "scenes/toolkit.h"         // beatCountdown

#include <cstdio>

Model* ringsModels[RINGS_MODEL_COUNT];
float ringAnglesX[RING_COUNT];
float ringAnglesZ[RING_COUNT];
const float RING_RATES[RING_COUNT] = {1.0f, 1.1f, 1.2f, 1.3f};

namespace {

const char* const RINGS_MODEL_FILES[RINGS_MODEL_COUNT] = {"sphere1.3dm", "ring1.3dm", "ring2.3dm", "ring3.3dm",
                                                          "ring4.3dm"};
const float RING_START_ANGLES_X[RING_COUNT] = {0.0f, 35.0f, 70.0f, 105.0f};
constexpr float RINGS_MODEL_SCALE = 0.5f;
constexpr float FULL_TURN = 360.0f;
constexpr float RINGS_CENTRE[3] = {-1.5f, 0.9f, -3.5f};
constexpr int RINGS_LIGHT_PRESET = 11;
constexpr float RINGS_FOG_Z_FACTOR = 610.0f;

// Model m (0 the sphere, 1 to 4 the rings) placed at the centre, a ring turned by its angles.
void placeRingsModel(int m)
{
    glLoadIdentity();
    glTranslatef(RINGS_CENTRE[0], RINGS_CENTRE[1], RINGS_CENTRE[2]);
    if (m > 0) {
        glRotatef(ringAnglesX[m - 1], 1.0f, 0.0f, 0.0f);
        glRotatef(ringAnglesZ[m - 1], 0.0f, 0.0f, 1.0f);
    }
}

void setRingsCamera()
{
    mainCamera.set(-3.0f, 2.0f, 4.0f, -2.3431f, 1.516f, 0.526f, 0.0f, 1.0f, 0.0f);
}

}  // namespace

void enterRingsScene()
{
    setRingsCamera();
}

void initRingsScene()
{
    // Progress marks between the loads: "is1" before the sphere, "is11" after it, then one per
    // step up to "is6".
    std::printf("is1");
    ringsModels[0] = loadModel(RINGS_MODEL_FILES[0]);
    std::printf("is11\n");
    if (ringsModels[0])
        scaleModel(*ringsModels[0], RINGS_MODEL_SCALE);
    std::printf("is2\n");
    for (int m = 1; m < RINGS_MODEL_COUNT; ++m) {
        ringsModels[m] = loadModel(RINGS_MODEL_FILES[m]);
        if (ringsModels[m])
            scaleModel(*ringsModels[m], RINGS_MODEL_SCALE);
        std::printf("is%d\n", m + 2);
    }
    for (Model* model : ringsModels)
        uploadModelVertices(model);
    for (int i = 0; i < RING_COUNT; ++i) {
        ringAnglesX[i] = RING_START_ANGLES_X[i];
        ringAnglesZ[i] = 0.0f;
    }
}

float stepRingsBeat(bool beat, float dt)
{
    const float countdown = beat ? RINGS_BEAT_FRAMES : beatCountdown;
    const float speed = beat || countdown > 0.0f ? RINGS_BEAT_SPEED : RINGS_CALM_SPEED;
    beatCountdown = countdown - dt > 0.0f ? countdown - dt : 0.0f;
    return speed;
}

void advanceRingAngles(float speed, float dt)
{
    for (int i = 0; i < RING_COUNT; ++i) {
        const float step = RING_RATES[i] * speed * dt;
        ringAnglesX[i] += step;
        if (ringAnglesX[i] > FULL_TURN)
            ringAnglesX[i] -= FULL_TURN;
        ringAnglesZ[i] += step;
        if (ringAnglesZ[i] > FULL_TURN)
            ringAnglesZ[i] -= FULL_TURN;
    }
}

void drawRingsDepthPass()
{
    beginShadowTargetPass();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    for (int m = 0; m < RINGS_MODEL_COUNT; ++m) {
        if (!ringsModels[m])
            continue;
        placeRingsModel(m);
        drawModelDepth(*ringsModels[m], -1, static_cast<int>(shadowDepthProgram));
    }
}

void drawRingsLitPass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1.0f, 0.4f, 0.1f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    // The screen viewport before the background: under the depth pass's 4096 x 4096 one the
    // picture would be stretched past the window and only its lower-left part seen.
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawBackground();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (int m = 0; m < RINGS_MODEL_COUNT; ++m) {
        if (!ringsModels[m])
            continue;
        placeRingsModel(m);
        drawModelShadowed(*ringsModels[m], static_cast<int>(shadowLitProgram), -1);
    }
}

void drawRingsScene()
{
    const bool beat = keyboardState.pressed[RINGS_BEAT_KEY] || (beatFlags & BEAT_BAR_BIT);
    const float speed = stepRingsBeat(beat, frameDt);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    fogZFactor = RINGS_FOG_Z_FACTOR;
    applyLightPreset(RINGS_LIGHT_PRESET);

    advanceRingAngles(speed, frameDt);
    // Seen from the next frame on: the frame routine applies mainCamera.
    setRingsCamera();

    sf = 0.04f;
    sfz = 0.022f;
    xsc = 1.0f;
    ysc = 2.5f;
    zsc = 2.0f;

    beginPass("shadow");
    drawRingsDepthPass();
    endPass();
    drawRingsLitPass();

    // The rings cull front faces; the scenes after this one (the flyover's terrain among them)
    // are drawn for back-face culling and nothing else on the way sets it again.
    glCullFace(GL_BACK);
}
