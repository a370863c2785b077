// The game's 3D picture: background, cloud layer, background flyers and props, tiles, enemies
// and hero into screen target 2 with the shadow map, copied into screen target 1; the editor's
// variant with depth of field; the dotted box outlines.
#pragma once

#include "game/game_state.h"  // the scene's switches
#include "render/light_space.h"  // sfbg, sfzbg: the props' light box, beside sf and sfz

constexpr int BACKGROUND_FLYER_COUNT = 50;

void renderGameScene();
void renderEditorScene();
// Depth of field: the sharp picture of screen target 2 blurred by the depth in screen target 3
// through the blur-intensity ramp, into screen target 1; the blur program stays in use.
void composeDepthOfField();
void renderBackdropDof();
void drawCloudLayer();
void drawBackgroundShadowPass();
void drawBackgroundLitPass();
// Advances flyer i and sets its model-view matrix.
void placeBackgroundFlyer(int i);
void placeBackgroundProps();
void drawBoxOutlines();
