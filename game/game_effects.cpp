#include "game/game_effects.h"

#include "game/draw_2d.h"        // flush2D
#include "game/enemy_overlays.h"
#include "game/game_camera.h"    // drawPlayerHealthBar, drawPlayerOutline
#include "game/game_scene.h"     // debugOverlay, drawBoxOutlines
#include "game/game_state.h"  // heroDrawY, deathBurstTimer, debugOverlay
#include "game/missiles.h"
#include "game/restart.h"        // updateDeathBurst
#include "game/weapons.h"

#include <algorithm>
#include <cmath>

// The hero's drawn height as the bar's whole-unit position (0 for a non-finite height).
static int barHeight(float y)
{
    if (!std::isfinite(y))
        return 0;
    return static_cast<int>(std::clamp(y, -1e9f, 1e9f));
}

void drawGameEffects()
{
    updateSparks();
    drawSparks();
    drawShots();
    drawEnemyOverlays();
    drawHomingMissiles();
    drawPlayerHealthBar(barHeight(heroDrawY));
    drawMuzzleFlash();
    if (deathBurstTimer > 0.0f)
        updateDeathBurst();
    if (debugOverlay) {
        drawBoxOutlines();
        drawPlayerOutline();
    }
    flush2D();  // the layer's last batch, before the frame's composite reads the target
}
