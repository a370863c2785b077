// The game's 2D layer: dots, dotted lines, rotated quads, explosion sprites and free textured
// quads in the fixed 1920 x 1080 screen frame (origin bottom left, y up).
//
// Every primitive is queued and drawn in batches: consecutive primitives with the same
// texture, blending and program go out in one draw call, in the order they were given, with
// the texture coordinates and colours each would have had alone. A batch is sent when the
// state changes, when flush2D is called, or when it is full; after flush2D the GL state is the
// one the last primitive's own call would have left. Code that draws anything else between
// two primitives must call flush2D first. With batching2D cleared every primitive is its own
// call, as a reference picture for tests and benchmarks.
//
// Without a current GL context nothing is drawn and the queue is dropped, so the game's state
// changes inside its draw routines run in tests without a window.
//
// The layer draws in screen space: the caller's modelview is taken as the identity (the game's
// effect layer resets it before its first quad).
#pragma once

#include "core/screen_frame.h"  // SCREEN_W, SCREEN_H
#include "game/game_resources.h"  // the textures and the explosion program it draws with

#include <cstdint>

constexpr int DOT_SIZE = 2;
constexpr int BATCH_2D_CAPACITY = 16384;  // vertices per batch (six per primitive)

enum class Blend2D : uint8_t {
    Alpha,     // source alpha, one minus source alpha
    Additive,  // source alpha, one
};


extern bool batching2D;
// True when a GL context is current (the 2D layer and the game's passes draw only then).
bool hasGlContext2D();

struct Draw2DStats {
    int primitives;  // primitives given since the last reset
    int drawCalls;   // draw calls sent for them
    double sendMs;   // wall time spent sending batches (GL submission and state)
};
extern Draw2DStats draw2DStats;

// The tint of the following primitives (the GL current colour once they are drawn).
void setDrawColor(float r, float g, float b, float a);

// A 2 x 2 white dot with its lower-left corner at (trunc x, trunc y); a dot wholly off the
// screen is skipped.
void drawDot(float x, float y);
bool dotOnScreen(int x, int y);
// Dots along the line, one per whole unit of the longer axis, the end point excluded.
void drawDottedLine(float x0, float y0, float x1, float y1);
// A textured quad from (x0, y0) to (x1, y1) turned by `angle` degrees about (x0, y0), added
// to the picture (negative extents mirror the texture).
void drawRotatedQuad(float x0, float y0, float x1, float y1, float angle, uint32_t texture);
void drawLaserQuad(float x0, float y0, float x1, float y1, float angle);
// A square of side `size` centred on (cx, cy) through the explosion program: the particle
// picture coloured from the ramp (the small one when `small` is non-zero) at `colourIndex`,
// row `colourSelect`; added to the picture.
void drawExplosionSprite(float cx, float cy, float size, float colourIndex, int small, float colourSelect);
// The sprite alone, for callers that set up their own frame: colour, program, textures and
// uniforms as drawExplosionSprite sets them, additive blending, and the square in whatever
// projection and modelview are current. Depth test, culling, lighting and the matrices stay
// as they were, so a caller with culling on loses the square's second triangle (wound
// clockwise); the explosion program stays in use. Queued primitives go out first.
void drawExplosionSpriteInPlace(float cx, float cy, float size, float colourIndex, int small, float colourSelect);
// A free quad: corners a, b, c, d in order round the quad with their texture coordinates,
// tinted by the draw colour (two triangles a-b-c and a-c-d).
struct Corner2D {
    float x, y, u, v;
};
void drawQuad2D(const Corner2D corners[4], uint32_t texture, Blend2D blend);

// Sends what is queued; the GL state afterwards is that of the last primitive's own call.
void flush2D();

// Two spare forms of the hero placement, drawn with nothing: each builds the hero's screen
// placement, at (x, y) or at the player's position, and drops it again. What lasts is GL
// state: the projection matrix current and the identity, colour opaque white,
// spareLitProgram in use, culling off, clockwise front faces. The modelview (when it was the
// current matrix at the call) is the identity too.
void setHeroTransformCopyA(float x, float y);
void setHeroTransformCopyB();

// Builds the sprite program and the batches' vertex array at load (with a GL context), so
// neither is made in the frame of the first explosion or the first primitive.
void prepare2DLayer();
