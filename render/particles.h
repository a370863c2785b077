// Billboard particle systems: clouds of camera-facing textured quads, one texture set and one
// GLSL program ("particles.vert", "particles.frag") for all particles of a system.
//
// Conventions: positions in the units of the modelview the draws set up; rotation angles in
// radians; colours RGBA (may exceed 1); `particleProjection` in OpenGL's column-major order.
// Each particle is one immediate-mode quad, the unit square around the origin at z 0, which
// the vertex shader places from the uniforms "CameraRight", "CameraUp", "particleCenter",
// "BillboardSize" and "color" (sampler "colorMap" on unit 0).
//
// Systems are made once and live for the whole run; `positions` is meaningful after the first
// rotateParticles, `viewPositions` and `order` after a sorted draw. The draws leave the
// particle program bound and depth writes on.
#pragma once

#include <cstdint>

constexpr int PARTICLE_NAME_BYTES = 256;

struct ParticleSystem {
    int textureSet;                  // index in textureSets; its base texture is drawn
    char name[PARTICLE_NAME_BYTES];  // room for a name; nothing writes or reads it
    int count;
    float (*basePositions)[3];  // before rotation
    float (*positions)[3];      // rotated; these are drawn
    float (*colours)[4];
    float* sizes;
    float (*viewPositions)[3];  // sort keys of the last sorted draw
    int* order;                 // drawing order of the last sorted draw
};

// Uniform locations of a particle program (-1 for a name the program lacks).
struct ParticleLocations {
    int cameraRightLoc;     // "CameraRight"
    int cameraUpLoc;        // "CameraUp"
    int particleCenterLoc;  // "particleCenter"
    int billboardSizeLoc;   // "BillboardSize"
    int colorLoc;           // "color"
    int globalTimeLoc;      // "iGlobalTime"
    int mouseLoc;           // "iMouse"
    int colorMapLoc;        // "colorMap"
};

// Sines and cosines of the angles of the last rotation.
struct ParticleRotation {
    float sinX, sinY, sinZ;
    float cosX, cosY, cosZ;
};

// Filled by the radial-blur scene's init (or initPlainParticles); the dust draws use it too.
extern uint32_t particleProgram;
extern ParticleLocations particleLocations;
// A second load of the same program for the lens glow; nothing reads the locations.
extern uint32_t burstLensProgram;
extern ParticleLocations burstLensLocations;
extern ParticleRotation particleRotation;
extern float particleProjection[16];

extern ParticleSystem* plainParticles;
extern ParticleSystem* additiveParticles;
extern ParticleSystem* burstLensPair;
extern ParticleSystem* burstLens;

// The eight locations of `program` (looked up by name).
ParticleLocations fetchParticleLocations(uint32_t program);

// A cloud of `count` particles filling a cube of edge `size` around the origin in steps of
// 0.01 (four random draws per particle: x, y, z, colour channel). A size below 0.01 puts every
// particle at the centre (the draws still happen). A count of 0 or less, or memory running
// out, gives a system of 0 particles.
ParticleSystem* createParticleSystem(const char* textureSetName, int count, float size);
// Current positions = base positions rotated about x, then y, then z.
void rotateParticles(ParticleSystem* system, float ax, float ay, float az);
void setParticleRotation(float ax, float ay, float az);
void rotateParticle(ParticleSystem* system, int index);

// Sets mainCamera to look from (0, 0, 10) down -z, applies it to the current matrix, sorts the
// particles from back to front and draws them with depth writes off.
void drawParticlesSorted(ParticleSystem* system);
// The same draw in index order, under the current matrix, without sorting.
void drawParticles(ParticleSystem* system);
// The order drawParticlesSorted produces for these keys (the third view component), by its
// exchange sort: non-increasing keys, equal keys swapped as they are met.
void sortParticleOrder(const float (*viewPositions)[3], int* order, int count);

ParticleSystem* createBurstLens(const char* textureSetName, int count);
ParticleSystem* createBurstLensPair(const char* textureSetName, int count);
void initBurstLens();
void initBurstLensPair();
void initPlainParticles();
void initAdditiveParticles();
void drawPlainParticles();
void drawAdditiveParticles();
// One glow sprite per light at the first `count` lights of lightTable.
void drawLightGlows(int count);
void fillGlowsFromLights(int flag);
void drawGlowPassStub();

// out[i] = m[4i] v[0] + m[4i+1] v[1] + m[4i+2] v[2] + m[4i+3] v[3].
void multiplyMatVec4(float out[4], const float m[16], const float v[4]);
