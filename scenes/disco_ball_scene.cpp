// The disco-ball scene: a mirror ball spins and bobs with a black logo silhouette in front of
// it; the picture goes through the palette pass and a radial blur centred on the ball, so the
// ball's light streams out around the silhouette, and a glowing copy of the logo is added on
// top. Bar starts flash the logo towards the viewer; accents speed up the spin.
#include "scenes/disco_ball_scene.h"

#include "core/clock.h"           // tween
#include "core/frame_values.h"           // sceneStartMs, beatFlags, frameDt
#include "core/keyboard.h"       // keyboardState: the tuning keys
#include "core/screen_frame.h"  // the screen frame and its perspective
#include "gfx/model.h"           // loadModel, scaleModel, uploadModelVertices
#include "gfx/render_targets.h"  // screenTarget1, screenTarget2
#include "gfx/shaders.h"         // shaderLoader
#include "gfx/textures.h"        // loadTexture
#include "platform/gl_api.h"
#include "render/camera.h"       // mainCamera
#include "render/lights.h"       // applyLightPreset
#include "render/model_draw.h"   // drawModel, drawSkinnedModel, drawModelFrame
#include "scenes/palette_logo_scene.h"  // the palette program, the tuning keys
#include "scenes/radial_blur_scene.h"   // radialBlurPrograms, drawRadialBlurPass
#include "scenes/scenes.h"
#include "scenes/toolkit.h"      // drawScreenRect, radialBlurBorder, beatCountdown

#include <cmath>

uint32_t discoSelfIllumProgram = 0;
Model* discoBallModel = nullptr;
Model* discoLogoModels[DISCO_LOGO_COUNT] = {};
uint32_t discoPalette = 0;
float discoAngles[3] = {0.0f, 0.0f, 0.0f};
float discoGlow = 0.0f;
float discoSpinCountdown = 0.0f;

static constexpr int DISCO_LIGHT_PRESET = 66;
static constexpr float FULL_TURN = 360.0f;
static constexpr float BALL_SCALE = 0.5f;
static constexpr float LOGO_SCALE = 0.2f;
static constexpr float GLOW_FLASH = -0.5f;
static constexpr float GLOW_EASE = 0.04f;  // per 60 Hz frame back towards rest
static const float FAST_SPIN[3] = {2.0f, 2.2f, 2.6f};  // degrees per 60 Hz frame
static const float SLOW_SPIN[3] = {0.4f, 0.44f, 0.52f};
// Screen pixels per unit of bob at the ball's depth, and the logo's wobble.
static constexpr float BLUR_CENTRE_X_SCALE = 185.0f;
static constexpr float BLUR_CENTRE_Y_SCALE = 140.0f;
static constexpr float WOBBLE = 0.15f;
static const char* const DISCO_LOGO_FILES[DISCO_LOGO_COUNT] = {"thinlogo2.3dm", "thinlogo3.3dm"};

void initDiscoBallScene()
{
    discoSelfIllumProgram = shaderLoader.load("passthroughvertexshader.vert", "selfillum.frag");
    discoBallModel = loadModel("discoball.3dm");
    if (discoBallModel)
        scaleModel(*discoBallModel, BALL_SCALE);
    for (int i = 0; i < DISCO_LOGO_COUNT; ++i) {
        discoLogoModels[i] = loadModel(DISCO_LOGO_FILES[i]);
        if (discoLogoModels[i])
            scaleModel(*discoLogoModels[i], LOGO_SCALE);
        uploadModelVertices(discoLogoModels[i]);
    }
    uploadModelVertices(discoBallModel);
    discoPalette = loadTexture("blurpalette3.tga");
}

void stepDiscoGlow(bool beat)
{
    float countdown;
    if (beat) {
        discoGlow = GLOW_FLASH + GLOW_EASE * frameDt;
        countdown = DISCO_GLOW_COUNTDOWN;
    } else {
        if (beatCountdown > 0.0f)
            discoGlow += GLOW_EASE * frameDt;
        countdown = beatCountdown;
    }
    if (discoGlow > 0.0f)
        discoGlow = 0.0f;
    beatCountdown = countdown - frameDt;
    if (beatCountdown < 0.0f) {
        beatCountdown = 0.0f;
        discoGlow = 0.0f;
    }
}

void stepDiscoSpin(bool accent)
{
    const float* rates;
    if (accent) {
        discoSpinCountdown = DISCO_SPIN_COUNTDOWN - frameDt;
        rates = FAST_SPIN;
    } else {
        rates = discoSpinCountdown > 0.0f ? FAST_SPIN : SLOW_SPIN;
        discoSpinCountdown -= frameDt;
    }
    if (discoSpinCountdown < 0.0f)
        discoSpinCountdown = 0.0f;
    for (int i = 0; i < 3; ++i) {
        discoAngles[i] += rates[i] * frameDt;
        // One subtraction is enough for a frame's step; after a long stall the step can pass
        // a whole turn, and the angle must still come back into its range.
        if (discoAngles[i] > FULL_TURN)
            discoAngles[i] = std::fmod(discoAngles[i], FULL_TURN);
    }
}

DiscoBob discoBobNow()
{
    float b1, b2;
    tween(static_cast<double>(sceneStartMs), 0.0, 100000.0, TWEEN_PING_PONG, 1.0, &b1);
    tween(static_cast<double>(sceneStartMs), 0.0, 100000.0, TWEEN_PING_PONG, 1.2000000476837158, &b2);
    return DiscoBob{2.0f * std::sin(b1 / 100.0f), 1.2f * std::sin(b2 / 100.0f)};
}

void discoBlurCentre(const DiscoBob& bob, int& centreX, int& centreY)
{
    centreX = static_cast<int>(960.0f - BLUR_CENTRE_X_SCALE * bob.x);
    centreY = static_cast<int>(540.0f + BLUR_CENTRE_Y_SCALE * bob.y);
}

// The logo's place and turn: upright, reading left to right towards the camera.
static void loadLogoTransform(float x, float y, float z)
{
    glLoadIdentity();
    glTranslatef(x, y, z);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
}

void drawDiscoBallScene()
{
    applyLightPreset(DISCO_LIGHT_PRESET);
    stepDiscoGlow(keyboardState.pressed[KEY_BEAT_KICK] != 0 || (beatFlags & BEAT_BAR_BIT) != 0);
    stepDiscoSpin(keyboardState.pressed[KEY_SPIN_KICK] != 0 || (beatFlags & BEAT_ACCENT_BIT) != 0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 100.0);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    mainCamera.set(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f);
    mainCamera.applyLookAt();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    const DiscoBob bob = discoBobNow();
    glTranslatef(bob.x, bob.y, DISCO_BALL_DEPTH);
    glRotatef(discoAngles[0], 1.0f, 0.0f, 0.0f);
    glRotatef(discoAngles[1], 0.0f, 1.0f, 0.0f);
    glRotatef(discoAngles[2], 0.0f, 0.0f, 1.0f);
    if (discoBallModel)
        drawModel(*discoBallModel);

    float w1, w2;
    tween(static_cast<double>(sceneStartMs), 0.0, 100000.0, TWEEN_PING_PONG, 3.9000000953674316, &w1);
    tween(static_cast<double>(sceneStartMs), 0.0, 100000.0, TWEEN_PING_PONG, 4.699999809265137, &w2);
    const float logoX = bob.x + WOBBLE * std::sin(w1 / 100.0f);
    const float logoY = bob.y + WOBBLE * std::sin(w2 / 100.0f);
    const float logoZ = DISCO_LOGO_DEPTH + discoGlow;

    loadLogoTransform(logoX, logoY, logoZ);
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    if (discoLogoModels[0])
        drawSkinnedModel(*discoLogoModels[0], -1, static_cast<int>(discoSelfIllumProgram));

    usePaletteProgram(screenTarget1.colorTexture, discoPalette, 0.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    radialBlurBorder = 0.0f;
    drawScreenRect(0.0f, 0.0f, SCREEN_W, SCREEN_H);
    shaderLoader.unuse();

    int centreX, centreY;
    discoBlurCentre(bob, centreX, centreY);
    drawRadialBlurPass(radialBlurPrograms.radialBlur, centreX, centreY);

    applyLightPreset(DISCO_LIGHT_PRESET);
    loadLogoTransform(logoX, logoY, logoZ);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    const float g = discoGlow;
    glColor4f(-2.0f * g, 0.55f - 2.0f * g, 1.0f - 2.0f * g, 0.75f);
    if (discoLogoModels[1])
        drawModelFrame(*discoLogoModels[1], -1);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
