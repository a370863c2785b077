// The four 1920 x 1080 screen render targets with the screen programs and textures the
// post-processing passes (render/screen_passes.h) draw with.
#pragma once

#include "core/screen_frame.h"  // SCREEN_WIDTH, SCREEN_HEIGHT: the targets' size

#include <cstdint>

// Framebuffers of the motion-blur chain: 20 frames and 20 accumulations.
constexpr int MOTION_BLUR_TARGET_COUNT = 40;
constexpr int MOTION_BLUR_FRAMES = 20;

struct RenderTarget {
    uint32_t framebuffer;
    uint32_t colorTexture;   // RGB 1920 x 1080, NEAREST, colour attachment 0
    uint32_t renderbuffer;   // depth (target 2: depth-stencil) storage
};

extern RenderTarget screenTarget1;  // the scene target: every scene renders into it first
extern RenderTarget screenTarget2;  // bloom and palette passes (depth-stencil)
extern RenderTarget screenTarget3;  // glow passes
extern RenderTarget screenTarget4;  // glow passes, game view wipe

// Screen programs, all with "Passthroughvertexshader.vert".
extern uint32_t screenFxProgram;
extern uint32_t tresholdProgram;
extern uint32_t hblurProgram;
extern uint32_t screenBlendProgram;
extern uint32_t screenShadeProgram;
extern uint32_t motionBlurProgram;
extern uint32_t screenPassthroughProgram;
extern uint32_t offsetXProgram;
extern uint32_t lensProgram;
extern uint32_t colorGradientProgram;

// Screen textures.
extern uint32_t glowMaskTexture;     // "glowmask.tga", the bloom mask
extern uint32_t blueShadeTexture;    // "blueshade.tga"
extern uint32_t scanlinesTexture;    // "scanlines.tga"
extern uint32_t screenNoiseTexture;  // "screennoise.tga"
extern uint32_t offsetXTexture;      // "offsetx.tga"

// Motion-blur chain: framebuffers and their RGBA8 textures (0..19 frames, 20..39 blends).
extern uint32_t motionBlurFramebuffers[MOTION_BLUR_TARGET_COUNT];
extern uint32_t motionBlurTextures[MOTION_BLUR_TARGET_COUNT];
extern uint32_t motionBlurRenderbuffers[MOTION_BLUR_TARGET_COUNT];
// Off-screen target: rectangle texture framebuffer and the multisample framebuffer.
extern uint32_t offscreenRectTexture;
extern uint32_t offscreenRectFramebuffer;
extern uint32_t offscreenMultisampleFramebuffer;

// Creates targets 1 to 4, binds target 1 with a 1920 x 1080 viewport, loads the screen
// programs and textures; false (after its message) when a target is incomplete.
bool createScreenTargets();
// One 1920 x 1080 target: RGB colour texture, NEAREST, plus depth storage of depthFormat on
// depthAttachment (depthFormat 0 makes a colour-only target). False when it is incomplete.
bool createScreenTarget(RenderTarget& target, uint32_t depthFormat, uint32_t depthAttachment);

uint32_t createMultisampleTexture(int samples);
uint32_t createMultisampleTarget(short width, short height, short samples);
// The debug-log text of a framebuffer status.
const char* framebufferStatusText(unsigned status);
// Sends the text of the bound framebuffer's status to the debug log.
void reportFramebufferStatus();
void createOffscreenTarget(int samples);
void initMotionBlurTargets();
