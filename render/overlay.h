// Textured quads in the fixed 1920 x 1080 frame (y up) and the corner overlay.
#pragma once

#include <cstdint>

extern uint32_t overlayTexture;
extern uint32_t backgroundTexture;
extern uint32_t blackTexture;

void loadOverlayTextures();
void drawQuad(int x, int y, int w, int h, uint32_t texture);
void drawQuadAdditive(int x, int y, int w, int h, uint32_t texture);
void drawCornerOverlay();
void drawBackground();
void drawBlackScreen();
void beginPixelOrtho();
void endPixelOrtho();
