// Sky and cloud passes. Uniform locations are looked up when the programs are built; a program
// that failed to build is 0 and gets no uniforms (GL would only raise errors for them).
#include "scenes/sky.h"

#include "core/clock.h"     // tween
#include "core/frame_values.h"     // sceneStartMs
#include "core/screen_frame.h"  // SCREEN_W, SCREEN_H
#include "gfx/shaders.h"   // shaderLoader, bindSampler
#include "gfx/textures.h"  // loadTexture
#include "gfx/uniform_table.h"
#include "platform/gl_api.h"
#include "render/overlay.h"

uint32_t cloudProgram = 0;
uint32_t skyProgram = 0;
uint32_t noiseTextureA = 0;
uint32_t noiseTextureB = 0;
uint32_t skyColorTexture = 0;
uint32_t skyCloudsTexture = 0;
float skyTime = 0.0f;

static constexpr double SKY_TIME_FROM = 1000.0;
static constexpr double SKY_TIME_TO = 10000.0;
static constexpr double SKY_TIME_DELAY_MS = 10.0;
static constexpr float PASS_TIME_SPEED = 0.04f;        // per frame: one way in 62.5 minutes
static constexpr float BACKGROUND_TIME_SPEED = 0.1f;   // per frame: one way in 25 minutes

// Both programs use the same names; the cloud program lacks the last two samplers.
enum SkyUniform { SKY_CHANNEL0, SKY_CHANNEL1, SKY_COLOR_ABBER, SKY_CLOUDS, SKY_GLOBAL_TIME, SKY_UNIFORM_COUNT };
static const char* const SKY_UNIFORM_NAMES[SKY_UNIFORM_COUNT] = {"iChannel0", "iChannel1", "colorAbber", "skyclouds",
                                                                 "iGlobalTime"};
static UniformTable<SKY_UNIFORM_COUNT> cloudUniforms(SKY_UNIFORM_NAMES);
static UniformTable<SKY_UNIFORM_COUNT> skyUniforms(SKY_UNIFORM_NAMES);

void initSkyShaders()
{
    cloudProgram = shaderLoader.load("Passthroughvertexshader.vert", "cloudshader.frag");
    skyProgram = shaderLoader.load("Passthroughvertexshader.vert", "sky.frag");
    cloudUniforms.lookUp(cloudProgram);
    skyUniforms.lookUp(skyProgram);
    noiseTextureA = loadTexture("noise.tga");
    noiseTextureB = loadTexture("noise.tga");
    skyColorTexture = loadTexture("skycolor.tga");
    skyCloudsTexture = loadTexture("skyclouds.tga");
}

static void uploadTime(const int* locations)
{
    if (locations[SKY_GLOBAL_TIME] >= 0)
        glUniform1f(locations[SKY_GLOBAL_TIME], skyTime);
}

void drawSkyOrClouds(int useSky)
{
    const uint32_t program = useSky != 0 ? skyProgram : cloudProgram;
    shaderLoader.use(program);
    const int* u = (useSky != 0 ? skyUniforms : cloudUniforms).of(program);
    bindSampler(u[SKY_CHANNEL0], 0, noiseTextureA);
    bindSampler(u[SKY_CHANNEL1], 1, noiseTextureB);
    uploadTime(u);
    tween(SKY_TIME_DELAY_MS, SKY_TIME_FROM, SKY_TIME_TO, TWEEN_PING_PONG, static_cast<double>(PASS_TIME_SPEED),
          &skyTime);
    drawSkyScreenQuad();
}

void drawSkyBackground()
{
    shaderLoader.use(skyProgram);
    const int* u = skyUniforms.of(skyProgram);
    bindSampler(u[SKY_CHANNEL0], 0, noiseTextureA);
    bindSampler(u[SKY_CHANNEL1], 1, noiseTextureB);
    bindSampler(u[SKY_COLOR_ABBER], 2, skyColorTexture);
    bindSampler(u[SKY_CLOUDS], 3, skyCloudsTexture);
    uploadTime(u);
    tween(static_cast<double>(sceneStartMs) + SKY_TIME_DELAY_MS, SKY_TIME_FROM, SKY_TIME_TO, TWEEN_PING_PONG,
          static_cast<double>(BACKGROUND_TIME_SPEED), &skyTime);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawSkyScreenQuad();
}

static void skyVertex(float x, float y, float u, float v)
{
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, v);
    glVertex3f(x, y, 0.0f);
}

void drawSkyScreenQuad()
{
    glDisable(GL_DEPTH_TEST);
    pushScreenFrame();
    glTranslatef(0.0f, 0.0f, 0.0f);

    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    glBegin(GL_TRIANGLES);
    skyVertex(0.0f, 0.0f, 0.0f, 0.0f);
    skyVertex(SCREEN_W, 0.0f, 1.0f, 0.0f);
    skyVertex(SCREEN_W, SCREEN_H, 1.0f, 1.0f);
    skyVertex(0.0f, 0.0f, 0.0f, 0.0f);
    skyVertex(0.0f, SCREEN_H, 0.0f, 1.0f);
    skyVertex(SCREEN_W, SCREEN_H, 1.0f, 1.0f);
    glEnd();

    popScreenFrame();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
}
