// The game's generated data: the hero with its four animation files, the enemies, the six
// orbs, the ten level tiles, the background flyer, their texture sets, the cloud and glow
// pictures and the flyby map. Each builder returns what it writes; game_data_main.cpp writes.
//
// Sizes are stated in level (world) units where the game places a model from a level box, and
// converted to file units with the scales the game applies: the loader's 0.05 times the game's
// own scale, against the view units one level unit takes on screen.
#pragma once

#include "tools/common/model3dm_write.h"

#include <string>
#include <vector>

struct GeneratedModel {
    std::string file;
    Model3dmMesh mesh;
    Model3dmSkeleton skeleton;
    bool skinned = false;
};

// One level tile: its file, texture-set object name, the box size in level units it is made
// for, and the solid shape of the box type that uses it.
enum class TileShape { BLOCK, LEFT_SLOPE, RIGHT_SLOPE, BOTTOM_LEFT_SLOPE, BOTTOM_RIGHT_SLOPE, PROFILE_FLOOR, PROFILE_CEILING };

struct TileRecipe {
    const char* file;
    const char* objectName;
    float width;   // level units
    float height;  // level units
    TileShape shape;
};

// The ten tiles in meshId order.
std::vector<TileRecipe> tileRecipes();

// Per-column surface fractions of a height-profile picture (as the engine scans them).
struct ProfileColumns {
    std::vector<float> values;
};
bool readProfileColumns(const std::string& path, ProfileColumns& out, std::string& error);

// "girla1.3dm" to "girla4.3dm": the model with walk frames, then the jump and idle, the gun and
// the crawl frames appended in that order.
std::vector<GeneratedModel> buildHeroModels();
std::vector<GeneratedModel> buildEnemyModels();   // "enemy1.3dm", "enemy2.3dm"
std::vector<GeneratedModel> buildOrbModels();     // "orb.3dm", "orb2.3dm" .. "orb6.3dm"
std::vector<GeneratedModel> buildTileModels(const ProfileColumns& floorProfile, const ProfileColumns& ceilingProfile);
GeneratedModel buildFlyerModel();                 // "flyer1.3dm"

// Every picture: the texture sets the models name, clouds, the orb sprite and its ramps.
bool writeGamePictures(const std::string& dataDir, std::string& error);

// "level.level": 214 records of 16 bytes, a landscape of the tile codes 'A' to 'G'.
std::vector<unsigned char> buildFlybyMap();
