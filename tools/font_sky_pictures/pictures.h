// The font strip and the sky textures, drawn from code into float canvases. Each draw function
// receives a canvas sized for its picture (see the table in font_sky_pictures_main.cpp) and
// paints all of it; false with `error` set when something fails.
#pragma once

#include "tools/common/canvas.h"

#include <string>

// One row of glyph cells, as the engine's font reads it: cell width = picture width / 32.
constexpr int FONT_CELL_COUNT = 32;
constexpr int FONT_CELL_SIDE = 128;  // pixels; the strip is 4096 x 128

// demofont.tga: white glyphs in the alpha channel. Cell 0 blank, 1-26 A-Z, 27 a round dot
// (the text's '{'), 28 a vertical bar ('|'), the rest blank.
bool drawDemoFont(Canvas& canvas, std::string& error);

// noise.tga: three independent channels of smooth value noise that tile with the picture.
bool drawNoise(Canvas& canvas, std::string& error);
// skycolor.tga: u = elevation (0 below the horizon, 1 at the zenith), v = a slow change of
// the light from dusk (v = 0) to a warmer evening (v = 1).
bool drawSkyColor(Canvas& canvas, std::string& error);
// skyclouds.tga: tiling cumulus cover; alpha = density, colour = shading lit from +v.
bool drawSkyClouds(Canvas& canvas, std::string& error);
