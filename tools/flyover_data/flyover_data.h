// The flyover scene's data: a long valley landscape for a ship flying low at dawn.
//
// Units and axes:
// - The landscape is a grid of TERRAIN_COLUMNS x TERRAIN_ROWS points 20 world units apart; row i
//   runs along the flight (the ship crosses about 15 rows a second and sees rows 0..~1000),
//   column TERRAIN_CENTRE_COLUMN lies under the ship. A point's height is red / 256 x 75 + 23
//   and the scene draws the ground at height - 50 and the ship at height / 2 - 5, so the valley
//   floor under the ship stays at red <= TERRAIN_CENTRE_RED_LIMIT.
// - Models are written in file units, FILE_UNITS_PER_WORLD_UNIT per world unit (the engine
//   scales a .3dm by 0.05 on load), z up, the ship's nose along +y.
// - Pictures are RGBA8, bottom row first (the first row of a file is texture row v = 0).
#pragma once

#include "tools/common/model3dm_write.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int TERRAIN_COLUMNS = 256;
constexpr int TERRAIN_ROWS = 4096;
constexpr int TERRAIN_CENTRE_COLUMN = 128;
constexpr int TERRAIN_CENTRE_RED_LIMIT = 160;  // the floor the ship flies over
constexpr int TERRAIN_CORRIDOR_CELLS = 6;      // columns either side kept that low
constexpr float TERRAIN_HEIGHT_SCALE = 75.0f;
constexpr float TERRAIN_HEIGHT_BASE = 23.0f;
constexpr float FILE_UNITS_PER_WORLD_UNIT = 20.0f;

// The sun of the dawn sky (a unit direction in world space) and the colours the sky and the
// terrain shader's fog share at the horizon: shmappass2terrain.frag repeats these numbers.
constexpr float SUN_DIRECTION[3] = {0.9660f, 0.0872f, -0.2432f};
constexpr float HORIZON_AWAY[3] = {0.55f, 0.47f, 0.58f};  // opposite the sun
constexpr float HORIZON_SUN[3] = {1.00f, 0.70f, 0.45f};   // under the sun
constexpr float HORIZON_SUN_POWER = 3.0f;

// An RGBA8 picture, bottom row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

Picture makePicture(int width, int height);
void setPixel(Picture& picture, int x, int y, float r, float g, float b, float a);
// Writes data/<name> at 24 or 32 bits; false with `error` set when it fails.
bool writePicture(const std::string& dataDir, const char* name, const Picture& picture, int bitsPerPixel,
                  std::string& error);
bool writeMesh(const std::string& dataDir, const char* name, const Model3dmMesh& mesh, std::string& error);

// Red bytes of the height picture, row i at [i x TERRAIN_COLUMNS].
std::vector<uint8_t> makeTerrainHeights();
// "terrainh.tga" and the "terrain" set.
bool writeTerrainData(const std::string& dataDir, std::string& error);
// "sky1.tga" .. "sky6.tga".
bool writeSkyData(const std::string& dataDir, std::string& error);
// "ship2.3dm", "taila.3dm", "tailb.3dm", "tailc.3dm", "dustparticle.3dm".
bool writeFlyoverModels(const std::string& dataDir, std::string& error);
// The ship, exhaust, ribbon and dust pictures.
bool writeFlyoverPictures(const std::string& dataDir, std::string& error);
