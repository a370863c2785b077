#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initPaletteLogoScene() {}

void drawPaletteLogoScene()
{
    fillPlaceholderScene(0.90f, 0.60f, 0.10f);
}
