#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initFlyoverScene() {}

void drawFlyoverScene()
{
    fillPlaceholderScene(0.85f, 0.30f, 0.65f);
}
