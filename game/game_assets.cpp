#include "game/game_assets.h"

#include "game/draw_2d.h"         // prepare2DLayer
#include "game/game_resources.h"  // the load steps
#include "game/game_state.h"  // gameHasGlContext, floorProfileId, ceilingProfileId
#include "game/hud.h"             // loadHudTextures
#include "game/missiles.h"        // buildMissileSinCosTable
#include "gfx/height_profile.h"
#include "gfx/model.h"          // uploadModelVertices
#include "gfx/scene_file.h"     // ModelList
#include "platform/crt_random.h"
#include "render/lights.h"
#include "render/screen_passes.h"  // prepareBloom
#include "scenes/flyby_map.h"     // flybyTileModels

float cloudX[CLOUD_COUNT];
float cloudY[CLOUD_COUNT];
float cloudZ[CLOUD_COUNT];
float cloudDirection[CLOUD_COUNT];
float cloudSpeed[CLOUD_COUNT];

// Every model's vertex buffers go to GL at load: a model first seen mid-game (a tile scrolling
// into view, an enemy kind) would otherwise upload them in that frame.
static void uploadGameModels()
{
    uploadModelVertices(heroModel);
    uploadModelVertices(flyerModel);
    for (Model* m : orbModels)
        uploadModelVertices(m);
    for (Model* m : enemyModels)
        uploadModelVertices(m);
    for (Model* m : tileModels)
        uploadModelVertices(m);
    if (backgroundScene)
        for (uint32_t i = 0; i < backgroundScene->count; ++i)
            uploadModelVertices(backgroundScene->items[i]);
}

// Everything the game draws with, in an order that fixes the GL names and the generator's
// sequence. Without a GL context (the world's logic alone) only the tables, the layout and the
// lights load.
void loadGameAssets()
{
    const bool gl = gameHasGlContext();
    if (gl)
        loadHudTextures();
    buildMissileSinCosTable();
    if (gl) {
        loadGameTextures();
        loadGamePrograms();
        loadGameModels();
        floorProfileId = loadHeightProfile("hfslope1.tga");
        ceilingProfileId = loadHeightProfile("heightmap2.tga");
        loadGameBackground();
        // The flyby's tile slots take the first six tile models.
        for (int i = 0; i < FLYBY_TILE_SLOTS; ++i)
            flybyTileModels[i] = tileModels[i];
        prepareBloom();   // the editor's, not made at its first frame
        uploadGameModels();
        prepare2DLayer();
    }
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
