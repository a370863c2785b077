#include "game/sparks.h"

#include "core/clock.h"
#include "game/draw_2d.h"     // setDrawColor, drawRotatedQuad, sparkTexture
#include "game/game_state.h"  // substepFactor, gameCameraX, gameCameraY
#include "platform/crt_random.h"

SparkPool sparks = {};

namespace {

constexpr float SPARK_GRAVITY = 25.0f;
constexpr float SPARK_MAX_FALL = -200.0f;
constexpr float SPARK_SIZE = 2.5f;

}  // namespace

void spawnSparks(float x, float y, int count, int kind)
{
    const int chance = crtRand();
    if (kind == 0 && chance % 100 < 85)
        return;
    for (int n = 0; n < count; ++n) {
        int slot = -1;
        for (int i = 0; i < SPARK_COUNT; ++i) {
            if (!sparks.active[i]) {
                slot = i;
                break;
            }
        }
        if (slot < 0)
            continue;
        sparks.x[slot] = x;
        sparks.y[slot] = y;
        sparks.vx[slot] = 10.0f - static_cast<float>(crtRand() % 200) / 10.0f;
        sparks.vy[slot] = 10.0f - static_cast<float>(crtRand() % 200) / 10.0f;
        sparks.active[slot] = 1;
        sparks.kind[slot] = kind;
        sparks.spawnMs[slot] = clockNowMs();
    }
}

void updateSparks()
{
    const double now = clockNowMs();
    for (int i = 0; i < SPARK_COUNT; ++i) {
        if (!sparks.active[i])
            continue;
        sparks.x[i] += sparks.vx[i] * substepFactor;
        sparks.y[i] += sparks.vy[i] * substepFactor;
        const float vy = sparks.vy[i] - SPARK_GRAVITY * substepFactor;
        sparks.vy[i] = vy < SPARK_MAX_FALL ? SPARK_MAX_FALL : vy;
        if (now - sparks.spawnMs[i] > SPARK_LIFE_MS)
            sparks.active[i] = 0;
    }
}

void drawSparks()
{
    for (int i = 0; i < SPARK_COUNT; ++i) {
        if (!sparks.active[i])
            continue;
        float alpha = 0.0f;
        tween(sparks.spawnMs[i], 0.0, 1.0, TWEEN_PING_PONG, 0.06, &alpha);
        if (sparks.kind[i] == 1)
            setDrawColor(1.0f, 0.6f, 0.0f, alpha);
        else
            setDrawColor(0.0f, 1.0f, 0.9f, alpha);
        const float x = sparks.x[i] - gameCameraX;
        const float y = sparks.y[i] - gameCameraY;
        drawRotatedQuad(x - SPARK_SIZE, y - SPARK_SIZE, x + SPARK_SIZE, y + SPARK_SIZE, 0.0f, sparkTexture);
    }
}

void deactivateAllSparks()
{
    for (int i = 0; i < SPARK_COUNT; ++i)
        sparks.active[i] = 0;
}
