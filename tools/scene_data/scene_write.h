// Writes the engine's ".scene" text: "objcount N", then the N meshes as the mesh parts of .3dm
// files, one right after another (static meshes only: a scene holds no skeleton).
#pragma once

#include "tools/common/model3dm_write.h"

#include <cstdio>
#include <string>
#include <vector>

// The reader's capacity: a scene with more meshes is refused.
constexpr size_t SCENE_WRITE_MAX_OBJECTS = 1024;

// The file text, or false with the reason (and the mesh) in `error`.
inline bool formatScene(const std::vector<Model3dmMesh>& meshes, std::string& text, std::string& error)
{
    if (meshes.size() > SCENE_WRITE_MAX_OBJECTS) {
        error = "a scene holds at most " + std::to_string(SCENE_WRITE_MAX_OBJECTS) + " meshes";
        return false;
    }
    text = "objcount " + std::to_string(meshes.size()) + "\n";
    for (const Model3dmMesh& mesh : meshes) {
        std::string block;
        if (!format3dm(mesh, nullptr, block, error)) {
            error = "mesh " + mesh.objectName + ": " + error;
            return false;
        }
        text += block;
    }
    return true;
}

// formatScene into the file at `path`.
inline bool writeScene(const std::string& path, const std::vector<Model3dmMesh>& meshes, std::string& error)
{
    std::string text;
    if (!formatScene(meshes, text, error))
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    if (!written)
        error = "cannot write " + path;
    return written;
}
