#include "game/game_assets.h"

#include "platform/crt_random.h"
#include "render/lights.h"

int32_t floorProfileId = -1;
int32_t ceilingProfileId = -1;

float cloudX[CLOUD_COUNT];
float cloudY[CLOUD_COUNT];
float cloudZ[CLOUD_COUNT];
float cloudDirection[CLOUD_COUNT];
float cloudSpeed[CLOUD_COUNT];

// The models, textures, programs and profiles join this step as they land; the layout and the
// lights keep the generator's sequence in its place meanwhile.
void loadGameAssets()
{
    initCloudLayout();
    initDefaultLights();
}

void initCloudLayout()
{
    crtSrand(CLOUD_SEED);
    for (int i = 0; i < CLOUD_COUNT; ++i) {
        cloudX[i] = 20.0f - static_cast<float>(crtRand() % 4000) / 100.0f;
        cloudY[i] = static_cast<float>(crtRand() % 50) / 100.0f + CLOUD_BASE_Y;
        cloudZ[i] = static_cast<float>(crtRand() % 100) / 100.0f - 7.5f;
        cloudDirection[i] = static_cast<float>(crtRand() % 2);
        cloudSpeed[i] = (static_cast<float>(crtRand() % 100) / 100.0f) / 3.0f;
    }
}

// The start-up's light set-up, kept with the game's assets.
void initDefaultLights()
{
    presetRandomOrbitLights();
    applyLightPreset(6);
}
