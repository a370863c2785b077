#include "game/game_camera.h"

#include "game/boxes.h"
#include "game/enemies.h"
#include "game/enemy_overlays.h"  // drawDotBar
#include "game/game_state.h"  // VIEW_WIDTH, VIEW_HEIGHT, playerActive, playerX, prevPlayerX, ...

#include <cmath>
#include <cstdlib>

// The dead zone: the player may roam the middle third of the view.
static constexpr float DEAD_ZONE_X = VIEW_WIDTH / 3.0f;
static constexpr float DEAD_ZONE_Y = VIEW_HEIGHT / 3.0f;
static constexpr double MS_PER_60HZ_FRAME = 16.666666666666668;

// |trunc(d)| as a float, 0 for a non-finite difference.
static float wholeUnits(float d)
{
    if (!std::isfinite(d))
        return 0.0f;
    return std::fabs(std::trunc(d));
}

void updateGameCamera()
{
    if (!playerActive)
        return;
    const float dx = wholeUnits(playerX - prevPlayerX);
    const float dy = wholeUnits(playerY - prevPlayerY);
    if (respawnPending) {
        playerX = prevPlayerX = resolvedX = heroSmoothX = heroDrawX = PLAYER_START_X;
        playerY = prevPlayerY = resolvedY = heroSmoothY = heroDrawY = PLAYER_START_Y;
        respawnPending = 0;
    }
    if (playerX < gameCameraX + DEAD_ZONE_X)
        gameCameraX -= dx;
    if (playerX > gameCameraX + VIEW_WIDTH - DEAD_ZONE_X)
        gameCameraX += dx;
    if (playerY < gameCameraY + DEAD_ZONE_Y)
        gameCameraY -= dy;
    if (playerY > gameCameraY + VIEW_HEIGHT - DEAD_ZONE_Y)
        gameCameraY += dy;
    if (gameCameraX < 0.0f)
        gameCameraX = 0.0f;
    if (gameCameraY < 0.0f)
        gameCameraY = 0.0f;
    if (gameCameraX + VIEW_WIDTH > LEVEL_WIDTH)
        gameCameraX = LEVEL_WIDTH - VIEW_WIDTH;
    if (gameCameraY + VIEW_HEIGHT > LEVEL_HEIGHT)
        gameCameraY = LEVEL_HEIGHT - VIEW_HEIGHT;
}

float worldToViewY(float worldY)
{
    return (worldY + heroYOffset - gameCameraY - 540.0f) / 1000.0f * 2048.0f * VIEW_SCALE_Y / 1080.0f;
}

static bool nearView(float x, float y, float w, float h)
{
    const float left = gameCameraX - VIEW_MARGIN;
    const float bottom = gameCameraY - VIEW_MARGIN;
    const float width = VIEW_WIDTH + 2.0f * VIEW_MARGIN;
    const float height = VIEW_HEIGHT + 2.0f * VIEW_MARGIN;
    return x < left + width && x + w > left && y < bottom + height && y + h > bottom;
}

bool isEnemyNearView(int i)
{
    if (i < 0 || i >= ENEMY_CAPACITY)
        return false;
    return nearView(enemyTable.x[i], enemyTable.y[i], enemyTable.width[i], enemyTable.height[i]);
}

bool enemyNearViewCopy(int i)
{
    return isEnemyNearView(i);
}

bool boxNearView(int i)
{
    if (i < 0 || i >= BOX_SLOTS)
        return false;
    return nearView(boxTable.x[i], boxTable.y[i], boxTable.width[i], boxTable.height[i]);
}

void drawPlayerHealthBar(int y)
{
    if (!(healthBarTimer > 0.0f))
        return;
    healthBarTimer -= static_cast<float>(substepFactor * MS_PER_60HZ_FRAME);
    const float alpha = healthBarTimer < 100.0f ? healthBarTimer / 100.0f : 1.0f;
    drawDotBar(playerHealth, playerX - gameCameraX, static_cast<float>(y + 200) - gameCameraY + 10.0f, alpha);
}
