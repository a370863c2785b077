// The angle and glow tables of the orbs' halo, shared with the nuke ring: sine and cosine in
// steps of 0.005 radian, and 100 glow slices (50 around the orb, mirrored).
#pragma once

constexpr int ORB_ANGLE_TABLE_SIZE = 1356;
constexpr int ORB_GLOW_SLICES = 100;

extern float orbSinTable[ORB_ANGLE_TABLE_SIZE];
extern float orbCosTable[ORB_ANGLE_TABLE_SIZE];
extern float orbGlowX[ORB_GLOW_SLICES];
extern float orbGlowY[ORB_GLOW_SLICES];
extern float orbGlowScale[ORB_GLOW_SLICES];

// Entry n = sin(n / 200), cos(n / 200).
void fillOrbAngleTables();
// The angle tables, a reseed with 2071, then the glow tables.
void buildOrbTables();
