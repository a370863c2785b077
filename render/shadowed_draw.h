// Three further members of the model draw family (render/model_draw.h), each the one
// submission pattern with its own program, unit-3 texture and extras:
//
// - the shadowed draw: lit, shadow-mapped and fogged, skinned at a frame slot or not; the lit
//   pass after a depth pass has filled the shadow map;
// - the volumetric draw: additive, without depth writes, with the volumetric program and the
//   camera's view vector ("cameyevector", eye to centre, not normalised);
// - the environment-mapped draw: lit, with the caller's texture as colour and environment map
//   ("envMap" on unit 3) and its texture scroll ("scroll").
//
// Skinned means what it means for the whole family: frame 1 or more on a model with a skeleton
// holding that slot; any other frame draws the model unskinned with "hasAnim" 0.
//
// State afterwards (besides the family's closing state): the shadowed and environment-mapped
// draws leave depth writes on; the volumetric draw leaves blending on with (GL_SRC_ALPHA,
// GL_ONE), depth writes off and the colour white, which its callers restore as they need; the
// volumetric and environment-mapped draws leave counter-clockwise front faces.
#pragma once

#include <cstdint>

struct Model;

// computeLightMatrices from the current modelview, then submitModelShadowed. Note the argument
// order (program before frame).
void drawModelShadowed(Model& model, int program, int frame);
// shadowLitProgram when program < 0; uses depthMVP, depthBiasMVP and lightVector as they hold.
void submitModelShadowed(Model& model, int frame, int program);

// submitModelVolumetric(model, frame, -1).
void drawModelVolumetric(Model& model, int frame);
// Always volumetricProgram; `program` is not used. A skinned draw uploads the model's bone
// matrices as its last posed draw left them. Stopwatch A holds the milliseconds it took.
void submitModelVolumetric(Model& model, int frame, int program);

// What the environment-mapped draw takes from its caller: the program drawn with when the call
// names none, the texture bound as colour and environment map, and the texture scroll.
struct EnvironmentMap {
    uint32_t program;
    uint32_t texture;
    float scroll;  // texture repeats added to v
};

// environment.program when program < 0. A skinned draw poses the bones at slot frame and takes
// the scale matrices ("boneScl") from the model's poses of slot frame - 1.
void drawModelEnvMapped(Model& model, int frame, int program, const EnvironmentMap& environment);
