// The player's weapons (see weapons.h). Random draws (crtRand) happen in a fixed order, since
// the rest of the game continues the same sequence: each hit spark and spark burst draws once
// for its chance and twice per spark; the muzzle flash draws once every drawn frame.
#include "game/weapons.h"

#include "core/clock.h"
#include "core/keyboard.h"
#include "core/sound.h"
#include "game/boxes.h"
#include "game/draw_2d.h"
#include "game/enemies.h"
#include "game/flash_light.h"
#include "game/game_state.h"  // playerFacing, FACING_LEFT, playerX, playerWidth, playerWeapon, ...
#include "game/line_walks.h"
#include "game/missiles.h"
#include "game/nuke.h"
#include "platform/crt_random.h"
#include "render/lights.h"

#include <SDL_scancode.h>
#include <cmath>

ShotPool shots = {};
float fireCooldown = 40.0f;
float lastLaserMs = 0.0f;
float lastBulletMs = 0.0f;
float laserSpeed = 3.0f * 7.5f;
int32_t muzzleFlashFrames = 0;
int32_t muzzleFlashKind = 0;
float muzzleFlashAlpha = 0.0f;
float muzzleFlashY = 0.0f;
int32_t muzzleFlashFacing = 0;

namespace {

constexpr int SOUND_EXPLOSION = 1;
constexpr int SOUND_LASER = 3;
constexpr float BULLET_SPEED_FACTOR = 2.5f;  // of walkSpeed
constexpr float BARREL_LENGTH = 170.0f;
constexpr float SHOT_KNOCKBACK = 15.0f;
constexpr float SHOT_HIT_TIMER = 300.0f;
constexpr float LASER_HALF_HEIGHT = 8.0f;
constexpr float BULLET_DRAW_STRETCH = 10.0f;
constexpr float FLASH_SIZE = 64.0f;
constexpr float FLASH_GAP = 19.0f;
constexpr int GUN_LIGHT = 7;
// The shots' screen height is pulled a little towards the middle, as the 3D hero is.
constexpr float VIEW_PULL_DIVISOR = 449.99997f / 20.0f;

bool keyHeld(int scancode)
{
    return keyboardState.held[scancode] != 0;
}

int firstFreeShot()
{
    for (int i = 0; i < SHOT_COUNT; ++i)
        if (shots.state[i] == SHOT_FREE)
            return i;
    return -1;
}

void startShot(int i, float x, float y, int direction, float length, float vy, float speed, int kind)
{
    shots.x[i] = x;
    shots.y[i] = y;
    shots.direction[i] = direction;
    shots.length[i] = length;
    shots.unit[i] = 1.0f;
    shots.state[i] = SHOT_FLYING;
    shots.vy[i] = vy;
    shots.speed[i] = speed;
    shots.kind[i] = kind;
}

// The first box 1..boxCount that overlaps the barrel, 0 for none.
bool barrelBlocked(float y)
{
    const float barrelX = playerFacing == FACING_LEFT ? playerX - 150.0f : playerX + playerWidth - 20.0f;
    for (int i = 1; i <= boxCount; ++i)
        if (boxOverlapsRect(i, barrelX, y - 3.0f, BARREL_LENGTH, 6.0f))
            return true;
    return false;
}

void fireWeapons()
{
    const float now = static_cast<float>(clockNowMs());
    const float muzzle = muzzleY();
    const int direction = playerFacing == FACING_LEFT ? 0 : 1;
    const bool left = playerFacing == FACING_LEFT;
    if (!muzzleClearOfBoxes(muzzle - 20.0f)) {
        if (playerWeapon == WEAPON_LASER && now - lastLaserMs > LASER_INTERVAL_MS) {
            lastLaserMs = now;
            spawnLaserShot(left ? playerX - 140.0f : playerX + playerWidth - 10.0f, muzzle, direction);
            setMuzzleFlash(0);
        } else if (playerWeapon == WEAPON_TRIPLE && now - lastBulletMs > BULLET_INTERVAL_MS) {
            lastBulletMs = now;
            spawnBulletShot(left ? playerX : playerX + playerWidth - 10.0f, muzzle, direction, 0.0f);
            setMuzzleFlash(1);
        }
    } else {
        if (playerWeapon == WEAPON_LASER && now - lastLaserMs > LASER_INTERVAL_MS) {
            lastLaserMs = now;
            spawnLaserShot(left ? playerX - 169.0f : playerX + playerWidth + 19.0f, muzzle, direction);
            setMuzzleFlash(0);
        } else if (playerWeapon == WEAPON_TRIPLE && now - lastBulletMs > BULLET_INTERVAL_MS) {
            lastBulletMs = now;
            const float x = left ? playerX - 69.0f : playerX + playerWidth + 59.0f;
            spawnBulletShot(x, muzzle - 30.0f, direction, -1.0f);
            spawnBulletShot(x, muzzle, direction, 0.0f);
            spawnBulletShot(x, muzzle + 30.0f, direction, 1.0f);
            setMuzzleFlash(1);
        }
    }
    if (playerWeapon == WEAPON_NUKE) {
        if (nukeRadius == 0.0f && playerAmmo[1] > 0) {
            nukeRadius = 1.0f;
            nukeCentreX = playerX + 0.5f * playerWidth;
            nukeCentreY = playerY + 0.5f * playerHeight;
            playerAmmo[1] -= 1;
        }
    } else if (playerWeapon == WEAPON_MISSILE) {
        // A full pool fires nothing: no sound, no flash, no missile spent.
        if (playerAmmo[0] > 0 && livingTargetCount > 0 && fireCooldown < 0.0f && fireHomingMissile()) {
            fireCooldown = MISSILE_INTERVAL;
            setMuzzleFlash(2);
            playerAmmo[0] = playerAmmo[0] - 1 < 0 ? 0 : playerAmmo[0] - 1;
        }
    }
}

// A shot that hit something throws one spark: a laser's leading end (15 % of the time), a
// bullet where it stands; the same draws as a burst of one.
void throwHitSpark(int i, float bulletX)
{
    if (shots.kind[i] == SHOT_LASER) {
        const float x = shots.direction[i] == 1 ? shots.x[i] + shots.length[i] : shots.x[i];
        spawnSparks(x, shots.y[i], 1, 0);
    } else {
        spawnSparks(bulletX, shots.y[i], 1, 1);
    }
}

// The crossing column of the shot's height with a slope's diagonal, and whether it cuts.
void hitSlope(int i, int box, bool& hit)
{
    const float left = boxTable.x[box];
    const float right = left + boxTable.width[box];
    const float bottom = boxTable.y[box];
    const float top = bottom + boxTable.height[box];
    const int type = boxTable.type[box];
    const float y = shots.y[i];
    float xs;
    if (type == BOX_LEFT_SLOPE || type == BOX_BOTTOM_LEFT_SLOPE)
        xs = xAtHeightFalling(left, top, right, bottom, y);
    else
        xs = xAtHeightRising(left, bottom, right, top, y);
    const bool fromLeft = type == BOX_RIGHT_SLOPE || type == BOX_BOTTOM_LEFT_SLOPE;
    hit = fromLeft ? xs < shots.x[i] + shots.length[i] : xs > shots.x[i];
    if (!hit)
        return;
    if (fromLeft) {
        shots.length[i] = xs - shots.x[i];
    } else {
        shots.length[i] = shots.length[i] + shots.x[i] - xs;
        shots.x[i] = xs;
    }
}

void hitHeightmap(int i, int box, bool& hit)
{
    const bool floor = boxTable.type[box] == BOX_HEIGHTMAP_FLOOR;
    const int32_t profile = floor ? floorProfileId : ceilingProfileId;
    const bool right = shots.direction[i] == 1;
    float surface = 0.0f;
    float xs;
    if (floor)
        xs = right ? scanSurfaceAboveRightward(box, shots.x[i], shots.y[i], shots.length[i], profile, surface)
                   : scanSurfaceAboveLeftward(box, shots.x[i], shots.y[i], shots.length[i], profile, surface);
    else
        xs = right ? scanSurfaceBelowRightward(box, shots.x[i], shots.y[i], shots.length[i], profile, surface)
                   : scanSurfaceBelowLeftward(box, shots.x[i], shots.y[i], shots.length[i], profile, surface);
    hit = xs != -1.0f;
    if (!hit)
        return;
    if (right) {
        shots.length[i] = xs - shots.x[i];
    } else if (floor) {
        shots.length[i] = shots.length[i] + shots.x[i] - xs - 1.0f;
        shots.x[i] = xs + 1.0f;
    } else {
        shots.length[i] = shots.length[i] + shots.x[i] - xs;
        shots.x[i] = xs;
    }
}

void collideShotWithBoxes(int i)
{
    for (int b = 1; b <= boxCount && shots.state[i] >= SHOT_FLYING; ++b) {
        if (!boxOverlapsRect(b, shots.x[i], shots.y[i], shots.length[i], shots.unit[i]))
            continue;
        const int type = boxTable.type[b];
        const bool bullet = shots.kind[i] == SHOT_BULLET;
        if (type >= BOX_LEFT_SLOPE && type <= BOX_HEIGHTMAP_CEILING) {
            bool hit = false;
            if (type <= BOX_BOTTOM_RIGHT_SLOPE)
                hitSlope(i, b, hit);
            else
                hitHeightmap(i, b, hit);
            if (!hit)
                continue;
            shots.state[i] = bullet || shots.length[i] < 0.0f ? SHOT_FREE : SHOT_FLYING;
            throwHitSpark(i, shots.x[i]);
            continue;
        }
        // Standard boxes, lifts and unknown kinds: cut at the face.
        const float xBefore = shots.x[i];
        if (shots.direction[i] == 1) {
            shots.length[i] = boxTable.x[b] - shots.x[i];
        } else {
            const float boxRight = boxTable.x[b] + boxTable.width[b];
            shots.length[i] -= boxRight - shots.x[i];
            shots.x[i] = boxRight;
        }
        shots.state[i] = shots.length[i] >= 0.0f ? SHOT_FLYING : SHOT_FREE;
        if (bullet)
            shots.state[i] = SHOT_FREE;
        if (type == BOX_STANDARD || type == BOX_LIFT)
            throwHitSpark(i, shots.direction[i] == 1 ? shots.x[i] : xBefore);
    }
}

void collideShotWithEnemies(int i)
{
    for (int e = 1; e <= enemyCount; ++e) {
        if (enemyTable.health[e] <= 0.0f)
            continue;
        const float ex = enemyTable.x[e];
        const float ey = enemyTable.y[e];
        const bool overlaps = shots.x[i] < ex + enemyTable.width[e] && shots.x[i] + shots.length[i] > ex
            && shots.y[i] < ey + enemyTable.height[e] && shots.y[i] + 1.0f > ey;
        if (!overlaps)
            continue;
        shots.state[i] = SHOT_ENDING;
        const int type = enemyTable.type[e];
        if (type == ENEMY_WALKER || type == ENEMY_JUMPER) {
            enemyTable.health[e] -= SHOT_HIT_DAMAGE;
            enemyTable.hitTimer[e] = SHOT_HIT_TIMER;
            enemyTable.knockbackVx[e] = shots.direction[i] == 1 ? SHOT_KNOCKBACK : -SHOT_KNOCKBACK;
            if (enemyTable.health[e] <= 0.0f) {
                playSound(SOUND_EXPLOSION);
                spawnFlashLight(e);
                playerScore = static_cast<int32_t>(static_cast<float>(playerScore) + enemyTable.scoreValue[e]);
            }
        }
        return;
    }
}

float pulledScreenY(float worldY)
{
    const float s = worldY - gameCameraY;
    return s + (450.0f - s) / VIEW_PULL_DIVISOR;
}

}  // namespace

float muzzleY()
{
    return playerY + 7.0f + 98.68421f + gunBob - 55.0f * crouchBlend + 20.0f;
}

bool muzzleClearOfBoxes(float y)
{
    return !barrelBlocked(y);
}

void setMuzzleFlash(int kind)
{
    muzzleFlashKind = kind;
    muzzleFlashFrames = 2;
    if (kind == 2) {
        muzzleFlashFrames = 5;
        muzzleFlashKind = 0;
    }
    muzzleFlashFade = 1.0f;
}

void updateWeapons()
{
    if (keyHeld(SDL_SCANCODE_RCTRL) && playerActive && !crawlStepActive)
        fireWeapons();
    fireCooldown -= substepFactor;
    if (keyHeld(SDL_SCANCODE_1))
        playerWeapon = WEAPON_LASER;
    if (keyHeld(SDL_SCANCODE_2))
        playerWeapon = WEAPON_MISSILE;
    if (keyHeld(SDL_SCANCODE_3))
        playerWeapon = WEAPON_NUKE;
    updateShots();
    updateHomingMissiles();
    applyNukeDamage();
}

void spawnLaserShot(float x, float y, int direction)
{
    playSound(SOUND_LASER);
    const int i = firstFreeShot();
    if (i >= 0)
        startShot(i, x, y, direction, LASER_LENGTH, 0.0f, laserSpeed, SHOT_LASER);
}

void spawnBulletShot(float x, float y, int direction, float slant)
{
    playSound(SOUND_LASER);
    const int i = firstFreeShot();
    const float speed = walkSpeed * BULLET_SPEED_FACTOR;
    if (i >= 0)
        startShot(i, x, y, direction, BULLET_LENGTH, speed * slant, speed, SHOT_BULLET);
}

void updateShots()
{
    for (int i = 0; i < SHOT_COUNT; ++i) {
        if (shots.state[i] < SHOT_FLYING)
            continue;
        shots.y[i] += shots.vy[i] * substepFactor;
        if (shots.direction[i] == 1)
            shots.x[i] += shots.speed[i] * substepFactor;
        else
            shots.x[i] -= shots.speed[i] * substepFactor;
        if (shots.x[i] < 0.0f || shots.x[i] > LEVEL_WIDTH)
            shots.state[i] = SHOT_FREE;
        collideShotWithBoxes(i);
        if (shots.length[i] <= SHOT_END_LENGTH)
            shots.state[i] = SHOT_ENDING;
        else if (shots.state[i] >= SHOT_FLYING)
            collideShotWithEnemies(i);
    }
}

void drawShots()
{
    for (int i = 0; i < SHOT_COUNT; ++i) {
        if (shots.state[i] == SHOT_ENDING) {
            shots.state[i] = SHOT_FREE;
            continue;
        }
        if (shots.state[i] < SHOT_FLYING || !(shots.length[i] > 0.0f && shots.length[i] <= LASER_LENGTH))
            continue;
        const float sx = shots.x[i] - gameCameraX;
        const float ys = pulledScreenY(shots.y[i]);
        const bool right = shots.direction[i] == 1;
        const float length = shots.length[i];
        if (shots.kind[i] == SHOT_LASER) {
            setDrawColor(0.5f, 1.0f, 0.9f, 1.0f);
            if (right)
                drawRotatedQuad(sx + length, ys - LASER_HALF_HEIGHT, sx, ys + LASER_HALF_HEIGHT, 0.0f, laserTexture);
            else
                drawRotatedQuad(sx, ys - LASER_HALF_HEIGHT, sx + length, ys + LASER_HALF_HEIGHT, 0.0f, laserTexture);
        } else {
            setDrawColor(1.0f, 0.6f, 0.0f, 1.0f);
            float angle = 0.0f;
            if (shots.vy[i] < 0.0f)
                angle = right ? -45.0f : 45.0f;
            else if (shots.vy[i] > 0.0f)
                angle = right ? 45.0f : -45.0f;
            const float end = right ? sx - BULLET_DRAW_STRETCH * length : sx + BULLET_DRAW_STRETCH * length;
            drawRotatedQuad(sx, ys - LASER_HALF_HEIGHT, end, ys + LASER_HALF_HEIGHT, angle, laserTexture);
        }
    }
}

void freeAllShots()
{
    for (int i = 0; i < SHOT_COUNT; ++i)
        shots.state[i] = SHOT_FREE;
}

void drawMuzzleFlash()
{
    muzzleFlashAlpha = static_cast<float>(crtRand() % 3) / 3.0f + 0.3f;
    muzzleFlashY = playerY + 98.68421f + heroYOffset - gameCameraY - 32.0f + 3.0f - 0.7f * crouchBlend + 20.0f;
    muzzleFlashFacing = playerFacing;
    setDrawColor(1.0f, 1.0f, 1.0f, muzzleFlashAlpha);
    if (muzzleFlashFrames > 0) {
        const uint32_t texture = muzzleFlashTextures[muzzleFlashKind == 1 ? 1 : 0];
        float x0, x1;
        if (playerFacing == FACING_LEFT) {
            x0 = playerX - FLASH_SIZE - gameCameraX - FLASH_GAP;
            x1 = playerX - gameCameraX - FLASH_GAP;
        } else {
            x0 = playerX + playerWidth + FLASH_SIZE - gameCameraX + FLASH_GAP;
            x1 = playerX + playerWidth - gameCameraX + FLASH_GAP;
        }
        drawRotatedQuad(x0, muzzleFlashY, x1, muzzleFlashY + FLASH_SIZE, 0.0f, texture);
    }
    muzzleFlashFrames -= 1;
    if (muzzleFlashFrames <= 0) {
        muzzleFlashFrames = 0;
        lightTable.enabled[GUN_LIGHT] = 0;
        return;
    }
    const float colour[4] = {muzzleFlashKind == 1 ? 1.0f : 0.0f, muzzleFlashKind == 1 ? 0.6f : 1.0f,
        muzzleFlashKind == 1 ? 0.0f : 1.0f, 1.0f};
    for (int c = 0; c < 4; ++c) {
        lightTable.ambient[GUN_LIGHT][c] = colour[c];
        lightTable.diffuse[GUN_LIGHT][c] = colour[c];
        lightTable.specular[GUN_LIGHT][c] = colour[c];
    }
    lightTable.mapSelect[GUN_LIGHT] = 0.99609375f;
    lightTable.invRadius[GUN_LIGHT] = 1.3333334f;
    lightTable.orbitPhase[GUN_LIGHT] = 0.0f;
    lightTable.orbitSpeed[GUN_LIGHT] = 0.1f;
    for (int c = 0; c < 3; ++c)
        lightTable.orbitOffset[GUN_LIGHT][c] = 0.0f;
    const float a = playerFacing == FACING_RIGHT ? playerWidth : -78.0f;
    const float c = playerY + 0.5f * playerHeight - gameCameraY;
    lightTable.position[GUN_LIGHT][0] = (playerX + 55.0f + a - gameCameraX - 990.0f) / 1000.0f * 2048.0f * VIEW_SCALE_X / 1980.0f;
    lightTable.position[GUN_LIGHT][1] = (c + (450.0f - c) / VIEW_PULL_DIVISOR - 540.0f) / 1000.0f * 2048.0f * VIEW_SCALE_Y / 1080.0f;
    lightTable.position[GUN_LIGHT][2] = 0.35f;
    lightTable.position[GUN_LIGHT][3] = 0.0f;
    lightTable.enabled[GUN_LIGHT] = 1;
}
