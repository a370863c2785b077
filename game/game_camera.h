// The game camera (the lower-left corner of the 1920 x 1080 view in level units) with its dead
// zone, the level-to-view height conversion, the view-range tests and the player's health bar
// and debug outline. Screen position = level position - camera.
#pragma once

#include "game/game_state.h"  // gameCameraX, gameCameraY, the view's size and scales

// The view grown by this much on every side decides what is near enough to draw.
constexpr float VIEW_MARGIN = 300.0f;

// Once per game frame while the player is active: the respawn placement, the dead zone of a
// third of the view, the clamp to the level.
void updateGameCamera();
// A level y in the hero's view units.
float worldToViewY(float worldY);

// Enemy i / box i strictly overlaps the view grown by VIEW_MARGIN.
bool isEnemyNearView(int i);
bool enemyNearViewCopy(int i);
bool boxNearView(int i);

// The health bar over the player at level height y while healthBarTimer runs (counts it down).
void drawPlayerHealthBar(int y);
// Debug outline of the player's rectangle.
void drawPlayerOutline();
