// The weapons, homing missiles and the nuke's damage without a window: fire rates on the
// virtual clock whatever the substeps, the barrel inside a wall, shots cut at box faces and
// freed outside the level, hits on enemies, weapon keys; missile steering, re-targeting, life
// and the full pool; which enemies the nuke kills.
#include "core/clock.h"
#include "core/keyboard.h"
#include "core/sound.h"  // soundObserver
#include "game/boxes.h"
#include "game/enemies.h"
#include "game/game_camera.h"
#include "game/game_frame.h"
#include "game/hero.h"
#include "game/missiles.h"
#include "game/nuke.h"
#include "game/player.h"
#include "game/weapons.h"
#include "platform/crt_random.h"
#include "platform/os_services.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int64_t NS_PER_MS = 1000000;

// A level of the ground strip only, one player standing at (500, 160) facing right with the
// laser, no enemies, the clock at 1000 ms on the virtual counter.
struct WeaponsFixture : ::testing::Test {
    int64_t nowNs = 0;

    void SetUp() override
    {
        useVirtualCounter(true);
        initClockFrequency();
        setVirtualCounter(0);
        startClock();
        setClockMs(1000);
        std::memset(&boxTable, 0, sizeof(boxTable));
        boxCount = 1;
        setBox(1, 0, GROUND_STRIP_Y, LEVEL_WIDTH, GROUND_STRIP_HEIGHT, BOX_STANDARD);
        std::memset(&enemyTable, 0, sizeof(enemyTable));
        enemyCount = 0;
        livingTargetCount = 0;
        std::memset(&shots, 0, sizeof(shots));
        std::memset(&sparks, 0, sizeof(sparks));
        std::memset(&missiles, 0, sizeof(missiles));
        std::memset(&keyboardState, 0, sizeof(keyboardState));
        buildMissileSinCosTable();
        playerX = 500;
        playerY = 160;
        playerWidth = PLAYER_WIDTH;
        playerHeight = 180;
        playerFacing = FACING_RIGHT;
        playerActive = 1;
        crawlStepActive = 0;
        crouchBlend = 0;
        gunBob = 0;
        playerWeapon = 1;
        playerAmmo[0] = 100;
        playerAmmo[1] = 5;
        playerScore = 0;
        lastLaserMs = 0;
        lastBulletMs = 0;
        fireCooldown = 40;
        nukeRadius = 0;
        gameCameraX = 0;
        gameCameraY = 0;
        substepFactor = 0.05f;
        crtSrand(1);
    }
    void TearDown() override { useVirtualCounter(false); }

    void setClockMs(int ms)
    {
        nowNs = ms * NS_PER_MS;
        setVirtualCounter(nowNs);
    }
    void setBox(int i, float x, float y, float w, float h, int type)
    {
        boxTable.x[i] = x;
        boxTable.y[i] = y;
        boxTable.width[i] = w;
        boxTable.height[i] = h;
        boxTable.type[i] = type;
    }
    int addEnemy(int type, float x, float y, float health = 40)
    {
        const int e = ++enemyCount;
        enemyTable.type[e] = type;
        enemyTable.x[e] = x;
        enemyTable.y[e] = y;
        enemyTable.width[e] = 70;
        enemyTable.height[e] = 150;
        enemyTable.health[e] = health;
        enemyTable.scoreValue[e] = 25;
        return e;
    }
    std::vector<int> flyingShots(int kind) const
    {
        std::vector<int> found;
        for (int i = 0; i < SHOT_COUNT; ++i)
            if (shots.state[i] >= SHOT_FLYING && shots.kind[i] == kind)
                found.push_back(i);
        return found;
    }
    int activeSparks() const
    {
        int n = 0;
        for (int i = 0; i < SPARK_COUNT; ++i)
            n += sparks.active[i] != 0;
        return n;
    }
};

TEST_F(WeaponsFixture, FireIntervalsHoldWhateverTheSubsteps)
{
    struct Case {
        int weapon;
        int frameMs;     // the clock moves once per frame
        int substeps;    // updateWeapons calls per frame
        float interval;  // strictly more than this between two shots
        int perShot;     // shots spawned each time
    };
    const Case cases[] = {
        {1, 1, 1, 50, 1}, {1, 16, 20, 50, 1}, {1, 80, 20, 50, 1}, {1, 7, 3, 50, 1},
        {2, 1, 1, 40, 3}, {2, 16, 20, 40, 3}, {2, 33, 5, 40, 3},
    };
    for (const Case& c : cases) {
        SetUp();
        playerWeapon = c.weapon;
        keyboardState.held[SDL_SCANCODE_RCTRL] = 1;
        std::vector<int> fireTimes;
        int spawned = 0;
        for (int t = 1000; t < 3000; t += c.frameMs) {
            setClockMs(t);
            for (int s = 0; s < c.substeps; ++s) {
                const float before = c.weapon == 1 ? lastLaserMs : lastBulletMs;
                updateWeapons();
                const float after = c.weapon == 1 ? lastLaserMs : lastBulletMs;
                if (after != before)
                    fireTimes.push_back(t);
            }
            for (int i = 0; i < SHOT_COUNT; ++i)
                if (shots.state[i] >= SHOT_FLYING) {
                    ++spawned;
                    shots.state[i] = SHOT_FREE;
                }
        }
        ASSERT_GT(fireTimes.size(), 10u) << c.weapon << " " << c.frameMs;
        for (size_t i = 1; i < fireTimes.size(); ++i) {
            const int gap = fireTimes[i] - fireTimes[i - 1];
            EXPECT_GT(gap, c.interval) << "weapon " << c.weapon << " frames of " << c.frameMs << " ms";
            EXPECT_LE(gap, c.interval + c.frameMs) << "weapon " << c.weapon << " frames of " << c.frameMs << " ms";
        }
        EXPECT_EQ(spawned, static_cast<int>(fireTimes.size()) * c.perShot) << "weapon " << c.weapon;
    }
}

TEST_F(WeaponsFixture, BarrelInsideAWallFiresFromInsideThePlayer)
{
    // A wall right in front of the gun.
    boxCount = 2;
    setBox(2, playerX + playerWidth + 5, 0, 200, 1000, BOX_STANDARD);
    keyboardState.held[SDL_SCANCODE_RCTRL] = 1;
    const float muzzle = muzzleY();
    ASSERT_FALSE(muzzleClearOfBoxes(muzzle - 20));
    playerWeapon = 1;
    substepFactor = 0;  // the shot stays where it was spawned
    updateWeapons();
    std::vector<int> lasers = flyingShots(SHOT_LASER);
    ASSERT_EQ(lasers.size(), 1u);
    EXPECT_FLOAT_EQ(shots.x[lasers[0]], playerX + playerWidth - 10);
    EXPECT_FLOAT_EQ(shots.y[lasers[0]], muzzle);
    std::memset(&shots, 0, sizeof(shots));
    playerWeapon = 2;
    updateWeapons();
    EXPECT_EQ(flyingShots(SHOT_BULLET).size(), 1u);
    // The free barrel gives three bullets from in front of the gun.
    boxCount = 1;
    std::memset(&shots, 0, sizeof(shots));
    setClockMs(2000);
    updateWeapons();
    const std::vector<int> bullets = flyingShots(SHOT_BULLET);
    ASSERT_EQ(bullets.size(), 3u);
    EXPECT_FLOAT_EQ(shots.x[bullets[0]], playerX + playerWidth + 59);
    EXPECT_FLOAT_EQ(shots.vy[bullets[0]], -walkSpeed * 2.5f);
    EXPECT_FLOAT_EQ(shots.vy[bullets[2]], walkSpeed * 2.5f);
}

TEST_F(WeaponsFixture, LaserIsCutAtABoxFaceAndShrinksUntilItEnds)
{
    boxCount = 2;
    setBox(2, 1000, 0, 100, 1000, BOX_STANDARD);
    spawnLaserShot(700, 400, 1);
    substepFactor = 1.0f;  // 22.5 units per substep
    bool cut = false;
    for (int step = 0; step < 40; ++step) {
        updateShots();
        const int i = 0;
        if (shots.state[i] >= SHOT_FLYING && shots.x[i] + LASER_LENGTH > 1000) {
            cut = true;
            EXPECT_FLOAT_EQ(shots.x[i] + shots.length[i], 1000.0f) << "step " << step;
        }
        if (shots.state[i] < SHOT_FLYING) {
            EXPECT_TRUE(cut);
            EXPECT_EQ(shots.state[i], SHOT_ENDING);
            EXPECT_LE(shots.length[i], SHOT_END_LENGTH);
            drawShots();  // an ending shot is freed by the next draw
            EXPECT_EQ(shots.state[i], SHOT_FREE);
            return;
        }
    }
    FAIL() << "the laser never ended";
}

TEST_F(WeaponsFixture, BulletEndsAtAnyBoxWithOneOrangeSpark)
{
    struct Case {
        int type;
        int direction;
    };
    const Case cases[] = {{BOX_STANDARD, 1}, {BOX_STANDARD, 0}, {BOX_LIFT, 1}, {BOX_LEFT_SLOPE, 1},
        {BOX_RIGHT_SLOPE, 1}, {BOX_BOTTOM_RIGHT_SLOPE, 0}};
    for (const Case& c : cases) {
        SetUp();
        boxCount = 2;
        setBox(2, 1000, 0, 400, 1000, c.type);
        const float startX = c.direction == 1 ? 980.0f : 1410.0f;
        spawnBulletShot(startX, 400, c.direction, 0.0f);
        substepFactor = 1.0f;
        for (int step = 0; step < 40 && shots.state[0] >= SHOT_FLYING; ++step)
            updateShots();
        // Cut to nothing at the face, so the shot is left ending; the next draw frees it.
        EXPECT_LT(shots.state[0], SHOT_FLYING) << "type " << c.type << " direction " << c.direction;
        drawShots();
        EXPECT_EQ(shots.state[0], SHOT_FREE);
        EXPECT_EQ(activeSparks(), 1) << "type " << c.type;
        EXPECT_EQ(sparks.kind[0], 1);
    }
}

TEST_F(WeaponsFixture, ShotsLeavingTheLevelAreFreed)
{
    spawnLaserShot(LEVEL_WIDTH - 5, 400, 1);
    spawnBulletShot(3, 400, 0, 0.0f);
    substepFactor = 1.0f;
    updateShots();
    EXPECT_EQ(shots.state[0], SHOT_FREE);
    EXPECT_EQ(shots.state[1], SHOT_FREE);
}

TEST_F(WeaponsFixture, ShotsHurtWalkersOnlyAndNeverGhosts)
{
    const int walker = addEnemy(ENEMY_WALKER, 900, 350, 15);
    const int flyer = addEnemy(ENEMY_FLYER, 900, 600);
    // A living enemy beyond enemyCount is not in the level.
    enemyTable.type[enemyCount + 1] = ENEMY_WALKER;
    enemyTable.x[enemyCount + 1] = 900;
    enemyTable.y[enemyCount + 1] = 800;
    enemyTable.width[enemyCount + 1] = 70;
    enemyTable.height[enemyCount + 1] = 150;
    enemyTable.health[enemyCount + 1] = 40;
    substepFactor = 1.0f;
    spawnLaserShot(800, 400, 1);
    spawnLaserShot(800, 650, 1);
    spawnLaserShot(800, 850, 1);
    updateShots();
    EXPECT_EQ(shots.state[0], SHOT_ENDING);
    EXPECT_FLOAT_EQ(enemyTable.health[walker], 5);
    EXPECT_FLOAT_EQ(enemyTable.hitTimer[walker], 300);
    EXPECT_FLOAT_EQ(enemyTable.knockbackVx[walker], 15);
    EXPECT_EQ(shots.state[1], SHOT_ENDING);
    EXPECT_FLOAT_EQ(enemyTable.health[flyer], 40);
    EXPECT_EQ(shots.state[2], SHOT_FLYING);
    EXPECT_FLOAT_EQ(enemyTable.health[enemyCount + 1], 40);
    // The second hit kills and scores.
    spawnLaserShot(985, 400, 0);
    updateShots();
    EXPECT_LE(enemyTable.health[walker], 0);
    EXPECT_FLOAT_EQ(enemyTable.knockbackVx[walker], -15);
    EXPECT_EQ(playerScore, 25);
}

TEST_F(WeaponsFixture, NumberKeysSelectLaserMissilesAndNuke)
{
    struct Case {
        int keys[3];  // held: 1, 2, 3
        int weapon;
    };
    const Case cases[] = {{{1, 0, 0}, 1}, {{0, 1, 0}, 3}, {{0, 0, 1}, 4}, {{1, 1, 0}, 3}, {{1, 1, 1}, 4}, {{0, 0, 0}, 2}};
    for (const Case& c : cases) {
        playerWeapon = 2;
        keyboardState.held[SDL_SCANCODE_1] = static_cast<unsigned char>(c.keys[0]);
        keyboardState.held[SDL_SCANCODE_2] = static_cast<unsigned char>(c.keys[1]);
        keyboardState.held[SDL_SCANCODE_3] = static_cast<unsigned char>(c.keys[2]);
        updateWeapons();
        EXPECT_EQ(playerWeapon, c.weapon) << c.keys[0] << c.keys[1] << c.keys[2];
    }
}

TEST_F(WeaponsFixture, SparkBurstsFallAndExpire)
{
    int bursts = 0;
    for (int i = 0; i < 200; ++i) {
        std::memset(&sparks, 0, sizeof(sparks));
        spawnSparks(100, 100, 10, 0);
        const int n = activeSparks();
        EXPECT_TRUE(n == 0 || n == 10);
        bursts += n == 10;
    }
    EXPECT_GT(bursts, 10);
    EXPECT_LT(bursts, 60);
    std::memset(&sparks, 0, sizeof(sparks));
    spawnSparks(100, 100, 1, 1);
    substepFactor = 1.0f;
    for (int s = 0; s < 20; ++s)
        updateSparks();
    EXPECT_FLOAT_EQ(sparks.vy[0], -200.0f);
    setClockMs(1500);
    updateSparks();
    EXPECT_EQ(sparks.active[0], 1);
    setClockMs(1501);
    updateSparks();
    EXPECT_EQ(sparks.active[0], 0);
}

// Missiles.

TEST_F(WeaponsFixture, MissileSteersWithinItsSpeedLimitsTowardItsTarget)
{
    const int target = addEnemy(ENEMY_WALKER, 100, 150);
    livingTargetCount = 1;
    ASSERT_TRUE(fireHomingMissile());
    EXPECT_FLOAT_EQ(missiles.velocityX[0], 25.0f);  // fired while facing right
    EXPECT_EQ(missiles.target[0], target);
    substepFactor = 0.05f;
    float closest = 1e9f;
    for (int step = 0; step < 4000 && missiles.active[0]; ++step) {
        setClockMs(1000 + step / 20);
        updateHomingMissiles();
        EXPECT_LE(std::fabs(missiles.velocityX[0]), 20.0f);
        EXPECT_LE(std::fabs(missiles.velocityY[0]), 20.0f);
        closest = std::min(closest, std::fabs(missiles.x[0] - 135));
    }
    EXPECT_FALSE(missiles.active[0]);
    EXPECT_TRUE(missiles.hit[0]);
    EXPECT_LT(enemyTable.health[target], 40);  // it curved back to the target on the left
    EXPECT_FLOAT_EQ(enemyTable.hitTimer[target], 300);
}

TEST_F(WeaponsFixture, MissileRetargetsAndTheLastKillEndsEveryMissile)
{
    const int near = addEnemy(ENEMY_WALKER, 700, 160);
    const int far = addEnemy(ENEMY_JUMPER, 2500, 160);
    addEnemy(ENEMY_FLYER, 600, 160);  // never a target
    livingTargetCount = 2;
    ASSERT_TRUE(fireHomingMissile());
    ASSERT_TRUE(fireHomingMissile());
    EXPECT_EQ(missiles.target[0], near);
    missiles.x[1] = 2000;  // the second flies elsewhere
    enemyTable.health[near] = 0;
    updateHomingMissiles();
    EXPECT_EQ(missiles.target[0], far);
    EXPECT_EQ(livingTargetCount, 1);
    EXPECT_TRUE(missiles.active[0] && missiles.active[1]);
    enemyTable.health[far] = 0;
    updateHomingMissiles();
    EXPECT_EQ(livingTargetCount, 0);
    for (int m = 0; m < 2; ++m) {
        EXPECT_FALSE(missiles.active[m]);
        EXPECT_TRUE(missiles.hit[m]);
    }
}

TEST_F(WeaponsFixture, MissileLivesTenSeconds)
{
    addEnemy(ENEMY_WALKER, 3700, 9000);  // far away, never reached
    livingTargetCount = 1;
    ASSERT_TRUE(fireHomingMissile());
    substepFactor = 0;
    setClockMs(1000 + MISSILE_LIFE_MS);
    updateHomingMissiles();
    EXPECT_TRUE(missiles.active[0]);
    setClockMs(1000 + MISSILE_LIFE_MS + 1);
    updateHomingMissiles();
    EXPECT_FALSE(missiles.active[0]);
    EXPECT_TRUE(missiles.hit[0]);
}

TEST_F(WeaponsFixture, FullPoolFiresNothingAndMissingTargetIsNotSteered)
{
    addEnemy(ENEMY_WALKER, 3000, 160);
    livingTargetCount = 1;
    for (int m = 0; m < MISSILE_COUNT; ++m)
        missiles.active[m] = 1;
    playerWeapon = 3;
    fireCooldown = -1;
    keyboardState.held[SDL_SCANCODE_RCTRL] = 1;
    const int before = playerAmmo[0];
    crtSrand(77);
    const int expectedDraw = crtRand();
    crtSrand(77);
    EXPECT_FALSE(fireHomingMissile());
    EXPECT_EQ(crtRand(), expectedDraw);  // no burst drawn either
    fireCooldown = -1;
    std::memset(&missiles.active, 1, sizeof(missiles.active));
    keyboardState.held[SDL_SCANCODE_RCTRL] = 1;
    updateWeapons();
    EXPECT_EQ(playerAmmo[0], before);
    // A missile without a target flies straight on.
    std::memset(&missiles, 0, sizeof(missiles));
    ASSERT_TRUE(fireHomingMissile());
    missiles.target[0] = NO_TARGET;
    missiles.velocityX[0] = 12;
    missiles.velocityY[0] = -3;
    enemyTable.health[1] = 0;  // and none left to find
    updateHomingMissiles();
    EXPECT_FLOAT_EQ(missiles.velocityX[0], 12);
    EXPECT_FLOAT_EQ(missiles.velocityY[0], -3);
}

// The nuke.

TEST_F(WeaponsFixture, NukeKillsWhatItReachesOnScreenOnly)
{
    struct Case {
        float x, y;
        int dies;
    };
    gameCameraX = 1000;
    gameCameraY = 0;
    nukeCentreX = 1500;
    nukeCentreY = 300;
    nukeRadius = 600;
    const Case cases[] = {
        {1200, 200, 1},   // on screen, inside
        {950, 200, 1},    // straddles the left edge: a right corner on screen, a corner inside
        {900, 200, 0},    // wholly off screen, inside the circle
        {2500, 200, 0},   // on screen, outside
        {1500, 1100, 0},  // above the screen
    };
    for (const Case& c : cases)
        addEnemy(ENEMY_WALKER, c.x, c.y);
    const int orb = addEnemy(ENEMY_ORB, 1400, 200);
    applyNukeDamage();
    for (int i = 0; i < static_cast<int>(sizeof(cases) / sizeof(cases[0])); ++i)
        EXPECT_EQ(enemyTable.health[i + 1] <= 0, cases[i].dies != 0) << cases[i].x << "," << cases[i].y;
    EXPECT_GT(enemyTable.health[orb], 0);
}

}  // namespace

namespace {

std::vector<int> heardSounds;
void recordSound(int index)
{
    heardSounds.push_back(index);
}

TEST_F(WeaponsFixture, SoundsFollowTheShotsMissilesAndKills)
{
    heardSounds.clear();
    soundObserver = recordSound;
    const int walker = addEnemy(ENEMY_WALKER, 900, 200, 10);  // across the muzzle's height
    livingTargetCount = 1;
    keyboardState.held[SDL_SCANCODE_RCTRL] = 1;
    updateWeapons();                    // one laser
    EXPECT_EQ(heardSounds, std::vector<int>({3}));
    keyboardState.held[SDL_SCANCODE_RCTRL] = 0;
    substepFactor = 1.0f;
    for (int s = 0; s < 40 && enemyTable.health[walker] > 0; ++s)
        updateWeapons();                // the laser flies into the walker and kills it
    EXPECT_EQ(heardSounds, std::vector<int>({3, 1}));
    addEnemy(ENEMY_WALKER, 2000, 160);
    livingTargetCount = 1;  // as the next recount finds it
    playerWeapon = 3;
    fireCooldown = -1;
    keyboardState.held[SDL_SCANCODE_RCTRL] = 1;
    updateWeapons();                    // one missile
    soundObserver = nullptr;
    EXPECT_EQ(heardSounds, std::vector<int>({3, 1, 2}));
}

}  // namespace
