// A firework beside the timeline: six bursts of 150 glowing particles thrown out from random
// centres, each particle trailing a ribbon of its last 50 positions and falling under a
// growing drop. A burst waits a random delay, lives 120 updates and is dealt again. Drawn
// either in immediate mode (drawBursts) or through one streamed mesh per burst
// (fillBurstMesh); the frame routine runBurstFrame puts the sky behind them. The immediate
// path fades a head by (120 - g) / 120 and its ribbon by (120 - g^1.06) / 120; the mesh gives
// every vertex, the head's included, the ribbon's fade.
//
// Angles are indices 0..627 into burstSin / burstCos (0.01 radian a step). Ages and delays
// count updates, not milliseconds. Positions are in eye space in front of the camera.
#pragma once

#include <cstdint>

struct Model;

constexpr int BURST_COUNT = 6;
constexpr int BURST_PARTICLES = 150;
constexpr int BURST_TRAIL_POINTS = 50;
constexpr int BURST_ANGLE_STEPS = 628;
constexpr int BURST_LIFE = 120;                  // updates a burst stays active
constexpr int BURST_SLOTS_PER_PARTICLE = 306;    // vertex slots of one particle in the mesh
constexpr int BURST_MESH_TRIANGLES = BURST_PARTICLES * BURST_SLOTS_PER_PARTICLE / 3;  // 15300

extern float burstCentres[BURST_COUNT][3];
extern float burstAges[BURST_COUNT];
extern int burstDelays[BURST_COUNT];
extern int burstActive[BURST_COUNT];
extern int burstAngles[BURST_COUNT][BURST_PARTICLES][3];
extern float burstSpeedDivisors[BURST_COUNT][BURST_PARTICLES];  // 1.00 .. 1.29
extern float burstColours[BURST_COUNT][BURST_PARTICLES][4];
extern float burstTrails[BURST_COUNT][BURST_PARTICLES][BURST_TRAIL_POINTS][3];  // point 0 newest
extern float burstSin[BURST_ANGLE_STEPS];
extern float burstCos[BURST_ANGLE_STEPS];
extern int burstSeeded;
extern Model* burstModel;  // "particle.3dm", scaled by 0.2
extern Model* burstMesh;   // the streamed mesh of one burst
extern uint32_t burstProgram;  // "passthroughvertexshader2.vert" + "passthroughfragmentshader.frag"

// Input and output of rotateBurstPoint / rotateBurstPointB.
struct BurstRotation {
    int a, b, c;     // angle indices about x, y, z
    float x, y, z;   // the point
    float rx, ry, rz;  // the result
};
extern BurstRotation burstRotation;
extern float burstHeadingInput[2];  // dx, dy
extern float burstHeadingAngle;     // 0..6.28, counter-clockwise from +y

void initBursts();
void runBurstFrame();
void resetBurst(int b);
void updateBursts();
void drawBursts();
void timeBurstDraw();
void fillBurstMesh(Model* mesh);
void uploadBurstMesh(Model* mesh);
void fillBurstSinCos();
void rotateBurstPoint();
void rotateBurstPointB();
void burstHeading();
// a x b, computed in extended precision.
float mulFloat(float a, float b);
