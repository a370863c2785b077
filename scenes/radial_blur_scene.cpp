// The radial-blur cloud scene: 1000 billboard particles turning in screenTarget1, coloured by
// the palette program through a scrolling table into screenTarget2, and blurred radially from
// the screen centre onto the screen; for 25 frames after each beat the blob program replaces
// the plain radial blur.
#include "scenes/radial_blur_scene.h"

#include "core/clock.h"           // tween
#include "core/frame_values.h"           // sceneStartMs, beatFlags, frameDt
#include "core/keyboard.h"       // keyboardState: the tuning key
#include "core/screen_frame.h"  // SCREEN_W, SCREEN_H
#include "gfx/render_targets.h"  // screenTarget1, screenTarget2
#include "gfx/shaders.h"         // shaderLoader, bindSampler
#include "gfx/textures.h"        // loadTexture
#include "gfx/uniform_table.h"
#include "platform/gl_api.h"
#include "render/particles.h"    // the cloud and the particle program
#include "scenes/palette_logo_scene.h"  // the palette program, KEY_BEAT_KICK
#include "scenes/scenes.h"
#include "scenes/toolkit.h"      // drawScreenRect, radialBlurBorder, beatCountdown

#include <cstdio>

RadialBlurPrograms radialBlurPrograms = {};
uint32_t radialBlurPalette = 0;

static constexpr int SCREEN_CENTRE_X = 960;
static constexpr int SCREEN_CENTRE_Y = 540;
static constexpr float PALETTE_BORDER = 10.0f;
// Turn rates of the cloud in radians per 60 Hz frame about x, y and z.
static constexpr float CLOUD_TURN_XY = 0.02f;
static constexpr float CLOUD_TURN_Z = 0.06f;

// The three blur programs share their uniform names; one table each, and a spare one for a
// program built elsewhere.
enum RadialBlurUniform { RADIAL_BLUR_CENTRE_X, RADIAL_BLUR_CENTRE_Y, RADIAL_BLUR_COLOR_MAP,
                         RADIAL_BLUR_UNIFORM_COUNT };
static const char* const RADIAL_BLUR_UNIFORM_NAMES[RADIAL_BLUR_UNIFORM_COUNT] = {"centerx", "centery", "colorMap"};
static UniformTable<RADIAL_BLUR_UNIFORM_COUNT> radialBlurUniforms[] = {
    UniformTable<RADIAL_BLUR_UNIFORM_COUNT>(RADIAL_BLUR_UNIFORM_NAMES),
    UniformTable<RADIAL_BLUR_UNIFORM_COUNT>(RADIAL_BLUR_UNIFORM_NAMES),
    UniformTable<RADIAL_BLUR_UNIFORM_COUNT>(RADIAL_BLUR_UNIFORM_NAMES),
    UniformTable<RADIAL_BLUR_UNIFORM_COUNT>(RADIAL_BLUR_UNIFORM_NAMES),
};

static const int* radialBlurLocations(uint32_t program)
{
    constexpr int SPARE = 3;
    for (int i = 0; i < SPARE; ++i)
        if (radialBlurUniforms[i].filled && radialBlurUniforms[i].program == program)
            return radialBlurUniforms[i].at;
    return radialBlurUniforms[SPARE].of(program);
}

void initRadialBlurScene()
{
    radialBlurPrograms.radialBlur = shaderLoader.load("passthroughvertexshader.vert", "radialblur.frag");
    radialBlurPrograms.radialBlurFast = shaderLoader.load("passthroughvertexshader.vert", "radialblurfast.frag");
    radialBlurPrograms.blob = shaderLoader.load("passthroughvertexshader.vert", "blob.frag");
    radialBlurUniforms[0].lookUp(radialBlurPrograms.radialBlur);
    radialBlurUniforms[1].lookUp(radialBlurPrograms.radialBlurFast);
    radialBlurUniforms[2].lookUp(radialBlurPrograms.blob);
    particleProgram = shaderLoader.load("particles.vert", "particles.frag");
    particleLocations = fetchParticleLocations(particleProgram);
    std::printf("particleshader %d\n", static_cast<int>(particleProgram));
    plainParticles = createParticleSystem("particle", CLOUD_PARTICLE_COUNT, CLOUD_SIZE);
    radialBlurPalette = loadTexture("blurpalette2.tga");
}

bool stepRadialBlurBeat(bool beat)
{
    bool blob;
    if (beat) {
        beatCountdown = BLOB_COUNTDOWN - frameDt;
        blob = true;
    } else {
        blob = beatCountdown > 0.0f;
        beatCountdown -= frameDt;
    }
    if (beatCountdown < 0.0f)
        beatCountdown = 0.0f;
    return blob;
}

void drawRadialBlurScene()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The angle follows the clock from its zero, so the cloud turns on smoothly across scenes.
    float t;
    tween(0.0, 0.0, 36000000.0, TWEEN_WRAP, 1.0, &t);
    rotateParticles(plainParticles, CLOUD_TURN_XY * t, CLOUD_TURN_XY * t, CLOUD_TURN_Z * t);

    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    glPushMatrix();
    drawParticlesSorted(plainParticles);
    glPopMatrix();

    float scroll;
    tween(static_cast<double>(sceneStartMs), 0.0, 256.0, TWEEN_WRAP, 1.0, &scroll);
    usePaletteProgram(screenTarget1.colorTexture, radialBlurPalette, scroll / 256.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    radialBlurBorder = PALETTE_BORDER;
    drawScreenRect(-PALETTE_BORDER, -PALETTE_BORDER, SCREEN_W + PALETTE_BORDER, SCREEN_H + PALETTE_BORDER);
    shaderLoader.unuse();

    const bool beat = keyboardState.pressed[KEY_BEAT_KICK] != 0 || (beatFlags & BEAT_BAR_BIT) != 0;
    const uint32_t program = stepRadialBlurBeat(beat) ? radialBlurPrograms.blob : radialBlurPrograms.radialBlurFast;

    drawRadialBlurPass(program, SCREEN_CENTRE_X, SCREEN_CENTRE_Y);
}

void drawRadialBlurPass(uint32_t program, int centreX, int centreY)
{
    shaderLoader.use(program);
    const int* u = radialBlurLocations(program);
    glUniform1i(u[RADIAL_BLUR_CENTRE_X], centreX);
    glUniform1i(u[RADIAL_BLUR_CENTRE_Y], centreY);
    bindSampler(u[RADIAL_BLUR_COLOR_MAP], 0, screenTarget2.colorTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const float b = radialBlurBorder;
    drawScreenRect(-b, -b, SCREEN_W + b, SCREEN_H + b);
    shaderLoader.unuse();
}
