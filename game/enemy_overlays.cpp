// The enemies' 2D layer (see enemy_overlays.h). It also runs the per-frame state the layer
// owns: the hit timers count down here and the debris of dead enemies moves and fades here.
#include "game/enemy_overlays.h"

#include "game/draw_2d.h"
#include "game/enemies.h"
#include "game/game_state.h"  // gameCameraX, gameCameraY, frameStepFactor, debugOverlay, ...

#include <algorithm>
#include <cmath>

namespace {

constexpr float FRAME_MS = 16.666666666666668f;
constexpr float BAR_FADE_TIME = 100.0f;
constexpr float BAR_GAP = 10.0f;

// The whole steps c = 0, 1, ... below `count` whose dot at screen `start` + c can land on the
// screen of extent `limit`: [first, end).
void visibleSteps(float start, float count, float limit, int& first, int& end)
{
    first = 0;
    end = 0;
    if (!std::isfinite(start) || !(count > 0.0f))
        return;
    const double lo = std::max(0.0, std::floor(-static_cast<double>(DOT_SIZE) - 1.0 - start));
    const double hi = std::min(std::ceil(static_cast<double>(count)), std::ceil(limit + 1.0 - static_cast<double>(start)));
    if (hi <= lo)
        return;
    first = static_cast<int>(lo);
    end = static_cast<int>(hi);
}

void drawOutline(int e)
{
    const int type = enemyTable.type[e];
    if (type == ENEMY_WALKER)
        setDrawColor(1.0f, 0.0f, 1.0f, 1.0f);
    else if (type == ENEMY_JUMPER)
        setDrawColor(1.0f, 0.5f, 0.5f, 1.0f);
    else
        setDrawColor(0.5f, 1.0f, 0.5f, 1.0f);
    const float x = enemyTable.x[e] - gameCameraX;
    const float y = enemyTable.y[e] - gameCameraY;
    const float w = enemyTable.width[e];
    const float h = enemyTable.height[e];
    int first, end;
    visibleSteps(x, w, SCREEN_W, first, end);
    for (int c = first; c < end; ++c) {
        drawDot(x + static_cast<float>(c), y + 1.0f);
        drawDot(x + static_cast<float>(c), y + h + 1.0f);
    }
    visibleSteps(y + 1.0f, h, SCREEN_H, first, end);
    for (int r = first; r < end; ++r) {
        drawDot(x, y + static_cast<float>(r) + 1.0f);
        drawDot(x + w, y + static_cast<float>(r) + 1.0f);
    }
}

void drawDebris(int e)
{
    const float cx = enemyTable.x[e] + enemyTable.width[e] * 0.5f - gameCameraX;
    const float cy = enemyTable.y[e] + enemyTable.height[e] * 0.5f - gameCameraY;
    const bool orb = enemyTable.type[e] == ENEMY_ORB;
    const float f = frameStepFactor;
    for (int k = 0; k < DEBRIS_PER_ENEMY; ++k) {
        const int p = DEBRIS_PER_ENEMY * e + k;
        if (!(enemyDebris.life[p] > 0.0f) || orb)
            continue;
        drawExplosionSprite(cx + enemyDebris.offsetX[p], cy + enemyDebris.offsetY[p], enemyDebris.size[p] * 0.5f,
            enemyDebris.life[p] / 100.0f, enemyDebris.kind[p] != 0.0f, enemyDebris.rampSelect[p]);
        enemyDebris.offsetX[p] += enemyDebris.velocityX[p] * f;
        enemyDebris.offsetY[p] += enemyDebris.velocityY[p] * f;
        enemyDebris.life[p] -= 10.0f * f;
        if (enemyDebris.kind[p] == 0.0f) {
            const float size = enemyDebris.size[p] + enemyDebris.growth[p];
            enemyDebris.size[p] = size < 0.0f ? 0.0f : size;
            enemyDebris.growth[p] -= 10.0f * f;
        } else {
            enemyDebris.velocityY[p] -= 10.0f * f;
        }
    }
    enemyTable.maxHealth[e] -= 10.0f * f;
}

}  // namespace

void drawDotBar(float value, float x, float y, float fade)
{
    setDrawColor(1.0f, 1.0f, 1.0f, std::pow(std::max(fade, 0.0f), 1.2f));
    int first, end;
    visibleSteps(x, static_cast<float>(DOT_BAR_WIDTH), SCREEN_W, first, end);
    for (int c = first; c < end; ++c) {
        drawDot(x + static_cast<float>(c), y);
        drawDot(x + static_cast<float>(c), y + DOT_BAR_HEIGHT);
    }
    for (int r = 0; r < DOT_BAR_HEIGHT; ++r) {
        drawDot(x, y + static_cast<float>(r));
        drawDot(x + DOT_BAR_WIDTH, y + static_cast<float>(r));
    }
    visibleSteps(x, value * DOT_BAR_WIDTH / 100.0f, SCREEN_W, first, end);
    for (int c = first; c < end; ++c)
        for (int r = 0; r < DOT_BAR_HEIGHT; ++r)
            drawDot(x + static_cast<float>(c), y + static_cast<float>(r));
}

void drawEnemyOverlays()
{
    for (int e = 1; e <= enemyCount; ++e) {
        if (enemyTable.health[e] > 0.0f) {
            if (debugOverlay)
                drawOutline(e);
            if (enemyTable.hitTimer[e] > 0.0f) {
                enemyTable.hitTimer[e] -= FRAME_MS * substepFactor;
                const float fade = enemyTable.hitTimer[e] >= BAR_FADE_TIME ? 1.0f : enemyTable.hitTimer[e] / BAR_FADE_TIME;
                drawDotBar(enemyTable.health[e], enemyTable.x[e] - gameCameraX,
                    enemyTable.y[e] + enemyTable.height[e] - gameCameraY + BAR_GAP, fade);
            }
        } else if (enemyTable.maxHealth[e] > 0.0f) {
            drawDebris(e);
        }
    }
}
