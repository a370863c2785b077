// The player's collision with the boxes, each kind by its own rule, contact with the enemies,
// and the level clamp. A pass tests every box against the position at its start and records
// its decision in resolvedX / resolvedY, which it applies at the end.
#pragma once

#include "game/game_state.h"  // resolvedX, resolvedY

// One pass: order 0 visits boxes 1..boxCount, any other order boxCount..1. Does nothing while
// playerHealth is 0 or less.
void resolvePlayerCollisions(int order);

// Contact tests of the player's rectangle against box i (the pass uses the same rules).
bool playerHeadInBox(int i);
bool playerFeetInBox(int i);
bool playerRightEdgeInBox(int i);
bool playerLeftEdgeInBox(int i);
float overlapWidth(int i);
float overlapHeight(int i);
