#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initRingsScene() {}

void drawRingsScene()
{
    fillPlaceholderScene(0.15f, 0.30f, 0.85f);
}
