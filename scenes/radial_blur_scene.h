// The radial-blur cloud scene's module values and its beat step; its programs are shared with
// the disco-ball scene ("radialblur.frag").
#pragma once

#include <cstdint>

constexpr int CLOUD_PARTICLE_COUNT = 1000;
constexpr float CLOUD_SIZE = 40.0f;
// Frames of the blob look after a beat.
constexpr float BLOB_COUNTDOWN = 25.0f;

struct RadialBlurPrograms {
    uint32_t radialBlur;      // "radialblur.frag": built here, drawn with by the disco ball
    uint32_t radialBlurFast;  // "radialblurfast.frag": the plain look
    uint32_t blob;            // "blob.frag": the look after a beat
};

extern RadialBlurPrograms radialBlurPrograms;
extern uint32_t radialBlurPalette;  // "blurpalette2.tga"

// One frame of the beat countdown: a beat (key 16 or BEAT_BAR_BIT of beatFlags) restarts it at
// 25 less this frame; otherwise it runs down by frameDt, never below 0. True while the blob
// look is chosen: on a beat, or while the countdown was still running at the frame's start.
bool stepRadialBlurBeat(bool beat);

// The blur pass onto the window: `program` (one of the programs above) streams screenTarget2 out
// from (centreX, centreY) in screen pixels over the frame grown by radialBlurBorder on each side.
void drawRadialBlurPass(uint32_t program, int centreX, int centreY);
