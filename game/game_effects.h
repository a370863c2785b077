// The 2D effect layer of a game frame, drawn into screen target 1: sparks, shots, enemy
// overlays, missiles, the health bar, the muzzle flash, the death burst and the debug outlines.
#pragma once

void drawGameEffects();
