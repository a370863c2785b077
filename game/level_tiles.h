// The level's tile models in the game scene's shadow-map pass and lit pass. A box is drawn by
// the tile model of its meshId from its lower-left corner; a box whose meshId names no tile
// model (-1, or anything outside 0..9) takes space in the level but draws nothing.
#pragma once

// Identity, then the box's lower-left corner in view units and the models' 270-degree tilt.
void placeTile(int box);
// Every level box (or every palette entry in palette mode) into the shadow map.
void drawTilesShadowPass();
// The level boxes near the view (or every palette entry) lit with the shadow map; their depth
// goes down first where that keeps the picture (render/depth_prepass.h).
void drawTilesLitPass();
// The same boxes, placed the same way, through drawModelDepthPrepass: for a cover mark.
void drawTilesLitPassDepth();
