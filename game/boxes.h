// The level's boxes: the box table, the lifts, the ground strip, the player's overlap tests
// against the boxes and the height-profile surface queries.
//
// Level space: x to the right over 0..LEVEL_WIDTH, y upward over 0..LEVEL_HEIGHT; a box's (x, y)
// is its lower-left corner. Tables are indexed from 1; entry 0 is all zero and never overlaps
// anything. Overlaps are strict: rectangles that only touch do not overlap. Speeds are per 60 Hz
// frame and scale by substepFactor.
#pragma once

#include "game/game_state.h"  // CROUCH_HEIGHT, STAND_HEIGHT
#include <cstdint>

constexpr float LEVEL_WIDTH = 3840.0f;
constexpr float LEVEL_HEIGHT = 10800.0f;

// Every field of the box table has BOX_SLOTS entries: the level at 1..MAX_LEVEL_BOXES, the
// editor's palette from PALETTE_FIRST_SLOT (== BOX_CAPACITY) on.
constexpr int BOX_CAPACITY = 150;
constexpr int MAX_LEVEL_BOXES = BOX_CAPACITY - 1;
constexpr int PALETTE_FIRST_SLOT = BOX_CAPACITY;
constexpr int MAX_PALETTE_COUNT = 149;
constexpr int BOX_SLOTS = PALETTE_FIRST_SLOT + MAX_PALETTE_COUNT + 1;
// Tile models are numbered 0..MESH_ID_MAX; -1 draws nothing.
constexpr int MESH_ID_MAX = 9;
constexpr int MESH_ID_NONE = -1;

enum BoxType : int32_t {
    BOX_STANDARD = 0,
    BOX_LIFT = 1,
    BOX_LEFT_SLOPE = 2,
    BOX_RIGHT_SLOPE = 3,
    BOX_BOTTOM_LEFT_SLOPE = 4,
    BOX_BOTTOM_RIGHT_SLOPE = 5,
    BOX_HEIGHTMAP_FLOOR = 6,
    BOX_HEIGHTMAP_CEILING = 7,
};
constexpr int BOX_TYPE_COUNT = 8;
extern const char* const boxTypeNames[BOX_TYPE_COUNT];

// Lift legs: right, up, left, down, then back to the start.
constexpr int LIFT_STATE_COUNT = 5;

// Structure of arrays; field order is the level file's record order.
struct BoxTable {
    float x[BOX_SLOTS];
    float y[BOX_SLOTS];
    float width[BOX_SLOTS];
    float height[BOX_SLOTS];
    int32_t type[BOX_SLOTS];
    int32_t meshId[BOX_SLOTS];
    float liftStartX[BOX_SLOTS];
    float liftStartY[BOX_SLOTS];
    float liftRangeX[BOX_SLOTS];
    float liftRangeY[BOX_SLOTS];
    int32_t reserved[BOX_SLOTS];
    int32_t liftState[BOX_SLOTS];
    float liftSpeed[BOX_SLOTS];
    uint8_t liftFlag[BOX_SLOTS];
};

extern BoxTable boxTable;
extern int boxCount;  // level boxes 1..boxCount; starts at 1 (the ground strip)

// How deep a landing player is put into the box under it: 0.01, or 2.01 on a lift.
constexpr float GROUND_SINK_BOX = 0.01f;
constexpr float GROUND_SINK_LIFT = 2.01f;
extern float groundSink;

// The ground strip that box 1 always becomes.
constexpr float GROUND_STRIP_Y = 20.0f;
constexpr float GROUND_STRIP_HEIGHT = 10.0f;

// True when box i strictly overlaps the rectangle (x, y, w, h).
bool boxOverlapsRect(int i, float x, float y, float w, float h);

// Moves every lift one substep along its path, then carries the player standing on one.
void updateLifts();
// Box 1 becomes the ground strip; every lift goes back to the start of its path (its leg state
// stays).
void resetBoundaryBoxAndLifts();

// The player's rectangle against the boxes 0..boxCount.
bool playerOverlapsLift();
bool playerHasSupport();   // some box overlaps the player lowered by 1
bool playerCanStandUp();   // no box overlaps the head band y + 115 .. y + 180

// The surface of box b at level x with a profile stretched over its width: y + height x value
// of the profile column under x (limited to the last column). A missing profile, a box of width
// 0 and non-finite values read as the box's bottom plus 0.
float profileSurfaceY(int box, float x, int32_t profileId);

// Highest floor surface / lowest ceiling surface over the whole units x0, x0 + 1, ... below
// x0 + span, each kept inside the box; -1e10 / 1e10 for an empty span.
float heightmapFloorTop(int box, float x0, float span, int32_t profileId);
float heightmapCeilingBottom(int box, float x0, float span, int32_t profileId);

// Edge scans over whole-unit columns: the first column whose surface lies above (or below) y;
// returns its x and writes its surface to out, or returns -1 and leaves out alone. Profile
// columns are limited to 1 .. W - 1.
float scanSurfaceAboveLeftward(int box, float x, float y, float span, int32_t profileId, float& out);
float scanSurfaceAboveRightward(int box, float x, float y, float span, int32_t profileId, float& out);
float scanSurfaceBelowLeftward(int box, float x, float y, float span, int32_t profileId, float& out);
float scanSurfaceBelowRightward(int box, float x, float y, float span, int32_t profileId, float& out);
