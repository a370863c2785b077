// The flyover scene: a ship low over the scrolling landscape (scenes/flyover_terrain.h) under
// a dawn sky box, trailing two glowing ribbons and stirring up billboard dust, seen from a
// camera on seven cubic Bezier segments. Both the ship and the landscape are shadow-mapped.
//
// Units: the scroll in world units (20 per landscape row), moving terrainGrid /
// terrainScrollDivisor per 60 Hz frame; tween speeds per 60 Hz frame; dust life in frames of
// 100 at birth losing 3 per frame; angles in degrees for the GL transforms.
// World space: the ship sits at the origin at height shipY and flies towards +z; the ground
// under it is at height - 50.
#pragma once

#include <cstdint>

struct Model;
struct ParticleSystem;

constexpr int FLYOVER_CAMERA_SEGMENTS = 7;
constexpr int BEZIER_CONTROL_POINTS = 4;
constexpr int DUST_PARTICLE_COUNT = 1100;
constexpr int DUST_TEXTURE_COUNT = 4;
constexpr float DUST_SYSTEM_SIZE = 40.0f;
constexpr int DUST_SHADOW_RANDOM_ABOVE = 70;  // dust with dustRandom above this casts shadows

extern const float bcPos[FLYOVER_CAMERA_SEGMENTS][BEZIER_CONTROL_POINTS][3];
extern const float bcView[FLYOVER_CAMERA_SEGMENTS][BEZIER_CONTROL_POINTS][3];

extern Model* shipModel;
extern Model* dustModel;
extern uint32_t terrainProgram;
extern uint32_t dustShadowProgram;

extern ParticleSystem* dustParticles;
extern uint32_t dustTextures[DUST_TEXTURE_COUNT];
extern uint32_t dustTextureIds[DUST_PARTICLE_COUNT];
extern float dustVelocity[DUST_PARTICLE_COUNT][3];
extern float dustLife[DUST_PARTICLE_COUNT];
extern float dustAlphaFactor[DUST_PARTICLE_COUNT];
extern int dustRandom[DUST_PARTICLE_COUNT];

extern int flyoverRow;
extern float flyoverOffset;
extern int dustPrevRow;
extern float dustPrevOffset;
extern float flyoverCameraSegment;  // the timeline's camera segment, whole part the index
extern int flyoverSegmentIndex;
extern float flyoverSegmentStartMs;

extern float recordedPos[BEZIER_CONTROL_POINTS][3];
extern float recordedView[BEZIER_CONTROL_POINTS][3];
extern unsigned char pathPlayback;

// The camera's easing along a segment: the cubic Bezier with control values 0, 0.15, 0.85, 1.
float flyoverEase(float t);
// The cubic Bezier of four control points at parameter e.
void bezierPoint(const float points[BEZIER_CONTROL_POINTS][3], float e, float out[3]);
// Sets mainCamera's eye and centre from the segment flyoverCameraSegment is in.
void updateFlyoverCamera();
// World height of the ship, and of the ground under it (where the dust rises), at a scroll
// position: both follow the centre column between rows row + 128 and row + 129.
float flyoverShipHeight(int row, float offset);
float flyoverGroundHeight(int row, float offset);

// The dust's shadow stand-ins as one model (see drawFlyoverScene): made from dustModel, filled
// with one transformed copy of it per live puff whose dustRandom is above
// DUST_SHADOW_RANDOM_ABOVE; returns the number of puffs that cast a shadow.
extern Model* dustShadowBatch;
void makeDustShadowBatch();
int fillDustShadowBatch();

void initDustParticles();
void updateDustParticles();
void drawDustParticles(ParticleSystem* system);
void drawDustParticlesTinted(ParticleSystem* system);
void recordCameraPath();
