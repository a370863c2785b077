// The enemies' 2D layer: debug outlines, health bars after hits and the debris of dead enemies;
// and the 50 x 5 dot bar shared with the player's health bar. Screen position = level
// position - game camera.
#pragma once

constexpr int DOT_BAR_WIDTH = 50;
constexpr int DOT_BAR_HEIGHT = 5;

void drawEnemyOverlays();
// A bar of dots 50 wide and 5 high at screen (x, y): the frame, then the fill for `value` of
// 100; alpha fade^1.2. Only the dots that land on screen are drawn.
void drawDotBar(float value, float x, float y, float fade);
