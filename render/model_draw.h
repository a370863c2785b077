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
// of a program are looked up once, on its first draw, and kept in a table keyed by program id
// (MODEL_PROGRAM_CACHE_CAPACITY programs; further ones are looked up on every draw). A program
// that is deleted must be dropped with forgetModelProgram, since GL may reuse its id. The
// attribute names are bound to their locations once per program, when its entry is made; the
// model programs pin them in their sources anyway (binding after the link changes nothing).
//
// State after any member: no program current (unless a member says otherwise), the default
// vertex array object bound (no attribute array enabled), the model's last buffer bound as
// GL_ARRAY_BUFFER, texture unit 3 active with units 0 to 3 holding the textures just bound, and
// the model's animFlag as it was. The bone matrices keep the pose of the last skinned draw.
//
// A draw is skinned when its frame is 1 or more and the model has a skeleton with that frame
// slot; any other frame draws the model unskinned ("hasAnim" 0, attributes 5 and 6 off).
#pragma once

#include <cstdint>

struct Model;

constexpr int MODEL_PROGRAM_CACHE_CAPACITY = 64;
constexpr int MODEL_TEXTURE_UNITS = 4;

// Fog depth factor of the shadowed draws ("fogzfactor"); the scenes and the game set it.
extern float fogZFactor;
// Depth bias of the shadow-map comparison ("bias").
extern const float shadowBias;

// Uniform locations of one program, -1 for names it lacks.
struct ModelProgramUniforms {
    uint32_t program;
    int colorMap, normalMap, lightMap, specularMap, shadowMap, envMap;
    int hasAnim, boneRPos, bonePos, boneRot, boneScl;
    int glColor, depthMVP, depthBiasMVP, bias, fogzfactor, light;
    int scroll, ycoofade, cameyevector;
};

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
// Unskinned, lit and shadow-mapped: shadowLitProgram when program < 0; recomputes all three
// light-space values; leaves depth writes on.
// The lit, shadow-mapped half of a draw once the vertices are submitted: the program, the
// texture units with the shadow map on unit 3, the light and shadow uniforms, the skin and the
// one draw call.
void drawShadowedSubmission(Model& model, int program, bool skinned);
void drawStaticModelShadowed(Model& model, int program);

// The pattern's steps, for every member of the family.
const ModelProgramUniforms& modelProgramUniforms(uint32_t program);
void forgetModelProgram(uint32_t program);
// Looks up a program's locations now (the draw's and the lights'), so that its first draw
// does not pay for them inside a frame. Uploads nothing.
void cacheModelProgramUniforms(uint32_t program);
bool isSkinnedModelDraw(const Model& model, int frame);
// The bone pose step at slot frame: rotation from eulerRel (x from the stored first component,
// y from the third negated, z from the second), relative and bind translations.
void poseModelBones(Model& model, int frame);
// Vertex upload (only what changed) and the model's vertex array object bound.
void submitModelVertices(Model& model, bool skinned);
// Makes `program` current; a negative one means `fallback`. Returns the program now current.
uint32_t useModelProgram(int program, uint32_t fallback);
// Makes `program` current, or for a negative one keeps the current program. Returns it.
uint32_t useModelProgramOrKeep(int program);
// Units 0 to 3 in order with their samplers; unit 3's sampler is at unit3Location.
void bindModelTextureUnits(const ModelProgramUniforms& u, const uint32_t textures[MODEL_TEXTURE_UNITS],
                           int unit3Location);
// Base, normal and chraber textures of the model's set (texture 0 for a set it does not have).
void modelSetTextures(const Model& model, uint32_t textures[MODEL_TEXTURE_UNITS]);
// The current GL colour as "glColor".
void uploadCurrentColour(const ModelProgramUniforms& u);
// "hasAnim" and, when skinned, the four bone arrays.
void uploadModelSkin(const ModelProgramUniforms& u, const Model& model, bool skinned);
// glDrawArrays of every triangle whose vertices all arrays in use hold.
void drawModelTriangles(const Model& model, bool skinned);
// Closing: vertex arrays off; the program released when `releaseProgram`.
void endModelSubmission(bool releaseProgram);
