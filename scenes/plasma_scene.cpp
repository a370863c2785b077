#include "scenes/scenes.h"

#include "scenes/placeholder_fill.h"

void initPlasmaScene() {}

void drawPlasmaScene()
{
    fillPlaceholderScene(0.55f, 0.20f, 0.80f);
}
