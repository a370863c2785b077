// Fuzz target: the .scene parser over arbitrary bytes. A success must hold as many meshes as
// counted (never past the list's capacity), each with arrays that agree with its triangle
// count and no skeleton; a failure must name a line.
#include "gfx/scene_file_read.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SceneFileMeshes scene;
    std::string error;
    bool ok = parseScene(reinterpret_cast<const char*>(data), size, "fuzz.scene", scene, error);
    if (!ok) {
        if (error.compare(0, 11, "fuzz.scene:") != 0 || !scene.meshes.empty())
            std::abort();
        return 0;
    }
    if (scene.meshes.size() > static_cast<size_t>(MAX_SCENE_OBJECTS))
        std::abort();
    for (const Model3dmFile& mesh : scene.meshes) {
        size_t vertices = 3 * static_cast<size_t>(mesh.triangleCount);
        if (mesh.triangleCount < 0 || mesh.objectName.empty() || mesh.hasSkeleton ||
            mesh.positions.size() != 3 * vertices || mesh.normals.size() != 3 * vertices ||
            mesh.texcoords.size() != 2 * vertices)
            std::abort();
    }
    return 0;
}
