// The four 1920 x 1080 screen render targets with the screen programs and textures the
// post-processing passes (render/screen_passes.h) draw with.
#pragma once

#include "core/screen_frame.h"  // SCREEN_WIDTH, SCREEN_HEIGHT: the targets' size
#include "gfx/uniform_table.h"

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

// Uniforms of the screen programs, looked up when createScreenTargets builds them.
enum TresholdUniform { TRESHOLD_COLOR_MAP, TRESHOLD_MASK_MAP, TRESHOLD_MASK_X, TRESHOLD_MASK_Y,
                       TRESHOLD_UNIFORM_COUNT };
enum ScreenBlendUniform { SCREEN_BLEND_COLOR_MAP, SCREEN_BLEND_BLOOM_MAP, SCREEN_BLEND_UNIFORM_COUNT };
enum ScreenShadeUniform { SCREEN_SHADE_COLOR_MAP, SCREEN_SHADE_SHADE_MAP, SCREEN_SHADE_SCANLINES, SCREEN_SHADE_NOISE_PIC,
                          SCREEN_SHADE_SHADE_TONE, SCREEN_SHADE_NOISE_X, SCREEN_SHADE_NOISE_Y,
                          SCREEN_SHADE_UNIFORM_COUNT };
enum MotionBlurUniform { MOTION_BLUR_COLOR_MAP1, MOTION_BLUR_COLOR_MAP2, MOTION_BLUR_BLURFRAMES,
                         MOTION_BLUR_UNIFORM_COUNT };
enum OffsetXUniform { OFFSET_X_COLOR_MAP, OFFSET_X_OFFSET_MAP, OFFSET_X_AMP, OFFSET_X_SCROLL, OFFSET_X_SCROLL_Y,
                      OFFSET_X_UNIFORM_COUNT };
enum LensUniform { LENS_COLOR_MAP, LENS_FACTOR, LENS_UNIFORM_COUNT };
enum ColorGradientUniform { COLOR_GRADIENT_COLOR_MAP, COLOR_GRADIENT_SHADE_MAP, COLOR_GRADIENT_SHADE_TONE,
                            COLOR_GRADIENT_UNIFORM_COUNT };
extern UniformTable<TRESHOLD_UNIFORM_COUNT> tresholdUniforms;
extern ColorMapUniforms hblurUniforms;
extern UniformTable<SCREEN_BLEND_UNIFORM_COUNT> screenBlendUniforms;
extern UniformTable<SCREEN_SHADE_UNIFORM_COUNT> screenShadeUniforms;
extern UniformTable<MOTION_BLUR_UNIFORM_COUNT> motionBlurUniforms;
extern ColorMapUniforms screenPassthroughUniforms;
extern UniformTable<OFFSET_X_UNIFORM_COUNT> offsetXUniforms;
extern UniformTable<LENS_UNIFORM_COUNT> lensUniforms;
extern UniformTable<COLOR_GRADIENT_UNIFORM_COUNT> colorGradientUniforms;

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
