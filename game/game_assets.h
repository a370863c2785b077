// The game's assets, loaded once by the first restart, and the light set-up of the start-up.
// Only the handles the world logic reads are declared so far; the loader fills the rest in.
#pragma once

#include "game/game_state.h"  // floorProfileId, ceilingProfileId

#include <cstdint>

// The background flyers' layout (cloud layer of the game scene).
constexpr int CLOUD_COUNT = 50;
constexpr float CLOUD_BASE_Y = -0.5f;
constexpr unsigned CLOUD_SEED = 2002;
extern float cloudX[CLOUD_COUNT];
extern float cloudY[CLOUD_COUNT];
extern float cloudZ[CLOUD_COUNT];
extern float cloudDirection[CLOUD_COUNT];
extern float cloudSpeed[CLOUD_COUNT];

void loadGameAssets();
// Seed 2002, then five draws per flyer.
void initCloudLayout();
void initDefaultLights();
