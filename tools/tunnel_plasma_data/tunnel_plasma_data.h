// The tunnel scene's and the plasma scene's data: a long organic tube seen from inside with a
// glowing panelled wall, a small chrome sphere, their texture sets, the sphere's colour and
// environment map, and the plasma's colour ramp and title.
//
// Units: sizes are world units as the scenes see them; a .3dm holds them times its
// FILE_UNITS_PER_WORLD_UNIT (the engine scales by 0.05 on load and the scene once more).
// Model axes: the tube runs along model +y (the scene turns it so that +y points into the
// screen) around the y axis; the sphere sits at the origin. Pictures: bottom row first, u to
// the right, v upward, power-of-two sizes.
//
// The environment lookup of "env2.frag" pictures the sphere's surroundings as this tube: it
// repeats the tube's radius, its TUNNEL_U_TILES and its texture repeat along the axis; keep
// them in step with the constants there.
#pragma once

#include "tools/common/canvas.h"
#include "tools/common/model3dm_write.h"

#include <string>

constexpr float TUNNEL_FILE_UNITS_PER_WORLD_UNIT = 10.0f;   // 1 / (0.05 x the scene's 2)
constexpr float SPHERE_FILE_UNITS_PER_WORLD_UNIT = 2000.0f; // 1 / (0.05 x the scene's 0.01)

// The tube: its mean radius, the breathing of the wall around it (never closer than
// TUNNEL_MIN_RADIUS to the axis), its extent along the axis (the eye is near 0), and its
// triangle grid.
constexpr float TUNNEL_RADIUS = 1.72f;
constexpr float TUNNEL_MIN_RADIUS = 1.5f;
constexpr float TUNNEL_START = -4.0f;
constexpr float TUNNEL_END = 112.0f;
constexpr int TUNNEL_SEGMENTS_AROUND = 64;
constexpr float TUNNEL_RING_SPACING = 0.75f;
// Texture coordinates: u repeats TUNNEL_U_TILES times around; the scene stretches v by 2.5 and
// so one repeat of the wall texture covers TUNNEL_TEXTURE_LENGTH units along the axis.
constexpr int TUNNEL_U_TILES = 4;
constexpr float TUNNEL_TEXTURE_LENGTH = 5.0f;
constexpr float TUNNEL_SCENE_V_STRETCH = 2.5f;

// The chrome sphere, 0.245 units in front of the eye.
constexpr float SPHERE_RADIUS = 0.04f;
constexpr int SPHERE_SLICES = 64;
constexpr int SPHERE_STACKS = 40;
constexpr int SPHERE_U_TILES = 2;  // the panel pattern repeats twice around

// Meshes in file units.
Model3dmMesh buildTunnelMesh(const std::string& objectName);
Model3dmMesh buildSphereMesh(const std::string& objectName);
// Radius of the tube wall at angle `around` (radians) and axis position `along` (world units).
float tunnelWallRadius(float around, float along);

// KEY.tga, KEY_normal.tga, KEY_chraber.tga and KEY_specular.tga of the tube wall.
bool writeTunnelTextureSet(const std::string& dataDir, const std::string& key, std::string& error);
// "xmix.tga" and the rest of the sphere's set KEY (normal, chraber, specular); KEY.tga is
// "xmix.tga" itself, so the key must be "xmix".
bool writeSphereTextureSet(const std::string& dataDir, const std::string& key, std::string& error);

// "plasma.tga" (a colour ramp along u) and "plasmalogo.tga" (the title over the plasma).
bool writePlasmaPictures(const std::string& dataDir, std::string& error);

// Writes `canvas` as a TGA file (32 bits when `withAlpha`, else 24), RLE-compressed.
bool writeCanvas(const std::string& path, const Canvas& canvas, bool withAlpha, uint32_t ditherSeed,
                 std::string& error);
