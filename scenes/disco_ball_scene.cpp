#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initDiscoBallScene() {}

void drawDiscoBallScene()
{
    fillPlaceholderScene(0.20f, 0.75f, 0.25f);
}
