// The spheres-and-rings scene: a sphere inside four nested rings, each tumbling about x and z at
// its own rate, drawn with real-time shadows: a depth pass into the 4096 x 4096 shadow target,
// then a lit, shadowed pass over the background picture. A beat (BEAT_BAR_BIT of beatFlags, or
// the M key) makes the rings turn five times faster for RINGS_BEAT_FRAMES frames.
//
// Units: angles in degrees, speeds in degrees per 60 Hz frame (times the ring's rate), the
// countdown (the shared beatCountdown) in 60 Hz frames like frameDt.
#pragma once

struct Model;

constexpr int RING_COUNT = 4;
constexpr int RINGS_MODEL_COUNT = 1 + RING_COUNT;  // the sphere, then rings 1 to 4
constexpr int RINGS_BEAT_KEY = 16;                 // scancode of M
constexpr float RINGS_BEAT_FRAMES = 10.0f;
constexpr float RINGS_BEAT_SPEED = 2.0f;
constexpr float RINGS_CALM_SPEED = 0.4f;

extern Model* ringsModels[RINGS_MODEL_COUNT];
extern float ringAnglesX[RING_COUNT];
extern float ringAnglesZ[RING_COUNT];
extern const float RING_RATES[RING_COUNT];

// The beat step: restarts beatCountdown on a beat, counts it down by dt (not below 0) and
// returns the speed of this frame.
float stepRingsBeat(bool beat, float dt);
// Both angles of ring i grow by rate i x speed x dt; a result above 360 loses 360 once.
void advanceRingAngles(float speed, float dt);
// The two passes of a frame, under the light and shadow settings the draw makes first. The
// depth pass leaves the shadow target bound; the lit pass draws into framebuffer 0.
void drawRingsDepthPass();
void drawRingsLitPass();
