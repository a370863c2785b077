// The enemies' 2D layer: debug outlines, health bars after hits and the debris of dead enemies;
// and the 50 x 5 dot bar shared with the player's health bar. (Placeholder until it lands.)
#pragma once

void drawEnemyOverlays();
void drawDotBar(float value, float x, float y, float fade);
