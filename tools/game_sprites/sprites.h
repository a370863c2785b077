// Draw functions of the game's 2D pictures. Each paints a canvas made at the picture's pixel
// size (frame units = pixels unless the table in game_sprites_main.cpp says otherwise); row 0 is
// the bottom row, u = (x + 0.5) / width, v = (y + 0.5) / height.
//
// How the game draws them decides their layout:
// - "laser.tga": u = 0 is the leading end of a shot (the game mirrors the quad by direction).
// - "wf1.tga", "wf2.tga": the gun sits at u = 1, v = 0.5; the flash spreads towards u = 0.
// - "homing.tga": the missile's nose points to +u (the game turns it by heading + 90 degrees).
// - "homingtrail.tga": u runs along the ribbon from the missile (0) backwards; v across it.
// - "explosion_color*.tga": u = heat (0 cold and dark, 1 white-hot), v = the colour variant;
//   rows at v = 0 and v = 1 match, so a select of 1.0 filters cleanly.
// - "nukepaint.tga", "nukepaintfx.tga": u runs along the ring (it wraps twice around), v from
//   the inner edge (0) to the outer edge (1); the effect ring's red channel is the push amount.
// - "hudnumbers.tga": glyph g spans u = g / 17.8 .. (g + 1) / 17.8 in the upper half; 10 is blank.
#pragma once

#include "tools/common/generator_main.h"
#include "tools/common/canvas.h"
#include "tools/common/text_render.h"

#include <string>

using SpriteFonts = GeneratorFonts;

using DrawSprite = bool (*)(Canvas&, SpriteFonts&, std::string&);

bool drawSparkDot(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawLaserStreak(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawCyanFlash(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawOrangeFlash(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawMissile(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawMissileTrail(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawExplosionPuff(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawExplosionRamp(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawSparkRamp(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawNukeRing(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawNukeRingEffect(Canvas& canvas, SpriteFonts& fonts, std::string& error);

bool drawHudBar(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawHudDigitStrip(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawHudLaserPanel(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawHudMissilePanel(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawHudNukePanel(Canvas& canvas, SpriteFonts& fonts, std::string& error);
bool drawHudLaserAmmo(Canvas& canvas, SpriteFonts& fonts, std::string& error);

// Width of one digit cell in the strip's u range (glyph g at g * HUD_DIGIT_CELL_U).
constexpr float HUD_DIGIT_CELL_U = 0.056179777f;
