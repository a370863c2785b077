#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initLogoGlowScene() {}

void drawLogoGlowScene()
{
    fillPlaceholderScene(0.60f, 0.60f, 0.60f);
}
