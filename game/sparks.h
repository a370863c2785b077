// Sparks thrown off by the weapons' hits and the missiles: short-lived points that fly, fall
// and fade out. Level space as in game/boxes.h; speeds per 60 Hz frame, scaled by
// substepFactor; times are clockNowMs milliseconds.
#pragma once

#include <cstdint>

constexpr int SPARK_COUNT = 500;
constexpr float SPARK_LIFE_MS = 500.0f;

struct SparkPool {
    int32_t active[SPARK_COUNT];
    float x[SPARK_COUNT];
    float y[SPARK_COUNT];
    float vx[SPARK_COUNT];
    float vy[SPARK_COUNT];
    int32_t kind[SPARK_COUNT];  // 0 and 2 cyan, 1 orange
    double spawnMs[SPARK_COUNT];
};

extern SparkPool sparks;

// Kind 0 (a laser's hit) throws its sparks 15 % of the time; every call draws once for that
// chance and twice per spark.
void spawnSparks(float x, float y, int count, int kind);
void updateSparks();
void drawSparks();
// All spark slots inactive (the restart).
void deactivateAllSparks();
