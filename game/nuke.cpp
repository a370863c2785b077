// The nuke (see nuke.h).
#include "game/nuke.h"

#include "core/sound.h"
#include "game/draw_2d.h"
#include "game/enemies.h"
#include "game/flash_light.h"
#include "game/game_state.h"  // frameStepFactor, gameCameraX, gameCameraY, VIEW_WIDTH, VIEW_HEIGHT
#include "game/orb_tables.h"
#include "gfx/render_targets.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"

#include <algorithm>

float nukeRadius = 0.0f;
float nukeCentreX = 0.0f;
float nukeCentreY = 0.0f;
uint32_t nukePaintTexture = 0;
uint32_t nukePaintFxTexture = 0;

namespace {

constexpr int SOUND_EXPLOSION = 1;
constexpr float SMALL_RING_RADIUS = 200.0f;  // below it every other table entry is enough
bool nukeTexturesLoaded = false;

bool isNukeTarget(int e)
{
    const int type = enemyTable.type[e];
    return enemyTable.health[e] > 0.0f && (type == ENEMY_WALKER || type == ENEMY_JUMPER);
}

}  // namespace

void initNuke()
{
    fillOrbAngleTables();
    // F2 restarts the game every substep while held; the textures need loading only once.
    if (nukeTexturesLoaded || !hasGlContext2D())
        return;
    nukePaintTexture = loadTexture("nukepaint.tga");
    nukePaintFxTexture = loadTexture("nukepaintfx.tga");
    nukeTexturesLoaded = true;
}

void updateNukeShockwave()
{
    if (nukeRadius > 0.0f) {
        nukeRadius += NUKE_GROWTH * frameStepFactor;
        if (nukeRadius > NUKE_END_RADIUS) {
            nukeRadius = 0.0f;
            return;
        }
    }
    if (!(nukeRadius > 0.0f))
        return;
    const float fade = nukeRadius < NUKE_FADE_RADIUS ? 1.0f : 1.0f - (nukeRadius - NUKE_FADE_RADIUS) / 240.0f;
    if (!hasGlContext2D())
        return;
    flush2D();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    setDrawColor(1.0f, 1.0f, 1.0f, fade);
    drawNukeRing(nukeCentreX, nukeCentreY, nukeRadius, 0);
    flush2D();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget3.framebuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    setDrawColor(1.0f, 1.0f, 1.0f, fade);
    drawNukeRing(nukeCentreX, nukeCentreY, nukeRadius, 1);
    flush2D();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
}

void drawNukeRing(float cx, float cy, float r, int effect)
{
    const float thickness = effect == 1 ? NUKE_EFFECT_THICKNESS : NUKE_RING_THICKNESS;
    const uint32_t texture = effect == 1 ? nukePaintFxTexture : nukePaintTexture;
    const int step = r < SMALL_RING_RADIUS ? 2 : 1;
    const float sx = cx - gameCameraX;
    const float sy = cy - gameCameraY;
    const float outer = r + thickness;
    // The whole ring off screen: nothing to draw.
    if (sx + outer < 0.0f || sx - outer > SCREEN_W || sy + outer < 0.0f || sy - outer > SCREEN_H)
        return;
    for (int k = 0; k <= NUKE_RING_LAST_INDEX; k += step) {
        const int k2 = k + step;
        const float c0 = orbCosTable[k], s0 = orbSinTable[k];
        const float c1 = orbCosTable[k2], s1 = orbSinTable[k2];
        const Corner2D corners[4] = {
            {sx + r * c0, sy + r * s0, k / 628.0f, 0.0f},
            {sx + outer * c0, sy + outer * s0, k / 628.0f, 1.0f},
            {sx + outer * c1, sy + outer * s1, k2 / 628.0f, 1.0f},
            {sx + r * c1, sy + r * s1, k2 / 628.0f, 0.0f},
        };
        float left = corners[0].x, right = corners[0].x, bottom = corners[0].y, top = corners[0].y;
        for (const Corner2D& c : corners) {
            left = std::min(left, c.x);
            right = std::max(right, c.x);
            bottom = std::min(bottom, c.y);
            top = std::max(top, c.y);
        }
        if (right < 0.0f || left > SCREEN_W || top < 0.0f || bottom > SCREEN_H)
            continue;
        drawQuad2D(corners, texture, Blend2D::Alpha);
    }
}

bool isInsideNukeCircle(float x, float y)
{
    const float dx = x - nukeCentreX;
    const float dy = y - nukeCentreY;
    return dx * dx + dy * dy < nukeRadius * nukeRadius;
}

bool isOnScreen(int, float x, float y)
{
    return gameCameraX < x && x < gameCameraX + VIEW_WIDTH && gameCameraY <= y && y < gameCameraY + VIEW_HEIGHT;
}

void applyNukeDamage()
{
    if (!(nukeRadius > 0.0f))
        return;
    for (int e = 1; e <= enemyCount; ++e) {
        if (!isNukeTarget(e))
            continue;
        const float x0 = enemyTable.x[e];
        const float y0 = enemyTable.y[e];
        const float x1 = x0 + enemyTable.width[e];
        const float y1 = y0 + enemyTable.height[e];
        const float corners[4][2] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
        bool onScreen = false;
        bool inside = false;
        for (const auto& c : corners) {
            onScreen = onScreen || isOnScreen(0, c[0], c[1]);
            inside = inside || isInsideNukeCircle(c[0], c[1]);
        }
        if (!onScreen || !inside)
            continue;
        enemyTable.health[e] = 0.0f;
        spawnFlashLight(e);
        playSound(SOUND_EXPLOSION);
    }
}
