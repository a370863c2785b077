#include "render/screen_passes.h"  // full-screen passes
#include "scenes/jelly.h"

#include "core/frame_values.h"  // sceneStartMs
#include "core/clock.h"          // tween
#include "core/screen_frame.h"  // the screen frame and its perspective
#include "gfx/model.h"
#include "gfx/render_targets.h"  // drawCenteredScreenQuad
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "gfx/uniform_table.h"
#include "platform/gl_api.h"
#include "render/camera.h"       // mainCamera, loadFrameView
#include "render/lights.h"       // applyLightPreset
#include "render/model_draw.h"   // drawModelFrame

#include <algorithm>
#include <cstdio>

JellyTarget jellyFrameTarget = {};
JellyTarget jellyAtlasA = {};
JellyTarget jellyAtlasB = {};
int jellyCellX[JELLY_COLUMNS] = {};
int jellyCellY[JELLY_ROWS_A] = {};
Model* jellyModel = nullptr;
uint32_t jellyMask1 = 0;
uint32_t jellyMask2 = 0;
uint32_t jellyProgram = 0;

enum JellyUniform { JELLY_BIG_TEXTURE2, JELLY_BIG_TEXTURE, JELLY_MASK2, JELLY_MASK1, JELLY_FRAME, JELLY_MIX_PERCENT,
                    JELLY_UNIFORM_COUNT };
static const char* const JELLY_UNIFORM_NAMES[JELLY_UNIFORM_COUNT] = {"bigtexture2", "bigtexture", "jellymask2",
                                                                     "jellymask1",  "frame",      "mixpercent"};
static UniformTable<JELLY_UNIFORM_COUNT> jellyUniforms(JELLY_UNIFORM_NAMES);
float jellyFrame = 0.0f;
float jellyMix = 0.0f;
int jellySizeLimitOverride = 0;

static const char TARGET_FAILED[] = "can't create framebuffer for render to texture";
static constexpr int CELL_SOURCE_X = 480;  // the middle 960 columns of a rendered step

// The largest side GL takes for both a texture and a renderbuffer (or the test seam's).
static int targetSizeLimit()
{
    GLint texture = 0, renderbuffer = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    int limit = std::min(texture, renderbuffer);
    if (jellySizeLimitOverride > 0)
        limit = std::min(limit, jellySizeLimitOverride);
    return limit;
}

// One target; false when its size is beyond the limits, memory runs out or it is incomplete.
static bool createJellyTarget(JellyTarget& target, int width, int height, bool withDepth)
{
    if (width > targetSizeLimit() || height > targetSizeLimit())
        return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glGenTextures(1, &target.colorTexture);
    glBindTexture(GL_TEXTURE_2D, target.colorTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    if (withDepth) {
        glGenRenderbuffers(1, &target.depthRenderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, target.depthRenderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, target.depthRenderbuffer);
    }
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, target.colorTexture, 0);
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &drawBuffer);
    if (glGetError() == GL_OUT_OF_MEMORY)
        return false;
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

const JellyTarget& jellyCellOf(int f, int* x, int* y)
{
    const bool first = f < JELLY_FRAMES_A;
    const int cell = first ? f : f - JELLY_FRAMES_A;
    *x = jellyCellX[cell % JELLY_COLUMNS];
    *y = jellyCellY[cell / JELLY_COLUMNS];
    return first ? jellyAtlasA : jellyAtlasB;
}

void renderJellyStep(int i)
{
    glBindFramebuffer(GL_FRAMEBUFFER, jellyFrameTarget.framebuffer);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -15.0f);
    glRotatef(1.2f * static_cast<float>(i), 1.0f, 1.0f, 0.0f);
    drawModelFrame(*jellyModel, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
}

uint32_t initJelly()
{
    for (int i = 0; i < JELLY_COLUMNS; ++i)
        jellyCellX[i] = JELLY_CELL_WIDTH * i;
    for (int i = 0; i < JELLY_ROWS_A; ++i)
        jellyCellY[i] = JELLY_CELL_HEIGHT * i;

    // Sizes are checked before anything is allocated; a failure keeps the targets made so far.
    if (!createJellyTarget(jellyFrameTarget, SCREEN_WIDTH, SCREEN_HEIGHT, true) ||
        !createJellyTarget(jellyAtlasA, JELLY_ATLAS_WIDTH, JELLY_ATLAS_A_HEIGHT, false) ||
        !createJellyTarget(jellyAtlasB, JELLY_ATLAS_WIDTH, JELLY_ATLAS_B_HEIGHT, false)) {
        std::printf("%s", TARGET_FAILED);
        std::fflush(stdout);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return 0;
    }

    loadFrameView();

    jellyModel = loadModel("star1.dae");
    scaleModel(*jellyModel, 2.2f);
    applyLightPreset(3);

    for (int i = -1; i < JELLY_FRAMES; ++i) {
        renderJellyStep(i);
        // The warm-up step (i = -1) goes to cell 0, which frame 0 then overwrites.
        int x = 0, y = 0;
        const JellyTarget& atlas = jellyCellOf(std::max(i, 0), &x, &y);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, jellyFrameTarget.framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, atlas.framebuffer);
        glBlitFramebuffer(CELL_SOURCE_X, 0, CELL_SOURCE_X + JELLY_CELL_WIDTH, JELLY_CELL_HEIGHT, x, y,
            x + JELLY_CELL_WIDTH, y + JELLY_CELL_HEIGHT, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    jellyMask1 = loadTexture("jellymask1.tga");
    jellyMask2 = loadTexture("jellymask2.tga");
    jellyProgram = shaderLoader.load("Passthroughvertexshader.vert", "jelly.frag");
    jellyUniforms.lookUp(jellyProgram);
    return jellyProgram;
}

void drawJelly()
{
    shaderLoader.use(jellyProgram);
    const int* u = jellyUniforms.of(jellyProgram);
    bindSampler(u[JELLY_BIG_TEXTURE2], 3, jellyAtlasB.colorTexture);
    bindSampler(u[JELLY_BIG_TEXTURE], 2, jellyAtlasA.colorTexture);
    bindSampler(u[JELLY_MASK2], 1, jellyMask2);
    bindSampler(u[JELLY_MASK1], 0, jellyMask1);
    tween(sceneStartMs, 0.0, 1.0, TWEEN_PING_PONG, static_cast<double>(0.0042f), &jellyMix);
    tween(sceneStartMs, 0.0, 1.0, TWEEN_WRAP, static_cast<double>(0.0055555557f), &jellyFrame);
    glUniform1f(u[JELLY_FRAME], jellyFrame);
    glUniform1f(u[JELLY_MIX_PERCENT], jellyMix);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawCenteredScreenQuad();
}
