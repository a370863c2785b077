// Textured quads in the fixed 1920 x 1080 frame (y up, (x, y) the lower-left corner) and the
// corner overlay. The quads bring their own projection; the caller's modelview still applies.
#pragma once

#include <cstdint>

extern uint32_t overlayTexture;     // "overlay1.tga"
extern uint32_t backgroundTexture;  // "background.tga"
extern uint32_t blackTexture;       // "black.tga" ("blackscreen.tga" is loaded first and unused)

void loadOverlayTextures();
// Pushes both matrices: the fixed 1920 x 1080 frame on the projection and (unless told
// otherwise) the identity on the modelview; popScreenFrame restores both, leaving the
// modelview current.
void pushScreenFrame(bool resetModelview = true);
void popScreenFrame();
// The state of alpha-blended screen quads: lighting, depth test and culling off, blending on
// with source alpha, and pushScreenFrame(resetModelview). endScreenQuads pops the frame and
// turns depth test and culling back on; blending stays on.
void beginBlendedScreenQuads(bool resetModelview = true);
void endScreenQuads();
// Alpha-blended, tinted by the current colour; leaves blending on, lighting off, no program.
void drawQuad(int x, int y, int w, int h, uint32_t texture);
// Opaque and white; leaves blending off with the blend function one/one.
void drawQuadAdditive(int x, int y, int w, int h, uint32_t texture);
// These three load the identity into the current matrix first.
void drawCornerOverlay();
void drawBackground();
void drawBlackScreen();
// Pixel projection of the current viewport with the identity modelview (both pushed).
void beginPixelOrtho();
void endPixelOrtho();
