#include "game/line_walks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// Beyond this many units a delta is treated as this long: six times the level's height, so no
// box of a level comes near it, and a walk over a hostile box stays short (and free of integer
// overflow) for any finite input.
static constexpr double WALK_DELTA_LIMIT = 1 << 16;

namespace {

enum class Guard { X_BELOW_TARGET, Y_BELOW_TARGET, Y_ABOVE_TARGET };

struct WalkEnd {
    float x;
    float y;
};

int wholeDelta(float from, float to)
{
    double d = std::trunc(static_cast<double>(to) - static_cast<double>(from));
    return static_cast<int>(std::min(std::fabs(d), WALK_DELTA_LIMIT));
}

bool guardHolds(Guard guard, float x, float y, float x1, float y1, float target)
{
    switch (guard) {
    case Guard::X_BELOW_TARGET:
        return std::floor(x) < std::floor(target) && std::floor(x) < std::floor(x1);
    case Guard::Y_BELOW_TARGET:
        return std::floor(y) < std::floor(target) && std::floor(y) < std::floor(y1);
    case Guard::Y_ABOVE_TARGET:
        return std::floor(y) > std::floor(target) && std::floor(y) > std::floor(y1);
    }
    return false;
}

// The integer line from (x0, y0) toward (x1, y1), one whole unit per axis and step, while the
// guard holds. A step count of max(dx, dy) + 1 reaches the end point on every line; a box
// narrower than one unit (dx 0) would otherwise step y alone for ever.
WalkEnd walkLine(float x0, float y0, float x1, float y1, float target, Guard guard)
{
    WalkEnd end{x0, y0};
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(target))
        return end;
    const int dx = wholeDelta(x0, x1);
    const int dy = wholeDelta(y0, y1);
    const float sx = x1 > x0 ? 1.0f : -1.0f;
    const float sy = y1 > y0 ? 1.0f : -1.0f;
    int e = dx > dy ? dx / 2 : -(dy / 2);
    const int maxSteps = std::max(dx, dy) + 1;
    for (int step = 0; step < maxSteps && guardHolds(guard, end.x, end.y, x1, y1, target); ++step) {
        const int e2 = e;
        if (e2 > -dx) {
            e -= dy;
            end.x += sx;
        }
        if (e2 < dy) {
            e += dx;
            end.y += sy;
        }
    }
    return end;
}

}  // namespace

float traceSlopeLine(float x0, float y0, float x1, float y1, float targetX)
{
    return walkLine(x0, y0, x1, y1, targetX, Guard::X_BELOW_TARGET).y;
}

float xAtHeightRising(float x0, float y0, float x1, float y1, float targetY)
{
    return walkLine(x0, y0, x1, y1, targetY, Guard::Y_BELOW_TARGET).x;
}

float xAtHeightFalling(float x0, float y0, float x1, float y1, float targetY)
{
    return walkLine(x0, y0, x1, y1, targetY, Guard::Y_ABOVE_TARGET).x;
}
