// The polka-dot screen effect beside the timeline: the picture in screenTarget1 becomes a
// halftone of dots (two passes through screen targets 2 and 3), masked, with an eagle and a
// turning ring of lettering laid over it; the zoom variant shrinks the dots and ends with a
// high-pass pass of the picture. Times are tweens from sceneStartMs, per 60 Hz frame.
#pragma once

#include <cstdint>

extern uint32_t polkaBigTexture;         // "polkabig.tga": the dot sprite
extern uint32_t polka1Texture;           // "polka1.tga" (loaded, drawn by no pass)
extern uint32_t polka2Texture;           // "polka2.tga" (loaded, drawn by no pass)
extern uint32_t polkaBlackTexture;       // "polkablack.tga": behind the first dots
extern uint32_t polkaScreenMaskTexture;  // "polkascreenmask.tga": the zoom's screen mask
extern uint32_t polkadotProgram;         // "polkadot.frag"
extern uint32_t polka2Program;           // "polka2.frag"
extern uint32_t maskProgram;             // "mask.frag"
extern uint32_t polkaTextTexture;        // "tovelas2text.tga"
extern uint32_t polkaEagleTexture;       // "tovelas2eagle.tga"
// highpassProgram ("highpass.frag") lives with the toolkit: the sky box makes it current.

void initPolka();
void drawPolka();
void drawPolkaZoom();

