#include "game/boxes.h"

#include "game/game_state.h"  // substepFactor, standingBoxIndex, playerHealth, playerX, ...
#include "gfx/height_profile.h"

#include <algorithm>
#include <cmath>

const char* const boxTypeNames[BOX_TYPE_COUNT] = {
    "standard box",      "lift cw",         "left slope",      "right slope",
    "bottom left slope", "bottom right slope", "heightmap floor", "heightmap ceiling",
};

BoxTable boxTable = {};
int boxCount = 1;
float groundSink = GROUND_SINK_BOX;

// Span queries visit at most this many columns: far more than any box or mover is wide, and a
// bound for hostile widths.
static constexpr int MAX_SPAN_COLUMNS = 1 << 16;

bool boxOverlapsRect(int i, float x, float y, float w, float h)
{
    const BoxTable& b = boxTable;
    return x < b.x[i] + b.width[i] && x + w > b.x[i] && y < b.y[i] + b.height[i] && y + h > b.y[i];
}

// One of the first three legs: moves by v (up the axis when `forward`); once at or past `end`
// the box snaps to it and the state goes on to `next`. False while the leg is not done.
static bool runLiftLeg(float& position, float v, bool forward, float end, int32_t& state, int32_t next)
{
    position = forward ? position + v : position - v;
    if (!(forward ? position >= end : position <= end))
        return false;
    position = end;
    state = next;
    return true;
}

// One lift's legs from its current state; a completed leg snaps to its end and the next leg
// takes the full step at once.
static void moveLift(int i, float v)
{
    BoxTable& b = boxTable;
    for (;;) {
        switch (b.liftState[i]) {
        case 0:
            if (!runLiftLeg(b.x[i], v, true, b.liftStartX[i] + b.liftRangeX[i], b.liftState[i], 1))
                return;
            break;
        case 1:
            if (!runLiftLeg(b.y[i], v, true, b.liftStartY[i] + b.liftRangeY[i], b.liftState[i], 2))
                return;
            break;
        case 2:
            if (!runLiftLeg(b.x[i], v, false, b.liftStartX[i], b.liftState[i], 3))
                return;
            break;
        case 3:
            // The way down does not snap: leg 4 puts the whole box back at its start.
            b.y[i] -= v;
            if (!(b.y[i] <= b.liftStartY[i]))
                return;
            b.liftState[i] = 4;
            break;
        case 4:
            b.x[i] = b.liftStartX[i];
            b.y[i] = b.liftStartY[i];
            b.liftState[i] = 0;
            return;
        default:
            return;
        }
    }
}

void updateLifts()
{
    for (int i = 1; i <= boxCount; ++i)
        if (boxTable.type[i] == BOX_LIFT)
            moveLift(i, boxTable.liftSpeed[i] * substepFactor);

    const int s = standingBoxIndex;
    if (s == 0 || s < 0 || s >= BOX_SLOTS)
        return;
    if (boxTable.type[s] != BOX_LIFT) {
        groundSink = GROUND_SINK_BOX;
        return;
    }
    groundSink = GROUND_SINK_LIFT;
    if (playerHealth <= 0.0f)
        return;
    const float v = boxTable.liftSpeed[s] * substepFactor;
    switch (boxTable.liftState[s]) {
    case 0: playerX += v; break;
    case 1: playerY += v; break;
    case 2: playerX -= v; break;
    case 3: playerY -= v; break;
    default: break;
    }
}

void resetBoundaryBoxAndLifts()
{
    boxTable.x[1] = 0.0f;
    boxTable.y[1] = GROUND_STRIP_Y;
    boxTable.width[1] = LEVEL_WIDTH;
    boxTable.height[1] = GROUND_STRIP_HEIGHT;
    boxTable.type[1] = BOX_STANDARD;
    for (int i = 1; i <= boxCount; ++i)
        if (boxTable.type[i] == BOX_LIFT) {
            boxTable.x[i] = boxTable.liftStartX[i];
            boxTable.y[i] = boxTable.liftStartY[i];
        }
}

bool playerOverlapsLift()
{
    for (int i = 0; i <= boxCount; ++i)
        if (boxTable.type[i] == BOX_LIFT && boxOverlapsRect(i, playerX, playerY, playerWidth, playerHeight))
            return true;
    return false;
}

bool playerHasSupport()
{
    for (int i = 0; i <= boxCount; ++i)
        if (boxOverlapsRect(i, playerX, playerY - 1.0f, playerWidth, playerHeight))
            return true;
    return false;
}

bool playerCanStandUp()
{
    for (int i = 0; i <= boxCount; ++i)
        if (boxOverlapsRect(i, playerX, playerY + CROUCH_HEIGHT, playerWidth, STAND_HEIGHT - CROUCH_HEIGHT))
            return false;
    return true;
}

static const HeightProfile* loadedProfile(int32_t id)
{
    if (id < 0 || id >= heightProfileCount || id >= MAX_HEIGHT_PROFILES)
        return nullptr;
    const HeightProfile& p = heightProfiles[id];
    return p.width > 0 ? &p : nullptr;
}

// The profile value under level x of box b, with the column limited to firstColumn .. W - 1.
// Anything that cannot name a column (no profile, a box of width 0, NaN) reads 0.
static float profileValue(int b, float x, int32_t profileId, int firstColumn)
{
    const HeightProfile* p = loadedProfile(profileId);
    const float w = boxTable.width[b];
    if (!p || !(w > 0.0f) || !std::isfinite(w))
        return 0.0f;
    // Stretched by the picture's own width; a picture wider than the table reads its last
    // stored column beyond it.
    const int columns = p->width;
    const int lastColumn = std::min(columns, HEIGHT_PROFILE_COLUMNS) - 1;
    if (lastColumn < firstColumn)
        return 0.0f;
    const float at = (x - boxTable.x[b]) * static_cast<float>(columns) / w;
    if (!std::isfinite(at))
        return 0.0f;
    const float limited = std::clamp(std::trunc(at), static_cast<float>(firstColumn), static_cast<float>(lastColumn));
    return p->heights[static_cast<int>(limited)];
}

float profileSurfaceY(int box, float x, int32_t profileId)
{
    return boxTable.y[box] + boxTable.height[box] * profileValue(box, x, profileId, 0);
}

float heightmapFloorTop(int box, float x0, float span, int32_t profileId)
{
    float top = -1e10f;
    const float left = boxTable.x[box];
    const float right = left + boxTable.width[box];
    for (int k = 0; k < MAX_SPAN_COLUMNS && static_cast<float>(k) < span; ++k) {
        float x = x0 + static_cast<float>(k);
        if (x < left)
            x = left;
        if (x > right)
            x = right;
        top = std::max(top, profileSurfaceY(box, x, profileId));
    }
    return top;
}

// Not one walk with the floor's: past the right edge the ceiling reads the column one unit
// inside the box where the floor reads the edge itself, and it keeps the lowest surface.
float heightmapCeilingBottom(int box, float x0, float span, int32_t profileId)
{
    float bottom = 1e10f;
    const float left = boxTable.x[box];
    const float right = left + boxTable.width[box];
    for (int k = 0; k < MAX_SPAN_COLUMNS && static_cast<float>(k) < span; ++k) {
        float x = x0 + static_cast<float>(k);
        if (x < left)
            x = left;
        if (x > right)
            x = right - 1.0f;
        bottom = std::min(bottom, profileSurfaceY(box, x, profileId));
    }
    return bottom;
}

namespace {

float scanSurface(int box, float x, int32_t profileId)
{
    return boxTable.y[box] + boxTable.height[box] * profileValue(box, x, profileId, 1);
}

// Column x of a scan: true, with its surface in `out`, when it meets the test.
template <typename Test>
bool scanColumn(int box, float x, int32_t profileId, float& out, Test test)
{
    const float s = scanSurface(box, x, profileId);
    if (!test(s))
        return false;
    out = s;
    return true;
}

template <typename Test>
float scanLeftward(int box, float x, float span, int32_t profileId, float& out, Test test)
{
    if (!std::isfinite(span))
        return -1.0f;
    const int last = static_cast<int>(std::clamp(std::trunc(span), -1.0f, static_cast<float>(MAX_SPAN_COLUMNS)));
    for (int n = last; n >= 0; --n) {
        const float at = x + static_cast<float>(n);
        if (scanColumn(box, at, profileId, out, test))
            return at;
    }
    return -1.0f;
}

template <typename Test>
float scanRightward(int box, float x, float span, int32_t profileId, float& out, Test test)
{
    for (int k = 0; k < MAX_SPAN_COLUMNS && static_cast<float>(k) < span; ++k) {
        const float at = x + static_cast<float>(k);
        if (scanColumn(box, at, profileId, out, test))
            return at;
    }
    return -1.0f;
}

}  // namespace

float scanSurfaceAboveLeftward(int box, float x, float y, float span, int32_t profileId, float& out)
{
    return scanLeftward(box, x, span, profileId, out, [y](float s) { return s > y; });
}

float scanSurfaceAboveRightward(int box, float x, float y, float span, int32_t profileId, float& out)
{
    return scanRightward(box, x, span, profileId, out, [y](float s) { return s > y; });
}

float scanSurfaceBelowLeftward(int box, float x, float y, float span, int32_t profileId, float& out)
{
    return scanLeftward(box, x, span, profileId, out, [y](float s) { return s < y; });
}

float scanSurfaceBelowRightward(int box, float x, float y, float span, int32_t profileId, float& out)
{
    return scanRightward(box, x, span, profileId, out, [y](float s) { return s < y; });
}
