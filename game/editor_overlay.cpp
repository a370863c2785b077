// The editor's overlay over the game view: the level border, box outlines, lift and flyer
// paths, enemy outlines and the blinking cursor, all dotted at level position - camera. Every
// dot run visits only the dots that can land on the screen, so an overlay costs the same
// whatever the size of the boxes and paths (the border alone is some 29,000 dots as drawn), and
// an opaque run goes out as the one strip its dots make.
#include "game/editor.h"

#include "core/clock.h"
#include "game/boxes.h"
#include "game/draw_2d.h"
#include "game/enemies.h"
#include "game/enemy_overlays.h"
#include "game/game_resources.h"  // gameWhitePixelTexture
#include "game/game_scene.h"      // drawBoxOutlines
#include "game/game_state.h"  // gameCameraY, gameCameraX, paletteMode
#include "gfx/pass_timer.h"
#include "platform/gl_api.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float BLINK_SPEED = 0.05f;
constexpr float BLINK_SPEED_PENDING = 0.5f;

// The whole steps k = 0, 1, ... below `length` whose dot at screen `start` + k may land on a
// screen `limit` wide: [first, end). drawDot makes the exact test.
void visibleSteps(double start, double length, double limit, double& first, double& end)
{
    first = std::max(0.0, std::floor(-start - DOT_SIZE - 1.0));
    end = std::min(std::ceil(length), std::ceil(limit + 1.0 - start));
}

// Runs drawn in an opaque colour go out as one strip each: the 2 x 2 dots one unit apart
// overlap into exactly that strip, and opaque overlaps cannot show. The blinking cursor keeps
// its dots, whose overlaps do show.
bool opaqueRuns = false;

void setOverlayColor(float r, float g, float b, float a)
{
    setDrawColor(r, g, b, a);
    opaqueRuns = a >= 1.0f;
}

// The pixels the dots from screen `first` to `last` along x (or y) at `across` cover, where
// drawDot truncates each position.
void drawStrip(float first, float last, float across, bool alongX)
{
    const float a0 = std::trunc(first);
    const float a1 = std::trunc(last) + DOT_SIZE;
    const float c0 = std::trunc(across);
    const float c1 = c0 + DOT_SIZE;
    Corner2D corners[4];
    if (alongX) {
        corners[0] = {a0, c0, 0.0f, 0.0f};
        corners[1] = {a1, c0, 1.0f, 0.0f};
        corners[2] = {a1, c1, 1.0f, 1.0f};
        corners[3] = {a0, c1, 0.0f, 1.0f};
    } else {
        corners[0] = {c0, a0, 0.0f, 0.0f};
        corners[1] = {c1, a0, 1.0f, 0.0f};
        corners[2] = {c1, a1, 1.0f, 1.0f};
        corners[3] = {c0, a1, 0.0f, 1.0f};
    }
    drawQuad2D(corners, gameWhitePixelTexture, Blend2D::Alpha);
}

bool rowVisible(double screen, double limit)
{
    return screen > -DOT_SIZE - 1.0 && screen < limit + 1.0;
}

// Dots at (x0 + k, y) for whole k from 0 while k < length.
void dotRunAlongX(float x0, float length, float y)
{
    if (!std::isfinite(x0) || !std::isfinite(length) || !std::isfinite(y))
        return;
    const float sy = y - gameCameraY;
    if (!rowVisible(sy, SCREEN_H))
        return;
    double first, end;
    visibleSteps(static_cast<double>(x0) - gameCameraX, length, SCREEN_W, first, end);
    end = std::min(end, std::ceil(static_cast<double>(length)));
    if (opaqueRuns) {
        if (first < end)
            drawStrip(x0 + static_cast<float>(first) - gameCameraX, x0 + static_cast<float>(end - 1.0) - gameCameraX,
                sy, true);
        return;
    }
    for (double k = first; k < end; k += 1.0)
        drawDot(x0 + static_cast<float>(k) - gameCameraX, sy);
}

void dotRunAlongY(float y0, float length, float x)
{
    if (!std::isfinite(y0) || !std::isfinite(length) || !std::isfinite(x))
        return;
    const float sx = x - gameCameraX;
    if (!rowVisible(sx, SCREEN_W))
        return;
    double first, end;
    visibleSteps(static_cast<double>(y0) - gameCameraY, length, SCREEN_H, first, end);
    end = std::min(end, std::ceil(static_cast<double>(length)));
    if (opaqueRuns) {
        if (first < end)
            drawStrip(y0 + static_cast<float>(first) - gameCameraY, y0 + static_cast<float>(end - 1.0) - gameCameraY,
                sx, false);
        return;
    }
    for (double k = first; k < end; k += 1.0)
        drawDot(sx, y0 + static_cast<float>(k) - gameCameraY);
}

// The dots of a rectangle's four sides: x from x0 while below x0 + w on the bottom and top
// rows, y from y0 while below y0 + h on the left and right columns.
void dotRectangle(float x0, float y0, float w, float h)
{
    dotRunAlongX(x0, w, y0);
    dotRunAlongX(x0, w, y0 + h);
    dotRunAlongY(y0, h, x0);
    dotRunAlongY(y0, h, x0 + w);
}

void drawLevelBorder()
{
    setOverlayColor(1.0f, 0.0f, 0.0f, 1.0f);
    dotRunAlongX(0.0f, LEVEL_WIDTH, 0.0f);
    dotRunAlongX(0.0f, LEVEL_WIDTH, LEVEL_HEIGHT);
    // From the top down while above 0: the rows 10800 .. 1, in one colour, so in any order.
    dotRunAlongY(1.0f, LEVEL_HEIGHT, 0.0f);
    dotRunAlongY(1.0f, LEVEL_HEIGHT, LEVEL_WIDTH);
}

}  // namespace

void drawLiftPaths()
{
    setOverlayColor(1.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 1; i <= std::min(boxCount, MAX_LEVEL_BOXES); ++i)
        if (boxTable.type[i] == BOX_LIFT)
            dotRectangle(boxTable.liftStartX[i], boxTable.liftStartY[i], boxTable.liftRangeX[i],
                boxTable.liftRangeY[i]);
}

void drawFlyerPaths()
{
    setOverlayColor(1.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 1; i <= std::min(enemyCount, MAX_LEVEL_ENEMIES); ++i)
        if (enemyTable.type[i] == ENEMY_FLYER)
            dotRectangle(enemyTable.pathStartX[i], enemyTable.pathStartY[i], enemyTable.pathRangeX[i],
                enemyTable.pathRangeY[i]);
}

void drawEditorCursor()
{
    if (hasGlContext2D()) {
        flush2D();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, gameWhitePixelTexture);
    }
    float alpha = 0.0f;
    tween(0.0, 0.0, 1.0, TWEEN_PING_PONG, liftDestinationPending ? BLINK_SPEED_PENDING : BLINK_SPEED, &alpha);
    if (liftDestinationPending)
        setOverlayColor(1.0f, 0.0f, 0.0f, alpha);
    else
        setOverlayColor(1.0f, 1.0f, 1.0f, alpha);
    dotRectangle(cursorX, cursorY, cursorWidth, cursorHeight);
}

void drawEditorOverlay()
{
    beginPass("editor_2d");
    if (hasGlContext2D()) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, gameWhitePixelTexture);
    }
    drawLevelBorder();
    setOverlayColor(1.0f, 1.0f, 1.0f, 1.0f);
    drawBoxOutlines();
    if (!paletteMode) {
        drawLiftPaths();
        drawFlyerPaths();
        drawEnemyOverlays();
    }
    setOverlayColor(1.0f, 1.0f, 1.0f, 1.0f);
    drawEditorCursor();
    flush2D();
    endPass();
}
