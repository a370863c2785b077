// The model draw family's one submission pattern and its four plain members.
//
// Every member sends a Model the same way: its vertex arrays to attribute locations 0 to 4
// (5 and 6, bone numbers and weights, when skinned), a GLSL program, the four textures of its
// TextureSet on units 0 to 3 ("colorMap", "normalMap", "lightMap", and "specularMap",
// "shadowMap" or "envMap" on unit 3), the 14-light uniform arrays, a few extras, the bone
// matrices of one frame slot ("boneRPos", "bonePos", "boneRot", "boneScl", 64 row-major
// matrices each, uploaded without transpose) with "hasAnim", and one glDrawArrays of all
// triangles.
//
// What a draw costs: vertex arrays go to GL only when the model's vertexDataVersion moved
// (bindModelVertexArrays keeps one vertex array object per model), and the uniform locations
// of a program are looked up once (render/program_uniforms.h). The attribute names are bound to
// their locations when a program's entry is made; the model programs pin them in their sources
// anyway (binding after the link changes nothing). A draw runs the smallest build of its
// program that holds the model's bones (none when unskinned), where the program has builds
// (gfx/shaders.h): GL sends a program's whole uniform storage with each draw, and the bone
// arrays are most of it. Only the model's own bones are uploaded. The extras go to every build,
// so a draw that leaves one out reads what the last draw of any build sent.
//
// State after any member: no program current (unless a member says otherwise: then the build
// the draw ran), the default vertex array object bound (no attribute array enabled), the
// model's last buffer bound as GL_ARRAY_BUFFER, texture unit 3 active with units 0 to 3
// holding the textures just bound, and the model's animFlag as it was. The bone matrices keep
// the pose of the last skinned draw.
//
// A draw is skinned when its frame is 1 or more and the model has a skeleton with that frame
// slot; any other frame draws the model unskinned ("hasAnim" 0, attributes 5 and 6 off).
#pragma once

#include "render/program_uniforms.h"  // ModelProgramUniforms

#include <cstdint>

struct Model;

constexpr int MODEL_TEXTURE_UNITS = 4;

// Fog depth factor of the shadowed draws ("fogzfactor"); the scenes and the game set it.
extern float fogZFactor;
// Depth bias of the shadow-map comparison ("bias").
extern const float shadowBias;

// Counters for measuring: attribute arrays sent to GL, their bytes, and draw calls.
struct ModelDrawStats {
    uint64_t arrayUploads;
    uint64_t uploadedBytes;
    uint64_t drawCalls;
};

extern ModelDrawStats modelDrawStats;

// The draws.
// Legacy program when program < 0; extras "glColor" and "depthMVP" (recomputed, without
// touching depthBiasMVP).
void drawSkinnedModel(Model& model, int frame, int program);
void drawModelFrame(Model& model, int frame);  // drawSkinnedModel(model, frame, -1)
void drawModel(Model& model);                  // drawSkinnedModel(model, 0, -1)
// The lit, shadow-mapped draw once the vertices are submitted: beginShadowedSubmission, the fog
// uniforms and the one draw call.
void drawShadowedSubmission(Model& model, int program, bool skinned);
// Unskinned, lit and shadow-mapped: shadowLitProgram when program < 0; recomputes all three
// light-space values; leaves depth writes on.
void drawStaticModelShadowed(Model& model, int program);

// The pattern's steps, for every member of the family (and for the scenes' own draw calls).
// Looks up a program's locations now (the draw's and the lights', for each of its builds), so
// that its first draw does not pay for them inside a frame. Uploads nothing.
void cacheModelProgramUniforms(uint32_t program);
bool isSkinnedModelDraw(const Model& model, int frame);
// The bone pose step at slot frame: rotation from eulerRel (x from the stored first component,
// y from the third negated, z from the second), relative and bind translations.
void poseModelBones(Model& model, int frame);
// Vertex upload (only what changed) and the model's vertex array object bound.
void submitModelVertices(Model& model, bool skinned);
// `program`, or `fallback` for a negative one.
uint32_t modelProgramOr(int program, uint32_t fallback);
// `program`, or the current program for a negative one.
uint32_t modelProgramOrCurrent(int program);

// Which sampler reads texture unit 3.
enum ModelUnit3Sampler { MODEL_UNIT3_SPECULAR, MODEL_UNIT3_SHADOW, MODEL_UNIT3_ENVIRONMENT };
// The switch set of the light arrays, or all of them (render/lights.h).
enum ModelLightSet { MODEL_LIGHT_SWITCHES, MODEL_LIGHTS_FULL };
// A texture of the model's set: base, normal, chraber and specular on units 0 to 3 (texture 0
// for a set the model does not have).
constexpr uint32_t MODEL_SET_TEXTURE = 0xffffffffu;

struct ModelSubmission {
    uint32_t program;  // made current; program 0 gets no uniforms
    bool skinned;      // "hasAnim" and the bone arrays of the model's current pose
    ModelLightSet lights;
    ModelUnit3Sampler unit3;
    uint32_t unit0Texture;  // MODEL_SET_TEXTURE or a texture of the caller's
    uint32_t unit3Texture;
};

// The opening every member shares, after the vertices: the program current, units 0 to 3 bound
// in order with their samplers, the light arrays, the skin. Returns the program's locations
// for the member's extras.
const ModelProgramUniforms& beginModelSubmission(const Model& model, const ModelSubmission& submission);
// The legacy opening: vertices, vboShaderProgram for a negative program, the full light set,
// "glColor". The caller sends "depthMVP" once it has computed it.
const ModelProgramUniforms& beginLegacySubmission(Model& model, int program, bool skinned);
// The lit, shadow-mapped opening: depth writes on, shadowLitProgram for a negative program, the
// shadow map on unit 3 ("shadowMap"), the full light set, uploadShadowedUniforms.
const ModelProgramUniforms& beginShadowedSubmission(const Model& model, int program, bool skinned);
// The depth-pass opening: depth writes on, the current program for a negative one, the switch
// set, "depthMVP", counter-clockwise front faces; unit 0 gets unit0Texture.
const ModelProgramUniforms& beginDepthSubmission(const Model& model, int program, bool skinned,
                                                 uint32_t unit0Texture = MODEL_SET_TEXTURE);

// Extras. Each skips a name the program lacks, and sends the value to the program's other
// builds too, which hold the same values for every draw to read.
enum ModelUniformKind { MODEL_UNIFORM_FLOAT, MODEL_UNIFORM_VEC4, MODEL_UNIFORM_MAT4 };
void uploadModelUniform(const ModelProgramUniforms& u, int ModelProgramUniforms::*name, ModelUniformKind kind,
                        const float* values);
void uploadCurrentColour(const ModelProgramUniforms& u);     // the current GL colour, "glColor"
void uploadDepthUniform(const ModelProgramUniforms& u);      // "depthMVP"
void uploadShadowedUniforms(const ModelProgramUniforms& u);  // "depthBiasMVP", "bias", "Light"
void uploadFogUniforms(const ModelProgramUniforms& u);       // "fogzfactor", "glColor"
// glDrawArrays of every triangle whose vertices all arrays in use hold.
void drawModelTriangles(const Model& model, bool skinned);
// Closing: vertex arrays off; the program released when `releaseProgram`.
void endModelSubmission(bool releaseProgram);
