// The game's background props: a few static meshes (hills, boulders, ruined columns) and the
// four pictures of each texture set they name.
//
// Mesh space is the engine's model convention: z up, the front facing -y, file units (the
// engine scales by 0.05 on load and the game by 1.1 more). The game places the group 4 units
// behind its focal plane with the ground 5 units below the view centre, so everything stands on
// z = 0 and spreads over x = -210..210, with larger y further back.
#pragma once

#include "tools/common/model3dm_write.h"

#include <string>
#include <vector>

// The scene's meshes in draw order, back to front; their object names pick the sets "hill",
// "rock" and "pillar".
std::vector<Model3dmMesh> buildBackgroundProps();

// KEY.tga, KEY_normal.tga, KEY_chraber.tga and KEY_specular.tga of the three sets into dataDir.
bool writePropTextures(const std::string& dataDir, std::string& error);
