// The jelly screen effect beside the timeline: a star model is rendered once in 300 rotation
// steps, the middle 960 x 1080 pixels of each step copied into a cell of two large colour
// atlases; drawJelly then plays them back through "jelly.frag" with two masks as a 960-pixel
// quad in the middle of the screen. Cells are 960 x 1080; frame f sits in column f mod 16,
// row f / 16 of atlas A (frames 0..239) or, counted from 240, of atlas B (frames 240..299).
#pragma once

#include <cstdint>

struct Model;

constexpr int JELLY_FRAMES = 300;
constexpr int JELLY_COLUMNS = 16;
constexpr int JELLY_ROWS_A = 15;
constexpr int JELLY_ROWS_B = 4;
constexpr int JELLY_FRAMES_A = JELLY_COLUMNS * JELLY_ROWS_A;  // 240
constexpr int JELLY_CELL_WIDTH = 960;
constexpr int JELLY_CELL_HEIGHT = 1080;
constexpr int JELLY_ATLAS_WIDTH = JELLY_COLUMNS * JELLY_CELL_WIDTH;      // 15360
constexpr int JELLY_ATLAS_A_HEIGHT = JELLY_ROWS_A * JELLY_CELL_HEIGHT;   // 16200
constexpr int JELLY_ATLAS_B_HEIGHT = JELLY_ROWS_B * JELLY_CELL_HEIGHT;   // 4320

// A render target: framebuffer, its colour texture and (for the frame target only) depth.
struct JellyTarget {
    uint32_t framebuffer;
    uint32_t colorTexture;
    uint32_t depthRenderbuffer;  // 0 for the atlases: they only receive colour blits
};

extern JellyTarget jellyFrameTarget;  // 1920 x 1080 with depth
extern JellyTarget jellyAtlasA;       // 15360 x 16200, colour only
extern JellyTarget jellyAtlasB;       // 15360 x 4320, colour only
extern int jellyCellX[JELLY_COLUMNS];
extern int jellyCellY[JELLY_ROWS_A];
extern Model* jellyModel;  // "star1.dae" scaled by 2.2
extern uint32_t jellyMask1;
extern uint32_t jellyMask2;
extern uint32_t jellyProgram;  // "Passthroughvertexshader.vert" + "jelly.frag"
extern float jellyFrame;       // "frame", 0..1 through the 300 frames
extern float jellyMix;         // "mixpercent"

// Test seam: when above 0, a texture and renderbuffer size limit below the GL's own.
extern int jellySizeLimitOverride;

// The program id, or 0 after printing "can't create framebuffer for render to texture" when
// a target cannot be made: too large for the GL's limits, out of memory, or incomplete.
uint32_t initJelly();
void drawJelly();
// Renders step i (-1 .. 299) of the star into jellyFrameTarget.
void renderJellyStep(int i);
// The atlas and the pixel origin of frame f's cell.
const JellyTarget& jellyCellOf(int f, int* x, int* y);
