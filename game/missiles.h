// Homing missiles (weapon 3): a missile leaves the muzzle, locks on the nearest living walker or
// jumper, steers towards its centre with a bounded turn, and ends on a hit, after 10 s or when
// no walker or jumper is left; then it bursts into 50 smoke and spark particles. In flight it
// is a turned sprite with a smoothed ribbon trail. Level space as in game/boxes.h; velocities
// per 60 Hz frame; angle indices count 1/100 radian into the missile tables.
#pragma once

#include <cstdint>

constexpr int MISSILE_COUNT = 100;
constexpr int MISSILE_TRAIL_POINTS = 30;
constexpr int MISSILE_BURST_PARTICLES = 50;
constexpr int MISSILE_SPARK_COUNT = 1000;
constexpr int MISSILE_TABLE_SIZE = 628;
constexpr int MISSILE_LIFE_MS = 10000;
constexpr float MISSILE_MAX_SPEED = 20.0f;
constexpr float MISSILE_LAUNCH_SPEED = 25.0f;
constexpr float MISSILE_DAMAGE = 20.0f;
constexpr int MISSILE_BURST_TIME = 100;
constexpr int NO_TARGET = -1;

struct HomingMissile {
    uint8_t active[MISSILE_COUNT];
    float x[MISSILE_COUNT];
    float y[MISSILE_COUNT];
    float velocityX[MISSILE_COUNT];
    float velocityY[MISSILE_COUNT];
    int32_t target[MISSILE_COUNT];
    int32_t spawnMs[MISSILE_COUNT];
    uint8_t hit[MISSILE_COUNT];        // ended; the burst shows while set
    int32_t burstTimer[MISSILE_COUNT];
    int32_t trailLength[MISSILE_COUNT];
    float trailX[MISSILE_COUNT][MISSILE_TRAIL_POINTS];  // point 0 is the newest
    float trailY[MISSILE_COUNT][MISSILE_TRAIL_POINTS];
    uint8_t trailFlag[MISSILE_COUNT][MISSILE_TRAIL_POINTS];
    float burstOffsetX[MISSILE_COUNT][MISSILE_BURST_PARTICLES];
    float burstOffsetY[MISSILE_COUNT][MISSILE_BURST_PARTICLES];
    float burstSize[MISSILE_COUNT][MISSILE_BURST_PARTICLES];
    float burstVelocityX[MISSILE_COUNT][MISSILE_BURST_PARTICLES];
    float burstVelocityY[MISSILE_COUNT][MISSILE_BURST_PARTICLES];
    float burstGrowth[MISSILE_COUNT][MISSILE_BURST_PARTICLES];
    float burstKind[MISSILE_COUNT][MISSILE_BURST_PARTICLES];   // 0 smoke, 1 spark
    float burstRampSelect[MISSILE_COUNT][MISSILE_BURST_PARTICLES];
};

struct MissileSpark {
    int32_t active[MISSILE_SPARK_COUNT];
    float x[MISSILE_SPARK_COUNT];
    float y[MISSILE_SPARK_COUNT];
    float velocityX[MISSILE_SPARK_COUNT];
    float velocityY[MISSILE_SPARK_COUNT];
    double birthMs[MISSILE_SPARK_COUNT];
};

extern HomingMissile missiles;
extern MissileSpark missileSparks;
extern float missileSinTable[MISSILE_TABLE_SIZE];
extern float missileCosTable[MISSILE_TABLE_SIZE];
// Working values of missileHeading and rotateVector.
extern float headingDx, headingDy, heading;
extern float rotateInX, rotateInY, rotateInZ;
extern int rotateAngleA, rotateAngleB, rotateAngleC;
extern float rotateOutX, rotateOutY;


void buildMissileSinCosTable();
// Fires one missile; false (and nothing happens) when every slot is flying.
bool fireHomingMissile();
// The nearest living walker or jumper to (x, y) among entries 1..enemyCount, or NO_TARGET.
int nearestMissileTarget(float x, float y);
void updateHomingMissiles();
// Ends every missile without a burst and clears the line sparks (a restart starts with none).
void clearHomingMissiles();
void checkMissileHits(int m);
void drawHomingMissiles();
void missileHeading();
void drawMissileSprite(float x, float y, float angle);
void drawMissileTrail(int m);
void drawTrailQuad(const float a[2], const float b[2], const float c[2], const float d[2], float u, float du);
void rotateVector();
float segmentLength(float dx, float dy);
void spawnMissileSparks(float x0, float y0, float x1, float y1, int count);
void ageMissileSparks();
void drawMissileSparks();
