// The shadow light's matrices, below the model draws that compute them at every call.
//
// One light at (xsc, ysc, zsc) looks at the world origin through an orthographic box of
// -150 sf .. 150 sf in x and y and -600 sfz .. 600 sfz along its view axis. depthMVP is that
// light's view-projection times the modelview current at the draw (so the depth pass and the
// lit pass agree while the caller's modelview is the same in both), depthBiasMVP the same mapped
// into texture space, lightVector the light position with w 1. The three live with the shadow
// target (gfx/shadow_map.h) and are GL column-major: element 4c + r is row r of column c.
#pragma once

extern float sf;   // half the light box's x and y span, in units of 150
extern float sfz;  // half the light box's depth, in units of 600
// The light position; the scenes and the game move it.
extern float xsc;
extern float ysc;
extern float zsc;
// The same box scales for the game's background props, which sit behind the tiles and spread
// over the whole view; the game swaps them in for the props' passes.
extern float sfbg;
extern float sfzbg;

// depthMVP and depthBiasMVP for a light at `light` with box scales sf and sfz, from a
// column-major modelview. A light at the origin looks down -z, a light straight above or below
// the origin takes -z as its up vector, and a box scale of (nearly) 0 counts as 1e-4 with its
// sign, so the matrices stay finite.
void lightSpaceMatrices(const float modelview[16], const float light[3], float boxScale, float depthScale,
                        float outDepthMVP[16], float outDepthBiasMVP[16]);

// depthMVP, depthBiasMVP and lightVector from sf, sfz, the light position and the current GL
// modelview matrix.
void computeLightMatrices();
// The same without depthBiasMVP (the legacy skinned draw's share).
void computeDepthMVPAndLightVector();
