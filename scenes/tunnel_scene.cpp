#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initTunnelScene() {}

void drawTunnelScene()
{
    fillPlaceholderScene(0.15f, 0.70f, 0.75f);
}
