// The player's weapons: selection, the fire gate with its rates, laser streaks and bullets
// (shots) that fly horizontally and collide with the boxes and enemies, sparks thrown off by
// hits, and the muzzle flash with its light. Missiles (game/missiles.h) and the nuke
// (game/nuke.h) are started here. Level space as in game/boxes.h; speeds per 60 Hz frame,
// scaled by substepFactor; times are clockNowMs milliseconds.
#pragma once

#include "game/sparks.h"  // the hits' sparks

#include <cstdint>

constexpr int SHOT_COUNT = 2000;

constexpr int WEAPON_LASER = 1;
constexpr int WEAPON_TRIPLE = 2;
constexpr int WEAPON_MISSILE = 3;
constexpr int WEAPON_NUKE = 4;

constexpr float LASER_INTERVAL_MS = 50.0f;   // strictly more than this between two lasers
constexpr float BULLET_INTERVAL_MS = 40.0f;
constexpr float MISSILE_INTERVAL = 20.0f;    // substep time in 60 Hz frames
constexpr float LASER_LENGTH = 150.0f;
constexpr float BULLET_LENGTH = 10.0f;
constexpr float SHOT_END_LENGTH = 4.0f;      // a shot cut to this or less ends
constexpr float SHOT_HIT_DAMAGE = 10.0f;

constexpr int SHOT_FREE = 0;
constexpr int SHOT_ENDING = 1;   // removed at the next draw without being drawn
constexpr int SHOT_FLYING = 2;
constexpr int SHOT_LASER = 0;
constexpr int SHOT_BULLET = 1;

struct ShotPool {
    int32_t state[SHOT_COUNT];
    float x[SHOT_COUNT];        // left end of the segment
    float y[SHOT_COUNT];
    int32_t direction[SHOT_COUNT];  // 1 right, 0 left
    float length[SHOT_COUNT];
    float unit[SHOT_COUNT];     // the segment's height in the box test
    float vy[SHOT_COUNT];
    float speed[SHOT_COUNT];
    int32_t kind[SHOT_COUNT];
};

extern ShotPool shots;
extern float fireCooldown;   // missile delay; starts at 40
extern float lastLaserMs;
extern float lastBulletMs;
extern float laserSpeed;     // 3 x walkSpeed
extern int32_t muzzleFlashFrames;
extern int32_t muzzleFlashKind;  // 0 cyan ("wf1.tga"), 1 orange ("wf2.tga")
extern float muzzleFlashAlpha;
extern float muzzleFlashY;
extern int32_t muzzleFlashFacing;

// The muzzle height every weapon fires from.
float muzzleY();
// Once per substep after the player has moved: fire, select, move shots and missiles, nuke.
void updateWeapons();
void spawnLaserShot(float x, float y, int direction);
void spawnBulletShot(float x, float y, int direction, float slant);
void updateShots();
void drawShots();
// Every shot back to free (a restart leaves none of the old game flying).
void freeAllShots();
void setMuzzleFlash(int kind);
void drawMuzzleFlash();
// True when no level box overlaps the gun barrel at height y.
bool muzzleClearOfBoxes(float y);
