// The full-screen passes of the renderer over the screen targets of gfx/render_targets.h.
//
// Screen passes draw in the fixed orthographic frame 0..1920 x 0..1080, y up; each pass leaves
// its framebuffer bound and callers bind what they need next.
#pragma once

#include "gfx/render_targets.h"

// Horizontal blur passes of the bloom.
constexpr int BLOOM_BLUR_PASSES = 4;

// The second buffer of the bloom blur, so no pass samples the texture it renders into.
extern RenderTarget bloomBlurTarget;

// Scroll of the bloom mask in texture units; advanced once per applyBloom call.
struct BloomMaskScroll {
    float maskx;
    float masky;
};
extern BloomMaskScroll bloomMaskScroll;

// One textured quad over the whole frame with the bound program and textures; leaves depth
// test, culling and blending enabled and the colour white.
void drawFullScreenQuad();
// A full-height quad over x0..x1 of the frame, texture coordinates 0..1 across it, with the
// state handling of drawFullScreenQuad; blending is switched off for the draw only when asked.
void drawScreenSpanQuad(float x0, float x1, bool disableBlending);
// The same over x 480..1440, blending left as it is during the draw.
void drawCenteredScreenQuad();
// Threshold of target 1 through the scrolled glow mask, blurred, screen-blended over target 1
// onto framebuffer 0 with the corner overlay; binds target 1 again.
void applyBloom();
// Makes the bloom's second buffer ahead of the first bloom.
void prepareBloom();
// For a frame whose later opaque full-screen pass covers the bloom's picture and that reads
// nothing the bloom writes: what applyBloom leaves for the code after it (the mask scrolled on,
// target 1 bound, the corner overlay's GL state) without its passes.
void skipCoveredBloom();
void applyScreenShade();
void applyMotionBlur();
void applyLensGrade();
void presentSceneTarget();
// The shadow colour texture over x 840..1920 of framebuffer 0 (the right-hand square).
void drawShadowMapView();
