// The 4096 x 4096 shadow target and the shadow, depth-of-field and mix programs.
#pragma once

void initShadowPrograms();
void drawShadowMapView();
