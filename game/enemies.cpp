#include "game/enemies.h"

#include "game/boxes.h"
#include "game/game_state.h"  // floorProfileId, ceilingProfileId, substepFactor
#include "game/line_walks.h"
#include "game/orb_tables.h"
#include "platform/crt_random.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstring>

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

// --- Boxes by column ---------------------------------------------------------------------
//
// The enemy updates test every box against an enemy, once per enemy and substep. A box whose x
// extent does not meet the enemy's can neither overlap it nor contain a probe point, and the
// rules do nothing for such a box, so the walks visit, in index order, only the boxes of the
// level columns the enemy's extent meets. Boxes move only between substeps (lifts), so the
// columns are rebuilt at the start of each update.

namespace {

constexpr double COLUMN_WIDTH = 128.0;
constexpr int COLUMN_COUNT = 32;   // 0..4096; anything outside falls into the end columns
constexpr int BOX_SET_WORDS = (BOX_SLOTS + 63) / 64;

struct BoxSet {
    uint64_t words[BOX_SET_WORDS] = {};
    void set(int k) { words[k >> 6] |= uint64_t{1} << (k & 63); }
    void add(const BoxSet& o)
    {
        for (int w = 0; w < BOX_SET_WORDS; ++w)
            words[w] |= o.words[w];
    }
    // The first member above `after`, or BOX_SLOTS.
    int next(int after) const
    {
        int k = after + 1;
        while (k < BOX_SLOTS) {
            const uint64_t rest = words[k >> 6] >> (k & 63);
            if (rest)
                return k + __builtin_ctzll(rest);
            k = (k | 63) + 1;
        }
        return BOX_SLOTS;
    }
};

struct BoxColumns {
    BoxSet column[COLUMN_COUNT];
    BoxSet everywhere;   // boxes without a usable extent, always visited
    BoxSet all;
};
BoxColumns boxColumns;

int columnOf(double x)
{
    if (x <= 0.0)
        return 0;
    const double c = x / COLUMN_WIDTH;
    return c >= COLUMN_COUNT - 1 ? COLUMN_COUNT - 1 : static_cast<int>(c);
}

// The extents the columns were built from: the three updates of a substep find them unchanged
// (only the lifts move boxes, before the first), so the later two keep the columns.
float builtX[BOX_SLOTS], builtWidth[BOX_SLOTS];
int builtCount = -1;

bool boxColumnsCurrent()
{
    if (builtCount != boxCount || boxCount < 0 || boxCount >= BOX_SLOTS)
        return false;
    const size_t bytes = static_cast<size_t>(boxCount + 1) * sizeof(float);
    return std::memcmp(builtX, boxTable.x, bytes) == 0 && std::memcmp(builtWidth, boxTable.width, bytes) == 0;
}

void buildBoxColumns()
{
    if (boxColumnsCurrent())
        return;
    boxColumns = BoxColumns{};
    const BoxTable& b = boxTable;
    builtCount = -1;
    if (boxCount >= 0 && boxCount < BOX_SLOTS) {
        const size_t bytes = static_cast<size_t>(boxCount + 1) * sizeof(float);
        std::memcpy(builtX, b.x, bytes);
        std::memcpy(builtWidth, b.width, bytes);
        builtCount = boxCount;
    }
    for (int k = 0; k <= boxCount && k < BOX_SLOTS; ++k) {
        boxColumns.all.set(k);
        const double left = b.x[k], right = static_cast<double>(b.x[k]) + b.width[k];
        if (!std::isfinite(left) || !std::isfinite(right)) {
            boxColumns.everywhere.set(k);
            continue;
        }
        const int lo = columnOf(std::min(left, right)), hi = columnOf(std::max(left, right));
        for (int c = lo; c <= hi; ++c)
            boxColumns.column[c].set(k);
    }
}

// Every box whose x extent may meet [x0, x1] (in either order).
BoxSet boxesNear(float x0, float x1)
{
    if (!separationSkipsPairs || !std::isfinite(x0) || !std::isfinite(x1))
        return boxColumns.all;
    BoxSet near = boxColumns.everywhere;
    const int lo = columnOf(std::min<double>(x0, x1)), hi = columnOf(std::max<double>(x0, x1));
    for (int c = lo; c <= hi; ++c)
        near.add(boxColumns.column[c]);
    return near;
}

}  // namespace

bool enemiesOverlap(int a, int b)
{
    const EnemyTable& t = enemyTable;
    return rectsOverlap(t.x[a], t.y[a], t.width[a], t.height[a], t.x[b], t.y[b], t.width[b], t.height[b]);
}

// Inside the updates, with the columns of this update.
static bool rectOverlapsBoxNear(float x, float y, float w, float h)
{
    const BoxTable& b = boxTable;
    const BoxSet near = boxesNear(x, x + w);
    for (int k = near.next(-1); k <= boxCount; k = near.next(k))
        if (rectsOverlap(x, y, w, h, b.x[k], b.y[k], b.width[k], b.height[k]))
            return true;
    return false;
}

static bool rectOverlapsAnyBox(float x, float y, float w, float h)
{
    const BoxTable& b = boxTable;
    for (int k = 0; k <= boxCount; ++k)
        if (rectsOverlap(x, y, w, h, b.x[k], b.y[k], b.width[k], b.height[k]))
            return true;
    return false;
}

// The strips beside box b's edges, as wide as enemy i and 10 units higher and lower than b.
struct Strip {
    float x, y, w, h;
};

static Strip stripLeftOf(int b, int i)
{
    const BoxTable& bt = boxTable;
    return {bt.x[b] - enemyTable.width[i], bt.y[b] - EDGE_STRIP_MARGIN, enemyTable.width[i],
            bt.height[b] + 2.0f * EDGE_STRIP_MARGIN};
}

static Strip stripRightOf(int b, int i)
{
    const BoxTable& bt = boxTable;
    return {bt.x[b] + bt.width[b], bt.y[b] - EDGE_STRIP_MARGIN, enemyTable.width[i],
            bt.height[b] + 2.0f * EDGE_STRIP_MARGIN};
}

bool enemyOverlapsAnyBox(int i)
{
    const EnemyTable& t = enemyTable;
    return rectOverlapsAnyBox(t.x[i], t.y[i], t.width[i], t.height[i]);
}

bool boxBesideLeft(int b, int i)
{
    const Strip s = stripLeftOf(b, i);
    return rectOverlapsAnyBox(s.x, s.y, s.w, s.h);
}

bool boxBesideRight(int b, int i)
{
    const Strip s = stripRightOf(b, i);
    return rectOverlapsAnyBox(s.x, s.y, s.w, s.h);
}

static bool enemyOverlapsBoxNear(int i)
{
    const EnemyTable& t = enemyTable;
    return rectOverlapsBoxNear(t.x[i], t.y[i], t.width[i], t.height[i]);
}

static bool stripOverlapsBoxNear(const Strip& s)
{
    return rectOverlapsBoxNear(s.x, s.y, s.w, s.h);
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
    // A box the enemy does not overlap changes nothing (newX and newY are already in force), so
    // only the boxes near its extent are visited, found again whenever the enemy moves sideways.
    float nearX = t.x[i];
    BoxSet near = boxesNear(nearX, nearX + t.width[i]);
    for (int k = near.next(-1); k <= boxCount; k = near.next(k)) {
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
        if (t.x[i] != nearX) {
            nearX = t.x[i];
            near = boxesNear(nearX, nearX + t.width[i]);
        }
    }
}

void collideEnemiesWithBoxes()
{
    buildBoxColumns();
    for (int i = 0; i <= lastEnemy(); ++i)
        if (enemyTable.health[i] > 0.0f && enemyTable.type[i] != ENEMY_FLYER)
            collideEnemyWithBoxes(i);
}

void decideEnemyJumps()
{
    EnemyTable& t = enemyTable;
    const BoxTable& b = boxTable;
    buildBoxColumns();
    for (int i = 0; i <= lastEnemy(); ++i) {
        if (!(t.health[i] > 0.0f))
            continue;
        const int32_t remembered = t.direction[i];
        const float probeLeft = t.x[i] - JUMP_PROBE_SPEEDS * t.speed[i];
        const float probeRight = t.x[i] + JUMP_PROBE_SPEEDS * t.speed[i];
        // Without a box under it, the end of this step takes back what the probes would set.
        if (t.boxUnder[i] != 0 && probeLeft > 0.0f && probeRight > 0.0f) {
            // Only a box around a probe point can take part; the last one that does decides.
            BoxSet near = boxesNear(probeLeft, probeLeft);
            near.add(boxesNear(probeRight, probeRight));
            for (int k = near.next(-1); k <= boxCount; k = near.next(k)) {
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
        if (t.x[i] < bt.x[b] && !stripOverlapsBoxNear(stripLeftOf(b, i))) {
            const int r = crtRand() % EDGE_CHANCE_RANGE;
            if (!(r < EDGE_WALK_OFF && jumper))
                t.direction[i] = 1;
        }
        if (t.x[i] + t.width[i] > bt.x[b] + bt.width[b] && !stripOverlapsBoxNear(stripRightOf(b, i))) {
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
// come out of a cheaper walk that skips pairs that cannot overlap:
// - `suspects` holds every enemy that may be part of an overlapping pair. An enemy that
//   overlaps no other leaves the set; an enemy joins it when it moves. A pair of two
//   non-suspects is exactly as it was when it did not overlap, so its visit would change
//   nothing and draw nothing.
// - the enemies are kept by level column like the boxes, and a pair whose x extents do not
//   meet cannot overlap. Only the two enemies of a pair move while a row is walked, so a row's
//   partners are found again only when its own enemy moves.

namespace {

using EnemySet = std::bitset<ENEMY_CAPACITY>;
EnemySet suspects;

struct EnemyColumns {
    EnemySet column[COLUMN_COUNT];
    EnemySet everywhere;   // enemies without a usable extent
    EnemySet members;      // the walkers and jumpers of the level
    int lo[ENEMY_CAPACITY];   // -1: everywhere
    int hi[ENEMY_CAPACITY];
};
EnemyColumns enemyColumns;

bool takesPartInSeparation(int i)
{
    return enemyTable.type[i] != ENEMY_FLYER && enemyTable.type[i] != ENEMY_ORB;
}

void placeInColumns(int i)
{
    EnemyColumns& c = enemyColumns;
    const double left = enemyTable.x[i], right = static_cast<double>(enemyTable.x[i]) + enemyTable.width[i];
    if (!std::isfinite(left) || !std::isfinite(right)) {
        c.lo[i] = -1;
        c.everywhere.set(i);
        return;
    }
    c.lo[i] = columnOf(std::min(left, right));
    c.hi[i] = columnOf(std::max(left, right));
    for (int k = c.lo[i]; k <= c.hi[i]; ++k)
        c.column[k].set(i);
}

// After enemy i has moved sideways.
void refreshColumns(int i)
{
    EnemyColumns& c = enemyColumns;
    if (!c.members.test(i))
        return;
    if (c.lo[i] < 0)
        c.everywhere.reset(i);
    else
        for (int k = c.lo[i]; k <= c.hi[i]; ++k)
            c.column[k].reset(i);
    placeInColumns(i);
}

void buildEnemyColumns(int last)
{
    enemyColumns = EnemyColumns{};
    for (int i = 0; i <= last; ++i)
        if (takesPartInSeparation(i)) {
            enemyColumns.members.set(i);
            placeInColumns(i);
        }
}

// The walkers and jumpers whose x extent may meet enemy i's (i among them).
EnemySet enemiesNear(int i)
{
    const EnemyColumns& c = enemyColumns;
    if (c.lo[i] < 0)
        return c.members;
    EnemySet near = c.everywhere;
    for (int k = c.lo[i]; k <= c.hi[i]; ++k)
        near |= c.column[k];
    return near;
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
        if (enemyOverlapsBoxNear(b)) {
            t.x[b] = old;
            t.x[a] = t.x[b] + t.width[b];
        }
    } else {
        const float old = t.x[a];
        t.x[a] = t.x[b] - t.width[a];
        if (enemyOverlapsBoxNear(a)) {
            t.x[a] = old;
            t.x[b] = t.x[a] + t.width[a];
        }
    }
    turnAfterPush(a);
    turnAfterPush(b);
    refreshColumns(a);
    refreshColumns(b);
    suspects.set(a);
    suspects.set(b);
}

// Drops the suspects that overlap no other enemy; returns whether any suspect is left.
bool pruneSuspects()
{
    for (size_t d = suspects._Find_first(); d < suspects.size(); d = suspects._Find_next(d)) {
        const EnemySet near = enemiesNear(static_cast<int>(d));
        bool overlapping = false;
        for (size_t e = near._Find_first(); e < near.size() && !overlapping; e = near._Find_next(e))
            overlapping = e != d && enemiesOverlap(static_cast<int>(d), static_cast<int>(e));
        if (!overlapping)
            suspects.reset(d);
    }
    return suspects.any();
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
    if (!pruneSuspects())
        return;
    const EnemyTable& t = enemyTable;
    for (int a = 0; a <= last; ++a) {
        if (!takesPartInSeparation(a))
            continue;
        EnemySet near = enemiesNear(a);
        float rowX = t.x[a];
        for (size_t n = near._Find_first(); n < near.size(); n = near._Find_next(n)) {
            const int b = static_cast<int>(n);
            if (b == a || !(suspects.test(a) || suspects.test(b)) || !enemiesOverlap(a, b))
                continue;
            separatePair(a, b);
            if (t.x[a] != rowX) {
                rowX = t.x[a];
                near = enemiesNear(a);
            }
        }
    }
}

}  // namespace

void updateEnemyAI()
{
    EnemyTable& t = enemyTable;
    buildBoxColumns();
    buildEnemyColumns(lastEnemy());
    suspects = enemyColumns.members;
    for (int i = 0; i <= lastEnemy(); ++i) {
        if (!(t.health[i] > 0.0f) || t.type[i] == ENEMY_ORB)
            continue;
        if (t.type[i] == ENEMY_FLYER) {
            moveFlyer(i);
        } else {
            moveWalker(i);
            refreshColumns(i);
            suspects.set(i);
        }
        separateEnemies();
    }
}
