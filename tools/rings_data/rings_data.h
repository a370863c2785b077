// The spheres-and-rings scene's data: a glowing sphere inside four nested thin rings that
// tumble around it.
//
// Units: sizes are given in world units as the scene sees them; the files hold them times
// FILE_UNITS_PER_WORLD_UNIT, since the engine scales a .3dm by 0.05 on load and the scene by
// 0.5 more. Model axes: the rings lie in the x-z plane around the y axis (the scene turns them
// about x and z); texture coordinates run u along the ring (or sphere longitude) and v around
// the tube (or sphere latitude), each 0..1.
// The scene culls front faces in both of its passes, so every triangle is written twice, once
// in each winding, with the same outward normal: whichever copy faces away survives the cull.
#pragma once

#include "tools/common/canvas.h"
#include "tools/common/model3dm_write.h"

#include <string>

constexpr float FILE_UNITS_PER_WORLD_UNIT = 40.0f;  // 1 / (0.05 load scale x 0.5 scene scale)
constexpr int RING_COUNT = 4;
constexpr float RING_RADII[RING_COUNT] = {0.8f, 1.1f, 1.4f, 1.7f};
constexpr float RING_TUBE_RADIUS = 0.07f;
constexpr float SPHERE_RADIUS = 0.55f;
constexpr int RING_SEGMENTS = 128;  // around the ring
constexpr int RING_TUBE_SEGMENTS = 12;
constexpr int SPHERE_SLICES = 64;  // longitude
constexpr int SPHERE_STACKS = 32;  // latitude

// Meshes in file units, double-sided.
Model3dmMesh buildRingMesh(const std::string& objectName, float radius);
Model3dmMesh buildSphereMesh(const std::string& objectName);

// The four pictures of one texture set: KEY.tga, KEY_normal.tga, KEY_chraber.tga and
// KEY_specular.tga.
enum class RingMetal { STEEL, BRASS };

bool writeRingTextureSet(const std::string& dataDir, const std::string& key, RingMetal metal, int ringIndex,
                         std::string& error);
bool writeSphereTextureSet(const std::string& dataDir, const std::string& key, std::string& error);
