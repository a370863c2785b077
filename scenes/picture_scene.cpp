#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initPictureScene() {}

void drawPictureScene()
{
    fillPlaceholderScene(0.80f, 0.20f, 0.20f);
}
