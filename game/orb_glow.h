// The enemies' view placement shared by the two model passes and the orbs' halo: the halo of an
// orb is two rings of 33 glowing slices turning with the orb's glow phase, drawn additively with
// the glow program and the orb's colour ramp.
#pragma once

#include "game/enemies.h"   // ENEMY_CAPACITY

// Per enemy, written by the shadow pass and read by the lit pass and the halo: the model frame
// (1..110) and the glow phase (1..100).
extern float enemyFrame[ENEMY_CAPACITY];
extern float enemyGlowPhase[ENEMY_CAPACITY];

// The shared vector of rotateOrbVector, rotated in place.
extern float orbVector[3];

// The view position of enemy i's lower-left corner (z is the hero's plane, 0.15).
void enemyViewPosition(int i, float& tx, float& ty);
// Rotates orbVector about x, then y, then z by angle indices into the orb angle tables.
void rotateOrbVector(int a, int b, int c);
// The halo of enemy i drawn as orb model m (1..6).
void drawOrbGlow(int i, int m);
