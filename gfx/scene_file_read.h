// Reader of ".scene" files without any GL: several static meshes of the .3dm layout in one text,
// checked line by line as strictly as .3dm files, with "file:line: expected ..." for wrong text.
//
// The format, one item per line (patterns as in gfx/model_3dm.h):
//   "objcount %d"                       N meshes, 0 to MAX_SCENE_OBJECTS
//   N mesh blocks, one right after another, each the mesh part of a .3dm file:
//     "o %s", "numfaces %d", then 3n groups "v %f %f %f", "n %f %f %f", "t %f %f"
// and nothing after the last block but blank lines.
#pragma once

#include "gfx/model_3dm.h"

#include <cstddef>
#include <string>
#include <vector>

// A scene's model list holds at most this many models.
const int MAX_SCENE_OBJECTS = 1024;

struct SceneFileMeshes {
    std::vector<Model3dmFile> meshes; // in file order; only their mesh parts are set
};

// Parses `size` bytes of `text` (not NUL-terminated, may hold any bytes). `fileName` only labels
// messages. On failure returns false with "fileName:line: expected ..." in `error`.
bool parseScene(const char* text, size_t size, const char* fileName, SceneFileMeshes& out, std::string& error);
