#include "game/game_resources.h"

#include "gfx/model.h"        // loadModel, addFrames, scaleModel
#include "gfx/scene_file.h"   // loadScene, compileModelDisplayList
#include "gfx/shaders.h"      // shaderLoader
#include "gfx/textures.h"     // loadTexture
#include "render/depth_prepass.h"    // loadDepthPrepassProgram, modelColourMapOpaque
#include "render/model_draw.h"       // cacheModelProgramUniforms
#include "render/model_list_draw.h"  // scaleModelList

uint32_t clouds1Texture = 0;
uint32_t clouds2Texture = 0;
uint32_t cloudsMaskTexture = 0;
uint32_t homingTexture = 0;
uint32_t homingTrailTexture = 0;
uint32_t muzzleFlashTextures[MUZZLE_FLASH_KINDS] = {};
uint32_t laserTexture = 0;
uint32_t gameWhitePixelTexture = 0;
uint32_t sparkTexture = 0;
uint32_t explosionParticleTexture = 0;
uint32_t orbParticleTexture = 0;
uint32_t explosionRampTexture = 0;
uint32_t explosionRampSmallTexture = 0;
uint32_t orbRampTextures[ORB_MODEL_COUNT] = {};

uint32_t explosionProgram = 0;
uint32_t spareLitProgram = 0;
uint32_t tileDepthProgram = 0;
uint32_t backgroundDepthProgram = 0;
uint32_t tileLitProgram = 0;
uint32_t heroDepthProgram = 0;
uint32_t heroLitProgram = 0;
uint32_t cloudsProgram = 0;

static const char* const EXPLOSION_UNIFORM_NAMES[EXPLOSION_UNIFORM_COUNT] = {"colorMap", "colorGradient",
                                                                             "colorIndex", "colorSelect"};
static const char* const CLOUDS_UNIFORM_NAMES[CLOUDS_UNIFORM_COUNT] = {"clouds1", "clouds2", "cloudsmask", "scroll1",
                                                                       "scroll2"};
UniformTable<EXPLOSION_UNIFORM_COUNT> explosionUniforms(EXPLOSION_UNIFORM_NAMES);
UniformTable<CLOUDS_UNIFORM_COUNT> cloudsUniforms(CLOUDS_UNIFORM_NAMES);

Model* heroModel = nullptr;
Model* orbModels[ORB_MODEL_COUNT] = {};
Model* enemyModels[ENEMY_MODEL_COUNT] = {};
Model* tileModels[TILE_MODEL_COUNT] = {};
Model* flyerModel = nullptr;
ModelList* backgroundScene = nullptr;
bool tileModelsOpaque = false;
bool backgroundModelsOpaque = false;

const int heroBlendFreeBones[HERO_BLEND_FREE_BONES] = {0, 1, 11, 12, 20, 3, 6, 7, 10, 14, 17, 18, 21};

const char* const tileModelFiles[TILE_MODEL_COUNT] = {
    "tile_1.3dm", "tile_2.3dm", "tile_floor2.3dm", "tile_floor3.3dm", "tile_wall1.3dm",
    "tile_wall2.3dm", "tile_tlbr1.3dm", "tile_bltr1.3dm", "tile_bltr2.3dm", "tile_bltr3.3dm",
};

static const char* const ORB_MODEL_FILES[ORB_MODEL_COUNT] = {"orb.3dm", "orb2.3dm", "orb3.3dm",
                                                            "orb4.3dm", "orb5.3dm", "orb6.3dm"};
static const char* const ORB_RAMP_FILES[ORB_MODEL_COUNT] = {"orb_color.tga",  "orb_color2.tga", "orb_color3.tga",
                                                           "orb_color4.tga", "orb_color5.tga", "orb_color6.tga"};
static const char* const HERO_FRAME_FILES[3] = {"girla2.3dm", "girla3.3dm", "girla4.3dm"};

static constexpr float HERO_SCALE = 0.0345f;
static constexpr float ORB_SCALE = 0.175f;
static constexpr float ENEMY_SCALE = 0.2f;
static constexpr float TILE_SCALE = 0.111f;
static constexpr float FLYER_SCALE = 0.8f;
static constexpr float BACKGROUND_SCALE = 1.1f;
// Tiles with a display list, compiled under the tiles' depth program.
static constexpr int DISPLAY_LIST_TILES = 2;

Model* tileModelFor(int32_t meshId)
{
    if (meshId < 0 || meshId >= TILE_MODEL_COUNT)
        return nullptr;
    return tileModels[meshId];
}

void loadGameTextures()
{
    clouds1Texture = loadTexture("clouds1.tga");
    clouds2Texture = loadTexture("clouds2.tga");
    cloudsMaskTexture = loadTexture("cloudsmask.tga");
    homingTexture = loadTexture("homing.tga");
    homingTrailTexture = loadTexture("homingtrail.tga");
    muzzleFlashTextures[0] = loadTexture("wf1.tga");
    muzzleFlashTextures[1] = loadTexture("wf2.tga");
    laserTexture = loadTexture("laser.tga");
    gameWhitePixelTexture = loadTexture("whitepixel.tga");
    sparkTexture = loadTexture("particle5x5.tga");
    explosionParticleTexture = loadTexture("explosionparticle.tga");
    orbParticleTexture = loadTexture("orbparticle.tga");
    explosionRampTexture = loadTexture("explosion_color.tga");
    explosionRampSmallTexture = loadTexture("explosion_color_small.tga");
    for (int i = 0; i < ORB_MODEL_COUNT; ++i)
        orbRampTextures[i] = loadTexture(ORB_RAMP_FILES[i]);
}

void loadGamePrograms()
{
    explosionProgram = shaderLoader.load("passthroughvertexshader.vert", "expl.frag");
    explosionUniforms.lookUp(explosionProgram);
    spareLitProgram = shaderLoader.load("shmappass2.vert", "shmappass2.frag");
    tileDepthProgram = shaderLoader.load("shmappass1.vert", "shmappass1.frag");
    backgroundDepthProgram = shaderLoader.load("shmappass1background.vert", "shmappass1.frag");
    tileLitProgram = shaderLoader.load("shmappass2.vert", "shmappass2.frag");
    shaderLoader.load("shmappass2.vert", "shmappass2_selfillum.frag");
    heroDepthProgram = shaderLoader.load("shmappass1.vert", "shmappass1.frag");
    heroLitProgram = shaderLoader.load("shmappass2hero.vert", "shmappass2hero.frag");
    cloudsProgram = shaderLoader.load("passthroughvertexshader.vert", "clouds.frag");
    loadDepthPrepassProgram();
    for (uint32_t program :
         {tileDepthProgram, backgroundDepthProgram, tileLitProgram, heroDepthProgram, heroLitProgram})
        cacheModelProgramUniforms(program);
    cloudsUniforms.lookUp(cloudsProgram);
}

void clearHeroBlendFlags(Model& model)
{
    for (int bone : heroBlendFreeBones)
        if (bone < model.boneCount && static_cast<size_t>(bone) < model.boneInterpolate.size())
            model.boneInterpolate[static_cast<size_t>(bone)] = 0;
}

static Model* loadScaled(const char* file, float scale)
{
    Model* model = loadModel(file);
    scaleModel(*model, scale);
    return model;
}

void loadGameModels()
{
    Model* hero = loadModel("girla1.3dm");
    for (const char* file : HERO_FRAME_FILES)
        addFrames(*hero, file);
    clearHeroBlendFlags(*hero);
    scaleModel(*hero, HERO_SCALE);
    heroModel = hero;

    for (int i = 0; i < ORB_MODEL_COUNT; ++i)
        orbModels[i] = loadScaled(ORB_MODEL_FILES[i], ORB_SCALE);
    enemyModels[0] = loadScaled("enemy1.3dm", ENEMY_SCALE);
    enemyModels[1] = loadScaled("enemy2.3dm", ENEMY_SCALE);
    tileModelsOpaque = true;
    for (int i = 0; i < TILE_MODEL_COUNT; ++i) {
        tileModels[i] = loadScaled(tileModelFiles[i], TILE_SCALE);
        tileModelsOpaque = tileModelsOpaque && modelColourMapOpaque(*tileModels[i]);
    }

    for (int i = 0; i < DISPLAY_LIST_TILES; ++i)
        compileModelDisplayList(*tileModels[i], tileDepthProgram);
}

void loadGameBackground()
{
    backgroundScene = loadScene("background1.scene");
    scaleModelList(*backgroundScene, BACKGROUND_SCALE);
    flyerModel = loadScaled("flyer1.3dm", FLYER_SCALE);
    backgroundModelsOpaque = modelColourMapOpaque(*flyerModel) && modelListColourMapsOpaque(*backgroundScene);
}
