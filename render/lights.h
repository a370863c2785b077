// The 14-light table every model is lit with: numbered presets (fixed values and draws from the
// runtime generator after a fixed seed, so a preset gives the same lights on every run), the
// game's fading cyan flash lights, and the upload into the fixed-function GL lights and into
// per-component float copies that the model shaders read as uniform arrays of 14 floats.
//
// Conventions: light numbers 0..13; positions x, y, z, w with w 0 directional and w 1
// positional, in the space of the modelview current at uploadLights (the uniform copies carry
// them untransformed); colours RGBA 0..1; flash times in clockNowMs milliseconds; orbit phases
// in radians.
//
// Uniform arrays: uploadLightSwitchUniforms and uploadLightUniforms write the table's copies
// into a program by its id (glProgramUniform, so the program need not be bound), at the
// locations kept for it by render/program_uniforms.h.
#pragma once

#include "render/program_uniforms.h"  // LIGHT_UNIFORM_ARRAY_COUNT

struct GLUquadric;

constexpr int LIGHT_COUNT = 14;

// Parallel arrays indexed by light number; zeroed at start (all lights off).
struct LightTable {
    float ambient[LIGHT_COUNT][4];
    float diffuse[LIGHT_COUNT][4];
    float specular[LIGHT_COUNT][4];
    float position[LIGHT_COUNT][4];
    float savedPosition[LIGHT_COUNT][4];   // kept by saveLightPositions
    float startPosition[LIGHT_COUNT][4];   // scatter positions of presets 5, 6 and 66
    float spotDirection[LIGHT_COUNT][3];
    float invRadius[LIGHT_COUNT];          // "lightsinvRadius"
    float mapSelect[LIGHT_COUNT];          // light-map selector k/256, "lightMapSelect"
    float orbitPhase[LIGHT_COUNT];         // radians
    float orbitSpeed[LIGHT_COUNT];         // phase step per orbit step
    float orbitOffset[LIGHT_COUNT][3];     // per-axis phase offsets
    unsigned char enabled[LIGHT_COUNT];    // 1 on, 0 off
    float enabledF[LIGHT_COUNT];           // "lightsEnabled", refreshed by uploadLights
    // Uniform copies, refreshed by uploadLights for the lights that are on.
    float ambR[LIGHT_COUNT], ambG[LIGHT_COUNT], ambB[LIGHT_COUNT];
    float diffR[LIGHT_COUNT], diffG[LIGHT_COUNT], diffB[LIGHT_COUNT];
    float specR[LIGHT_COUNT], specG[LIGHT_COUNT], specB[LIGHT_COUNT];
    float posX[LIGHT_COUNT], posY[LIGHT_COUNT], posZ[LIGHT_COUNT];
    unsigned char flashActive[LIGHT_COUNT];  // the slot holds a fading flash light
    double flashStartMs[LIGHT_COUNT];        // clockNowMs at the flash light's spawn
};

extern LightTable lightTable;
// Sphere quadric of drawLightMarkers (smooth normals, no texture coordinates); made once.
extern GLUquadric* lightQuadric;
extern float markerShininess;

// Presets by number: 1, 2, 3, 4, 5, 6, 10, 11 and 66; any other number leaves the table alone.
void applyLightPreset(int number);
void presetSingleWhiteLight();   // 1
void presetRandomOrbitLights();  // 2 (after its own extra seeding), start-up and game
void presetOrbitLightsA();       // 3
void presetOrbitLightsB();       // 4: preset 3 without the upload
void presetRandomLightsA();      // 5
void presetRandomLightsB();      // 6
void presetRandomLightsC();      // 66
void presetTwoLights();          // 10
void presetTopWhiteLight();      // 11

void setLight0Defaults();
void setLight0DefaultsOld();
void stepLightOrbits();
void setFixedLightLayout();

// Fixed-function lights (only the first GL_MAX_LIGHTS of them), the flash fade, then the
// uniform copies of every light that is on.
void uploadLights();
void fadeFlashLights();

// A cyan flash light for a game object given by its lower-left corner and height in level
// space, seen from the game camera (lower-left corner of the view). Takes the highest-numbered
// light that is not on and returns its number, or -1 (nothing changes) when all 14 are on.
int spawnFlashLightAt(float objectX, float objectY, float objectHeight, float cameraX, float cameraY);

// Start-up: the lens-glow particle system the light glows are drawn with.
void initLightGlowParticles();

// Uniform arrays of 14 floats. The switch set ("lightsEnabled", "lightsinvRadius",
// "lightMapSelect") is what every model draw uploads; uploadLightUniforms adds the twelve
// position and colour copies for the lit draws. Names a program lacks are skipped.
void uploadLightSwitchUniforms(unsigned program);
void uploadLightUniforms(unsigned program);

void drawLightMarkers();
void saveLightPositions();
void restoreLightPositions();
// point[0..2] = M x (x, y, z, 1), point[3] = 1; A reads m column-major, B row-major.
void transformPointByMatrixA(const float matrix[16], float point[4]);
void transformPointByMatrixB(const float matrix[16], float point[4]);
// Light `index`'s position becomes the column-major matrix times (x, y, z, 1), with w 0.
void transformLightPosition(const float matrix[16], int index);
float dot4(const float a[4], const float b[4]);
void matrixRowsDotPoint(float out[4], const float rows[16], const float point[4]);
