// The two GLSL programs of the model draw family: the legacy skinned-model program
// ("tutorial2.vert" + "tutorial2.frag", compiled and linked here with its own checks) that
// drawSkinnedModel uses when its caller names no program, and the additive volumetric program
// ("volumetric.vert" + "volumetric.frag", through shaderLoader) with its "cameyevector"
// location. Built once at start-up; they live until the process ends.
#pragma once

#include <cstdint>

extern char* vboVertexSource;    // whole text of "tutorial2.vert", malloc'd, kept
extern char* vboFragmentSource;  // whole text of "tutorial2.frag", malloc'd, kept
extern uint32_t vboVertexShader;
extern uint32_t vboFragmentShader;
extern uint32_t vboShaderProgram;  // "vboshader" in the messages
extern uint32_t volumetricProgram;
extern int32_t camEyeVectorLoc;    // "cameyevector" in volumetricProgram, -1 when absent

void initLegacyShaders();
// Releases the legacy program, its shaders and both source buffers.
void freeLegacyShaders();
