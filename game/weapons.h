// The player's weapons: selection, the fire gate, shots, sparks and the muzzle flash.
// (Placeholder declarations with empty bodies until the weapons land.)
#pragma once

#include <cstdint>

constexpr int SPARK_COUNT = 500;

extern int32_t muzzleFlashFrames;
extern float laserSpeed;   // 3 x walkSpeed, set when the program starts

// Once per substep after the player has moved.
void updateWeapons();
// All spark slots inactive (the restart).
void deactivateAllSparks();
// The effect layer's parts.
void updateSparks();
void drawSparks();
void drawShots();
void drawMuzzleFlash();
