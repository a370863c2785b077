#include "game/enemies.h"

#include "game/boxes.h"
#include "game/game_assets.h"   // floorProfileId, ceilingProfileId
#include "game/game_frame.h"    // substepFactor
#include "game/line_walks.h"
#include "game/orb_tables.h"
#include "platform/crt_random.h"

#include <algorithm>
#include <bitset>

const char* const enemyTypeNames[ENEMY_TYPE_COUNT] = {"walker", "jumper", "flyer", "orb"};

const EnemyDefaults enemyDefaults[ENEMY_TYPE_COUNT] = {
    {70.0f, 150.0f, 5.0f, 100.0f, 100.0f},
    {70.0f, 150.0f, 5.0f, 100.0f, 100.0f},
    {70.0f, 75.0f, 5.0f, 100.0f, 100.0f},
    {70.0f, 75.0f, 5.0f, 100.0f, 100.0f},
};

EnemyTable enemyTable = {};
EnemyDebris enemyDebris = {};
int enemyCount = 0;
int32_t livingTargetCount = 0;
bool separationSkipsPairs = true;

static constexpr unsigned ENEMY_SEED = 2071;
static constexpr float ENEMY_FULL_HEALTH = 100.0f;
static constexpr float ENEMY_SCORE_VALUE = 100.0f;
static constexpr int ANIM_PHASE_COUNT = 110;
// decideEnemyJumps looks this many speeds ahead for a box, within this height of its top.
static constexpr float JUMP_PROBE_SPEEDS = 30.0f;
static constexpr float JUMP_PROBE_HEIGHT = 200.0f;
// A request survives when rand() % JUMP_CHANCE_RANGE is below JUMP_CHANCE_KEPT.
static constexpr int JUMP_CHANCE_RANGE = 2000;
static constexpr int JUMP_CHANCE_KEPT = 2;
// Jumpers walk off an unsupported edge when rand() % 1000 is below 10.
static constexpr int EDGE_CHANCE_RANGE = 1000;
static constexpr int EDGE_WALK_OFF = 10;
static constexpr float EDGE_STRIP_MARGIN = 10.0f;
static constexpr float KNOCKBACK_DECAY = 0.95f;

// The last table slot an enemy walk may visit: enemyCount, kept inside the table.
static int lastEnemy()
{
    return std::clamp(enemyCount, 0, ENEMY_CAPACITY - 1);
}

static bool rectsOverlap(float x1, float y1, float w1, float h1, float x2, float y2, float w2, float h2)
{
    return x2 < x1 + w1 && x1 < x2 + w2 && y2 < y1 + h1 && y1 < y2 + h2;
}

bool enemiesOverlap(int a, int b)
{
    const EnemyTable& t = enemyTable;
    return rectsOverlap(t.x[a], t.y[a], t.width[a], t.height[a], t.x[b], t.y[b], t.width[b], t.height[b]);
}

static bool rectOverlapsAnyBox(float x, float y, float w, float h)
{
    const BoxTable& b = boxTable;
    for (int k = 0; k <= boxCount; ++k)
        if (rectsOverlap(x, y, w, h, b.x[k], b.y[k], b.width[k], b.height[k]))
            return true;
    return false;
}

bool enemyOverlapsAnyBox(int i)
{
    const EnemyTable& t = enemyTable;
    return rectOverlapsAnyBox(t.x[i], t.y[i], t.width[i], t.height[i]);
}

bool boxBesideLeft(int b, int i)
{
    const BoxTable& bt = boxTable;
    return rectOverlapsAnyBox(bt.x[b] - enemyTable.width[i], bt.y[b] - EDGE_STRIP_MARGIN, enemyTable.width[i],
                              bt.height[b] + 2.0f * EDGE_STRIP_MARGIN);
}

bool boxBesideRight(int b, int i)
{
    const BoxTable& bt = boxTable;
    return rectOverlapsAnyBox(bt.x[b] + bt.width[b], bt.y[b] - EDGE_STRIP_MARGIN, enemyTable.width[i],
                              bt.height[b] + 2.0f * EDGE_STRIP_MARGIN);
}

static void fillDebris(int slot)
{
    EnemyDebris& d = enemyDebris;
    const int r = crtRand() % 100;
    if (r > 10) {
        d.kind[slot] = 0.0f;
        d.velocityX[slot] = static_cast<float>(20 - crtRand() % 40);
        d.velocityY[slot] = static_cast<float>(20 - crtRand() % 40);
        d.growth[slot] = static_cast<float>(crtRand() % 10 + 10);
        d.size[slot] = static_cast<float>(crtRand() % 16 + 10);
        d.offsetX[slot] = static_cast<float>(35 - crtRand() % 70);
        d.offsetY[slot] = static_cast<float>(35 - crtRand() % 70);
        d.life[slot] = static_cast<float>(crtRand() % 50 + 10);
    } else {
        d.kind[slot] = 1.0f;
        d.velocityX[slot] = static_cast<float>(40 - crtRand() % 80);
        d.velocityY[slot] = static_cast<float>(40 - crtRand() % 80);
        d.growth[slot] = 0.0f;
        d.size[slot] = static_cast<float>(crtRand() % 10 + 4);
        d.offsetX[slot] = static_cast<float>(40 - crtRand() % 80);
        d.offsetY[slot] = static_cast<float>(40 - crtRand() % 80);
        d.life[slot] = 1000.0f;
    }
    d.rampSelect[slot] = static_cast<float>(crtRand() % 100) / 100.0f;
}

void resetEnemies()
{
    EnemyTable& t = enemyTable;
    livingTargetCount = enemyCount;
    crtSrand(ENEMY_SEED);
    for (int i = 1; i <= lastEnemy(); ++i) {
        t.jumpT[i] = 0.0f;
        t.jumpT0[i] = 0.0f;
        t.jumpY0[i] = t.y[i] + 1.0f;
        t.jumpV0[i] = 0.0f;
        t.animPhase[i] = static_cast<float>(crtRand() % ANIM_PHASE_COUNT);
        t.airborne[i] = 1;
        t.inAir[i] = 1;
        t.jumping[i] = 0;
        t.direction[i] = crtRand() % 2;
        t.boxUnder[i] = 0;
        t.health[i] = ENEMY_FULL_HEALTH;
        t.scoreValue[i] = ENEMY_SCORE_VALUE;
        t.maxHealth[i] = ENEMY_FULL_HEALTH;
        for (int k = 0; k < DEBRIS_PER_ENEMY; ++k)
            fillDebris(DEBRIS_PER_ENEMY * i + k);
    }
    buildOrbTables();
}

// The start of a plain fall from y0 + 1 below a surface.
static void startEnemyFall(int i, float newY)
{
    EnemyTable& t = enemyTable;
    t.jumpT[i] = 0.0f;
    t.jumpT0[i] = 0.0f;
    t.jumpY0[i] = newY - 1.0f;
    t.jumpV0[i] = 0.0f;
    t.inAir[i] = 1;
}

// Floor shapes (slopes, heightmap floor): false when the enemy is above the surface, which ends
// this enemy's box handling for the substep.
static bool landOnSurface(int i, int k, float s, float& newY)
{
    EnemyTable& t = enemyTable;
    if (t.y[i] > s)
        return false;
    t.airborne[i] = 0;
    t.jumping[i] = 0;
    if (t.boxUnder[i] == 0)
        t.boxUnder[i] = k;
    newY = s;
    return true;
}

static bool bumpUnderSurface(int i, float s, float& newY)
{
    EnemyTable& t = enemyTable;
    if (s > t.y[i] + t.height[i])
        return false;
    newY = s - t.height[i];
    startEnemyFall(i, newY);
    return true;
}

static void collideWithSolidBox(int i, int k, float& newX, float& newY)
{
    EnemyTable& t = enemyTable;
    const BoxTable& b = boxTable;
    const float x = t.x[i], y = t.y[i], w = t.width[i], h = t.height[i];
    const float bx = b.x[k], by = b.y[k], bw = b.width[k], bh = b.height[k];
    const float br = bx + bw, bt = by + bh;
    const float ovX = (x <= bx && x + w >= br) ? bw : bw - std::max(0.0f, x - bx) - std::max(0.0f, br - x - w);
    const float ovY = (y <= by && bt <= y + h) ? bh : bh - std::max(0.0f, y - by) - std::max(0.0f, bt - y - h);
    if (y < bt - 1.0f && y + h > by + 1.0f && ovY > ovX) {
        if (x + w < br) {
            newX = bx - w;
            t.inAir[i] = 1;
            t.direction[i] = 0;
        }
        if (x > bx) {
            newX = br;
            t.inAir[i] = 1;
            t.direction[i] = 1;
        }
    }
    if (br - 2.0f > x && x + w > bx + 2.0f && y > by && ovX >= ovY) {
        t.airborne[i] = 0;
        t.jumping[i] = 0;
        if (t.boxUnder[i] == 0)
            t.boxUnder[i] = k;
        if (bt > y + h) {
            newY = by - h;
            startEnemyFall(i, newY);
            t.airborne[i] = 1;
        } else {
            newY = bt - 1.0f;
        }
    } else if (bt > y + h && ovX >= ovY) {
        newY = by - h;
        t.airborne[i] = 1;
        startEnemyFall(i, newY);
    }
}

static void collideEnemyWithBoxes(int i)
{
    EnemyTable& t = enemyTable;
    const BoxTable& b = boxTable;
    t.inAir[i] = 0;
    t.boxUnder[i] = 0;
    t.airborne[i] = 1;
    float newX = t.x[i];
    float newY = 0.0f;
    for (int k = 0; k <= boxCount; ++k) {
        const float w = t.width[i];
        const float bx = b.x[k], by = b.y[k], br = bx + b.width[k], bt = by + b.height[k];
        if (rectsOverlap(t.x[i], t.y[i], w, t.height[i], bx, by, b.width[k], b.height[k])) {
            bool goOn = true;
            switch (b.type[k]) {
            case BOX_LEFT_SLOPE:
                goOn = landOnSurface(i, k, traceSlopeLine(bx, bt, br, by, newX), newY);
                break;
            case BOX_RIGHT_SLOPE:
                goOn = landOnSurface(i, k, traceSlopeLine(bx, by, br, bt, newX + w), newY);
                break;
            case BOX_HEIGHTMAP_FLOOR:
                goOn = landOnSurface(i, k, heightmapFloorTop(k, t.x[i], w, floorProfileId), newY);
                break;
            case BOX_BOTTOM_LEFT_SLOPE:
                goOn = bumpUnderSurface(i, traceSlopeLine(bx, bt, br, by, newX + w), newY);
                break;
            case BOX_BOTTOM_RIGHT_SLOPE:
                goOn = bumpUnderSurface(i, traceSlopeLine(bx, by, br, bt, newX), newY);
                break;
            case BOX_HEIGHTMAP_CEILING:
                goOn = bumpUnderSurface(i, heightmapCeilingBottom(k, t.x[i], w, ceilingProfileId), newY);
                break;
            default:
                collideWithSolidBox(i, k, newX, newY);
                break;
            }
            if (!goOn)
                return;
        }
        if (newX != 0.0f)
            t.x[i] = newX;
        if (newY != 0.0f)
            t.y[i] = newY;
    }
}

void collideEnemiesWithBoxes()
{
    for (int i = 0; i <= lastEnemy(); ++i)
        if (enemyTable.health[i] > 0.0f && enemyTable.type[i] != ENEMY_FLYER)
            collideEnemyWithBoxes(i);
}

void decideEnemyJumps()
{
    EnemyTable& t = enemyTable;
    const BoxTable& b = boxTable;
    for (int i = 0; i <= lastEnemy(); ++i) {
        if (!(t.health[i] > 0.0f))
            continue;
        const int32_t remembered = t.direction[i];
        const float probeLeft = t.x[i] - JUMP_PROBE_SPEEDS * t.speed[i];
        const float probeRight = t.x[i] + JUMP_PROBE_SPEEDS * t.speed[i];
        if (probeLeft > 0.0f && probeRight > 0.0f) {
            for (int k = 0; k <= boxCount; ++k) {
                if (k == t.boxUnder[i])
                    continue;
                const float top = b.y[k] + b.height[k];
                const bool level = top - JUMP_PROBE_HEIGHT < t.y[i] && t.y[i] < top + JUMP_PROBE_HEIGHT;
                if (b.x[k] < probeLeft && probeLeft < b.x[k] + b.width[k] && level) {
                    t.direction[i] = 0;
                    t.jumpRequest[i] = 1;
                }
                if (b.x[k] < probeRight && probeRight < b.x[k] + b.width[k] && level) {
                    t.direction[i] = 1;
                    t.jumpRequest[i] = 1;
                }
            }
        }
        const int r = crtRand() % JUMP_CHANCE_RANGE;
        if (r >= JUMP_CHANCE_KEPT)
            t.jumpRequest[i] = 0;
        if (t.boxUnder[i] == 0) {
            t.jumpRequest[i] = 0;
            t.direction[i] = remembered;
        }
    }
}

// A flyer's rectangular path: right, up, left, down; a completed leg snaps to its end and the
// next leg takes a full step at once.
static void moveFlyer(int i)
{
    EnemyTable& t = enemyTable;
    const float d = t.speed[i] * substepFactor;
    for (;;) {
        switch (t.pathState[i]) {
        case 0:
            t.x[i] += d;
            if (!(t.x[i] >= t.pathStartX[i] + t.pathRangeX[i] || t.pathRangeX[i] == 0.0f))
                return;
            t.x[i] = t.pathStartX[i] + t.pathRangeX[i];
            t.pathState[i] = 1;
            break;
        case 1:
            t.y[i] += d;
            if (!(t.y[i] >= t.pathStartY[i] + t.pathRangeY[i] || t.pathRangeY[i] == 0.0f))
                return;
            t.y[i] = t.pathStartY[i] + t.pathRangeY[i];
            t.pathState[i] = 2;
            break;
        case 2:
            t.x[i] -= d;
            if (!(t.x[i] <= t.pathStartX[i] || t.pathRangeX[i] == 0.0f))
                return;
            t.x[i] = t.pathStartX[i];
            t.pathState[i] = 3;
            break;
        case 3:
            t.y[i] -= d;
            if (t.y[i] <= t.pathStartY[i] || t.pathRangeY[i] == 0.0f) {
                t.x[i] = t.pathStartX[i];
                t.y[i] = t.pathStartY[i];
                t.pathState[i] = 0;
            }
            return;
        case 4:
            t.x[i] = t.pathStartX[i];
            t.y[i] = t.pathStartY[i];
            t.pathState[i] = 0;
            return;
        default:
            return;
        }
    }
}

static void moveWalker(int i)
{
    EnemyTable& t = enemyTable;
    const BoxTable& bt = boxTable;
    if (t.y[i] < 0.0f)
        t.health[i] = 0.0f;
    if (t.knockbackVx[i] != 0.0f) {
        t.x[i] += 2.0f * t.knockbackVx[i] * substepFactor;
        t.knockbackVx[i] *= KNOCKBACK_DECAY;
    }
    if (t.jumpRequest[i] == 1 && t.jumping[i] == 0 && t.type[i] == ENEMY_JUMPER) {
        t.inAir[i] = 1;
        t.airborne[i] = 1;
        t.jumpT[i] = 0.0f;
        t.jumpT0[i] = 0.0f;
        t.jumpY0[i] = t.y[i] + 1.0f;
        t.jumpV0[i] = ENEMY_JUMP_SPEED;
        t.jumping[i] = 1;
        t.jumpRequest[i] = 0;
    }
    if (t.airborne[i]) {
        t.jumpT[i] += 0.1f * substepFactor;
        const float u = 4.0f * (t.jumpT[i] - t.jumpT0[i]);
        t.y[i] = t.jumpY0[i] + t.jumpV0[i] * u - 1.47f * u * u;
    } else {
        t.jumpT[i] = 0.0f;
        t.jumpT0[i] = 0.0f;
        t.jumpY0[i] = t.y[i] + 1.0f;
        t.jumpV0[i] = 0.0f;
    }
    const int b = t.boxUnder[i];
    if (b > 0 && b < BOX_SLOTS) {
        if (bt.type[b] == BOX_LIFT) {
            if (bt.liftState[b] == 0)
                t.x[i] += bt.liftSpeed[b] * substepFactor;
            else if (bt.liftState[b] == 2)
                t.x[i] -= bt.liftSpeed[b] * substepFactor;
        }
        const bool jumper = t.type[i] == ENEMY_JUMPER;
        if (t.x[i] < bt.x[b] && !boxBesideLeft(b, i)) {
            const int r = crtRand() % EDGE_CHANCE_RANGE;
            if (!(r < EDGE_WALK_OFF && jumper))
                t.direction[i] = 1;
        }
        if (t.x[i] + t.width[i] > bt.x[b] + bt.width[b] && !boxBesideRight(b, i)) {
            const int r = crtRand() % EDGE_CHANCE_RANGE;
            if (!(r < EDGE_WALK_OFF && jumper))
                t.direction[i] = 0;
        }
    }
    crtRand();
    const float step = t.speed[i] * substepFactor;
    if (t.direction[i] == 0)
        t.x[i] -= step;
    else
        t.x[i] += step;
    t.inAir[i] = 1;
}

// --- Separation ---------------------------------------------------------------------------
//
// The rule visits every ordered pair of walkers and jumpers once per moving enemy, so it is
// cubic in the enemy count. The same visits in the same order, with the same moves and draws,
// come out of a cheaper walk that skips pairs that cannot overlap: `suspects` holds every
// enemy that may be part of an overlapping pair. An enemy that overlaps no other leaves the
// set; an enemy joins it when it moves. A pair of two non-suspects is exactly as it was when
// it did not overlap, so its visit would change nothing and draw nothing.

namespace {

using EnemySet = std::bitset<ENEMY_CAPACITY>;
EnemySet suspects;

bool takesPartInSeparation(int i)
{
    return enemyTable.type[i] != ENEMY_FLYER && enemyTable.type[i] != ENEMY_ORB;
}

void turnAfterPush(int i)
{
    int32_t& d = enemyTable.direction[i];
    if (d == 0)
        d = (crtRand() % 100 > 30) ? 1 : 0;
    else
        d = 0;
}

void separatePair(int a, int b)
{
    EnemyTable& t = enemyTable;
    if (t.x[b] <= t.x[a]) {
        const float old = t.x[b];
        t.x[b] = t.x[a] - t.width[b];
        if (enemyOverlapsAnyBox(b)) {
            t.x[b] = old;
            t.x[a] = t.x[b] + t.width[b];
        }
    } else {
        const float old = t.x[a];
        t.x[a] = t.x[b] - t.width[a];
        if (enemyOverlapsAnyBox(a)) {
            t.x[a] = old;
            t.x[b] = t.x[a] + t.width[a];
        }
    }
    turnAfterPush(a);
    turnAfterPush(b);
    suspects.set(a);
    suspects.set(b);
}

// Drops the suspects that overlap no other enemy; returns whether any suspect is left.
bool pruneSuspects(int last)
{
    for (int d = 0; d <= last; ++d) {
        if (!suspects.test(d))
            continue;
        bool overlapping = false;
        for (int e = 0; e <= last && !overlapping; ++e)
            overlapping = e != d && takesPartInSeparation(e) && enemiesOverlap(d, e);
        if (!overlapping)
            suspects.reset(d);
    }
    return suspects.any();
}

int nextSuspect(int after, int last)
{
    for (int b = after + 1; b <= last; ++b)
        if (suspects.test(b))
            return b;
    return last + 1;
}

void separateEveryPair(int last)
{
    for (int a = 0; a <= last; ++a)
        for (int b = 0; b <= last; ++b)
            if (a != b && takesPartInSeparation(a) && takesPartInSeparation(b) && enemiesOverlap(a, b))
                separatePair(a, b);
}

void separateEnemies()
{
    const int last = lastEnemy();
    if (!separationSkipsPairs) {
        separateEveryPair(last);
        return;
    }
    if (!pruneSuspects(last))
        return;
    for (int a = 0; a <= last; ++a) {
        if (!takesPartInSeparation(a))
            continue;
        // A suspect row visits every partner; any other row only the suspects (the set may
        // grow during the row, and later partners are still found).
        for (int b = suspects.test(a) ? 0 : nextSuspect(-1, last); b <= last;
             b = suspects.test(a) ? b + 1 : nextSuspect(b, last)) {
            if (b == a || !takesPartInSeparation(b))
                continue;
            if (enemiesOverlap(a, b))
                separatePair(a, b);
        }
    }
}

}  // namespace

void updateEnemyAI()
{
    EnemyTable& t = enemyTable;
    suspects.reset();
    for (int i = 0; i <= lastEnemy(); ++i)
        if (takesPartInSeparation(i))
            suspects.set(i);
    for (int i = 0; i <= lastEnemy(); ++i) {
        if (!(t.health[i] > 0.0f) || t.type[i] == ENEMY_ORB)
            continue;
        if (t.type[i] == ENEMY_FLYER)
            moveFlyer(i);
        else
            moveWalker(i);
        if (takesPartInSeparation(i))
            suspects.set(i);
        separateEnemies();
    }
}
