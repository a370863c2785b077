#include "game/collision.h"

#include "core/sound.h"
#include "game/boxes.h"
#include "game/enemies.h"
#include "game/flash_light.h"
#include "game/game_state.h"  // playerX, playerWidth, playerY, playerHeight, standingBoxIndex, ...
#include "game/line_walks.h"

#include <algorithm>
#include <cmath>

// A landing or bump leaves this much room to the box's side edges before it counts.
static constexpr float EDGE_MARGIN = 2.0f;
static constexpr float ENEMY_CONTACT_DAMAGE = 30.0f;
static constexpr float HEALTH_BAR_SHOW_MS = 300.0f;

namespace {

// The player's rectangle as it stood at the start of the pass.
struct PlayerRect {
    float l, r, b, t;
};

PlayerRect currentPlayerRect()
{
    return {playerX, playerX + playerWidth, playerY, playerY + playerHeight};
}

float boxRight(int i)
{
    return boxTable.x[i] + boxTable.width[i];
}

float boxTop(int i)
{
    return boxTable.y[i] + boxTable.height[i];
}

float overlapLength(float lo, float hi, float boxLo, float boxSize)
{
    const float boxHi = boxLo + boxSize;
    return boxSize - std::max(0.0f, lo - boxLo) - std::max(0.0f, boxHi - hi);
}

void land(int i, float y)
{
    if (standingBoxIndex == 0)
        standingBoxIndex = i;
    resolvedY = y;
    jumpLatch = 0;
    jumpCount = 0;
    playerAirborne = 0;
}

void startFallFrom(float y)
{
    resolvedY = y;
    jumpStartY = y - 1.0f;
    jumpSpeed = 0.0f;
    jumpTimeStart = 0.0f;
    jumpTime = 0.0f;
    playerAirborne = 1;
}

// Standard boxes and lifts. Inside an overlapping box the contact tests say exactly what the
// rule asks (the overlap already holds their other halves).
void collideSolidBox(int i, const PlayerRect& p)
{
    const float ovw = overlapLength(p.l, p.r, boxTable.x[i], boxTable.width[i]);
    const float ovh = overlapLength(p.b, p.t, boxTable.y[i], boxTable.height[i]);
    if (p.l < boxRight(i) - EDGE_MARGIN) {
        if (playerHeadInBox(i)) {
            if (standingBoxIndex == 0)
                standingBoxIndex = i;
            if (ovw >= ovh) {
                startFallFrom(boxTable.y[i] - playerHeight);
                playerMoving = 1;
            } else {
                jumpTime += 0.1f * substepFactor;
                playerAirborne = 1;
            }
        }
        if (playerFeetInBox(i) && ovw >= ovh)
            land(i, boxTop(i) - groundSink);
    }
    if (ovh > ovw) {
        bool pushed = false;
        if (playerLeftEdgeInBox(i)) {
            resolvedX = boxRight(i) + 1.0f;
            pushed = true;
        }
        if (playerRightEdgeInBox(i)) {
            resolvedX = boxTable.x[i] - playerWidth - 1.0f;
            pushed = true;
        }
        if (pushed)
            playerMoving = 1;
    }
}

// Bottom slopes: the player's head met the diagonal.
void bumpUnderSlope(float ys, float xs)
{
    resolvedX = xs;
    resolvedY = ys - playerHeight;
    jumpStartY = resolvedY - 1.0f;
    jumpSpeed = 0.0f;
    jumpTimeStart = 0.0f;
    jumpTime = 0.0f;
    stepDx = 0.0f;
    playerAirborne = 1;
}

// Returns false when the pass ends here (the player is clear of the box's solid part).
bool collideShapedBox(int i, const PlayerRect& p)
{
    const float bl = boxTable.x[i], br = boxRight(i), bb = boxTable.y[i], bt = boxTop(i);
    switch (boxTable.type[i]) {
    case BOX_LEFT_SLOPE: {
        const float ys = traceSlopeLine(bl, bt, br, bb, resolvedX);
        if (p.b > ys)
            return false;
        land(i, ys);
        return true;
    }
    case BOX_RIGHT_SLOPE: {
        const float ys = traceSlopeLine(bl, bb, br, bt, resolvedX + playerWidth);
        if (p.b > ys)
            return false;
        land(i, ys);
        return true;
    }
    case BOX_BOTTOM_LEFT_SLOPE: {
        const float ys = traceSlopeLine(bl, bt, br, bb, p.r);
        if (p.t < ys)
            return false;
        const float xs = xAtHeightFalling(bl, bt, br, bb, ys);
        bumpUnderSlope(ys, xs - playerWidth + 10.0f - 2.0f - stepDx);
        return true;
    }
    case BOX_BOTTOM_RIGHT_SLOPE: {
        const float ys = traceSlopeLine(bl, bb, br, bt, resolvedX);
        if (p.t < ys)
            return false;
        const float xs = xAtHeightRising(bl, bb, br, bt, ys);
        bumpUnderSlope(ys, xs + 2.0f - stepDx);
        return true;
    }
    case BOX_HEIGHTMAP_FLOOR: {
        if (p.l == prevPlayerX)
            playerMoving = 0;
        const float ys = heightmapFloorTop(i, resolvedX, playerWidth, floorProfileId);
        if (ys < p.b)
            return false;
        land(i, ys);
        return true;
    }
    case BOX_HEIGHTMAP_CEILING: {
        const float ys = heightmapCeilingBottom(i, resolvedX, playerWidth, ceilingProfileId);
        if (p.t < ys)
            return false;
        resolvedY = ys - playerHeight;
        jumpStartY = ys - playerHeight - 1.0f;
        jumpSpeed = 0.0f;
        jumpTimeStart = 0.0f;
        jumpTime = 0.0f;
        playerAirborne = 1;
        return true;
    }
    default:
        collideSolidBox(i, p);
        return true;
    }
}

bool enemyTouchesPlayer(int e)
{
    const EnemyTable& t = enemyTable;
    return t.x[e] < playerX + playerWidth && t.x[e] + t.width[e] > playerX && t.y[e] < playerY + playerHeight &&
           t.y[e] + t.height[e] > playerY;
}

// Slots above enemyCount are not enemies of this level and never touch the player.
void touchEnemies()
{
    const int last = std::min(enemyCount, ENEMY_CAPACITY - 1);
    for (int e = 0; e <= last; ++e) {
        if (!(enemyTable.health[e] > 0.0f) || !enemyTouchesPlayer(e))
            continue;
        switch (enemyTable.type[e]) {
        case ENEMY_FLYER:
            playerHealth = 0.0f;
            break;
        case ENEMY_ORB:
            if (enemyTable.health[e] < ORB_COLLECTED_HEALTH) {
                playSound(4);
                orbsLeft -= 1;
                if (orbsLeft <= 0)
                    playSound(5);
                enemyTable.health[e] = ORB_COLLECTED_HEALTH;
            }
            break;
        default:
            playSound(1);
            playerHealth -= ENEMY_CONTACT_DAMAGE;
            enemyTable.health[e] = 0.0f;
            spawnFlashLight(e);
            if (playerHealth > 0.0f)
                healthBarTimer = HEALTH_BAR_SHOW_MS;
            playerScore = static_cast<int32_t>(static_cast<float>(playerScore) + enemyTable.scoreValue[e]);
            break;
        }
    }
}

}  // namespace

void resolvePlayerCollisions(int order)
{
    if (playerHealth <= 0.0f)
        return;
    resolvedX = playerX;
    resolvedY = 0.0f;
    standingBoxIndex = 0;
    const PlayerRect p = currentPlayerRect();
    for (int n = 1; n <= boxCount; ++n) {
        const int i = order == 0 ? n : boxCount + 1 - n;
        if (!boxOverlapsRect(i, p.l, p.b, p.r - p.l, p.t - p.b))
            continue;
        if (!collideShapedBox(i, p))
            break;
    }
    if (resolvedX != 0.0f)
        playerX = resolvedX;
    if (resolvedY != 0.0f)
        playerY = resolvedY;
    touchEnemies();
    playerX = std::max(playerX, 0.0f);
    playerX = std::min(playerX, LEVEL_WIDTH - playerWidth);
    playerY = std::max(playerY, 0.0f);
}

bool playerHeadInBox(int i)
{
    const PlayerRect p = currentPlayerRect();
    return boxRight(i) - EDGE_MARGIN > p.l && p.r > boxTable.x[i] + EDGE_MARGIN && p.t > boxTable.y[i] && p.t < boxTop(i);
}

bool playerFeetInBox(int i)
{
    const PlayerRect p = currentPlayerRect();
    return boxRight(i) - EDGE_MARGIN > p.l && p.r > boxTable.x[i] + EDGE_MARGIN && boxTop(i) > p.b && boxTable.y[i] < p.b;
}

bool playerRightEdgeInBox(int i)
{
    const PlayerRect p = currentPlayerRect();
    return boxTop(i) > p.b && boxTable.y[i] < p.t && boxTable.x[i] < p.r && p.r < boxRight(i);
}

bool playerLeftEdgeInBox(int i)
{
    const PlayerRect p = currentPlayerRect();
    return boxTop(i) > p.b && boxTable.y[i] < p.t && boxTable.x[i] < p.l && p.l < boxRight(i);
}

float overlapWidth(int i)
{
    const PlayerRect p = currentPlayerRect();
    const float bl = boxTable.x[i], br = boxRight(i);
    const bool edgeInside = (bl < p.l && p.l < br) || (bl < p.r && p.r < br);
    return edgeInside ? overlapLength(p.l, p.r, bl, boxTable.width[i]) : boxTable.width[i];
}

float overlapHeight(int i)
{
    const PlayerRect p = currentPlayerRect();
    const float bb = boxTable.y[i], bt = boxTop(i);
    const bool edgeInside = (bb < p.b && p.b < bt) || (bb < p.t && p.t < bt);
    return edgeInside ? overlapLength(p.b, p.t, bb, boxTable.height[i]) : boxTable.height[i];
}
