// Screen render targets, the screen programs and textures; the passes that draw with them are
// renderer work (render/screen_passes.cpp).
#include "gfx/render_targets.h"

#include "core/data_files.h"
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"

#include <cstdio>

RenderTarget screenTarget1 = {};
RenderTarget screenTarget2 = {};
RenderTarget screenTarget3 = {};
RenderTarget screenTarget4 = {};

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

static const char* const TRESHOLD_UNIFORM_NAMES[TRESHOLD_UNIFORM_COUNT] = {"colorMap", "maskMap", "maskx", "masky"};
static const char* const SCREEN_BLEND_UNIFORM_NAMES[SCREEN_BLEND_UNIFORM_COUNT] = {"colorMap", "bloomMap"};
static const char* const SCREEN_SHADE_UNIFORM_NAMES[SCREEN_SHADE_UNIFORM_COUNT] = {
    "colorMap", "shadeMap", "scanlines", "noisepic", "shadetone", "noisex", "noisey"};
static const char* const MOTION_BLUR_UNIFORM_NAMES[MOTION_BLUR_UNIFORM_COUNT] = {"colorMap1", "colorMap2",
                                                                                 "blurframes"};
static const char* const OFFSET_X_UNIFORM_NAMES[OFFSET_X_UNIFORM_COUNT] = {"colorMap", "offsetMap", "amp", "scroll",
                                                                           "scrolly"};
static const char* const LENS_UNIFORM_NAMES[LENS_UNIFORM_COUNT] = {"colorMap", "lensfactor"};
static const char* const COLOR_GRADIENT_UNIFORM_NAMES[COLOR_GRADIENT_UNIFORM_COUNT] = {"colorMap", "shadeMap",
                                                                                       "shadetone"};
UniformTable<TRESHOLD_UNIFORM_COUNT> tresholdUniforms(TRESHOLD_UNIFORM_NAMES);
ColorMapUniforms hblurUniforms(COLOR_MAP_UNIFORM_NAMES);
UniformTable<SCREEN_BLEND_UNIFORM_COUNT> screenBlendUniforms(SCREEN_BLEND_UNIFORM_NAMES);
UniformTable<SCREEN_SHADE_UNIFORM_COUNT> screenShadeUniforms(SCREEN_SHADE_UNIFORM_NAMES);
UniformTable<MOTION_BLUR_UNIFORM_COUNT> motionBlurUniforms(MOTION_BLUR_UNIFORM_NAMES);
ColorMapUniforms screenPassthroughUniforms(COLOR_MAP_UNIFORM_NAMES);
UniformTable<OFFSET_X_UNIFORM_COUNT> offsetXUniforms(OFFSET_X_UNIFORM_NAMES);
UniformTable<LENS_UNIFORM_COUNT> lensUniforms(LENS_UNIFORM_NAMES);
UniformTable<COLOR_GRADIENT_UNIFORM_COUNT> colorGradientUniforms(COLOR_GRADIENT_UNIFORM_NAMES);

uint32_t glowMaskTexture = 0;
uint32_t blueShadeTexture = 0;
uint32_t scanlinesTexture = 0;
uint32_t screenNoiseTexture = 0;
uint32_t offsetXTexture = 0;

uint32_t motionBlurFramebuffers[MOTION_BLUR_TARGET_COUNT] = {};
uint32_t motionBlurTextures[MOTION_BLUR_TARGET_COUNT] = {};
uint32_t motionBlurRenderbuffers[MOTION_BLUR_TARGET_COUNT] = {};
uint32_t offscreenRectTexture = 0;
uint32_t offscreenRectFramebuffer = 0;
uint32_t offscreenMultisampleFramebuffer = 0;

static const char SCREEN_VERTEX_SHADER[] = "Passthroughvertexshader.vert";

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

bool createScreenTarget(RenderTarget& target, uint32_t depthFormat, uint32_t depthAttachment)
{
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    target.colorTexture = createScreenColorTexture(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (depthFormat) {
        glGenRenderbuffers(1, &target.renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, target.renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, SCREEN_WIDTH, SCREEN_HEIGHT);
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
    if (!createScreenTarget(screenTarget1, GL_DEPTH_COMPONENT, GL_DEPTH_ATTACHMENT))
        return false;
    debugLog("fb1 init %d, %d\n", static_cast<int>(screenTarget1.framebuffer),
             static_cast<int>(screenTarget1.colorTexture));
    if (!createScreenTarget(screenTarget2, GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL_ATTACHMENT))
        return false;
    if (!createScreenTarget(screenTarget3, GL_DEPTH_COMPONENT, GL_DEPTH_ATTACHMENT))
        return false;
    std::printf("fb3 init %d, %d\n", static_cast<int>(screenTarget3.framebuffer),
                static_cast<int>(screenTarget3.colorTexture));
    if (!createScreenTarget(screenTarget4, GL_DEPTH_COMPONENT, GL_DEPTH_ATTACHMENT))
        return false;

    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);

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
    tresholdUniforms.lookUp(tresholdProgram);
    hblurUniforms.lookUp(hblurProgram);
    screenBlendUniforms.lookUp(screenBlendProgram);
    screenShadeUniforms.lookUp(screenShadeProgram);
    motionBlurUniforms.lookUp(motionBlurProgram);
    screenPassthroughUniforms.lookUp(screenPassthroughProgram);
    offsetXUniforms.lookUp(offsetXProgram);
    lensUniforms.lookUp(lensProgram);
    colorGradientUniforms.lookUp(colorGradientProgram);

    glowMaskTexture = loadTexture("glowmask.tga");
    blueShadeTexture = loadTexture("blueshade.tga");
    scanlinesTexture = loadTexture("scanlines.tga");
    screenNoiseTexture = loadTexture("screennoise.tga");
    offsetXTexture = loadTexture("offsetx.tga");
    std::printf("fb mask texture %d\n", static_cast<int>(glowMaskTexture));
    return true;
}

uint32_t createMultisampleTexture(int samples)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D_MULTISAMPLE, texture);
    glTexImage2DMultisample(GL_TEXTURE_2D_MULTISAMPLE, samples, GL_RGB, SCREEN_WIDTH, SCREEN_HEIGHT,
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
    glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA8, SCREEN_WIDTH, SCREEN_HEIGHT, 0, GL_RGBA,
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
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, SCREEN_WIDTH, SCREEN_HEIGHT);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    glGenRenderbuffers(1, &depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT, SCREEN_WIDTH,
                                     SCREEN_HEIGHT);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    reportFramebufferStatus();

    screenTarget2.framebuffer = offscreenMultisampleFramebuffer;
    screenTarget2.colorTexture = offscreenRectTexture;
}

void initMotionBlurTargets()
{
    std::puts("init blur");
    for (int i = 0; i < MOTION_BLUR_TARGET_COUNT; ++i) {
        glGenFramebuffersEXT(1, &motionBlurFramebuffers[i]);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, motionBlurFramebuffers[i]);
        glGenTextures(1, &motionBlurTextures[i]);
        glBindTexture(GL_TEXTURE_2D, motionBlurTextures[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SCREEN_WIDTH, SCREEN_HEIGHT, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, motionBlurTextures[i],
                                  0);
        glGenRenderbuffersEXT(1, &motionBlurRenderbuffers[i]);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, motionBlurRenderbuffers[i]);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, SCREEN_WIDTH, SCREEN_HEIGHT);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                     motionBlurRenderbuffers[i]);
    }
}
