// The pictures of the logo scenes: the closing scene's background and raster strip, and the
// texture sets the logo models name. Each draw function paints the whole canvas it is given
// (sized by the table in logo_models_main.cpp).
#pragma once

#include "tools/common/canvas.h"

// Closing scene.
void drawClosingBackground(Canvas& canvas);  // 1920 x 1080 frame
void drawRasterStrip(Canvas& canvas);        // u = time through the strip, v = up the band

// Light ramps the self-illumination program reads by how squarely a face meets the eye
// (u = 0 edge-on, 1 facing), one per glowing set.
void drawThinLogoRamp(Canvas& canvas);
void drawFrontGlowRamp(Canvas& canvas);
void drawBackGlowRamp(Canvas& canvas);

// Lit sets.
void drawNeonBand(Canvas& canvas);        // across a band: a neon tube with a hot core
void drawNeonSpecular(Canvas& canvas);
void drawNeonNormal(Canvas& canvas);
void drawNeonLightRamp(Canvas& canvas);
void drawMirrorTile(Canvas& canvas);      // one tile of the mirror ball with its grout
void drawMirrorTileSpecular(Canvas& canvas);
void drawMirrorTileNormal(Canvas& canvas);
void drawBrushedMetal(Canvas& canvas);
void drawBrushedMetalSpecular(Canvas& canvas);
void drawMetalLightRamp(Canvas& canvas);  // rows picked per light: diffuse term to brightness
