// Weapon 4, the nuke: a shockwave ring from the player's centre that kills the walkers and
// jumpers it reaches on screen. (Placeholder until the nuke lands.)
#pragma once

extern float nukeRadius;   // running while above 0
extern float nukeCentreX;
extern float nukeCentreY;

void initNuke();
void updateNukeShockwave();
void applyNukeDamage();
