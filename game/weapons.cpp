#include "game/weapons.h"

#include "game/player.h"   // walkSpeed

// Empty until the weapons land; the substep already calls them in their places.
int32_t muzzleFlashFrames = 0;
float laserSpeed = 3.0f * 7.5f;

void updateWeapons() {}
void deactivateAllSparks() {}
void updateSparks() {}
void drawSparks() {}
void drawShots() {}
void drawMuzzleFlash() {}
