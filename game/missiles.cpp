// Homing missiles (see missiles.h). The burst particles are drawn when a missile is fired, in a
// fixed order of crtRand draws that the rest of the game continues.
#include "game/missiles.h"

#include "core/clock.h"
#include "core/sound.h"
#include "game/draw_2d.h"
#include "game/enemies.h"
#include "game/flash_light.h"
#include "game/game_state.h"  // gameCameraX, gameCameraY, substepFactor, playerFacing, ...
#include "game/sparks.h"       // spawnSparks
#include "platform/crt_random.h"

#include <cmath>

HomingMissile missiles = {};
MissileSpark missileSparks = {};
float missileSinTable[MISSILE_TABLE_SIZE] = {};
float missileCosTable[MISSILE_TABLE_SIZE] = {};
float headingDx = 0, headingDy = 0, heading = 0;
float rotateInX = 0, rotateInY = 0, rotateInZ = 0;
int rotateAngleA = 0, rotateAngleB = 0, rotateAngleC = 0;
float rotateOutX = 0, rotateOutY = 0;

namespace {

constexpr int SOUND_EXPLOSION = 1;
constexpr int SOUND_LAUNCH = 2;
constexpr float BEST_DISTANCE_START = 999999.0f;
constexpr float STEER_DEAD_ZONE = 10.0f;
constexpr float STEER_DECAY = 1.1f;
constexpr float MISSILE_KNOCKBACK = 7.5f;
constexpr float MISSILE_HIT_TIMER = 300.0f;
constexpr float MISSILE_SPRITE_HALF = 16.0f;
constexpr float TRAIL_HALF_WIDTH = 10.0f;
constexpr int TRAIL_POLYLINE = 14;
constexpr float BURST_COLOUR_INDEX = 0.01f;
constexpr float RADIANS_TO_DEGREES = 57.295776f;
constexpr float LINE_SPARK_LIFE_MS = 200.0f;

bool isMissileTarget(int e)
{
    const int type = enemyTable.type[e];
    return enemyTable.health[e] > 0.0f && type != ENEMY_FLYER && type != ENEMY_ORB;
}

int tableIndex(int n)
{
    n %= MISSILE_TABLE_SIZE;
    return n < 0 ? n + MISSILE_TABLE_SIZE : n;
}

// One axis of the steering: towards the target beyond the dead zone, else slowing down.
float steer(float velocity, float d)
{
    if (d > STEER_DEAD_ZONE)
        return velocity - static_cast<float>(std::pow(static_cast<double>(d / 100.0f * 0.05f), static_cast<double>(1.2f)));
    if (d < -STEER_DEAD_ZONE)
        return velocity + static_cast<float>(std::pow(static_cast<double>(-d / 100.0f * 0.05f), static_cast<double>(1.2f)));
    return velocity / STEER_DECAY;
}

float clampSpeed(float v)
{
    return v < -MISSILE_MAX_SPEED ? -MISSILE_MAX_SPEED : (v > MISSILE_MAX_SPEED ? MISSILE_MAX_SPEED : v);
}

void fillBurst(int m)
{
    for (int p = 0; p < MISSILE_BURST_PARTICLES; ++p) {
        const int r = crtRand() % 100;
        if (r > 10) {
            missiles.burstKind[m][p] = 0;
            missiles.burstVelocityX[m][p] = static_cast<float>(20 - crtRand() % 40);
            missiles.burstVelocityY[m][p] = static_cast<float>(20 - crtRand() % 40);
            missiles.burstGrowth[m][p] = static_cast<float>(crtRand() % 10 + 10);
            missiles.burstSize[m][p] = static_cast<float>(crtRand() % 16 + 10);
            missiles.burstOffsetX[m][p] = static_cast<float>(10 - crtRand() % 20);
            missiles.burstOffsetY[m][p] = static_cast<float>(10 - crtRand() % 20);
            crtRand();  // drawn and not used
        } else {
            missiles.burstKind[m][p] = 1;
            missiles.burstVelocityX[m][p] = static_cast<float>(40 - crtRand() % 80);
            missiles.burstVelocityY[m][p] = static_cast<float>(40 - crtRand() % 80);
            missiles.burstGrowth[m][p] = 0;
            missiles.burstSize[m][p] = static_cast<float>(crtRand() % 10 + 4);
            missiles.burstOffsetX[m][p] = static_cast<float>(10 - crtRand() % 20);
            missiles.burstOffsetY[m][p] = static_cast<float>(10 - crtRand() % 20);
        }
        missiles.burstRampSelect[m][p] = static_cast<float>(crtRand() % 100) / 100.0f;
    }
}

void drawBursts()
{
    for (int m = 0; m < MISSILE_COUNT; ++m) {
        if (missiles.burstTimer[m] <= 0 || !missiles.hit[m])
            continue;
        for (int p = 0; p < MISSILE_BURST_PARTICLES; ++p) {
            drawExplosionSprite(missiles.x[m] + missiles.burstOffsetX[m][p] - gameCameraX,
                missiles.y[m] + missiles.burstOffsetY[m][p] - gameCameraY, missiles.burstSize[m][p] * 0.5f,
                BURST_COLOUR_INDEX, missiles.burstKind[m][p] != 0.0f, missiles.burstRampSelect[m][p]);
            missiles.burstOffsetX[m][p] += missiles.burstVelocityX[m][p] * substepFactor;
            missiles.burstOffsetY[m][p] += missiles.burstVelocityY[m][p] * substepFactor;
            if (missiles.burstKind[m][p] == 0.0f) {
                const float size = missiles.burstSize[m][p] + missiles.burstGrowth[m][p];
                missiles.burstSize[m][p] = size < 0.0f ? 0.0f : size;
                missiles.burstGrowth[m][p] -= 10.0f * substepFactor;
            } else {
                missiles.burstVelocityY[m][p] -= 10.0f * substepFactor;
            }
        }
        missiles.burstTimer[m] = static_cast<int32_t>(static_cast<float>(missiles.burstTimer[m]) - 10.0f * substepFactor);
        if (missiles.burstTimer[m] < 0)
            missiles.hit[m] = 0;
    }
}

// Angle index (1/100 radian) of the ribbon's side at the direction (dx, dy).
int sideAngleIndex(float dx, float dy)
{
    headingDx = dx;
    headingDy = dy;
    missileHeading();
    const float scaled = (heading + 1.57f) * 100.0f;
    if (!std::isfinite(scaled))
        return 0;
    return tableIndex(static_cast<int>(scaled));
}

// (0, side, 0) turned about z by angle index c.
void sideOffset(float side, int c, float out[2])
{
    rotateInX = 0;
    rotateInY = side;
    rotateInZ = 0;
    rotateAngleA = 0;
    rotateAngleB = 0;
    rotateAngleC = c;
    rotateVector();
    out[0] = rotateOutX;
    out[1] = rotateOutY;
}

}  // namespace

void clearHomingMissiles()
{
    for (int m = 0; m < MISSILE_COUNT; ++m) {
        missiles.active[m] = 0;
        missiles.hit[m] = 0;
        missiles.burstTimer[m] = 0;
    }
    for (int s = 0; s < MISSILE_SPARK_COUNT; ++s)
        missileSparks.active[s] = 0;
}

void buildMissileSinCosTable()
{
    for (int n = 0; n < MISSILE_TABLE_SIZE; ++n) {
        missileSinTable[n] = static_cast<float>(std::sin(n / 100.0));
        missileCosTable[n] = static_cast<float>(std::cos(n / 100.0));
    }
}

int nearestMissileTarget(float x, float y)
{
    int best = NO_TARGET;
    float bestDistance = BEST_DISTANCE_START;
    for (int e = 1; e <= enemyCount; ++e) {
        if (!isMissileTarget(e))
            continue;
        const float dx = x - enemyTable.x[e];
        const float dy = y - enemyTable.y[e];
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d < bestDistance) {
            bestDistance = d;
            best = e;
        }
    }
    return best;
}

bool fireHomingMissile()
{
    int m = -1;
    for (int i = 0; i < MISSILE_COUNT; ++i) {
        if (missiles.active[i] != 1) {
            m = i;
            break;
        }
    }
    if (m < 0)
        return false;
    playSound(SOUND_LAUNCH);
    missiles.active[m] = 1;
    if (playerFacing == FACING_LEFT) {
        missiles.x[m] = playerX - 20.0f;
        missiles.velocityX[m] = -MISSILE_LAUNCH_SPEED;
    } else {
        missiles.x[m] = playerX + playerWidth + 20.0f;
        missiles.velocityX[m] = MISSILE_LAUNCH_SPEED;
    }
    missiles.y[m] = playerY + (450.0f - (playerY + playerHeight / 2.0f - gameCameraY)) * 20.0f / 449.99997f + 105.0f
        - 55.0f * crouchBlend + 20.0f;
    missiles.velocityY[m] = 0;
    missiles.spawnMs[m] = clockNowMs();
    missiles.target[m] = nearestMissileTarget(playerX, playerY);
    missiles.hit[m] = 0;
    missiles.burstTimer[m] = MISSILE_BURST_TIME;
    fillBurst(m);
    for (int t = 0; t < MISSILE_TRAIL_POINTS; ++t) {
        missiles.trailX[m][t] = missiles.x[m];
        missiles.trailY[m][t] = missiles.y[m];
        missiles.trailFlag[m][t] = 0;
    }
    missiles.trailLength[m] = 0;
    return true;
}

void checkMissileHits(int m)
{
    const float x = missiles.x[m];
    const float y = missiles.y[m];
    for (int e = 1; e <= enemyCount; ++e) {
        if (!isMissileTarget(e))
            continue;
        const bool overlaps = x + 2.0f > enemyTable.x[e] && enemyTable.x[e] + enemyTable.width[e] > x
            && y + 2.0f > enemyTable.y[e] && enemyTable.y[e] + enemyTable.height[e] > y;
        if (!overlaps)
            continue;
        missiles.active[m] = 0;
        missiles.hit[m] = 1;
        spawnSparks(x, y, 5, 2);
        enemyTable.knockbackVx[e] = x < playerX + playerWidth / 2.0f ? -MISSILE_KNOCKBACK : MISSILE_KNOCKBACK;
        enemyTable.health[e] -= MISSILE_DAMAGE;
        enemyTable.hitTimer[e] = MISSILE_HIT_TIMER;
        if (enemyTable.health[e] <= 0.0f) {
            playSound(SOUND_EXPLOSION);
            spawnFlashLight(e);
            playerScore = static_cast<int32_t>(static_cast<float>(playerScore) + enemyTable.scoreValue[e]);
        }
    }
}

void updateHomingMissiles()
{
    const int now = clockNowMs();
    for (int m = 0; m < MISSILE_COUNT; ++m) {
        if (!missiles.active[m])
            continue;
        checkMissileHits(m);
        if (!missiles.active[m])
            continue;
        const int target = missiles.target[m];
        // A missile without a target flies straight on until the recount below ends it.
        if (target != NO_TARGET) {
            const float tx = enemyTable.x[target] + enemyTable.width[target] / 2.0f;
            const float ty = enemyTable.y[target] + enemyTable.height[target] / 2.0f;
            missiles.velocityX[m] = steer(missiles.velocityX[m], missiles.x[m] - tx);
            missiles.velocityY[m] = steer(missiles.velocityY[m], missiles.y[m] - ty);
        }
        missiles.velocityX[m] = clampSpeed(missiles.velocityX[m]);
        missiles.velocityY[m] = clampSpeed(missiles.velocityY[m]);
        missiles.x[m] += missiles.velocityX[m] * substepFactor;
        missiles.y[m] += missiles.velocityY[m] * substepFactor;
        if (now - missiles.spawnMs[m] > MISSILE_LIFE_MS) {
            missiles.active[m] = 0;
            missiles.hit[m] = 1;
        }
        if (target == NO_TARGET || enemyTable.health[target] <= 0.0f)
            missiles.target[m] = nearestMissileTarget(missiles.x[m], missiles.y[m]);
    }
    ageMissileSparks();
    int living = 0;
    for (int e = 1; e <= enemyCount; ++e)
        if (isMissileTarget(e))
            ++living;
    livingTargetCount = living;
    if (living == 0) {
        for (int m = 0; m < MISSILE_COUNT; ++m) {
            missiles.active[m] = 0;
            missiles.hit[m] = 1;
        }
    }
}

void drawHomingMissiles()
{
    drawBursts();
    for (int m = 0; m < MISSILE_COUNT; ++m) {
        if (!missiles.active[m])
            continue;
        for (int t = MISSILE_TRAIL_POINTS - 1; t >= 1; --t) {
            missiles.trailX[m][t] = missiles.trailX[m][t - 1];
            missiles.trailY[m][t] = missiles.trailY[m][t - 1];
            missiles.trailFlag[m][t] = missiles.trailFlag[m][t - 1];
        }
        missiles.trailX[m][0] = missiles.x[m];
        missiles.trailY[m][0] = missiles.y[m];
        missiles.trailFlag[m][0] = 1;
        missiles.trailLength[m] += 1;
        headingDx = missiles.trailX[m][0] - missiles.trailX[m][1];
        headingDy = missiles.trailY[m][0] - missiles.trailY[m][1];
        missileHeading();
        drawMissileSprite(missiles.x[m] - gameCameraX, missiles.y[m] - gameCameraY, heading * RADIANS_TO_DEGREES + 90.0f);
        drawMissileTrail(m);
    }
}

void missileHeading()
{
    if (headingDx <= 0 && headingDy > 0) {
        headingDx = -headingDx;
        heading = std::atan2(headingDx, headingDy);
    } else if (headingDx > 0 && headingDy > 0) {
        heading = 6.28f - std::atan2(headingDx, headingDy);
    } else if (headingDx <= 0 && headingDy <= 0) {
        headingDx = -headingDx;
        headingDy = -headingDy;
        heading = 3.14f - std::atan2(headingDx, headingDy);
    } else {
        headingDy = -headingDy;
        heading = std::atan2(headingDx, headingDy) + 3.14f;
    }
}

void drawMissileSprite(float x, float y, float angle)
{
    const double radians = static_cast<double>(angle) * 3.14159265358979323846 / 180.0;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    const float local[4][4] = {
        {-MISSILE_SPRITE_HALF, -MISSILE_SPRITE_HALF, 0, 0}, {MISSILE_SPRITE_HALF, -MISSILE_SPRITE_HALF, 1, 0},
        {MISSILE_SPRITE_HALF, MISSILE_SPRITE_HALF, 1, 1}, {-MISSILE_SPRITE_HALF, MISSILE_SPRITE_HALF, 0, 1},
    };
    Corner2D corners[4];
    for (int i = 0; i < 4; ++i)
        corners[i] = Corner2D{x + local[i][0] * c - local[i][1] * s, y + local[i][0] * s + local[i][1] * c, local[i][2], local[i][3]};
    setDrawColor(1.0f, 1.0f, 1.0f, 1.0f);
    drawQuad2D(corners, homingTexture, Blend2D::Alpha);
}

void drawMissileTrail(int m)
{
    float px[TRAIL_POLYLINE];
    float py[TRAIL_POLYLINE];
    for (int k = 0; k < TRAIL_POLYLINE / 2; ++k) {
        px[2 * k] = px[2 * k + 1] = missiles.trailX[m][k];
        py[2 * k] = py[2 * k + 1] = missiles.trailY[m][k];
    }
    for (int pass = 0; pass < 4; ++pass) {
        for (int n = 2; n < TRAIL_POLYLINE; ++n) {
            const int next = n + 1 < TRAIL_POLYLINE ? n + 1 : TRAIL_POLYLINE - 1;
            px[n] = (px[n - 1] + px[n] + px[next]) / 3.0f;
            py[n] = (py[n - 1] + py[n] + py[next]) / 3.0f;
        }
    }
    float total = 0;
    for (int j = 0; j < TRAIL_POLYLINE - 1; ++j)
        total += segmentLength(px[j + 1] - px[j], py[j + 1] - py[j]);
    int segments = TRAIL_POLYLINE - 2;
    float partial = 0;
    for (int j = 0; j < TRAIL_POLYLINE - 1; ++j) {
        partial += substepFactor * segmentLength(px[j + 1] - px[j], py[j + 1] - py[j]);
        if (partial >= total) {
            segments = j;
            break;
        }
    }
    int visible = 2 * missiles.trailLength[m];
    visible = visible < 0 ? 0 : (visible > TRAIL_POLYLINE - 1 ? TRAIL_POLYLINE - 1 : visible);
    setDrawColor(1.0f, 1.0f, 1.0f, 1.0f);
    for (int k = 0; k < segments - 1; ++k) {
        const int p = sideAngleIndex(px[k] - px[k + 1], py[k] - py[k + 1]);
        const int q = sideAngleIndex(px[k + 1] - px[k + 2], py[k + 1] - py[k + 2]);
        float plusP[2], minusP[2], plusQ[2], minusQ[2];
        sideOffset(TRAIL_HALF_WIDTH, p, plusP);
        sideOffset(-TRAIL_HALF_WIDTH, p, minusP);
        sideOffset(TRAIL_HALF_WIDTH, q, plusQ);
        sideOffset(-TRAIL_HALF_WIDTH, q, minusQ);
        const float a[2] = {px[k] + plusP[0] - gameCameraX, py[k] + plusP[1] - gameCameraY};
        const float b[2] = {px[k] + minusP[0] - gameCameraX, py[k] + minusP[1] - gameCameraY};
        const float c[2] = {px[k + 1] + plusQ[0] - gameCameraX, py[k + 1] + plusQ[1] - gameCameraY};
        const float d[2] = {px[k + 1] + minusQ[0] - gameCameraX, py[k + 1] + minusQ[1] - gameCameraY};
        if (missiles.trailFlag[m][k / 2 + 1]) {
            const float s = static_cast<float>(segments);
            drawTrailQuad(a, b, c, d, static_cast<float>(segments - visible + k) / s - 0.01f, 1.0f / s);
        }
    }
}

void drawTrailQuad(const float a[2], const float b[2], const float c[2], const float d[2], float u, float du)
{
    const Corner2D corners[4] = {
        {a[0], a[1], u, 1.0f}, {b[0], b[1], u, 0.0f}, {d[0], d[1], u + du, 0.0f}, {c[0], c[1], u + du, 1.0f},
    };
    setDrawColor(1.0f, 1.0f, 1.0f, 1.0f);
    drawQuad2D(corners, homingTrailTexture, Blend2D::Additive);
}

void rotateVector()
{
    const int a = tableIndex(rotateAngleA);
    const int b = tableIndex(rotateAngleB);
    const int c = tableIndex(rotateAngleC);
    const float y1 = rotateInY * missileCosTable[a] - rotateInZ * missileSinTable[a];
    const float z1 = rotateInY * missileSinTable[a] + rotateInZ * missileCosTable[a];
    const float x2 = rotateInX * missileCosTable[b] + z1 * missileSinTable[b];
    rotateOutX = x2 * missileCosTable[c] - y1 * missileSinTable[c];
    rotateOutY = x2 * missileSinTable[c] + y1 * missileCosTable[c];
}

float segmentLength(float dx, float dy)
{
    return std::sqrt(dx * dx + dy * dy);
}

void spawnMissileSparks(float x0, float y0, float x1, float y1, int count)
{
    crtRand();  // drawn and not used
    for (int i = 0; i < count; ++i) {
        int slot = -1;
        for (int s = 0; s < MISSILE_SPARK_COUNT; ++s) {
            if (!missileSparks.active[s]) {
                slot = s;
                break;
            }
        }
        if (slot < 0)
            continue;
        const float stepX = (x1 - x0) / static_cast<float>(count);
        const float stepY = (y1 - y0) / static_cast<float>(count);
        missileSparks.x[slot] = x0 + stepX * static_cast<float>(i);
        missileSparks.y[slot] = y0 + stepY * static_cast<float>(i);
        missileSparks.velocityX[slot] = (2.0f - static_cast<float>(crtRand() % 40) / 10.0f) / 2.0f + stepX;
        missileSparks.velocityY[slot] = (2.0f - static_cast<float>(crtRand() % 40) / 10.0f) / 2.0f + stepY;
        missileSparks.active[slot] = 1;
        missileSparks.birthMs[slot] = clockNowMs();
    }
}

void ageMissileSparks()
{
    const double now = clockNowMs();
    for (int s = 0; s < MISSILE_SPARK_COUNT; ++s) {
        if (!missileSparks.active[s])
            continue;
        missileSparks.x[s] += missileSparks.velocityX[s] * substepFactor;
        missileSparks.y[s] += missileSparks.velocityY[s] * substepFactor;
        if (now - missileSparks.birthMs[s] > LINE_SPARK_LIFE_MS)
            missileSparks.active[s] = 0;
    }
}

void drawMissileSparks()
{
    const double now = clockNowMs();
    for (int s = 0; s < MISSILE_SPARK_COUNT; ++s) {
        if (!missileSparks.active[s])
            continue;
        const double age = (now - missileSparks.birthMs[s]) / LINE_SPARK_LIFE_MS;
        setDrawColor(0.0f, 1.0f, 0.9f, 1.0f - static_cast<float>(age < 1.0 ? age : 1.0));
        const float x = missileSparks.x[s] - gameCameraX;
        const float y = missileSparks.y[s] - gameCameraY;
        drawRotatedQuad(x - 2.5f, y - 2.5f, x + 2.5f, y + 2.5f, 0.0f, sparkTexture);
    }
}
