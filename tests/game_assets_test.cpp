// The game's generated models, pictures and programs, read through the engine's own loaders:
// the hero's frame slots, bones and blend flags, its size against the player's box and its
// gait; the walker's slots and size; six different orbs; every tile the size of its box; each
// texture set read from its own files; every program built.
#include "game/game_resources.h"
#include "gfx/height_profile.h"
#include "gfx/model.h"
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "gfx/matrix_math.h"
#include "render/model_draw.h"   // poseModelBones
#include "tools/common/tile_sizes.h"

#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

// View units per level unit: the hero's and enemies' placement, and the tiles'.
const float HERO_VIEW_X = 2048.0f * 5.6f / 1980.0f / 1000.0f;
const float HERO_VIEW_Y = 2048.0f * 3.0f / 1080.0f / 1000.0f;
const float TILE_VIEW_X = 2048.0f * 5.38f / 1980.0f / 1000.0f;
const float TILE_VIEW_Y = 2048.0f * 2.9f / 1080.0f / 1000.0f;

const int WALK_FIRST = 1, WALK_LAST = 110, JUMP_SLOT = 115, IDLE_SLOT = 120, GUN_SLOT = 142;
const int CRAWL_FIRST = 144, CRAWL_LAST = 202;
const int NEAR_FOOT_BONE = 18;

class GameAssets : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!glTestContext().ready || heroModel)
            return;
        loadGameTextures();
        loadGamePrograms();
        loadGameModels();
        loadGameBackground();
    }
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
};

struct Box3 {
    float lo[3] = {1e30f, 1e30f, 1e30f};
    float hi[3] = {-1e30f, -1e30f, -1e30f};
    void add(const float* p)
    {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], p[k]);
            hi[k] = std::max(hi[k], p[k]);
        }
    }
    float size(int k) const { return hi[k] - lo[k]; }
};

// The skinned positions at a frame slot, as the model vertex programs compute them.
std::vector<float> skinnedPositions(Model& model, int slot)
{
    poseModelBones(model, slot);
    const size_t vertices = static_cast<size_t>(model.triangleCount) * 3;
    std::vector<float> out(vertices * 3, 0.0f);
    for (size_t v = 0; v < vertices; ++v) {
        const float* p = &model.positions[v * 3];
        float sum[3] = {0, 0, 0}, total = 0;
        for (int k = 0; k < 4; ++k) {
            float w = model.boneWeights[v * 4 + k];
            if (w <= 0)
                continue;
            size_t m = static_cast<size_t>(model.boneIndices[v * 4 + k] + 0.5f) * MATRIX_FLOATS;
            const float* rot = &model.boneRotMatrices[m];
            const float* joint = &model.bonePosMatrices[m];
            const float* rel = &model.boneRPosMatrices[m];
            float d[3] = {p[0] - joint[3], p[1] - joint[7], p[2] - joint[11]};
            for (int r = 0; r < 3; ++r)
                sum[r] += w * (rot[r * 4] * d[0] + rot[r * 4 + 1] * d[1] + rot[r * 4 + 2] * d[2] + joint[r * 4 + 3] +
                               rel[r * 4 + 3]);
            total += w;
        }
        for (int r = 0; r < 3; ++r)
            out[v * 3 + r] = total > 0 ? sum[r] / total : p[r];
    }
    return out;
}

Box3 boundsOf(const std::vector<float>& positions)
{
    Box3 box;
    for (size_t i = 0; i + 2 < positions.size(); i += 3)
        box.add(&positions[i]);
    return box;
}

// A slot the file filled: its bind positions are set (an unfilled slot stays zero).
bool slotHeld(const Model& model, int slot)
{
    size_t first = static_cast<size_t>(slot) * model.boneCount * 3;
    for (size_t i = first; i < first + static_cast<size_t>(model.boneCount) * 3; ++i)
        if (model.bindPos[i] != 0.0f)
            return true;
    return false;
}

TEST_F(GameAssets, HeroHoldsEverySlotTheGameUsesAndEnoughBones)
{
    Model& hero = *heroModel;
    EXPECT_GE(hero.boneCount, 22);
    ASSERT_GT(hero.frameCount, CRAWL_LAST);
    std::vector<int> slots = {JUMP_SLOT, IDLE_SLOT, GUN_SLOT};
    for (int s = WALK_FIRST; s <= WALK_LAST; ++s)
        slots.push_back(s);
    for (int s = CRAWL_FIRST; s <= CRAWL_LAST; ++s)
        slots.push_back(s);
    for (int s : slots)
        EXPECT_TRUE(slotHeld(hero, s)) << "slot " << s;
}

TEST_F(GameAssets, HeroBlendFlagsAreClearedForTheThirteenBonesOnly)
{
    const Model& hero = *heroModel;
    std::set<int> cleared(heroBlendFreeBones, heroBlendFreeBones + HERO_BLEND_FREE_BONES);
    ASSERT_EQ(hero.boneInterpolate.size(), static_cast<size_t>(hero.boneCount));
    for (int b = 0; b < hero.boneCount; ++b)
        EXPECT_EQ(hero.boneInterpolate[b], cleared.count(b) ? 0 : 1) << "bone " << b;
}

TEST(HeroBlendFlags, OnlyTheBonesTheSkeletonHasAreCleared)
{
    Model small;
    small.boneCount = 4;
    small.boneInterpolate.assign(4, 1);
    clearHeroBlendFlags(small);
    EXPECT_EQ(small.boneInterpolate, (std::vector<uint8_t>{0, 0, 1, 0}));
    Model none;
    clearHeroBlendFlags(none);  // no skeleton: nothing to clear, nothing written
    EXPECT_TRUE(none.boneInterpolate.empty());
}

TEST_F(GameAssets, GunSlotDiffersFromIdleOnlyInBonesThatBlendTowardsIt)
{
    const Model& hero = *heroModel;
    bool flaggedDiffers = false;
    for (int b = 0; b < hero.boneCount; ++b) {
        size_t idle = (static_cast<size_t>(IDLE_SLOT) * hero.boneCount + b) * 3;
        size_t gun = (static_cast<size_t>(GUN_SLOT) * hero.boneCount + b) * 3;
        bool same = true;
        for (int k = 0; k < 3; ++k)
            same = same && std::fabs(hero.eulerRel[idle + k] - hero.eulerRel[gun + k]) < 1e-4f &&
                   std::fabs(hero.relPos[idle + k] - hero.relPos[gun + k]) < 1e-6f;
        if (hero.boneInterpolate[b] == 0)
            EXPECT_TRUE(same) << "bone " << b << " is not blended towards the gun slot yet differs";
        else if (!same)
            flaggedDiffers = true;
    }
    EXPECT_TRUE(flaggedDiffers) << "the gun slot raises no arm";
}

TEST_F(GameAssets, HeroFillsThePlayersBox)
{
    Model& hero = *heroModel;
    Box3 idle = boundsOf(skinnedPositions(hero, IDLE_SLOT));
    // Model z is the view's height, model y the width once the hero has turned to walk.
    EXPECT_NEAR(idle.size(2) / (180.0f * HERO_VIEW_Y), 1.0f, 0.04f);
    EXPECT_NEAR(idle.lo[2], 0.0f, 0.01f) << "the feet stand on the origin";
    float widest = 0;
    for (int s = WALK_FIRST; s <= WALK_LAST; ++s)
        widest = std::max(widest, boundsOf(skinnedPositions(hero, s)).size(1));
    EXPECT_GT(widest / (65.0f * HERO_VIEW_X), 0.85f);
    // Arms, blaster and ponytail may reach past the box in a stride.
    EXPECT_LT(widest / (65.0f * HERO_VIEW_X), 1.3f);
    // Crouched, the game lowers the hero by 60 level units: it must then fit the 115 box.
    Box3 crouch = boundsOf(skinnedPositions(hero, CRAWL_LAST));
    EXPECT_NEAR(crouch.lo[2] / HERO_VIEW_Y - 60.0f, 0.0f, 3.0f);
    EXPECT_LT(crouch.hi[2] / HERO_VIEW_Y - 60.0f, 125.0f);
}

TEST_F(GameAssets, WalkSlotsAreOneGaitCycleOfTwoSteps)
{
    Model& hero = *heroModel;
    std::vector<float> footY;
    for (int s = WALK_FIRST; s <= WALK_LAST; ++s) {
        poseModelBones(hero, s);
        const float* joint = &hero.bonePosMatrices[NEAR_FOOT_BONE * MATRIX_FLOATS];
        const float* rel = &hero.boneRPosMatrices[NEAR_FOOT_BONE * MATRIX_FLOATS];
        footY.push_back(joint[7] + rel[7]);
    }
    float mean = 0;
    for (float y : footY)
        mean += y / footY.size();
    int crossings = 0;
    for (size_t i = 0; i < footY.size(); ++i)
        if ((footY[i] - mean) * (footY[(i + 1) % footY.size()] - mean) < 0)
            ++crossings;
    // The near foot passes the body once going forward and once going back.
    EXPECT_EQ(crossings, 2);
    float range = *std::max_element(footY.begin(), footY.end()) - *std::min_element(footY.begin(), footY.end());
    EXPECT_GT(range / HERO_VIEW_X, 25.0f) << "the stride is too short to read as a walk";
}

TEST_F(GameAssets, WalkerHoldsItsSlotsAndFillsItsBox)
{
    Model& walker = *enemyModels[0];
    ASSERT_GT(walker.frameCount, IDLE_SLOT);
    for (int s = WALK_FIRST; s <= WALK_LAST; ++s)
        ASSERT_TRUE(slotHeld(walker, s)) << "slot " << s;
    EXPECT_TRUE(slotHeld(walker, IDLE_SLOT));
    Box3 standing = boundsOf(skinnedPositions(walker, IDLE_SLOT));
    EXPECT_NEAR(standing.size(0) / (70.0f * HERO_VIEW_X), 1.0f, 0.12f);
    EXPECT_NEAR(standing.size(2) / (150.0f * HERO_VIEW_Y), 1.0f, 0.08f);
    EXPECT_EQ(*enemyModels[1]->animFlag, 0) << "the flyer is a rigid craft";
}

TEST_F(GameAssets, SixDistinctOrbsOfCollectibleSize)
{
    std::set<int> sets, triangleCounts;
    for (Model* orb : orbModels) {
        ASSERT_NE(orb, nullptr);
        sets.insert(orb->textureSet);
        triangleCounts.insert(orb->triangleCount);
        computeModelBounds(*orb);
        float extent = std::max(orb->boundsMax[0] - orb->boundsMin[0], orb->boundsMax[2] - orb->boundsMin[2]);
        EXPECT_GT(extent, 0.2f);
        EXPECT_LT(extent, 0.42f);
    }
    EXPECT_EQ(sets.size(), 6u) << "each orb has a texture set of its own";
    EXPECT_EQ(triangleCounts.size(), 6u) << "each orb has a shape of its own";
}

TEST_F(GameAssets, EveryTileHasTheSizeOfItsBox)
{
    // The level generator's boxes are built to the same table.
    static_assert(TILE_MESH_COUNT == TILE_MODEL_COUNT, "one size per tile model");
    for (int i = 0; i < TILE_MODEL_COUNT; ++i) {
        Model& tile = *tileModels[i];
        ASSERT_STREQ(TILE_SIZES[i].file, tileModelFiles[i]);
        computeModelBounds(tile);
        EXPECT_NEAR((tile.boundsMax[0] - tile.boundsMin[0]) / (TILE_SIZES[i].width * TILE_VIEW_X), 1.0f, 0.02f)
            << tileModelFiles[i];
        EXPECT_NEAR((tile.boundsMax[2] - tile.boundsMin[2]) / (TILE_SIZES[i].height * TILE_VIEW_Y), 1.0f, 0.02f)
            << tileModelFiles[i];
        EXPECT_NEAR(tile.boundsMin[0], 0.0f, 1e-4f) << "placed by its lower-left corner";
        EXPECT_NEAR(tile.boundsMin[2], 0.0f, 1e-4f) << tileModelFiles[i];
    }
    EXPECT_EQ(tileModelFor(-1), nullptr);
    EXPECT_EQ(tileModelFor(10), nullptr);
    EXPECT_EQ(tileModelFor(-7), nullptr);
    EXPECT_EQ(tileModelFor(9), tileModels[9]);
}

// True when (x, z) lies inside one of the model's front-facing (normal -y) triangles.
bool frontCovers(const Model& model, float x, float z)
{
    for (int t = 0; t < model.triangleCount; ++t) {
        const float* p = &model.positions[static_cast<size_t>(t) * 9];
        if (model.normals[static_cast<size_t>(t) * 9 + 1] > -0.99f)
            continue;
        float d1 = (x - p[3]) * (p[2] - p[5]) - (p[0] - p[3]) * (z - p[5]);
        float d2 = (x - p[6]) * (p[5] - p[8]) - (p[3] - p[6]) * (z - p[8]);
        float d3 = (x - p[0]) * (p[8] - p[2]) - (p[6] - p[0]) * (z - p[2]);
        bool negative = d1 < 0 || d2 < 0 || d3 < 0, positive = d1 > 0 || d2 > 0 || d3 > 0;
        if (!(negative && positive))
            return true;
    }
    return false;
}

TEST_F(GameAssets, EveryTileShowsTheSolidPartOfItsBoxType)
{
    const int32_t floorProfile = loadHeightProfile("hfslope1.tga");
    const int32_t ceilingProfile = loadHeightProfile("heightmap2.tga");
    ASSERT_GE(floorProfile, 0);
    ASSERT_GE(ceilingProfile, 0);
    for (int i = 0; i < TILE_MODEL_COUNT; ++i) {
        const Model& tile = *tileModels[i];
        const float w = TILE_SIZES[i].width * TILE_VIEW_X, h = TILE_SIZES[i].height * TILE_VIEW_Y;
        for (int a = 1; a < 20; ++a)
            for (int b = 1; b < 20; ++b) {
                // Off the grid diagonal, where the blocks split into triangles.
                const float u = (a + 0.37f) / 21.0f, v = (b + 0.21f) / 21.0f;
                float edge = 0;  // where the solid part ends along v at this u
                bool below = true;   // solid below the edge, else above it
                switch (TILE_SIZES[i].shape) {
                case TILE_SHAPE_LEFT_SLOPE: edge = 1 - u; break;
                case TILE_SHAPE_RIGHT_SLOPE: edge = u; break;
                case TILE_SHAPE_BOTTOM_LEFT_SLOPE: edge = 1 - u, below = false; break;
                case TILE_SHAPE_BOTTOM_RIGHT_SLOPE: edge = u, below = false; break;
                case TILE_SHAPE_HEIGHTMAP_FLOOR:
                    edge = heightProfileAt(floorProfile, static_cast<int32_t>(u * heightProfiles[floorProfile].width));
                    break;
                case TILE_SHAPE_HEIGHTMAP_CEILING:
                    edge = heightProfileAt(ceilingProfile, static_cast<int32_t>(u * heightProfiles[ceilingProfile].width));
                    below = false;
                    break;
                default: edge = 2; break;
                }
                if (std::fabs(v - edge) < 0.06f)
                    continue;  // too close to the surface to call
                const bool solid = below ? v < edge : v > edge;
                EXPECT_EQ(frontCovers(tile, u * w, v * h), solid)
                    << tileModelFiles[i] << " at (" << u << ", " << v << ")";
            }
    }
}

TEST_F(GameAssets, EveryTextureIsReadFromItsOwnFile)
{
    const std::string data = std::string(RUN_DIR) + "/data/";
    std::vector<Model*> models = {heroModel, flyerModel};
    for (Model* m : orbModels)
        models.push_back(m);
    for (Model* m : enemyModels)
        models.push_back(m);
    for (Model* m : tileModels)
        models.push_back(m);
    for (Model* m : models) {
        const std::string key = textureSets[m->textureSet].name;
        for (const char* suffix : {".tga", "_normal.tga", "_chraber.tga", "_specular.tga"})
            EXPECT_TRUE(std::filesystem::exists(data + key + suffix)) << key + suffix;
    }
    for (const char* file : {"clouds1.tga", "clouds2.tga", "cloudsmask.tga", "orbparticle.tga", "orb_color.tga",
                             "orb_color2.tga", "orb_color3.tga", "orb_color4.tga", "orb_color5.tga", "orb_color6.tga"})
        EXPECT_TRUE(std::filesystem::exists(data + file)) << file;
}

TEST_F(GameAssets, EveryProgramCompilesAndLinks)
{
    const uint32_t programs[] = {explosionProgram, spareLitProgram, tileDepthProgram,  backgroundDepthProgram,
                                 tileLitProgram,   heroDepthProgram, heroLitProgram, cloudsProgram};
    for (uint32_t p : programs)
        EXPECT_NE(p, 0u);
    EXPECT_NE(shaderLoader.load("shmappass2.vert", "shmappass2_selfillum.frag"), 0u);
}

} // namespace
