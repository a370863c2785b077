// Screen render targets and the full-screen passes over them.
//
// The texture a pass renders into is never sampled at another texel during that pass: the
// bloom blur alternates between target 2 and its own second buffer, and the passes that
// combine a target with itself read only the texel they write, after a texture barrier.
#include "gfx/render_targets.h"

#include "core/clock.h"
#include "core/data_files.h"
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "platform/crt_random.h"
#include "platform/gl_api.h"
#include "render/overlay.h"

#include <cstdio>

RenderTarget screenTarget1 = {};
RenderTarget screenTarget2 = {};
RenderTarget screenTarget3 = {};
RenderTarget screenTarget4 = {};
RenderTarget bloomBlurTarget = {};

uint32_t screenFxProgram = 0;
uint32_t tresholdProgram = 0;
uint32_t hblurProgram = 0;
uint32_t screenBlendProgram = 0;
uint32_t screenShadeProgram = 0;
uint32_t motionBlurProgram = 0;
uint32_t screenPassthroughProgram = 0;
uint32_t offsetXProgram = 0;
uint32_t lensProgram = 0;
uint32_t colorGradientProgram = 0;

uint32_t glowMaskTexture = 0;
uint32_t blueShadeTexture = 0;
uint32_t scanlinesTexture = 0;
uint32_t screenNoiseTexture = 0;
uint32_t offsetXTexture = 0;

BloomMaskScroll bloomMaskScroll = {0.0f, 0.0f};

uint32_t motionBlurFramebuffers[MOTION_BLUR_TARGET_COUNT] = {};
uint32_t motionBlurTextures[MOTION_BLUR_TARGET_COUNT] = {};
uint32_t motionBlurRenderbuffers[MOTION_BLUR_TARGET_COUNT] = {};
uint32_t offscreenRectTexture = 0;
uint32_t offscreenRectFramebuffer = 0;
uint32_t offscreenMultisampleFramebuffer = 0;

static const char SCREEN_VERTEX_SHADER[] = "Passthroughvertexshader.vert";
static const float BLOOM_MASK_STEP_X = 0.002f;
static const float BLOOM_MASK_STEP_Y = 0.001f;

// Colour texture of a screen target: RGB, unsigned bytes, no data, NEAREST both ways.
static uint32_t createScreenColorTexture(int width, int height)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

// One screen target; depthFormat 0 makes a colour-only target.
static bool createTarget(RenderTarget& target, GLenum depthFormat, GLenum depthAttachment)
{
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    target.colorTexture = createScreenColorTexture(SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT);
    if (depthFormat) {
        glGenRenderbuffers(1, &target.renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, target.renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, depthAttachment, GL_RENDERBUFFER, target.renderbuffer);
    }
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, target.colorTexture, 0);
    const GLenum drawBuffers[1] = {GL_COLOR_ATTACHMENT0};
    glDrawBuffers(1, drawBuffers);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::printf("can't create framebuffer for render to texture");
        return false;
    }
    return true;
}

bool createScreenTargets()
{
    if (!createTarget(screenTarget1, GL_DEPTH_COMPONENT, GL_DEPTH_ATTACHMENT))
        return false;
    debugLog("fb1 init %d, %d\n", static_cast<int>(screenTarget1.framebuffer),
             static_cast<int>(screenTarget1.colorTexture));
    if (!createTarget(screenTarget2, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL_ATTACHMENT))
        return false;
    if (!createTarget(screenTarget3, GL_DEPTH_COMPONENT, GL_DEPTH_ATTACHMENT))
        return false;
    std::printf("fb3 init %d, %d\n", static_cast<int>(screenTarget3.framebuffer),
                static_cast<int>(screenTarget3.colorTexture));
    if (!createTarget(screenTarget4, GL_DEPTH_COMPONENT, GL_DEPTH_ATTACHMENT))
        return false;

    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    glViewport(0, 0, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT);

    screenFxProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "screenfx.frag");
    tresholdProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "treshold.frag");
    hblurProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "hblur.frag");
    screenBlendProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "screenblend.frag");
    screenShadeProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "screenshade.frag");
    motionBlurProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "motionblur.frag");
    screenPassthroughProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "passthroughfragmentshader.frag");
    offsetXProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "offsetx.frag");
    lensProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "lens.frag");
    colorGradientProgram = shaderLoader.load(SCREEN_VERTEX_SHADER, "colorgradient.frag");

    glowMaskTexture = loadTexture("glowmask.tga");
    blueShadeTexture = loadTexture("blueshade.tga");
    scanlinesTexture = loadTexture("scanlines.tga");
    screenNoiseTexture = loadTexture("screennoise.tga");
    offsetXTexture = loadTexture("offsetx.tga");
    std::printf("fb mask texture %d\n", static_cast<int>(glowMaskTexture));
    return true;
}

void drawScreenSpanQuad(float x0, float x1, bool disableBlending)
{
    glDisable(GL_DEPTH_TEST);
    pushScreenFrame();

    glDisable(GL_CULL_FACE);
    if (disableBlending)
        glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const float h = static_cast<float>(SCREEN_TARGET_HEIGHT);
    const float corners[6][4] = {
        {x0, 0.0f, 0.0f, 0.0f}, {x1, 0.0f, 1.0f, 0.0f}, {x1, h, 1.0f, 1.0f},
        {x0, 0.0f, 0.0f, 0.0f}, {x0, h, 0.0f, 1.0f},    {x1, h, 1.0f, 1.0f},
    };
    glBegin(GL_TRIANGLES);
    for (const float* c : corners) {
        glNormal3f(1.0f, 1.0f, 1.0f);
        glTexCoord2f(c[2], c[3]);
        // Programs that read the model attribute "textureCoord" (location 2) see it as well.
        glVertexAttrib2f(2, c[2], c[3]);
        glVertex2f(c[0], c[1]);
    }
    glEnd();

    popScreenFrame();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
}

void drawFullScreenQuad()
{
    drawScreenSpanQuad(0.0f, static_cast<float>(SCREEN_TARGET_WIDTH), true);
}

void drawCenteredScreenQuad()
{
    drawScreenSpanQuad(480.0f, 1440.0f, false);
}

// Sampler `name` of the current program reads `texture` on texture unit `unit`.
static void bindSampler(uint32_t program, const char* name, int unit, uint32_t texture)
{
    glUniform1i(glGetUniformLocation(program, name), unit);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, texture);
}

static void setFloat(uint32_t program, const char* name, float value)
{
    glUniform1f(glGetUniformLocation(program, name), value);
}

// A pass that reads the target it draws into, texel for texel: the barrier makes the earlier
// writes visible and the shader reads only the texel of its own fragment.
static void drawFullScreenQuadInPlace()
{
    glTextureBarrier();
    drawFullScreenQuad();
}

// Bloom steps 1 to 4: threshold, blur, screen blend into `framebuffer`.
static void composeBloom(uint32_t framebuffer)
{
    shaderLoader.use(tresholdProgram);
    bindSampler(tresholdProgram, "colorMap", 0, screenTarget1.colorTexture);
    bindSampler(tresholdProgram, "maskMap", 1, glowMaskTexture);
    setFloat(tresholdProgram, "maskx", bloomMaskScroll.maskx);
    setFloat(tresholdProgram, "masky", bloomMaskScroll.masky);
    bloomMaskScroll.maskx += BLOOM_MASK_STEP_X;
    bloomMaskScroll.masky += BLOOM_MASK_STEP_Y;
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    drawFullScreenQuad();

    // Four successive blur passes over the thresholded picture, alternating between target 2
    // and the second buffer so that the last one lands in target 2 again. The second buffer is
    // made on first use: only the game blooms, and a new 1920 x 1080 texture costs start-up time.
    if (!bloomBlurTarget.framebuffer)
        createTarget(bloomBlurTarget, 0, 0);
    shaderLoader.use(hblurProgram);
    for (int pass = 0; pass < BLOOM_BLUR_PASSES; ++pass) {
        const RenderTarget& source = pass % 2 == 0 ? screenTarget2 : bloomBlurTarget;
        const RenderTarget& destination = pass % 2 == 0 ? bloomBlurTarget : screenTarget2;
        bindSampler(hblurProgram, "colorMap", 0, source.colorTexture);
        glBindFramebuffer(GL_FRAMEBUFFER, destination.framebuffer);
        drawFullScreenQuad();
    }

    shaderLoader.use(screenBlendProgram);
    bindSampler(screenBlendProgram, "colorMap", 0, screenTarget1.colorTexture);
    bindSampler(screenBlendProgram, "bloomMap", 1, screenTarget2.colorTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (framebuffer == screenTarget2.framebuffer)
        drawFullScreenQuadInPlace();
    else
        drawFullScreenQuad();
}

void applyBloom()
{
    composeBloom(0);
    drawCornerOverlay();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
}

uint32_t createMultisampleTexture(int samples)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D_MULTISAMPLE, texture);
    glTexImage2DMultisample(GL_TEXTURE_2D_MULTISAMPLE, samples, GL_RGB, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT,
                            GL_TRUE);
    return texture;
}

uint32_t createMultisampleTarget(short width, short height, short samples)
{
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    GLuint depthBuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colorBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGB, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        // Reported and returned as 0; ending the process here would hide the failure.
        debugLog("OpenGL Failed to create multi-sampled render target");
        std::fprintf(stderr, "OpenGL Failed to create multi-sampled render target\n");
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colorBuffer);
        glDeleteRenderbuffers(1, &depthBuffer);
        return 0;
    }
    return framebuffer;
}

const char* framebufferStatusText(unsigned status)
{
    switch (status) {
    case GL_FRAMEBUFFER_COMPLETE:
        return "Setup FBO Success.";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT:
        return "Setup FBO failed. Duplicate attachment.";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
        return "Setup FBO failed. Missing attachment.";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        return "Setup FBO failed. Attached images must have the same dimensions.";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        return "Setup FBO failed. Attached images must have the same format.";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER:
        return "Setup FBO failed. Missing draw buffer.";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER:
        return "Setup FBO failed. Missing read buffer.";
    case GL_FRAMEBUFFER_UNSUPPORTED:
        return "Setup FBO failed. Unsupported framebuffer format.";
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE:
        return "Setup FBO failed. Attached images must have the same number of samples.";
    default:
        return "Setup FBO failed. Fatal error.";
    }
}

void reportFramebufferStatus()
{
    debugLog("%s", framebufferStatusText(glCheckFramebufferStatus(GL_FRAMEBUFFER)));
}

void createOffscreenTarget(int samples)
{
    glGenTextures(1, &offscreenRectTexture);
    glBindTexture(GL_TEXTURE_RECTANGLE, offscreenRectTexture);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA8, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    debugLog("offscreen fbo texture id=%d\n", static_cast<int>(offscreenRectTexture));
    glGenFramebuffers(1, &offscreenRectFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, offscreenRectFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_RECTANGLE, offscreenRectTexture, 0);
    reportFramebufferStatus();

    GLuint colorBuffer = 0;
    GLuint depthBuffer = 0;
    glGenFramebuffers(1, &offscreenMultisampleFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, offscreenMultisampleFramebuffer);
    glGenRenderbuffers(1, &colorBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT, SCREEN_TARGET_WIDTH,
                                     SCREEN_TARGET_HEIGHT);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    reportFramebufferStatus();

    screenTarget2.framebuffer = offscreenMultisampleFramebuffer;
    screenTarget2.colorTexture = offscreenRectTexture;
}

void applyScreenShade()
{
    composeBloom(screenTarget2.framebuffer);

    shaderLoader.use(screenShadeProgram);
    bindSampler(screenShadeProgram, "colorMap", 0, screenTarget2.colorTexture);
    bindSampler(screenShadeProgram, "shadeMap", 1, blueShadeTexture);
    bindSampler(screenShadeProgram, "scanlines", 2, scanlinesTexture);
    bindSampler(screenShadeProgram, "noisepic", 3, screenNoiseTexture);
    setFloat(screenShadeProgram, "shadetone", 0.991f);
    float noiseX = static_cast<float>(crtRand() % SCREEN_TARGET_WIDTH) / SCREEN_TARGET_WIDTH;
    float noiseY = static_cast<float>(crtRand() % SCREEN_TARGET_HEIGHT) / SCREEN_TARGET_HEIGHT;
    setFloat(screenShadeProgram, "noisex", noiseX);
    setFloat(screenShadeProgram, "noisey", noiseY);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    drawFullScreenQuadInPlace();

    float amp = 0.0f, scroll = 0.0f, scrollY = 0.0f;
    tween(0.0, 0.0, 1.0, 0, 0.014, &amp);
    tween(0.0, 0.0, 1.0, 1, 0.024, &scroll);
    tween(0.0, 0.0, 1.0, 1, 0.031, &scrollY);
    shaderLoader.use(offsetXProgram);
    bindSampler(offsetXProgram, "colorMap", 0, screenTarget2.colorTexture);
    bindSampler(offsetXProgram, "offsetMap", 1, offsetXTexture);
    setFloat(offsetXProgram, "amp", amp);
    setFloat(offsetXProgram, "scroll", scroll);
    setFloat(offsetXProgram, "scrolly", scrollY);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
}

void initMotionBlurTargets()
{
    std::puts("init blur");
    for (int i = 0; i < MOTION_BLUR_TARGET_COUNT; ++i) {
        glGenFramebuffersEXT(1, &motionBlurFramebuffers[i]);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, motionBlurFramebuffers[i]);
        glGenTextures(1, &motionBlurTextures[i]);
        glBindTexture(GL_TEXTURE_2D, motionBlurTextures[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, motionBlurTextures[i],
                                  0);
        glGenRenderbuffersEXT(1, &motionBlurRenderbuffers[i]);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, motionBlurRenderbuffers[i]);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                     motionBlurRenderbuffers[i]);
    }
}

void applyMotionBlur()
{
    shaderLoader.use(motionBlurProgram);
    for (int i = 0; i < MOTION_BLUR_FRAMES; ++i) {
        const int blend = MOTION_BLUR_FRAMES + i;
        glBindFramebuffer(GL_FRAMEBUFFER, motionBlurFramebuffers[blend]);
        glViewport(0, 0, SCREEN_TARGET_WIDTH, SCREEN_TARGET_HEIGHT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        bindSampler(motionBlurProgram, "colorMap1", 0, motionBlurTextures[blend]);
        bindSampler(motionBlurProgram, "colorMap2", 1, motionBlurTextures[i]);
        setFloat(motionBlurProgram, "blurframes", static_cast<float>(MOTION_BLUR_FRAMES));
        drawFullScreenQuadInPlace();
    }
    shaderLoader.use(screenPassthroughProgram);
    bindSampler(screenPassthroughProgram, "colorMap", 0, motionBlurTextures[MOTION_BLUR_TARGET_COUNT - 1]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
}

void applyLensGrade()
{
    serviceClockRestartRequest();
    composeBloom(screenTarget2.framebuffer);

    shaderLoader.use(colorGradientProgram);
    bindSampler(colorGradientProgram, "colorMap", 0, screenTarget2.colorTexture);
    bindSampler(colorGradientProgram, "shadeMap", 1, blueShadeTexture);
    setFloat(colorGradientProgram, "shadetone", 0.999f);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
    drawFullScreenQuadInPlace();

    float lensFactor = 0.0f;
    tween(0.0, 0.0, 4.0, 0, 0.03, &lensFactor);
    shaderLoader.use(lensProgram);
    bindSampler(lensProgram, "colorMap", 0, screenTarget2.colorTexture);
    setFloat(lensProgram, "lensfactor", lensFactor);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
}

void presentSceneTarget()
{
    shaderLoader.use(screenPassthroughProgram);
    bindSampler(screenPassthroughProgram, "colorMap", 0, screenTarget1.colorTexture);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawFullScreenQuad();
    drawCornerOverlay();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
}
