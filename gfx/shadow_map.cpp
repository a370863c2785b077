#include "gfx/shadow_map.h"

// Placeholders until the shadow map lands.
void initShadowPrograms() {}
void drawShadowMapView() {}
