#include "game/orb_tables.h"

#include "platform/crt_random.h"

#include <algorithm>
#include <cmath>

float orbSinTable[ORB_ANGLE_TABLE_SIZE];
float orbCosTable[ORB_ANGLE_TABLE_SIZE];
float orbGlowX[ORB_GLOW_SLICES];
float orbGlowY[ORB_GLOW_SLICES];
float orbGlowScale[ORB_GLOW_SLICES];

static constexpr unsigned ORB_SEED = 2071;
static constexpr int HALF_SLICES = ORB_GLOW_SLICES / 2;
static constexpr int LIT_SLICES = 33;   // slices 1..32 carry a glow; 33..49 are empty
static constexpr float GLOW_RADIUS = 0.225f;

void fillOrbAngleTables()
{
    for (int n = 0; n < ORB_ANGLE_TABLE_SIZE; ++n) {
        orbSinTable[n] = std::sin(static_cast<float>(n) / 200.0f);
        orbCosTable[n] = std::cos(static_cast<float>(n) / 200.0f);
    }
}

void buildOrbTables()
{
    fillOrbAngleTables();
    crtSrand(ORB_SEED);
    for (int j = 0; j < HALF_SLICES; ++j) {
        const float angle = 6.28319f * static_cast<float>(j) / 100.0f;
        orbGlowX[j] = GLOW_RADIUS * std::sin(angle);
        orbGlowY[j] = GLOW_RADIUS * std::cos(angle);
        if (j == 0 || j >= LIT_SLICES)
            orbGlowScale[j] = 0.0f;
        else
            orbGlowScale[j] = 0.115f * std::max(1.0f - static_cast<float>(j) / 33.333332f, 0.15f);
    }
    for (int j = HALF_SLICES; j < ORB_GLOW_SLICES; ++j) {
        orbGlowScale[j] = orbGlowScale[j - HALF_SLICES];
        orbGlowX[j] = -orbGlowX[j - HALF_SLICES];
        orbGlowY[j] = -orbGlowY[j - HALF_SLICES];
    }
}
