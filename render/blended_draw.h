// Frame-blended model drawing: bone rotations interpolated between two frame slots A and B with
// spherical interpolation (and, for the bones whose boneInterpolate flag is set, on toward a
// third slot C), bone positions interpolated linearly between A and B. Two members of the model
// draw family use it: a depth pass for the shadow map and the lit, shadowed pass; each outer
// routine first computes the light-space matrices (computeLightMatrices).
//
// Blend arguments: frameA below 1 draws the model unskinned and blends nothing, as does a model
// without a skeleton; frameC 0 or less disables the third slot; blendAB 0 gives slot A and 1
// slot B; blendC 0 keeps the A/B result and 1 gives slot C. Slot numbers beyond the slots the
// model holds are clamped to its last slot (and below 0 to slot 0), so a blend never reads past
// the skeleton's arrays.
//
// State afterwards as for the rest of the family (render/model_draw.h), except that the depth
// member leaves its program current. Both outer routines change depthMVP, depthBiasMVP and
// lightVector.
#pragma once

struct Model;

// Game values the shadowed member reads for "ycoofade": the player's height in level space, the
// hero's appear offset, and the game's level-to-view conversion of a height (defined by the game,
// game/player.h and game/game_camera.h).
extern float playerY;
extern float heroViewYOffset;
float worldToViewY(float worldY);

// The blended bone pose: fills boneRotMatrices, boneRPosMatrices and bonePosMatrices of every
// bone (at most BONE_MATRIX_SLOTS); boneSclMatrices is not written. Returns false, writing
// nothing, when the draw is unskinned (frameA < 1 or no skeleton).
bool poseModelBonesBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC);

// Depth pass: texture unit 0 left empty, the short light set, "depthMVP", counter-clockwise
// front faces; a negative program keeps the current one. The program stays current.
void submitModelDepthBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC,
                           int program);
// computeLightMatrices, then submitModelDepthBlend.
void drawModelDepthBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC,
                         int program);

// Lit pass: shadowLitProgram for a negative program; unit 3 "shadowMap"; the full light set;
// "depthBiasMVP", "bias", "ycoofade" = worldToViewY(playerY) + heroViewYOffset, "Light". Depth
// writes stay on.
void submitModelShadowedBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC,
                              int program);
// computeLightMatrices, then submitModelShadowedBlend. Note that the program comes second.
void drawModelShadowedBlend(Model& model, int program, int frameA, int frameB, int frameC, float blendAB,
                            float blendC);
