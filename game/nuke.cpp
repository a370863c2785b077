#include "game/nuke.h"

#include "game/orb_tables.h"

float nukeRadius = 0.0f;
float nukeCentreX = 0.0f;
float nukeCentreY = 0.0f;

// The ring's textures come with the nuke; the angle tables are its share of the restart.
void initNuke()
{
    fillOrbAngleTables();
}
void updateNukeShockwave() {}
void applyNukeDamage() {}
