#include "tools/common/model3dm_write.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const int MAX_WRITTEN_BONES = 64;
const size_t NUMBER_CHARS = 32;

// The shortest of 6 or 9 significant digits that reads back as the same float.
void appendFloat(std::string& out, float value)
{
    char text[NUMBER_CHARS];
    std::snprintf(text, sizeof(text), "%.6g", static_cast<double>(value));
    if (std::strtof(text, nullptr) != value)
        std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    out += text;
}

void appendFloats(std::string& out, const float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        out += ' ';
        appendFloat(out, values[i]);
    }
}

bool allFinite(const std::vector<float>& values)
{
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

bool boneFinite(const Model3dmBone& bone)
{
    for (int c = 0; c < 3; ++c)
        if (!std::isfinite(bone.position[c]) || !std::isfinite(bone.euler[c]) || !std::isfinite(bone.scale[c]))
            return false;
    return true;
}

void appendBoneLine(std::string& out, int frame, int bone, const Model3dmBone& b)
{
    out += "frame " + std::to_string(frame) + " bone " + std::to_string(bone) + " pos";
    appendFloats(out, b.position, 3);
    out += " rot (eulerAngles";
    appendFloats(out, b.euler, 3);
    out += ") sca";
    appendFloats(out, b.scale, 3);
    out += '\n';
}

bool checkMesh(const Model3dmMesh& mesh, std::string& error)
{
    if (mesh.objectName.empty() || mesh.objectName.find_first_of(" \t\r\n") != std::string::npos) {
        error = "the object name must be one word";
        return false;
    }
    if (mesh.positions.size() % 9 != 0) {
        error = "positions must hold 9 floats per triangle";
        return false;
    }
    size_t vertices = mesh.positions.size() / 3;
    if (mesh.normals.size() != 3 * vertices || mesh.texcoords.size() != 2 * vertices) {
        error = "normals and texture coordinates must match the positions";
        return false;
    }
    if (!allFinite(mesh.positions) || !allFinite(mesh.normals) || !allFinite(mesh.texcoords)) {
        error = "vertex data must be finite";
        return false;
    }
    return true;
}

bool checkSkeleton(const Model3dmSkeleton& skeleton, size_t vertices, std::string& error)
{
    if (skeleton.boneCount < 1 || skeleton.boneCount > MAX_WRITTEN_BONES) {
        error = "a skeleton has 1 to 64 bones";
        return false;
    }
    size_t bones = static_cast<size_t>(skeleton.boneCount);
    if (skeleton.bindPose.size() != bones) {
        error = "the bind pose must hold one entry per bone";
        return false;
    }
    for (const Model3dmBone& bone : skeleton.bindPose)
        if (!boneFinite(bone)) {
            error = "bone values must be finite";
            return false;
        }
    for (const std::vector<Model3dmBone>& block : skeleton.frames) {
        if (block.size() != bones) {
            error = "every frame block must hold one entry per bone";
            return false;
        }
        for (const Model3dmBone& bone : block)
            if (!boneFinite(bone)) {
                error = "bone values must be finite";
                return false;
            }
    }
    if (skeleton.forAddedFrames && skeleton.frames.empty()) {
        error = "a file of added frames needs at least one frame block";
        return false;
    }
    if (skeleton.influences.empty() && skeleton.forAddedFrames)
        return true;
    if (skeleton.influences.size() != vertices) {
        error = "the influences must give one list per vertex";
        return false;
    }
    for (const std::vector<Model3dmInfluence>& list : skeleton.influences)
        for (const Model3dmInfluence& influence : list)
            if (influence.bone < 1 || influence.bone > skeleton.boneCount || !std::isfinite(influence.weight)) {
                error = "an influence names a bone from 1 to the bone count with a finite weight";
                return false;
            }
    return true;
}

} // namespace

bool format3dm(const Model3dmMesh& mesh, const Model3dmSkeleton* skeleton, std::string& text, std::string& error)
{
    if (!checkMesh(mesh, error))
        return false;
    size_t vertices = mesh.positions.size() / 3;
    if (skeleton && !checkSkeleton(*skeleton, vertices, error))
        return false;

    text = "o " + mesh.objectName + "\n";
    text += "numfaces " + std::to_string(vertices / 3) + "\n";
    for (size_t v = 0; v < vertices; ++v) {
        text += 'v';
        appendFloats(text, &mesh.positions[3 * v], 3);
        text += "\nn";
        appendFloats(text, &mesh.normals[3 * v], 3);
        text += "\nt";
        appendFloats(text, &mesh.texcoords[2 * v], 2);
        text += '\n';
    }
    if (!skeleton)
        return true;

    size_t frameCount = skeleton->frames.size() + (skeleton->forAddedFrames ? 0 : 1);
    text += "numframes " + std::to_string(frameCount) + "\n";
    text += "numbones " + std::to_string(skeleton->boneCount) + "\n";
    for (int b = 0; b < skeleton->boneCount; ++b)
        appendBoneLine(text, 0, b, skeleton->bindPose[static_cast<size_t>(b)]);
    for (size_t f = 0; f < skeleton->frames.size(); ++f)
        for (int b = 0; b < skeleton->boneCount; ++b)
            appendBoneLine(text, static_cast<int>(f + 1), b, skeleton->frames[f][static_cast<size_t>(b)]);
    for (size_t v = 0; v < skeleton->influences.size(); ++v) {
        const std::vector<Model3dmInfluence>& list = skeleton->influences[v];
        text += "vertex " + std::to_string(v) + " bones " + std::to_string(list.size()) + "\n";
        for (const Model3dmInfluence& influence : list) {
            text += "vertex " + std::to_string(v) + " bone " + std::to_string(influence.bone) + " weight ";
            appendFloat(text, influence.weight);
            text += '\n';
        }
    }
    return true;
}

bool write3dm(const std::string& path, const Model3dmMesh& mesh, const Model3dmSkeleton* skeleton,
              std::string& error)
{
    std::string text;
    if (!format3dm(mesh, skeleton, text, error))
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "can't write " + path;
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    if (!written)
        error = "can't write " + path;
    return written;
}
