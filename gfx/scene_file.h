// Scene files (".scene"): several static meshes of the .3dm layout in one data-folder file, read
// into a list of models, one per mesh; and the display-list copy of a model's triangles.
//
// Every model of a scene is loaded as a static .3dm mesh is: texture set by object name,
// tangents, positions scaled by MODEL_LOAD_SCALE. Each also gets a display list of its scaled
// positions. The lists are kept in the model (hasList, listId); the draws use the vertex arrays.
// Lists and their models live until the process ends.
//
// GL side effects of loadScene and compileModelDisplayList: the program they compile under stays
// current (0 for scene files), the current matrix is the identity, and the vertex array object of
// the last model read stays bound.
#pragma once

#include "gfx/scene_file_read.h" // MAX_SCENE_OBJECTS

#include <cstdint>
#include <cstdio>

struct Model;

struct ModelList {
    uint32_t count = 0;                      // models in items
    Model* items[MAX_SCENE_OBJECTS] = {};    // file order; entries from count on are null
};

// Reads the data-folder scene `name`. A missing or malformed file ends the program (exit 1) with
// "can't open file NAME" or "NAME:LINE: expected ..." on stderr.
ModelList* loadScene(const char* name);
// Reads one mesh block from the current position of an open scene file and leaves the file
// right after it. A malformed block ends the program like a malformed scene, its lines counted
// from the block's start.
Model* read3dmMeshBlock(FILE* file);
// Records the model's positions as GL_TRIANGLES into a new display list (positions only).
// `program` is made current first and the current matrix set to the identity; neither is
// recorded in the list.
void compileModelDisplayList(Model& model, unsigned program);
