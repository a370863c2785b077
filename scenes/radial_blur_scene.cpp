#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initRadialBlurScene() {}

void drawRadialBlurScene()
{
    fillPlaceholderScene(0.85f, 0.85f, 0.15f);
}
