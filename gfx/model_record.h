// The model record: flat per-vertex arrays (three vertices per triangle, no sharing), its
// texture set, its GL objects and, for skinned models, a skeleton with per-frame bone transforms
// and four bone weights per vertex; with the sizing of its vertex arrays and the creation of its
// GL objects. The readers (gfx/model.h, gfx/collada.h) and the tangent generator build on it.
//
// Conventions: positions, normals and tangents are 3 floats per vertex, texture coordinates 2,
// handedness 1, bone indices and weights 4. Frame slot s of bone b is entry s x boneCount + b of
// the per-frame arrays. Matrices are 16 floats, row by row (see gfx/matrix_math.h); Euler
// angles are degrees.
//
// vertexDataVersion counts rewrites of the vertex arrays: every routine that writes positions,
// normals, texcoords, tangents, handedness or bone arrays raises it
// (markModelVertexDataChanged), so a draw re-uploads only what changed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

const int MODEL_NAME_CHARS = 1024;
const int MODEL_BUFFER_COUNT = 9;
// Attribute locations 0 to 6 and the buffer each one is uploaded into.
const int MODEL_VERTEX_ATTRIBUTES = 7;
// Floats per vertex of each attribute, in the order of ModelAttribute below.
constexpr int MODEL_ATTRIBUTE_SIZES[MODEL_VERTEX_ATTRIBUTES] = {3, 3, 2, 3, 1, 4, 4};
// Matrices per bone uniform array ("bonePos", "boneRPos", "boneRot", "boneScl").
const int BONE_MATRIX_SLOTS = 64;
const int MATRIX_FLOATS = 16;

enum ModelAttribute {
    MODEL_ATTRIBUTE_POSITION = 0,
    MODEL_ATTRIBUTE_NORMAL = 1,
    MODEL_ATTRIBUTE_TEXCOORD = 2,
    MODEL_ATTRIBUTE_TANGENT = 3,
    MODEL_ATTRIBUTE_HANDEDNESS = 4,
    MODEL_ATTRIBUTE_BONES = 5,
    MODEL_ATTRIBUTE_WEIGHTS = 6,
};

// One frame slot of one bone.
struct BonePose {
    float translation[MATRIX_FLOATS]; // identity with (position - bind position) in 3, 7, 11
    float rotation[MATRIX_FLOATS];    // rotationFromEuler of the frame's absolute angles
    float scale[MATRIX_FLOATS];       // diagonal (scale - bind scale, 1): unchanged gives 0
};

struct Model {
    int32_t textureSet = 0;              // index into textureSets
    char name[MODEL_NAME_CHARS] = {};    // texture-set key; only the COLLADA reader fills it
    // 1 with a skeleton, else 0; the draws hand this pointer to the "hasAnim" uniform.
    std::unique_ptr<int32_t> animFlag = std::make_unique<int32_t>(0);
    uint8_t hasList = 0;                 // 1 once a display list was compiled
    uint32_t listId = 0;
    int32_t triangleCount = 0;           // n: 3n vertices
    int32_t boneCount = 0;               // B; 0 without a skeleton
    int32_t frameCount = 0;              // frame slots; 0 without a skeleton
    std::vector<int32_t> indices;        // 0 .. 3n-1
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texcoords;
    std::vector<float> tangents;
    std::vector<float> handedness;       // +1 or -1 per vertex
    std::vector<float> backupPositions;  // the five backups: only backupModelVertices fills them
    std::vector<float> backupNormals;
    std::vector<float> backupTexcoords;
    std::vector<float> backupTangents;
    std::vector<float> backupHandedness;
    uint32_t vao = 0;                             // 0 until the first bindModelVertexArrays
    uint32_t buffers[MODEL_BUFFER_COUNT] = {};    // the first seven hold attributes 0 to 6

    // The skeleton; all empty without one.
    std::vector<float> boneIndices;               // 0-based bone numbers as floats
    std::vector<float> boneWeights;               // 0 in slots without an influence
    std::vector<BonePose> poses;                  // frameCount x boneCount
    std::vector<uint8_t> boneInterpolate;         // per bone: 1 = frame blending moves it
    std::vector<float> eulerRel;                  // 3 per slot and bone: angles - bind angles
    std::vector<float> bindPos;                   // 3 per slot and bone: bind position
    std::vector<float> relPos;                    // 3 per slot and bone: position - bind position
    std::vector<float> bonePosMatrices;           // BONE_MATRIX_SLOTS matrices each, zeroed on
    std::vector<float> boneRPosMatrices;          // load: the skinned draws fill and upload them
    std::vector<float> boneRotMatrices;
    std::vector<float> boneSclMatrices;

    float boundsMin[3] = {};                      // from computeModelBounds
    float boundsMax[3] = {};

    uint32_t vertexDataVersion = 1;                        // raised by every vertex-array write
    uint32_t uploadedVersion[MODEL_VERTEX_ATTRIBUTES] = {}; // per attribute: version in its buffer
};

// Sizes the six per-vertex arrays for n triangles (zeroed, indices 0 .. 3n-1) for models built
// in code, and marks the vertex data changed.
void allocModelVertexArrays(Model& model, int32_t triangleCount);
void markModelVertexDataChanged(Model& model);

// Creates the vertex array object and nine buffer names once.
void createModelGlObjects(Model& model);
