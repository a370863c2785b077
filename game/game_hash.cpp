#include "game/game_hash.h"

#include "core/frame_values.h"
#include "core/keyboard.h"
#include "game/boxes.h"
#include "game/editor.h"
#include "game/enemies.h"
#include "game/game_assets.h"
#include "game/game_state.h"  // resolvedX, resolvedY, walkFrame, spinAngle, gameCameraX, ...
#include "game/missiles.h"
#include "game/nuke.h"
#include "game/orb_tables.h"
#include "game/restart.h"
#include "game/weapons.h"
#include "platform/crt_random.h"
#include "render/light_space.h"
#include "render/lights.h"

#include <cstdio>

namespace {

constexpr uint64_t FNV_OFFSET = 1469598103934665603ull;
constexpr uint64_t FNV_PRIME = 1099511628211ull;

struct Fnv {
    uint64_t value = FNV_OFFSET;
    void bytes(const void* data, size_t count)
    {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < count; ++i) {
            value ^= p[i];
            value *= FNV_PRIME;
        }
    }
    template <typename T>
    void add(const T& item)
    {
        bytes(&item, sizeof item);
    }
    template <typename T, typename... Rest>
    void add(const T& item, const Rest&... rest)
    {
        add(item);
        add(rest...);
    }
};

std::string floatText(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

}  // namespace

// Everything the world update, the restart and the render-path state changes write, in whole
// tables (the tables are plain numbers, so their bytes are their state); GL names and model
// pointers are left out, since they differ between runs without changing the game.
uint64_t hashGameState()
{
    Fnv h;
    h.add(crtRandStateValue());
    h.add(boxTable, boxCount, groundSink, resolvedX, resolvedY);
    h.add(enemyTable, enemyDebris, enemyCount, livingTargetCount, walkFrame, spinAngle);
    h.add(gameCameraX, gameCameraY);
    h.add(substepCount, substepFactor, frameStepFactor, gameFrameMs, prevGameFrameMs, prevPlayerX, prevPlayerY,
          wipeX, editorMode, editorRequest, viewRestartActive);
    h.add(playerX, playerY, playerWidth, playerHeight, playerHealth, playerLives, playerWeapon, playerAmmo, playerScore,
          orbsLeft, healthBarTimer);
    h.add(walkSpeed, playerFacing, stepDx, playerMoving, playerAirborne, jumpTime, jumpTimeStart, jumpStartY, jumpSpeed,
          jumpCount, jumpLatch, standingBoxIndex);
    h.add(playerCrouched, crawlStepActive, playerCrawlTime, heroCrouchFrame, crouchBlend, heroTurnAngle, heroIdleBlend,
          heroJumpPose, heroJumpPoseSpeed, heroJumpPoseAccel, heroAppearStartMs, heroViewYOffset);
    h.add(playerActive, playerDead, respawnPending, deathBurstActive, deathBurstTimer, playerDebris, restartCount);
    h.add(heroWalkPhase, muzzleFlashFade, gunBob, heroSmoothX, heroSmoothY, heroDrawX, heroDrawY, heroYOffset);
    h.add(shots, sparks, fireCooldown, lastLaserMs, lastBulletMs, laserSpeed, muzzleFlashFrames, muzzleFlashKind,
          muzzleFlashAlpha, muzzleFlashY, muzzleFlashFacing);
    h.add(missiles, missileSparks, headingDx, headingDy, heading);
    h.add(nukeRadius, nukeCentreX, nukeCentreY);
    h.add(orbSinTable, orbCosTable, orbGlowX, orbGlowY, orbGlowScale);
    h.add(cloudX, cloudY, cloudZ, cloudDirection, cloudSpeed);
    h.add(backgroundPropsEnabled, debugOverlay, sfbg, sfzbg, sf, sfz, xsc, ysc, zsc);
    h.add(cursorX, cursorY, cursorWidth, cursorHeight, selectedBoxType, selectedMeshId, selectedEnemyType, paletteMode,
          paletteCount);
    h.add(lightTable.enabled, lightTable.position, lightTable.invRadius, lightTable.flashActive, lightTable.flashStartMs);
    h.add(keyboardState, sceneStartMs, timelineT, shadowDebugView, gameFirstFrame, screenshotRequested, consoleVisible);
    return h.value;
}

std::vector<GameStateValue> listGameState()
{
    std::vector<GameStateValue> values = {
        {"playerX", floatText(playerX)},
        {"playerY", floatText(playerY)},
        {"heroDrawnX", floatText(heroDrawX)},
        {"heroDrawnY", floatText(heroDrawY)},
        {"playerHealth", floatText(playerHealth)},
        {"playerLives", std::to_string(playerLives)},
        {"playerScore", std::to_string(playerScore)},
        {"orbsLeft", std::to_string(orbsLeft)},
        {"editorMode", std::to_string(editorMode)},
        {"playerHeight", floatText(playerHeight)},
        {"playerCrouched", std::to_string(playerCrouched)},
        {"playerActive", std::to_string(playerActive)},
        {"jumpCount", std::to_string(jumpCount)},
        {"deathBurstTimer", floatText(deathBurstTimer)},
        {"viewRestartActive", std::to_string(viewRestartActive)},
        {"restartCount", std::to_string(restartCount)},
        {"gameCameraX", floatText(gameCameraX)},
        {"gameCameraY", floatText(gameCameraY)},
        {"boxCount", std::to_string(boxCount)},
        {"cursorX", floatText(cursorX)},
        {"cursorY", floatText(cursorY)},
        {"paletteMode", std::to_string(paletteMode ? 1 : 0)},
        {"paletteCount", std::to_string(paletteCount)},
    };
    for (int i = 1; i <= enemyCount && i < ENEMY_CAPACITY; ++i) {
        std::string prefix = "enemy" + std::to_string(i);
        values.push_back({prefix + ".type", std::to_string(enemyTable.type[i])});
        values.push_back({prefix + ".x", floatText(enemyTable.x[i])});
        values.push_back({prefix + ".y", floatText(enemyTable.y[i])});
        values.push_back({prefix + ".health", floatText(enemyTable.health[i])});
    }
    // The weapons' moving parts, so that scripted pictures can be read where the state says.
    values.push_back({"wipeX", floatText(wipeX)});
    values.push_back({"playerDead", std::to_string(playerDead)});
    values.push_back({"deathBurstActive", std::to_string(deathBurstActive)});
    values.push_back({"muzzleFlashFrames", std::to_string(muzzleFlashFrames)});
    values.push_back({"muzzleFlashY", floatText(muzzleFlashY)});
    values.push_back({"nukeRadius", floatText(nukeRadius)});
    values.push_back({"nukeCentreX", floatText(nukeCentreX)});
    values.push_back({"nukeCentreY", floatText(nukeCentreY)});
    for (int i = 0; i < SHOT_COUNT; ++i)
        if (shots.state[i] == SHOT_FLYING) {
            const std::string prefix = "shot" + std::to_string(i);
            values.push_back({prefix + ".x", floatText(shots.x[i])});
            values.push_back({prefix + ".y", floatText(shots.y[i])});
            values.push_back({prefix + ".length", floatText(shots.length[i])});
        }
    for (int i = 0; i < SPARK_COUNT; ++i)
        if (sparks.active[i]) {
            const std::string prefix = "spark" + std::to_string(i);
            values.push_back({prefix + ".x", floatText(sparks.x[i])});
            values.push_back({prefix + ".y", floatText(sparks.y[i])});
        }
    for (int m = 0; m < MISSILE_COUNT; ++m)
        if (missiles.active[m] == 1) {
            const std::string prefix = "missile" + std::to_string(m);
            values.push_back({prefix + ".x", floatText(missiles.x[m])});
            values.push_back({prefix + ".y", floatText(missiles.y[m])});
            values.push_back({prefix + ".target", std::to_string(missiles.target[m])});
        }
    return values;
}
