// The game's textures, shader programs and models: the handles every game draw reads, and the
// load steps of the game's first restart that fill them (the restart's asset loader runs them
// in its order). Texture and program handles are GL names (0 until loaded); model handles are
// null until loaded.
#pragma once

#include "gfx/uniform_table.h"

#include <cstdint>

struct Model;
struct ModelList;

constexpr int MUZZLE_FLASH_KINDS = 2;
constexpr int ORB_MODEL_COUNT = 6;
constexpr int ENEMY_MODEL_COUNT = 2;
constexpr int TILE_MODEL_COUNT = 10;   // indexed by a box's meshId
constexpr int HERO_BLEND_FREE_BONES = 13;

// Bones of the hero that the frame-blended draw does not blend towards its third slot.
extern const int heroBlendFreeBones[HERO_BLEND_FREE_BONES];

// Textures, in load order.
extern uint32_t clouds1Texture;              // "clouds1.tga"
extern uint32_t clouds2Texture;              // "clouds2.tga"
extern uint32_t cloudsMaskTexture;           // "cloudsmask.tga"
extern uint32_t homingTexture;               // "homing.tga"
extern uint32_t homingTrailTexture;          // "homingtrail.tga"
extern uint32_t muzzleFlashTextures[MUZZLE_FLASH_KINDS];  // "wf1.tga", "wf2.tga"
extern uint32_t laserTexture;                // "laser.tga"
extern uint32_t gameWhitePixelTexture;       // "whitepixel.tga"
extern uint32_t sparkTexture;                // "particle5x5.tga"
extern uint32_t explosionParticleTexture;    // "explosionparticle.tga"
extern uint32_t orbParticleTexture;          // "orbparticle.tga"
extern uint32_t explosionRampTexture;        // "explosion_color.tga"
extern uint32_t explosionRampSmallTexture;   // "explosion_color_small.tga"
extern uint32_t orbRampTextures[ORB_MODEL_COUNT];  // "orb_color.tga", "orb_color2.tga" .. "orb_color6.tga"

// Programs, in load order (one more is loaded that nothing uses, and the lit draws' depth
// pre-pass program of render/depth_prepass.h).
extern uint32_t explosionProgram;   // "passthroughvertexshader.vert" + "expl.frag"
extern uint32_t spareLitProgram;    // "shmappass2.vert" + "shmappass2.frag"
extern uint32_t tileDepthProgram;   // "shmappass1.vert" + "shmappass1.frag"
// "shmappass1background.vert" + "shmappass1.frag": the background's depth pass. It has no bone
// arrays, so a draw does not re-send 16 KB of bone uniforms with every new placement.
extern uint32_t backgroundDepthProgram;
extern uint32_t tileLitProgram;     // "shmappass2.vert" + "shmappass2.frag"
extern uint32_t heroDepthProgram;   // "shmappass1.vert" + "shmappass1.frag"
extern uint32_t heroLitProgram;     // "shmappass2hero.vert" + "shmappass2hero.frag"
extern uint32_t cloudsProgram;      // "passthroughvertexshader.vert" + "clouds.frag"

// Uniforms of the explosion and cloud programs, looked up when loadGamePrograms builds them.
enum ExplosionUniform { EXPLOSION_COLOR_MAP, EXPLOSION_COLOR_GRADIENT, EXPLOSION_COLOR_INDEX,
                        EXPLOSION_COLOR_SELECT, EXPLOSION_UNIFORM_COUNT };
enum CloudsUniform { CLOUDS_MAP1, CLOUDS_MAP2, CLOUDS_MASK, CLOUDS_SCROLL1, CLOUDS_SCROLL2, CLOUDS_UNIFORM_COUNT };
extern UniformTable<EXPLOSION_UNIFORM_COUNT> explosionUniforms;
extern UniformTable<CLOUDS_UNIFORM_COUNT> cloudsUniforms;

extern Model* heroModel;                          // "girla1.3dm" with girla2..4 as frames
extern Model* orbModels[ORB_MODEL_COUNT];         // "orb.3dm", "orb2.3dm" .. "orb6.3dm"
extern Model* enemyModels[ENEMY_MODEL_COUNT];     // "enemy1.3dm" walker, "enemy2.3dm" flyer
extern Model* tileModels[TILE_MODEL_COUNT];
extern Model* flyerModel;                         // "flyer1.3dm"
extern ModelList* backgroundScene;                // "background1.scene"
// Every tile model's, and every background model's (the flyer's and the props'), colour map has
// no alpha channel: what their depth pre-passes need of them.
extern bool tileModelsOpaque;
extern bool backgroundModelsOpaque;

extern const char* const tileModelFiles[TILE_MODEL_COUNT];

// The tile model of a mesh id; null for ids outside 0..TILE_MODEL_COUNT - 1 (-1 is "none").
Model* tileModelFor(int32_t meshId);

// The load steps: the 20 textures; the programs; the hero, orbs, enemies and tiles with
// the tiles' display lists; the background scene and the flyer.
void loadGameTextures();
void loadGamePrograms();
void loadGameModels();
void loadGameBackground();

// Clears the third-slot blend flag of the listed bones the skeleton has.
void clearHeroBlendFlags(Model& model);
