// Writes the engine's ".3dm" model text for the data generators: a static mesh, or a mesh with a
// skeleton (bind pose, frame blocks, per-vertex bone weights). The engine reads positions times
// 0.05, z-up, front facing -y; a static file ends right after its last "t" line.
//
// Frame slots: a model file says "numframes F" and holds F - 1 frame blocks after the bind pose
// (the engine leaves its last slot empty). A file whose frames are appended to an already loaded
// model (addFrames) says "numframes F" for F blocks: set forAddedFrames for those.
#pragma once

#include <string>
#include <vector>

// Three vertices per triangle, no sharing.
struct Model3dmMesh {
    std::string objectName;       // one word; the part before the first '_' names the texture set
    std::vector<float> positions; // 3 per vertex
    std::vector<float> normals;   // 3 per vertex
    std::vector<float> texcoords; // 2 per vertex
};

// One bone in one frame: position, Euler angles in degrees about x, y, z, and scale.
struct Model3dmBone {
    float position[3];
    float euler[3];
    float scale[3];
};

struct Model3dmInfluence {
    int bone; // counted from 1
    float weight;
};

struct Model3dmSkeleton {
    int boneCount = 0;                              // 1 to 64
    std::vector<Model3dmBone> bindPose;             // boneCount entries
    std::vector<std::vector<Model3dmBone>> frames;  // blocks of boneCount entries
    // Per vertex, in vertex order (empty is allowed only with forAddedFrames, which the engine
    // does not read weights from).
    std::vector<std::vector<Model3dmInfluence>> influences;
    bool forAddedFrames = false;
};

// The file text, or false with the reason in `error` when the parts do not fit together.
bool format3dm(const Model3dmMesh& mesh, const Model3dmSkeleton* skeleton, std::string& text, std::string& error);
// format3dm into the file at `path`.
bool write3dm(const std::string& path, const Model3dmMesh& mesh, const Model3dmSkeleton* skeleton,
              std::string& error);
