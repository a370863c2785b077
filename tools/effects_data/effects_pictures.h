// The effects' pictures, drawn from code into float canvases. Each draw function receives a
// canvas sized for its picture (the table in effects_data_main.cpp) and paints all of it;
// false with `error` set when something fails. Canvases are in pixels, y up.
#pragma once

#include "tools/common/canvas.h"
#include "tools/common/text_render.h"

#include <string>

struct EffectFonts {
    Font sansBold;
    Font serif;
};

// flag.tga: the cloth's picture; flagmap.tga: tiling displacement noise in red and green;
// flagshadow.tga: the folds' light along u (tiles in u); flagcolor.tga: u = light, the
// cloth's tint from shade to highlight.
bool drawFlag(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawFlagMap(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawFlagShadow(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawFlagColor(Canvas& canvas, EffectFonts& fonts, std::string& error);
// anger2.tga: the revealed panorama (shown 1920 x 543 at full width); cursor.tga: the glowing
// edge strip; circle.tga: a soft ring sprite.
bool drawAnger(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawCursor(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawCircleSprite(Canvas& canvas, EffectFonts& fonts, std::string& error);
// raster21.tga: copper bars along v that tile, with a gloss across u.
bool drawRasterBars(Canvas& canvas, EffectFonts& fonts, std::string& error);
