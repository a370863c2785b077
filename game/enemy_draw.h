// The enemies as 3D models in the game scene's shadow-map pass and lit pass, with the halo of
// every orb. Both passes place an enemy at the view position of its lower-left corner.
#pragma once

#include "game/game_state.h"  // walkFrame, spinAngle

void drawEnemiesShadowPass();
void drawEnemiesLitPass();
// The orb model (1..6) an orb is drawn with: the generator reseeded with the enemy's index.
int pickOrbModel(int index);
