// The effects' pictures, drawn from code into float canvases. Each draw function receives a
// canvas sized for its picture (the table in effects_data_main.cpp) and paints all of it;
// false with `error` set when something fails. Canvases are in pixels, y up.
#pragma once

#include "tools/common/generator_main.h"
#include "tools/common/canvas.h"
#include "tools/common/text_render.h"

#include <string>

using EffectFonts = GeneratorFonts;

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
// polkabig.tga: the bead sprite (alpha = the disc, grey = its light, 0.5 unlit);
// polka1.tga and polka2.tga: dot screens; polkablack.tga: black; polkascreenmask.tga: a
// rounded screen, white inside; tovelas2eagle.tga: an heraldic eagle with alpha;
// tovelas2text.tga: a ring of lettering round the picture's centre, with alpha.
bool drawPolkaBig(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawPolka1(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawPolka2(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawPolkaBlack(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawPolkaScreenMask(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawEagle(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawTextRing(Canvas& canvas, EffectFonts& fonts, std::string& error);
// jellymask1.tga: tiling wobble offsets (red, green); jellymask2.tga: sheen (red) and highlight
// (green) over the jelly's quad.
bool drawJellyMask1(Canvas& canvas, EffectFonts& fonts, std::string& error);
bool drawJellyMask2(Canvas& canvas, EffectFonts& fonts, std::string& error);
// star1.tga: the star's colour (its texture set is keyed by the geometry name).
bool drawStarTexture(Canvas& canvas, EffectFonts& fonts, std::string& error);
