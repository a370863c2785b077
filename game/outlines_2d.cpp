// The dotted outlines of the debug overlay and the editor: the level's boxes (or the palette's)
// and the player's rectangle. Dots are 2 x 2 at screen position = level position - camera;
// only the dots that land on the screen are queued.
#include "game/boxes.h"
#include "game/draw_2d.h"
#include "game/game_camera.h"
#include "game/game_scene.h"
#include "game/game_state.h"  // gameCameraX, gameCameraY, VIEW_WIDTH, VIEW_HEIGHT, paletteMode, ...
#include "gfx/height_profile.h"
#include "platform/gl_api.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float EDGE_DOT_STEP = 5.0f;
constexpr float CULL_MARGIN = 300.0f;

// The dot steps k = 0, 5, 10, ... below `length` whose dots at screen `start` + k can land on
// screen: [first, end) in step numbers.
void visibleEdgeSteps(float start, float length, float limit, int& first, int& end)
{
    first = 0;
    end = 0;
    if (!std::isfinite(start) || !(length > 0.0f) || !std::isfinite(length))
        return;
    const double steps = std::ceil(static_cast<double>(length) / EDGE_DOT_STEP);
    const double lo = std::floor((-static_cast<double>(DOT_SIZE) - 1.0 - start) / EDGE_DOT_STEP);
    const double hi = std::ceil((static_cast<double>(limit) + 1.0 - start) / EDGE_DOT_STEP) + 1.0;
    first = static_cast<int>(std::clamp(lo, 0.0, steps));
    end = static_cast<int>(std::clamp(hi, 0.0, steps));
    // k must stay below the length itself (the step count rounds up).
    while (end > first && static_cast<float>(end - 1) * EDGE_DOT_STEP >= length)
        --end;
}

void screenDot(float worldX, float worldY)
{
    drawDot(std::trunc(worldX - gameCameraX), std::trunc(worldY - gameCameraY));
}

// Dots along two horizontal edges at heights y0 and y1 (in pairs), or one when `y1` is NAN.
void horizontalEdges(float x, float w, float y0, float y1)
{
    int first, end;
    visibleEdgeSteps(x - gameCameraX, w, SCREEN_W, first, end);
    for (int n = first; n < end; ++n) {
        const float k = static_cast<float>(n) * EDGE_DOT_STEP;
        screenDot(x + k, y0);
        if (!std::isnan(y1))
            screenDot(x + k, y1);
    }
}

void verticalEdges(float y, float h, float x0, float x1)
{
    int first, end;
    visibleEdgeSteps(y - gameCameraY, h, SCREEN_H, first, end);
    for (int n = first; n < end; ++n) {
        const float k = static_cast<float>(n) * EDGE_DOT_STEP;
        screenDot(x0, y + k);
        if (!std::isnan(x1))
            screenDot(x1, y + k);
    }
}

void screenDiagonal(float x0, float y0, float x1, float y1)
{
    drawDottedLine(x0 - gameCameraX, y0 - gameCameraY, x1 - gameCameraX, y1 - gameCameraY);
}

void heightmapOutline(float x, float y, float w, float h, int32_t profile, bool ceiling)
{
    const int count = profile >= 0 && profile < heightProfileCount ? heightProfiles[profile].width : 0;
    int first, end;
    visibleEdgeSteps(x - gameCameraX, w, SCREEN_W, first, end);
    for (int n = first; n < end; ++n) {
        const float k = static_cast<float>(n) * EDGE_DOT_STEP;
        const float index = k * static_cast<float>(count) / w;
        const float v = std::isfinite(index) ? heightProfileAt(profile, static_cast<int32_t>(index)) : 0.0f;
        screenDot(x + k, y + h * v);
        screenDot(x + k, ceiling ? y + h : y);
    }
}

bool nearView(float x, float y, float w, float h)
{
    return x + w > gameCameraX - CULL_MARGIN && x < gameCameraX + VIEW_WIDTH + CULL_MARGIN
        && y + h > gameCameraY - CULL_MARGIN && y < gameCameraY + VIEW_HEIGHT + CULL_MARGIN;
}

}  // namespace

void drawBoxOutlines()
{
    const int first = paletteMode ? PALETTE_FIRST_SLOT : 1;
    const int last = std::min(paletteMode ? PALETTE_FIRST_SLOT + paletteCount : boxCount, BOX_SLOTS - 1);
    if (hasGlContext2D()) {
        flush2D();
        glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
        glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
    setDrawColor(1.0f, 1.0f, 1.0f, 1.0f);
    const float none = NAN;
    for (int i = first; i <= last; ++i) {
        const float x = boxTable.x[i];
        const float y = boxTable.y[i];
        const float w = boxTable.width[i];
        const float h = boxTable.height[i];
        if (!nearView(x, y, w, h))
            continue;
        switch (boxTable.type[i]) {
        case BOX_LEFT_SLOPE:
            horizontalEdges(x, w, y, none);
            verticalEdges(y, h, x, none);
            screenDiagonal(x, y + h, x + w, y);
            break;
        case BOX_RIGHT_SLOPE:
            horizontalEdges(x, w, y, none);
            verticalEdges(y, h, x + w, none);
            screenDiagonal(x, y, x + w, y + h);
            break;
        case BOX_BOTTOM_LEFT_SLOPE:
            horizontalEdges(x, w, y + h, none);
            verticalEdges(y, h, x + w, none);
            screenDiagonal(x, y + h, x + w, y);
            break;
        case BOX_BOTTOM_RIGHT_SLOPE:
            horizontalEdges(x, w, y + h, none);
            verticalEdges(y, h, x, none);
            screenDiagonal(x, y, x + w, y + h);
            break;
        case BOX_HEIGHTMAP_FLOOR:
            heightmapOutline(x, y, w, h, floorProfileId, false);
            break;
        case BOX_HEIGHTMAP_CEILING:
            heightmapOutline(x, y, w, h, ceilingProfileId, true);
            break;
        default:  // standard boxes, lifts and unknown kinds
            horizontalEdges(x, w, y, y + h);
            verticalEdges(y, h, x, x + w);
            break;
        }
    }
}

void drawPlayerOutline()
{
    setDrawColor(1.0f, 0.7f, 0.3f, 1.0f);
    const float x = playerX - gameCameraX;
    const float bottom = playerY + 1.0f - gameCameraY;
    const float top = playerY + playerHeight + 1.0f - gameCameraY;
    for (int c = 0; static_cast<float>(c) < playerWidth && c < 4096; ++c) {
        drawDot(std::trunc(x + static_cast<float>(c)), std::trunc(bottom));
        drawDot(std::trunc(x + static_cast<float>(c)), std::trunc(top));
    }
    const float right = playerX + playerWidth - gameCameraX;
    for (int c = 0; static_cast<float>(c) < playerHeight && c < 4096; ++c) {
        drawDot(std::trunc(x), std::trunc(playerY + static_cast<float>(c) + 1.0f - gameCameraY));
        drawDot(std::trunc(right), std::trunc(playerY + static_cast<float>(c) + 1.0f - gameCameraY));
    }
}
