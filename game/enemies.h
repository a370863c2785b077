// The enemy table and everything that moves the enemies: the reset, the jump decisions, the
// walking, jumping and path motion, the separation of overlapping enemies, and their collision
// with the boxes. Level space as in game/boxes.h; speeds per 60 Hz frame, scaled by
// substepFactor. Entries 1..enemyCount are the level's enemies; slot 0 is never one (health 0),
// and slots above enemyCount never act.
#pragma once

#include <cstdint>

enum EnemyType : int32_t {
    ENEMY_WALKER = 0,
    ENEMY_JUMPER = 1,
    ENEMY_FLYER = 2,
    ENEMY_ORB = 3,
};
constexpr int ENEMY_TYPE_COUNT = 4;
extern const char* const enemyTypeNames[ENEMY_TYPE_COUNT];

struct EnemyDefaults {
    float width, height, speed, health, maxHealth;
};
extern const EnemyDefaults enemyDefaults[ENEMY_TYPE_COUNT];

constexpr int ENEMY_CAPACITY = 100;
constexpr int MAX_LEVEL_ENEMIES = ENEMY_CAPACITY - 1;
constexpr int DEBRIS_PER_ENEMY = 350;
// Health of an orb the player has collected.
constexpr float ORB_COLLECTED_HEALTH = 1000.0f;
// Flyer path legs: right, up, left, down, back to the start.
constexpr int PATH_STATE_COUNT = 5;
constexpr float ENEMY_JUMP_SPEED = 30.769232f;

// Structure of arrays; the stored fields in the level file's record order, then scoreValue.
struct EnemyTable {
    int32_t type[ENEMY_CAPACITY];
    float x[ENEMY_CAPACITY];
    float y[ENEMY_CAPACITY];
    float width[ENEMY_CAPACITY];
    float height[ENEMY_CAPACITY];
    int32_t reserved1[ENEMY_CAPACITY];
    uint8_t reserved2[ENEMY_CAPACITY];
    float speed[ENEMY_CAPACITY];
    float jumpT[ENEMY_CAPACITY];
    float jumpT0[ENEMY_CAPACITY];
    float jumpY0[ENEMY_CAPACITY];
    float jumpV0[ENEMY_CAPACITY];
    uint8_t airborne[ENEMY_CAPACITY];
    uint8_t inAir[ENEMY_CAPACITY];
    uint8_t jumping[ENEMY_CAPACITY];
    int32_t boxUnder[ENEMY_CAPACITY];
    int32_t direction[ENEMY_CAPACITY];   // 1 right, 0 left
    float health[ENEMY_CAPACITY];
    float hitTimer[ENEMY_CAPACITY];
    float knockbackVx[ENEMY_CAPACITY];
    float maxHealth[ENEMY_CAPACITY];     // after death: the debris animation's remaining time
    int32_t jumpRequest[ENEMY_CAPACITY];
    uint8_t reserved3[ENEMY_CAPACITY];
    float animPhase[ENEMY_CAPACITY];
    float pathStartX[ENEMY_CAPACITY];
    float pathStartY[ENEMY_CAPACITY];
    float pathRangeX[ENEMY_CAPACITY];
    float pathRangeY[ENEMY_CAPACITY];
    int32_t reserved4[ENEMY_CAPACITY];
    int32_t pathState[ENEMY_CAPACITY];
    float pathSpeed[ENEMY_CAPACITY];
    float scoreValue[ENEMY_CAPACITY];    // not stored in level files
};

// Particle k of enemy i at slot DEBRIS_PER_ENEMY x i + k.
constexpr int DEBRIS_SLOTS = ENEMY_CAPACITY * DEBRIS_PER_ENEMY;
struct EnemyDebris {
    float life[DEBRIS_SLOTS];
    float offsetX[DEBRIS_SLOTS];
    float offsetY[DEBRIS_SLOTS];
    float size[DEBRIS_SLOTS];
    float velocityX[DEBRIS_SLOTS];
    float velocityY[DEBRIS_SLOTS];
    float growth[DEBRIS_SLOTS];
    float kind[DEBRIS_SLOTS];        // 0 smoke, 1 spark
    float rampSelect[DEBRIS_SLOTS];
};

extern EnemyTable enemyTable;
extern EnemyDebris enemyDebris;
extern int enemyCount;
extern int32_t livingTargetCount;
// The enemy updates skip the pairs that cannot overlap (enemy and enemy in the separation,
// enemy and box everywhere); cleared, they visit every pair as written, as the reference for
// tests and benchmarks (the results are the same).
extern bool separationSkipsPairs;

// True when enemies a and b strictly overlap.
bool enemiesOverlap(int a, int b);

// Revives entries 1..enemyCount, refills their debris (seed 2071) and builds the orb tables.
void resetEnemies();
// Once per substep, in this order.
void collideEnemiesWithBoxes();
void decideEnemyJumps();
void updateEnemyAI();

// Strict-overlap probes over boxes 0..boxCount: enemy i's own rectangle, and the strips beside
// box b's left and right edges that the edge test of updateEnemyAI searches.
bool enemyOverlapsAnyBox(int i);
bool boxBesideLeft(int b, int i);
bool boxBesideRight(int b, int i);
