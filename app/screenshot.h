// BMP screenshots of the 1920 x 1080 frame, written to the working directory when requested.
// Names are "screenshot_" + one counter character + ".BMP"; the counter starts at 64 ('@'),
// so the second shot is "screenshot_A.BMP".
#pragma once

#include <cstdint>

struct SDL_Surface;

constexpr int SCREENSHOT_FIRST_COUNTER = 64;
constexpr int SCREENSHOT_NAME_LENGTH = 16;
// Position of the counter character in the name.
constexpr int SCREENSHOT_COUNTER_INDEX = 11;
// Flags of flipSurface: bit 0 reverses the rows, bit 1 the columns.
constexpr int FLIP_ROWS = 1;
constexpr int FLIP_COLUMNS = 2;

extern unsigned char screenshotRequested;
extern int screenshotCounter;
extern char screenshotName[SCREENSHOT_NAME_LENGTH + 1];

// The frame routine's step: one shot when requested (however often), then the request is cleared.
void serveScreenshotRequest();
// Names the next shot and saves the whole frame under that name.
void takeScreenshot();
// Reads the rectangle from the current read framebuffer and writes it as a BMP, rows top first.
// A file that cannot be created is reported on stderr; false then, and nothing else changes.
bool saveScreenshotBmp(int x, int y, int width, int height, const char* name);
// A new surface of the same size and colour layout (no alpha) with rows and/or columns
// reversed; with neither flag its pixels stay as created. Null for a surface that is not 32-bit.
SDL_Surface* flipSurface(SDL_Surface* surface, int flags);
// 32-bit pixel access through the surface's pitch. Surfaces that are not 32-bit and positions
// outside the surface are refused: get gives 0, put stores nothing.
uint32_t getSurfacePixel(SDL_Surface* surface, int x, int y);
void putSurfacePixel(SDL_Surface* surface, int x, int y, uint32_t pixel);
