// The OBJ/MTL model library's records, mode bits and small vector operations.
//
// Conventions: vertices, normals, texture coordinates and facet normals are 1-based, as the
// OBJ format numbers them: element 0 is allocated and holds nothing. Triangles, materials and
// textures are 0-based. Vectors are 3 floats, texture coordinates 2. Groups form a singly
// linked list, the most recently created first; the model owns them (the destructor frees
// memory, objFreeModel also deletes the GL textures).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// Mode bits of the writer and the draws.
constexpr unsigned OBJ_NONE = 0;
constexpr unsigned OBJ_FLAT = 1;      // facet normals
constexpr unsigned OBJ_SMOOTH = 2;    // vertex normals
constexpr unsigned OBJ_TEXTURE = 4;   // texture coordinates
constexpr unsigned OBJ_COLOR = 8;     // material colours
constexpr unsigned OBJ_MATERIAL = 16; // materials

struct ObjTriangle {
    uint32_t vindices[3] = {};       // 1-based vertex of each corner
    uint32_t nindices[3] = {};       // 1-based normal (0 where the face gives none)
    uint32_t tindices[3] = {};       // 1-based texture coordinate (0 where the face gives none)
    uint32_t tangentIndices[3] = {}; // entries of ObjModel::tangents
    int32_t findex = -1;             // 1-based facet normal, -1 until computed
};

struct ObjMaterial {
    std::string name;
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float emissive[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 65.0f;
    int32_t diffuseMap = -1; // indices into ObjModel::textures, -1 for none
    int32_t normalMap = -1;
    int32_t chraberMap = -1;
    int32_t specularMap = -1;
};

struct ObjGroup {
    std::string name;
    uint32_t numtriangles = 0;
    std::vector<uint32_t> triangles; // indices into ObjModel::triangles
    int32_t material = 0;
    ObjGroup* next = nullptr;
};

struct ObjTexture {
    std::string name;  // the map name without its leading blanks
    uint32_t id = 0;   // GL texture name, 0 when the picture could not be read
    float width = 0.0f;
    float height = 0.0f;
};

// Optional loading progress, owned by the caller: percentages within from..to.
struct ObjLoadProgress {
    std::function<void(int percent, const char* text)> callback;
    int32_t from = 0;
    int32_t to = 100;
    std::string label; // shown with vertex progress
};

struct ObjModel {
    std::string pathname;
    std::string mtllibname; // empty when the OBJ names no material library
    uint32_t numvertices = 0;
    std::vector<float> vertices;  // 3 x (numvertices + 1)
    uint32_t numnormals = 0;
    std::vector<float> normals;   // 3 x (numnormals + 1)
    std::vector<float> tangents;  // 3 per entry, by the triangles' tangentIndices
    uint32_t numtexcoords = 0;
    std::vector<float> texcoords; // 2 x (numtexcoords + 1)
    uint32_t numfacetnorms = 0;
    std::vector<float> facetnorms; // 3 x (numfacetnorms + 1)
    uint32_t numtriangles = 0;
    std::vector<ObjTriangle> triangles;
    uint32_t nummaterials = 0;
    std::vector<ObjMaterial> materials; // material 0 is "default"
    uint32_t numgroups = 0;
    ObjGroup* groups = nullptr;
    uint32_t numtextures = 0;
    std::vector<ObjTexture> textures;
    float position[3] = {0.0f, 0.0f, 0.0f}; // for the caller's use

    // Name indices the reader keeps beside the lists, so a file reads in time linear in its
    // size: every group by name (objEnsureGroup adds to it), the first material and texture of
    // each name (rebuilt from the arrays when their sizes no longer match the index).
    std::unordered_map<std::string, ObjGroup*> groupIndex;
    std::unordered_map<std::string, int32_t> materialIndex;
    size_t materialsIndexed = 0;
    std::unordered_map<std::string, int32_t> textureIndex;
    size_t texturesIndexed = 0;

    ObjModel() = default;
    ObjModel(const ObjModel&) = delete;
    ObjModel& operator=(const ObjModel&) = delete;
    ~ObjModel();
};

// Vector operations (3 floats each).
float objMaxFloat(float a, float b);
float objAbsFloat(float x);
float objDotProduct(const float* u, const float* v);
void objCrossProduct(const float* u, const float* v, float* n);
// In place; a zero-length vector stays zero.
void objNormalizeVector(float* v);
// True when every component differs by less than epsilon.
bool objVectorsClose(const float* a, const float* b, float epsilon);
// `vectors` is a 1-based list of `count` vectors (3 x (count + 1) floats). Returns the 1-based
// list of unique ones (first seen kept) and writes each input vector's unique index (as a
// float) into its first component; `count` becomes the number of unique vectors.
std::vector<float> objWeldVectorList(std::vector<float>& vectors, uint32_t& count, float epsilon);

// The path up to and including its last '/', or "" ('\' is no separator here).
std::string objPathDirectory(const char* path);

ObjGroup* objLookupGroup(ObjModel& model, const char* name);
// The group of that name, created (material 0, no triangles) at the head of the list if new.
ObjGroup* objEnsureGroup(ObjModel& model, const char* name);
