// Fuzz target: the .3dm parser over arbitrary bytes, read both as a model and as added frames.
// A success must describe arrays that agree with the counts read; a failure must name a line.
#include "gfx/model_3dm.h"

#include <cstdint>
#include <cstdlib>
#include <string>

static void checkResult(bool ok, const Model3dmFile& file, const std::string& error, Read3dmPurpose purpose)
{
    if (!ok) {
        if (error.compare(0, 9, "fuzz.3dm:") != 0)
            std::abort();
        return;
    }
    size_t vertices = 3 * static_cast<size_t>(file.triangleCount);
    if (file.triangleCount < 0 || file.positions.size() != 3 * vertices || file.normals.size() != 3 * vertices ||
        file.texcoords.size() != 2 * vertices)
        std::abort();
    if (!file.hasSkeleton) {
        if (!file.bindPose.empty() || !file.frameLines.empty() || !file.boneIndices.empty())
            std::abort();
        return;
    }
    if (file.boneCount < 1 || file.boneCount > MAX_BONES || file.frameCount < 1 ||
        file.bindPose.size() != static_cast<size_t>(file.boneCount))
        std::abort();
    size_t blocks = static_cast<size_t>(purpose == READ_3DM_MODEL ? file.frameCount - 1 : file.frameCount);
    if (file.frameLines.size() != blocks * file.boneCount)
        std::abort();
    if (purpose == READ_3DM_ADDED_FRAMES)
        return;
    if (file.boneIndices.size() != BONE_INFLUENCES * vertices || file.boneWeights.size() != BONE_INFLUENCES * vertices)
        std::abort();
    for (float index : file.boneIndices)
        if (index < 0.0f || index >= static_cast<float>(file.boneCount))
            std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const Read3dmPurpose purposes[] = {READ_3DM_MODEL, READ_3DM_ADDED_FRAMES};
    for (Read3dmPurpose purpose : purposes) {
        Model3dmFile file;
        std::string error;
        bool ok = parse3dm(text, size, "fuzz.3dm", purpose, file, error);
        checkResult(ok, file, error, purpose);
    }
    return 0;
}
