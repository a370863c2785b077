#include "render/overlay.h"

uint32_t overlayTexture = 0;
uint32_t backgroundTexture = 0;
uint32_t blackTexture = 0;

// Placeholders until the overlay quads land.
void loadOverlayTextures() {}
void drawQuad(int, int, int, int, uint32_t) {}
void drawQuadAdditive(int, int, int, int, uint32_t) {}
void drawCornerOverlay() {}
void drawBackground() {}
void drawBlackScreen() {}
void beginPixelOrtho() {}
void endPixelOrtho() {}
