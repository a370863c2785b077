// Pictures of the palette-blur logo, radial-blur cloud and disco-ball scenes, drawn from code
// into float canvases (see canvas.h: y up, bottom row first).
//
// The three lookup tables map a picture's brightness to a colour: x (u) is the intensity the
// palette shader measures, 0 at the left; y (v) is the palette row the scene scrolls through.
// Rows wrap (the scenes scroll v through 0..1 and the texture repeats), so the last row leads
// smoothly back into the first.
#pragma once

#include "tools/common/generator_main.h"
#include "tools/common/canvas.h"
#include "tools/common/text_render.h"

#include <string>

// The fixed screen frame the full-screen pictures are drawn in.
constexpr float SCREEN_WIDTH = 1920.0f;
constexpr float SCREEN_HEIGHT = 1080.0f;

using PaletteFonts = GeneratorFonts;

// Lookup tables (palette_tables.cpp).
// The logo trails: 120 additive copies reach about half intensity, so the whole ramp from the
// dark backdrop to white heat lies in the lower half of u; themes cycle with v.
bool drawLogoPalette(Canvas& canvas, PaletteFonts& fonts, std::string& error);
// The particle cloud: sprites reach nearly full intensity; banded, electric themes.
bool drawCloudPalette(Canvas& canvas, PaletteFonts& fonts, std::string& error);
// The disco ball: one ramp on every row (only the first is read); dim light goes to black so
// the radial blur streams from the ball alone.
bool drawDiscoPalette(Canvas& canvas, PaletteFonts& fonts, std::string& error);

// Pictures (palette_pictures.cpp).
// Laid over the palette scene at 15 %: vignette, soft light shafts and fine scanlines.
bool drawPaletteOverlay(Canvas& canvas, PaletteFonts& fonts, std::string& error);
// The title card: the demo's name and its makers over transparency, fully opaque letters.
bool drawTitleCard(Canvas& canvas, PaletteFonts& fonts, std::string& error);
// The plasma layer's colour map: cyclic in both directions, looked up by two plasma fields.
bool drawPlasmaColours(Canvas& canvas, PaletteFonts& fonts, std::string& error);
