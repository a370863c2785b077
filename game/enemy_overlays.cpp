#include "game/enemy_overlays.h"

void drawEnemyOverlays() {}
void drawDotBar(float, float, float, float) {}
