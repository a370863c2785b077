// scene_data <run dir>: writes the game's background scene "background1.scene" and the pictures
// of the texture sets its meshes name into <run dir>/data/. The output is the same on every run.
#include "tools/scene_data/props.h"
#include "tools/scene_data/scene_write.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: scene_data <run dir>\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code dirError;
    std::filesystem::create_directories(dataDir, dirError);
    if (dirError) {
        std::fprintf(stderr, "scene_data: cannot create %s: %s\n", dataDir.c_str(), dirError.message().c_str());
        return 1;
    }
    std::string error;
    const std::vector<Model3dmMesh> props = buildBackgroundProps();
    if (!writeScene(dataDir + "/background1.scene", props, error) || !writePropTextures(dataDir, error)) {
        std::fprintf(stderr, "scene_data: %s\n", error.c_str());
        return 1;
    }
    size_t triangles = 0;
    for (const Model3dmMesh& mesh : props)
        triangles += mesh.positions.size() / 9;
    std::printf("scene_data: background1.scene with %zu meshes, %zu triangles\n", props.size(), triangles);
    return 0;
}
