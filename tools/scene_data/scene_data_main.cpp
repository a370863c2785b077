// scene_data <run dir>: writes the game's background scene "background1.scene" and the pictures
// of the texture sets its meshes name into <run dir>/data/. The output is the same on every run.
#include "tools/common/generator_main.h"
#include "tools/scene_data/props.h"
#include "tools/scene_data/scene_write.h"

#include <cstdio>

int main(int argc, char** argv)
{
    return runGenerator("scene_data", argc, argv, [](const std::string& dataDir, std::string& error) {
        const std::vector<Model3dmMesh> props = buildBackgroundProps();
        if (!writeScene(dataDir + "/background1.scene", props, error) || !writePropTextures(dataDir, error))
            return false;
        size_t triangles = 0;
        for (const Model3dmMesh& mesh : props)
            triangles += mesh.positions.size() / 9;
        std::printf("scene_data: background1.scene with %zu meshes, %zu triangles\n", props.size(), triangles);
        return true;
    });
}
