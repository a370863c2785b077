// The generated levels as plain descriptions: the generator writes them into level files and the
// tests read the files back through the game's reader and compare them with these.
//
// Level space: x to the right over 0..3840, y upward over 0..10800, every box and enemy by its
// lower-left corner. Box 1 of every level is the ground strip the game rebuilds at each load
// (0, 20, 3840 x 10); the player starts at x 130 and drops onto whatever lies under y 160.
#pragma once

#include <string>
#include <vector>

struct LayoutBox {
    float x, y, width, height;
    int type;    // 0 standard, 1 lift, 2..5 slopes, 6 heightmap floor, 7 heightmap ceiling
    int meshId;  // tile model, -1 for none
    float liftRangeX = 0.0f, liftRangeY = 0.0f, liftSpeed = 0.0f;
};

struct LayoutEnemy {
    int type;  // 0 walker, 1 jumper, 2 flyer, 3 orb
    float x, y;
    int direction = 1;
    float pathRangeX = 0.0f, pathRangeY = 0.0f, speed = 5.0f;
};

struct LevelLayout {
    std::vector<LayoutBox> boxes;      // table indices 1, 2, ...
    std::vector<LayoutEnemy> enemies;  // table indices 1, 2, ...
};

constexpr int LAYOUT_LEVEL_WIDTH = 3840;
constexpr int LAYOUT_BOX_LIMIT = 149;
constexpr int LAYOUT_ENEMY_LIMIT = 99;
constexpr int LAYOUT_PALETTE_LIMIT = 149;

// Enemy sizes by type, as the editor places them.
float layoutEnemyWidth(int type);
float layoutEnemyHeight(int type);

// "level1.level": the playable level, climbing over several screens.
LevelLayout buildFirstLevel();
// "crowded.level": 149 boxes and 99 walkers, for timing the world step.
LevelLayout buildCrowdedLevel();
// "palette.level": one entry per tile with the box kind it is shaped for, plus a lift.
std::vector<LayoutBox> buildPalette();

// Little-endian file images in the level and palette formats, written field by field.
std::vector<unsigned char> encodeLayoutLevel(const LevelLayout& level);
std::vector<unsigned char> encodeLayoutPalette(const std::vector<LayoutBox>& entries);
// Writes path.tmp, checks every write, renames; false with a message on stderr on failure.
bool writeLayoutFile(const std::string& path, const std::vector<unsigned char>& bytes);
