// Lifts, the ground strip, the player's overlap tests, height-profile queries and the line walks.
#include "game_world_support.h"
#include "game/line_walks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float START_X = 1000.0f;
constexpr float START_Y = 500.0f;
constexpr int LIFT = 2;

class LevelBoxes : public ::testing::Test {
protected:
    void SetUp() override { world::reset(); }
};

struct LiftCase {
    const char* name;
    float rangeX, rangeY, speed;
    int calls;
    float dx, dy;   // position after the calls, relative to the start
    int state;
};

TEST_F(LevelBoxes, LiftWalksItsRectangleLegByLeg)
{
    const LiftCase cases[] = {
        {"nine steps along the first leg", 100, 50, 10, 9, 90, 0, 0},
        {"the tenth reaches the end and climbs at once", 100, 50, 10, 10, 100, 10, 1},
        {"an overshoot snaps and spends the whole step on the next legs", 95, 5, 10, 10, 85, 5, 2},
        {"left along the top, then down", 100, 50, 10, 26, 0, 10, 3},
        {"the call that ends the last leg jumps back to the start", 100, 50, 10, 27, 0, 0, 0},
        {"the next cycle starts on the following call", 100, 50, 10, 28, 10, 0, 0},
        {"range 0 completes every leg in one call", 0, 0, 10, 1, 0, 0, 0},
        {"speed 0 never moves", 100, 50, 0, 40, 0, 0, 0},
        {"negative ranges complete every leg at once", -40, -20, 10, 3, 0, 0, 0},
        {"a negative x range jumps to its end and climbs", -40, 50, 10, 1, -40, 10, 1},
    };
    for (const LiftCase& c : cases) {
        SCOPED_TRACE(c.name);
        world::reset();
        world::putLift(LIFT, START_X, START_Y, 200, 20, c.rangeX, c.rangeY, c.speed);
        for (int k = 0; k < c.calls; ++k)
            updateLifts();
        EXPECT_FLOAT_EQ(boxTable.x[LIFT], START_X + c.dx);
        EXPECT_FLOAT_EQ(boxTable.y[LIFT], START_Y + c.dy);
        EXPECT_EQ(boxTable.liftState[LIFT], c.state);
    }
}

TEST_F(LevelBoxes, LiftStepScalesWithTheSubstep)
{
    world::putLift(LIFT, START_X, START_Y, 200, 20, 100, 50, 10);
    substepFactor = 0.05f;
    updateLifts();
    EXPECT_FLOAT_EQ(boxTable.x[LIFT], START_X + 0.5f);
}

TEST_F(LevelBoxes, PlayerOnALiftIsCarriedInTheDirectionOfItsNewLeg)
{
    world::putLift(LIFT, START_X, START_Y, 200, 20, 100, 50, 10);
    standingBoxIndex = LIFT;
    const float x0 = playerX, y0 = playerY;
    updateLifts();
    EXPECT_FLOAT_EQ(playerX, x0 + 10);
    EXPECT_FLOAT_EQ(groundSink, GROUND_SINK_LIFT);

    // On the leg change the carry follows the new leg: up.
    for (int k = 0; k < 9; ++k)
        updateLifts();
    EXPECT_EQ(boxTable.liftState[LIFT], 1);
    EXPECT_FLOAT_EQ(playerX, x0 + 90);
    EXPECT_FLOAT_EQ(playerY, y0 + 10);

    // The call that drops the lift back to its start carries the player one step right.
    boxTable.liftState[LIFT] = 4;
    const float xBefore = playerX, yBefore = playerY;
    updateLifts();
    EXPECT_EQ(boxTable.liftState[LIFT], 0);
    EXPECT_FLOAT_EQ(playerX, xBefore + 10);
    EXPECT_FLOAT_EQ(playerY, yBefore);
}

TEST_F(LevelBoxes, GroundSinkFollowsTheBoxStoodOn)
{
    world::putLift(LIFT, START_X, START_Y, 200, 20, 100, 50, 10);
    standingBoxIndex = LIFT;
    updateLifts();
    EXPECT_FLOAT_EQ(groundSink, GROUND_SINK_LIFT);
    standingBoxIndex = 1;
    updateLifts();
    EXPECT_FLOAT_EQ(groundSink, GROUND_SINK_BOX);
    standingBoxIndex = 0;   // standing on nothing keeps the last value
    groundSink = GROUND_SINK_LIFT;
    updateLifts();
    EXPECT_FLOAT_EQ(groundSink, GROUND_SINK_LIFT);
}

TEST_F(LevelBoxes, ADeadPlayerIsNotCarried)
{
    world::putLift(LIFT, START_X, START_Y, 200, 20, 100, 50, 10);
    standingBoxIndex = LIFT;
    playerHealth = 0;
    const float x0 = playerX;
    updateLifts();
    EXPECT_FLOAT_EQ(playerX, x0);
    EXPECT_FLOAT_EQ(groundSink, GROUND_SINK_LIFT);
}

TEST_F(LevelBoxes, ResetRebuildsTheGroundAndPutsEveryLiftBackKeepingItsLeg)
{
    world::putBox(1, 7, 7, 7, 7, BOX_LEFT_SLOPE);
    boxTable.meshId[1] = 4;
    world::putLift(2, START_X, START_Y, 200, 20, 100, 50, 10);
    world::putLift(3, 300, 900, 100, 20, -50, 60, 5);   // the last box of the table
    for (int k = 0; k < 15; ++k)
        updateLifts();
    ASSERT_EQ(boxTable.liftState[2], 2);
    resetBoundaryBoxAndLifts();
    EXPECT_FLOAT_EQ(boxTable.x[1], 0);
    EXPECT_FLOAT_EQ(boxTable.y[1], GROUND_STRIP_Y);
    EXPECT_FLOAT_EQ(boxTable.width[1], LEVEL_WIDTH);
    EXPECT_FLOAT_EQ(boxTable.height[1], GROUND_STRIP_HEIGHT);
    EXPECT_EQ(boxTable.type[1], BOX_STANDARD);
    EXPECT_EQ(boxTable.meshId[1], 4);
    for (int i : {2, 3}) {
        EXPECT_FLOAT_EQ(boxTable.x[i], boxTable.liftStartX[i]);
        EXPECT_FLOAT_EQ(boxTable.y[i], boxTable.liftStartY[i]);
    }
    EXPECT_EQ(boxTable.liftState[2], 2);   // after a load it first moves left from its start
}

TEST_F(LevelBoxes, PlayerOverlapTestsAreStrict)
{
    // Player at (500, 29.99) 65 x 180; the ground strip's top is 30.
    EXPECT_TRUE(playerHasSupport());
    playerY = 31.0f;   // lowered by 1 it touches the top only
    EXPECT_FALSE(playerHasSupport());

    world::putBox(2, 565, 0, 50, 500);   // its left edge on the player's right edge
    EXPECT_FALSE(playerHasSupport());
    EXPECT_TRUE(playerCanStandUp());

    world::putBox(3, 500, playerY + 170, 65, 40);   // reaches into the head band
    EXPECT_FALSE(playerCanStandUp());
    boxTable.y[3] = playerY + STAND_HEIGHT;        // just above the standing height
    EXPECT_TRUE(playerCanStandUp());

    EXPECT_FALSE(playerOverlapsLift());
    world::putLift(4, 550, 100, 100, 20, 0, 0, 0);
    EXPECT_TRUE(playerOverlapsLift());
}

// Box 2: x 100, y 0, 40 x 100 with a four-column profile 0.1 .. 0.4.
class HeightQueries : public LevelBoxes {
protected:
    void SetUp() override
    {
        LevelBoxes::SetUp();
        heightProfileCount = 0;
        profile = world::putProfile(4, [](int c) { return 0.1f * static_cast<float>(c + 1); });
        world::putBox(2, 100, 0, 40, 100, BOX_HEIGHTMAP_FLOOR);
    }
    int profile = -1;
};

TEST_F(HeightQueries, SurfaceFollowsTheStretchedColumns)
{
    EXPECT_FLOAT_EQ(profileSurfaceY(2, 100, profile), 10);
    EXPECT_FLOAT_EQ(profileSurfaceY(2, 119.9f, profile), 20);
    EXPECT_FLOAT_EQ(profileSurfaceY(2, 120, profile), 30);
    EXPECT_FLOAT_EQ(profileSurfaceY(2, 140, profile), 40);   // the right edge uses the last column
}

// A profile wider than its table is stretched by its own width; past the table's last column
// the surface stays at that column.
TEST_F(HeightQueries, AWideProfileStretchesByItsWidthAndStopsAtTheTable)
{
    const int wide = world::putProfile(3000, [](int c) { return static_cast<float>(c) / 4096.0f; });
    world::putBox(3, 0, 0, 3000, 4096, BOX_HEIGHTMAP_FLOOR);
    EXPECT_FLOAT_EQ(profileSurfaceY(3, 1000.5f, wide), 1000);
    EXPECT_FLOAT_EQ(profileSurfaceY(3, 2047.5f, wide), 2047);
    EXPECT_FLOAT_EQ(profileSurfaceY(3, 2500, wide), 2047);
    EXPECT_FLOAT_EQ(profileSurfaceY(3, 3000, wide), 2047);
    EXPECT_FLOAT_EQ(heightmapFloorTop(3, 2040, 100, wide), 2047);
}

TEST_F(HeightQueries, SpanQueriesTakeTheExtremeOfTheClampedColumns)
{
    EXPECT_FLOAT_EQ(heightmapFloorTop(2, 90, 65, profile), 40);
    EXPECT_FLOAT_EQ(heightmapFloorTop(2, 90, 15, profile), 10);
    EXPECT_FLOAT_EQ(heightmapCeilingBottom(2, 130, 65, profile), 40);
    EXPECT_FLOAT_EQ(heightmapCeilingBottom(2, 90, 65, profile), 10);
    // Past the right edge the ceiling reads one unit inside it, the floor the edge itself.
    EXPECT_FLOAT_EQ(heightmapCeilingBottom(2, 150, 1, profile), 40);
}

TEST_F(HeightQueries, EmptySpansGiveTheirStartValues)
{
    EXPECT_FLOAT_EQ(heightmapFloorTop(2, 100, 0, profile), -1e10f);
    EXPECT_FLOAT_EQ(heightmapCeilingBottom(2, 100, 0, profile), 1e10f);
    EXPECT_FLOAT_EQ(heightmapFloorTop(2, 100, -5, profile), -1e10f);
}

TEST_F(HeightQueries, DegenerateBoxesAndProfilesStayFinite)
{
    struct Case {
        const char* name;
        float width, x, span;
        int profileId;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"width 0", 0, 100, 65, profile},
        {"NaN width", nan, 100, 65, profile},
        {"NaN position", 40, nan, 65, profile},
        {"infinite span", 40, 100, inf, profile},
        {"missing profile", 40, 100, 65, -1},
        {"profile id past the table", 40, 100, 65, MAX_HEIGHT_PROFILES + 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxTable.width[2] = c.width;
        EXPECT_TRUE(std::isfinite(profileSurfaceY(2, c.x, c.profileId)));
        EXPECT_TRUE(std::isfinite(heightmapFloorTop(2, c.x, c.span, c.profileId)));
        EXPECT_TRUE(std::isfinite(heightmapCeilingBottom(2, c.x, c.span, c.profileId)));
    }
    boxTable.width[2] = 40;
    EXPECT_FLOAT_EQ(profileSurfaceY(2, 120, -1), 0);   // a missing profile reads 0: the bottom
}

TEST_F(HeightQueries, EdgeScansFindTheFirstColumnAndSkipColumnZero)
{
    float out = -7;
    // Rightward from x 100: column 0 is read as column 1 (20), so the first column above 25 is
    // at x 120 (column 2, 30).
    EXPECT_FLOAT_EQ(scanSurfaceAboveRightward(2, 100, 25, 40, profile, out), 120);
    EXPECT_FLOAT_EQ(out, 30);
    EXPECT_FLOAT_EQ(scanSurfaceAboveLeftward(2, 100, 25, 40, profile, out), 140);
    EXPECT_FLOAT_EQ(out, 40);
    EXPECT_FLOAT_EQ(scanSurfaceBelowRightward(2, 100, 25, 40, profile, out), 100);
    EXPECT_FLOAT_EQ(out, 20);
    out = -7;
    EXPECT_FLOAT_EQ(scanSurfaceAboveRightward(2, 100, 99, 40, profile, out), -1);
    EXPECT_FLOAT_EQ(out, -7);
    EXPECT_FLOAT_EQ(scanSurfaceBelowLeftward(2, 100, 5, -1, profile, out), -1);
}

struct WalkCase {
    const char* name;
    float (*walk)(float, float, float, float, float);
    float x0, y0, x1, y1, target;
    float expected;
};

TEST(LineWalks, ExamplesAndEdges)
{
    const WalkCase cases[] = {
        {"falling diagonal at x 50", traceSlopeLine, 0, 100, 100, 0, 50, 50},
        {"falling diagonal at its start", traceSlopeLine, 0, 100, 100, 0, 0, 100},
        {"end points swapped in x give y0", traceSlopeLine, 100, 100, 0, 0, 50, 100},
        {"rising diagonal at x 30", traceSlopeLine, 0, 0, 100, 100, 30, 30},
        {"target past the end stops at the end", traceSlopeLine, 0, 0, 100, 100, 500, 100},
        {"shallow slope", traceSlopeLine, 0, 0, 100, 50, 50, 25},
        {"falling diagonal reaches 30 at x 70", xAtHeightFalling, 0, 100, 100, 0, 30, 70},
        {"rising diagonal reaches 30 at x 30", xAtHeightRising, 0, 0, 100, 100, 30, 30},
        {"a point does not walk", traceSlopeLine, 5, 5, 5, 5, 10, 5},
        {"NaN start does not walk", traceSlopeLine, std::nanf(""), 7, 100, 100, 50, 7},
        {"infinite target does not walk", xAtHeightRising, 3, 0, 100, 100, INFINITY, 3},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FLOAT_EQ(c.walk(c.x0, c.y0, c.x1, c.y1, c.target), c.expected);
    }
}

TEST(LineWalks, BoxesNarrowerThanOneUnitEnd)
{
    // dx is 0 here, so without a step bound y alone would step for ever while the x guard holds.
    const float y = traceSlopeLine(10.5f, 20, 11.2f, 80, 11.5f);
    EXPECT_GE(y, 20);
    EXPECT_LE(y, 81);
    const float x = xAtHeightRising(10.5f, 20.5f, 10.9f, 20.7f, 90);
    EXPECT_GE(x, 10.5f);
    EXPECT_LE(x, 11.9f);
    // Huge finite coordinates end too.
    EXPECT_TRUE(std::isfinite(traceSlopeLine(-1e30f, 0, 1e30f, 1e30f, 1e29f)));
}

}  // namespace
