// Reader of the engine's text model format ".3dm", without any GL: it turns the file's text into
// plain arrays, checking every line, and says "file:line: expected ..." when the text is wrong.
//
// The format, one item per line (sscanf-style patterns: a blank matches any run of blanks, %d
// an integer, %f a finite float, %s one word; nothing but blanks may follow the pattern):
//   "o %s"                              object name (picks the texture set)
//   "numfaces %d"                       n triangles
//   3n groups "v %f %f %f", "n %f %f %f", "t %f %f"   position, normal, texture coordinate
// then, when any non-blank line follows, the skeleton:
//   "numframes %d"                      F frame slots (1 or more)
//   "numbones %d"                       B bones, 1 to MAX_BONES
//   B bind-pose lines, then the frame blocks of B lines each, bones in order, all in the form
//   "frame %d bone %d pos %f %f %f rot (eulerAngles %f %f %f) sca %f %f %f "
//   3n weight blocks: "vertex %d bones %d" (k) and k lines "vertex %d bone %d weight %f" with
//   bone numbers 1 to B.
// A model file holds F - 1 frame blocks and its weights, and ends there (blank lines aside); a
// file read for its added frames holds F frame blocks, and whatever follows them is not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A skeleton has at most this many bones (the draws upload 64 matrices per bone array).
const int MAX_BONES = 64;
// Bone influences kept per vertex; further ones are read and dropped.
const int BONE_INFLUENCES = 4;

// One "frame ... bone ..." line: position, Euler angles in degrees about x, y, z, and scale.
struct BoneLine3dm {
    float position[3];
    float euler[3];
    float scale[3];
};

// The file as read; all vertex arrays in triangle order, three vertices per triangle.
struct Model3dmFile {
    std::string objectName;
    int32_t triangleCount = 0;
    std::vector<float> positions; // 3 per vertex
    std::vector<float> normals;   // 3 per vertex
    std::vector<float> texcoords; // 2 per vertex

    bool hasSkeleton = false;
    int32_t frameCount = 0; // the "numframes" value
    int32_t boneCount = 0;
    int boneCountLine = 0;               // line of "numbones", for messages about it
    std::vector<BoneLine3dm> bindPose;   // boneCount lines
    std::vector<BoneLine3dm> frameLines; // frame blocks one after another, boneCount lines each
    // Per vertex BONE_INFLUENCES 0-based bone numbers (as floats) and weights; unused slots 0.
    std::vector<float> boneIndices;
    std::vector<float> boneWeights;
};

enum Read3dmPurpose {
    READ_3DM_MODEL,        // the model itself: F - 1 frame blocks, then the weights
    READ_3DM_ADDED_FRAMES, // another file's animation: F frame blocks, weights not read
};

// Parses `size` bytes of `text` (not NUL-terminated, may hold any bytes). `fileName` only labels
// messages. On failure returns false with "fileName:line: expected ..." in `error`.
bool parse3dm(const char* text, size_t size, const char* fileName, Read3dmPurpose purpose, Model3dmFile& out,
              std::string& error);

// One mesh block ("o", "numfaces" and the vertex groups, no skeleton) of a text that packs
// several, as scene files do. Reading starts at byte `offset`, which is the start of line
// `lineNumber` + 1 (lineNumber lines precede it); on success both are moved past the block.
// `out` holds only the mesh part. On failure returns false with "fileName:line: expected ..."
// in `error`, the line counted from the start of the text.
bool parse3dmMeshBlock(const char* text, size_t size, const char* fileName, size_t& offset, int& lineNumber,
                       Model3dmFile& out, std::string& error);
