#include "scenes/flag_reveal_circles.h"

#include "core/frame_values.h"     // sceneStartMs
#include "core/clock.h"          // tween
#include "core/screen_frame.h"  // the screen frame's size
#include "gfx/render_targets.h"  // screenPassthroughProgram
#include "gfx/shaders.h"  // bindSampler
#include "gfx/textures.h"
#include "gfx/uniform_table.h"
#include "platform/crt_random.h"
#include "platform/gl_api.h"
#include "render/overlay.h"      // drawQuad, blackTexture
#include "scenes/toolkit.h"      // drawScreenRect, rotateVectorByAngles

#include <cmath>

uint32_t flagTextures[FLAG_TEXTURE_COUNT] = {};
uint32_t flagProgram = 0;
float flagAnim = 0.0f;

uint32_t revealTextures[2] = {};
uint32_t revealProgram = 0;

uint32_t circleTextures[2] = {};
Circle circles[CIRCLE_COUNT] = {};
float sinTable[SIN_COS_TABLE_SIZE] = {};
float cosTable[SIN_COS_TABLE_SIZE] = {};

static constexpr double PER_SECOND = 1.0 / 60.0;  // tween speed that counts seconds
static constexpr float SCREEN_CENTRE_X = 960.0f;
static constexpr float SCREEN_CENTRE_Y = 540.0f;

static const char* const FLAG_TEXTURE_FILES[FLAG_TEXTURE_COUNT] = {"flag.tga", "flagmap.tga", "flagshadow.tga",
    "flagcolor.tga"};
// The samplers in texture order, then the animation phase.
static constexpr int FLAG_ANIM_UNIFORM = FLAG_TEXTURE_COUNT;
static const char* const FLAG_UNIFORM_NAMES[FLAG_TEXTURE_COUNT + 1] = {"colorMap", "displaceMap", "shadowMap",
                                                                       "colorAbber", "flagAnim"};
static UniformTable<FLAG_TEXTURE_COUNT + 1> flagUniforms(FLAG_UNIFORM_NAMES);
static ColorMapUniforms revealUniforms(COLOR_MAP_UNIFORM_NAMES);

void initFlagEffect()
{
    for (int i = 0; i < FLAG_TEXTURE_COUNT; ++i)
        flagTextures[i] = loadTexture(FLAG_TEXTURE_FILES[i]);
    flagProgram = shaderLoader.load("passthroughvertexshader.vert", "flag.frag");
    flagUniforms.lookUp(flagProgram);
}

void drawFlagEffect()
{
    tween(sceneStartMs, 0.0, 1000.0, TWEEN_WRAP, static_cast<double>(0.02f), &flagAnim);
    shaderLoader.use(flagProgram);
    const int* u = flagUniforms.of(flagProgram);
    for (int i = FLAG_TEXTURE_COUNT - 1; i >= 0; --i)
        bindSampler(u[i], i, flagTextures[i]);
    glUniform1f(u[FLAG_ANIM_UNIFORM], flagAnim);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawScreenRect(-100.0f, -100.0f, 2020.0f, 1180.0f);
}

void initRevealEffect()
{
    revealTextures[0] = loadTexture("anger2.tga");
    revealTextures[1] = loadTexture("cursor.tga");
    revealProgram = shaderLoader.load("passthroughvertexshader.vert", "passthroughfragmentshader.frag");
    revealUniforms.lookUp(revealProgram);
}

bool revealExtent(float t, float* halfWidth, float* textureExtent)
{
    if (t <= 7.0f)
        return false;
    float w = 960.0f;
    float s = 1.0f;
    if (t < 17.0f) {
        w = (t - 7.0f) * 5.0f * 60.0f;
        s = w * 2.0f / SCREEN_W;
        if (w > 960.0f) {
            w = 960.0f;
            s = 1.0f;
        }
    }
    *halfWidth = w;
    *textureExtent = s;
    return true;
}

void drawRevealEffect()
{
    float t = 0.0f;
    tween(sceneStartMs, 0.0, 10000.0, TWEEN_WRAP, PER_SECOND, &t);
    shaderLoader.use(revealProgram);
    float w = 0.0f, s = 0.0f;
    if (!revealExtent(t, &w, &s))
        return;
    glUniform1i(revealUniforms.of(revealProgram)[COLOR_MAP_SAMPLER], 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, revealTextures[0]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawScreenRectUv(960.0f - w, 268.5f, 960.0f + w, 811.5f, 0.0f, 0.0f, s, 1.0f);
    glBindTexture(GL_TEXTURE_2D, revealTextures[1]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawScreenRectUv(960.0f + w, 268.5f, 1088.0f + w, 811.5f, 0.0f, 0.0f, 0.99f, 0.99f);
}

void fillSinCosTables()
{
    for (int i = 0; i < SIN_COS_TABLE_SIZE; ++i) {
        sinTable[i] = std::sin(static_cast<float>(i) / 2000.0f);
        cosTable[i] = std::cos(static_cast<float>(i) / 2000.0f);
    }
}

// A fresh draw of the generator as a fraction of 255 levels (floating point: an integer
// division would make every colour 0).
static float drawLevel()
{
    return static_cast<float>(crtRand() % 255) / 255.0f;
}

void initCircles()
{
    circleTextures[0] = loadTexture("circle.tga");
    circleTextures[1] = loadTexture("whitepixel.tga");
    crtSrand(2016);
    for (Circle& circle : circles) {
        circle.color[0] = drawLevel();
        circle.color[1] = drawLevel();
        circle.color[2] = drawLevel();
        circle.color[3] = 1.0f;
        (void)crtRand();
        circle.speed = drawLevel() * 200.0f + 60.0f;
        circle.startTime = static_cast<float>(crtRand() % 10000) / 10000.0f * 100.0f;
    }
    fillSinCosTables();
}

float circleRadiusAt(const Circle& circle, float t)
{
    float age = t - circle.startTime;
    return age > 0.0f ? age * circle.speed : 0.0f;
}

void drawCircles()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    drawQuad(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, blackTexture);
    glBindTexture(GL_TEXTURE_2D, circleTextures[0]);
    shaderLoader.use(screenPassthroughProgram);
    glUniform1i(screenPassthroughUniforms.of(screenPassthroughProgram)[COLOR_MAP_SAMPLER], 0);

    float t = 0.0f;
    tween(sceneStartMs, 0.0, 6000.0, TWEEN_WRAP, PER_SECOND, &t);
    for (const Circle& circle : circles) {
        float radius = circleRadiusAt(circle, t);
        if (radius > 5.0f && radius < SCREEN_W) {
            glColor4fv(circle.color);
            drawRingOutline(radius);
        }
    }
}

// A point at distance d along the angle a (1/2000 radian) from the screen centre.
static void ringPoint(float a, float d)
{
    rotationAngles = {0.0f, 0.0f, a};
    rotationInput = {d, 0.0f, 0.0f};
    rotateVectorByAngles();
    glVertex3f(rotationOutput.x + SCREEN_CENTRE_X, rotationOutput.y + SCREEN_CENTRE_Y, 0.0f);
}

void drawRingOutline(float radius)
{
    beginBlendedScreenQuads();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, circleTextures[1]);
    shaderLoader.unuse();

    const int step = radius < 200.0f ? 2 : 1;
    const float outer = radius + static_cast<float>(RING_BAND_WIDTH);
    glBegin(GL_QUADS);
    for (int a = 0; a <= RING_ARC_END; a += step) {
        const float from = static_cast<float>(a);
        const float to = static_cast<float>(a + step);
        ringPoint(from, radius);
        ringPoint(from, outer);
        ringPoint(to, outer);
        ringPoint(to, radius);
    }
    glEnd();
    popScreenFrame();
    glEnable(GL_CULL_FACE);
}
