// The engine's drawable triangle mesh: flat per-vertex arrays (three vertices per triangle, no
// sharing), its texture set, its GL objects and, for skinned models, a skeleton with per-frame
// bone transforms and four bone weights per vertex. Loaders for ".3dm" files, the frame
// appender and whole-model operations live here too.
//
// Conventions: positions, normals and tangents are 3 floats per vertex, texture coordinates 2,
// handedness 1, bone indices and weights 4. Frame slot s of bone b is entry s x boneCount + b of
// the per-frame arrays. Matrices are 16 floats, row by row (see gfx/matrix_math.h); Euler
// angles are degrees. The loaders scale positions and bone positions by MODEL_LOAD_SCALE.
//
// Uploading only what changed: vertexDataVersion counts rewrites of the vertex arrays. Every
// routine here that writes them (loaders, scaling, tangents) raises it, and so must any other
// code that writes positions, normals, texcoords, tangents, handedness or bone arrays
// (markModelVertexDataChanged). bindModelVertexArrays creates the model's one vertex array
// object and its buffers on first use and re-uploads an attribute only when its uploaded
// version differs, so a draw of an unchanged model sends no vertex data. Nothing here needs a
// GL context except createModelGlObjects, bindModelVertexArrays, uploadModelVertices and
// deleteModelBuffers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Model3dmFile;

const int MODEL_NAME_CHARS = 1024;
const int MODEL_BUFFER_COUNT = 9;
// Attribute locations 0 to 6 and the buffer each one is uploaded into.
const int MODEL_VERTEX_ATTRIBUTES = 7;
// Floats per vertex of each attribute, in the order of ModelAttribute below.
constexpr int MODEL_ATTRIBUTE_SIZES[MODEL_VERTEX_ATTRIBUTES] = {3, 3, 2, 3, 1, 4, 4};
// Matrices per bone uniform array ("bonePos", "boneRPos", "boneRot", "boneScl").
const int BONE_MATRIX_SLOTS = 64;
const int MATRIX_FLOATS = 16;
const float MODEL_LOAD_SCALE = 0.05f;

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

// By file extension: "3dm" reads a .3dm model, "dae" a COLLADA one; anything else gives null.
Model* loadModel(const char* name);
// Reads the data-folder file `name`. A missing or malformed file ends the program (exit 1) with
// "can't open file NAME" or "NAME:LINE: expected ..." on stderr.
Model* load3dm(const char* name);
// Starts reading and parsing these .3dm files on worker threads, so the load3dm calls that
// follow (in any order, each on the main thread) only wait for what is not done yet. A file's
// errors are reported by its load3dm, as without the prefetch.
void prefetchModelFiles(const char* const* names, int count);
// Waits for the prefetched files no load3dm took, and frees them.
void dropPrefetchedModelFiles();
// Appends the frames of another .3dm file of the same skeleton from slot frameCount on; ends the
// program like load3dm when the file is missing, malformed or has another bone count.
void addFrames(Model& model, const char* name);
// Positions and, with a skeleton, the bone positions of every frame slot times s.
void scaleModel(Model& model, float s);
// The skeleton part of scaleModel for slots first to end - 1 only.
void scaleModelFrames(Model& model, float s, int first, int end);
// Box over all positions and the origin.
void computeModelBounds(Model& model);
void backupModelVertices(Model& model);
// Every position = its backup times (sx, sy, sz).
void scaleModelFromBackup(Model& model, float sx, float sy, float sz);
// Releases the vertex array object and all nine buffers; a later draw makes new ones.
void deleteModelBuffers(Model& model);
// The text after the last '.', or "" when there is none or it is the first character.
const char* getFileExtension(const char* name);
// malloc that ends the program with "malloc error" when it fails.
void* allocOrExit(int bytes);

// The GL-free halves of the loaders, for anything that has a parsed file in hand.
// Vertex arrays, tangents and skeleton from a file read as READ_3DM_MODEL; not scaled, no
// texture set, no output. The last frame slot is left zeroed.
void fillModelFrom3dm(Model& model, const Model3dmFile& file);
// Frames of a file read as READ_3DM_ADDED_FRAMES into slots frameCount on, scaled by
// MODEL_LOAD_SCALE. False with "fileName:line: ..." in `error` when the bone counts differ.
bool appendModelFrames(Model& model, const Model3dmFile& file, const char* fileName, std::string& error);

// Sizes the six per-vertex arrays for n triangles (zeroed, indices 0 .. 3n-1) for models built
// in code, and marks the vertex data changed.
void allocModelVertexArrays(Model& model, int32_t triangleCount);
void markModelVertexDataChanged(Model& model);

// GL side. Creates the vertex array object and nine buffer names once.
void createModelGlObjects(Model& model);
// Binds the model's vertex array object and sets attributes 0 to 4 (and 5, 6 when skinned and
// the model has bone arrays; otherwise they are disabled) from its buffers, uploading with
// glBufferData only the arrays whose data changed since their last upload. Each upload is the
// first 3n vertices of its array. The vertex array object and the last buffer stay bound.
void bindModelVertexArrays(Model& model, bool skinned);
// Sends every array the model holds (the bone arrays too, when it has them) to its buffers
// now, so the first draw after loading finds them up to date instead of paying the upload in a
// frame. Leaves the default vertex array object and no GL_ARRAY_BUFFER bound. Null is ignored.
void uploadModelVertices(Model* model);
