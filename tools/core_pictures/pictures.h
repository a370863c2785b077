// The start-up pictures and fixed textures of the demo, drawn from code into float canvases.
// Every draw function receives a canvas already sized for its picture (see the table in
// core_pictures_main.cpp) and paints all of it; false with `error` set when a font fails.
#pragma once

#include "tools/common/generator_main.h"
#include "tools/common/canvas.h"
#include "tools/common/text_render.h"

#include <string>

using PictureFonts = GeneratorFonts;

// Screen frame the full-screen pictures are drawn in (y up), and where the loading bar grows.
constexpr float SCREEN_WIDTH = 1920.0f;
constexpr float SCREEN_HEIGHT = 1080.0f;
constexpr float LOADING_BAR_X = 850.0f;
constexpr float LOADING_BAR_Y = 490.0f;
constexpr float LOADING_BAR_WIDTH = 220.0f;
constexpr float LOADING_BAR_HEIGHT = 3.0f;

// Start-up and every-frame pictures (start_pictures.cpp).
bool drawLoadingPicture(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawCornerTag(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawBackdrop(Canvas& canvas, PictureFonts& fonts, std::string& error);

// Flat pictures, default texture kinds and screen-pass textures (pass_textures.cpp).
bool drawWhite(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawBlack(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawDefaultBase(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawDefaultNormal(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawDefaultSpecular(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawLightRamp(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawGlowMask(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawBlueShade(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawScanlines(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawScreenNoise(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawOffsetMap(Canvas& canvas, PictureFonts& fonts, std::string& error);
bool drawBlurIntensity(Canvas& canvas, PictureFonts& fonts, std::string& error);
