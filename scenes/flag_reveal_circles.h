// Three screen effects beside the timeline, each an init and a per-frame draw timed from
// sceneStartMs: a waving flag painted by "flag.frag", a picture revealed from the centre of
// the screen with a cursor strip at its edge, and 512 expanding coloured ring bands. Screen
// positions are in the fixed 1920 x 1080 frame, y up; tween speeds per 60 Hz frame.
#pragma once

#include <cstdint>

constexpr int FLAG_TEXTURE_COUNT = 4;
constexpr int CIRCLE_COUNT = 512;
constexpr int SIN_COS_TABLE_SIZE = 12660;  // entries of 1/2000 radian
constexpr int RING_BAND_WIDTH = 7;         // pixels
constexpr int RING_ARC_END = 1256;         // the band runs from angle 0 to this, 1/2000 radian

// "flag.tga", "flagmap.tga", "flagshadow.tga", "flagcolor.tga" on units 0 to 3.
extern uint32_t flagTextures[FLAG_TEXTURE_COUNT];
extern uint32_t flagProgram;  // "passthroughvertexshader.vert" + "flag.frag"
extern float flagAnim;        // 0..1000, wrapping

extern uint32_t revealTextures[2];  // "anger2.tga", "cursor.tga"
extern uint32_t revealProgram;      // "passthroughvertexshader.vert" + "passthroughfragmentshader.frag"

struct Circle {
    float color[4];
    float speed;      // pixels per second
    float startTime;  // seconds after the scene start
};
extern uint32_t circleTextures[2];  // "circle.tga", "whitepixel.tga"
extern Circle circles[CIRCLE_COUNT];
extern float sinTable[SIN_COS_TABLE_SIZE];
extern float cosTable[SIN_COS_TABLE_SIZE];

void initFlagEffect();
void drawFlagEffect();
void initRevealEffect();
void drawRevealEffect();
// Loads the two textures, draws the circles from the platform generator seeded with 2016 and
// fills the sine and cosine tables (once: nothing changes them afterwards).
void initCircles();
void drawCircles();
// One 7-pixel band of a circle of `radius` around the screen centre, over the arc 0 to
// RING_ARC_END, in the current colour.
void drawRingOutline(float radius);
// sinTable[i] = sin(i / 2000), cosTable[i] = cos(i / 2000), single precision.
void fillSinCosTables();

// The reveal's geometry t seconds after the start: half-width of the open picture and the
// texture extent shown; false while nothing is drawn (t at most 7).
bool revealExtent(float t, float* halfWidth, float* textureExtent);
// The radius of a circle at t seconds, or a value <= 0 before its start.
float circleRadiusAt(const Circle& circle, float t);
