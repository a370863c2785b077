#include "game/flash_light.h"

#include "game/enemies.h"
#include "game/game_state.h"  // playerX, playerY, playerHeight, gameCameraX, gameCameraY
#include "render/lights.h"

void spawnFlashLight(int index)
{
    if (index < 0) {
        spawnFlashLightAt(playerX, playerY, playerHeight, gameCameraX, gameCameraY);
        return;
    }
    if (index >= ENEMY_CAPACITY)
        return;
    spawnFlashLightAt(enemyTable.x[index], enemyTable.y[index], enemyTable.height[index], gameCameraX, gameCameraY);
}
