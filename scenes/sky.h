// Two full-screen fragment-shader passes painting an animated sky or cloud backdrop over the
// fixed 1920 x 1080 frame (y up). skyTime is the value passed as "iGlobalTime": each pass
// uploads it and then advances it for the next call, on a tween from 1000 towards 10000
// (60 Hz frame speeds). Nothing in the timeline draws them; the burst effect uses the sky.
#pragma once

#include <cstdint>

extern uint32_t cloudProgram;  // "Passthroughvertexshader.vert" + "cloudshader.frag"
extern uint32_t skyProgram;    // "Passthroughvertexshader.vert" + "sky.frag"
extern uint32_t noiseTextureA;  // "noise.tga", as "iChannel0" on unit 0
extern uint32_t noiseTextureB;  // "noise.tga" again, as "iChannel1" on unit 1
extern uint32_t skyColorTexture;   // "skycolor.tga", as "colorAbber" on unit 2
extern uint32_t skyCloudsTexture;  // "skyclouds.tga", as "skyclouds" on unit 3
extern float skyTime;

// Start-up step: both programs, then the four textures.
void initSkyShaders();
// One pass with skyProgram (useSky non-zero) or cloudProgram into the bound framebuffer;
// the time runs from 10 ms on the clock.
void drawSkyOrClouds(int useSky);
// One pass with skyProgram and all four textures into the screen framebuffer; the time runs
// from the start of the current timeline state.
void drawSkyBackground();
// Two triangles over the whole frame, uv 0..1, with the program bound at the call; leaves
// depth test, culling and blending on.
void drawSkyScreenQuad();
