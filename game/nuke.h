// Weapon 4, the nuke: a shockwave ring that grows from the player's centre, kills every walker
// and jumper it reaches on screen, and is drawn twice: visibly into the scene target and as a
// push profile into screen target 3 for the frame's shockwave composite.
#pragma once

#include <cstdint>

constexpr float NUKE_GROWTH = 80.0f;      // radius per unit of frameStepFactor
constexpr float NUKE_END_RADIUS = 1200.0f;
constexpr float NUKE_FADE_RADIUS = 960.0f;
constexpr float NUKE_RING_THICKNESS = 64.0f;
constexpr float NUKE_EFFECT_THICKNESS = 320.0f;
constexpr int NUKE_RING_LAST_INDEX = 1256;  // angle index into the orb tables, 1/200 radian

extern float nukeRadius;   // running while above 0
extern float nukeCentreX;
extern float nukeCentreY;
extern uint32_t nukePaintTexture;    // "nukepaint.tga"
extern uint32_t nukePaintFxTexture;  // "nukepaintfx.tga"

// The angle tables, and the two ring textures the first time only.
void initNuke();
// Once per frame: grows the ring, ends it past 1200, and draws both rings.
void updateNukeShockwave();
// A ring of thickness 64 (320 for the effect ring) from radius r outward, around the level
// point (cx, cy); only the segments that reach the screen are drawn.
void drawNukeRing(float cx, float cy, float r, int effect);
// Every substep: kills the walkers and jumpers with a corner on screen inside the circle.
void applyNukeDamage();
bool isInsideNukeCircle(float x, float y);
bool isOnScreen(int ignored, float x, float y);
