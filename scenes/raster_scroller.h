// Screen effects in the fixed 1920 x 1080 frame (y up) beside the timeline: twenty raster bars
// cut from a scrolling texture, a textured rectangle that blanks part of the screen, and a
// bouncing sine scroller in the bitmap font. Tween speeds are per 60 Hz frame.
#pragma once

#include <cstdint>

constexpr int RASTER_BAR_COUNT = 20;
constexpr int RASTER_BAR_HEIGHT = 54;  // pixels
constexpr float RASTER_BAND = 0.03f;   // texture height each bar shows
constexpr float RASTER_BAND_STEP = 0.005f;  // further along the texture per bar
constexpr int SCROLLER_GLYPH_PIXELS = 128;
constexpr int SCROLLER_BASE_Y = 730;   // top of a glyph at rest, counted down from the top edge

extern uint32_t rasterTexture;    // "raster21.tga"; 0 until initRasterBars
extern uint32_t blankingTexture;  // "black.tga"; 0 until initRasterBars
extern const char SCROLLER_TEXT[];

void initRasterBars();
void drawRasterBars();
// blankingTexture over (x0, y0)..(x1, y1); x0 > x1 mirrors it in texture space.
void drawBlankingQuad(int x0, int y0, int x1, int y1);
void drawScroller(double startMs);
