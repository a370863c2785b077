#include "gfx/scene_file.h"

#include "core/data_files.h" // openDataFile
#include "gfx/model.h"      // Model, fillModelFrom3dm, scaleModel, createModelGlObjects
#include "gfx/textures.h"   // loadTextureSet
#include "platform/gl_api.h"
#include "core/program_exit.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

static const size_t FILE_READ_CHUNK = 65536;
// What read3dmMeshBlock calls the file in its messages: it is handed no name.
static const char* const MESH_BLOCK_LABEL = "scene mesh block";

// The rest of an open file from its current position.
static void readRemainingText(FILE* file, std::string& text)
{
    text.clear();
    std::vector<char> chunk(FILE_READ_CHUNK);
    size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0)
        text.append(chunk.data(), got);
}

// A scene model from its parsed mesh, as a static .3dm file is loaded.
static Model* makeSceneModel(const Model3dmFile& mesh)
{
    Model* model = new Model();
    std::printf("obj %s faces %d\n", mesh.objectName.c_str(), mesh.triangleCount);
    model->textureSet = loadTextureSet(mesh.objectName.c_str());
    fillModelFrom3dm(*model, mesh);
    createModelGlObjects(*model);
    glBindVertexArray(model->vao);
    scaleModel(*model, MODEL_LOAD_SCALE);
    return model;
}

ModelList* loadScene(const char* name)
{
    std::printf("scene load %s\n", name);
    FILE* file = openDataFile(name, "r");
    if (!file)
        exitWithError(ExitCode::LOAD_FAILED, "can't open file %s\n", name);
    std::string text;
    readRemainingText(file, text);
    std::fclose(file);
    SceneFileMeshes scene;
    std::string error;
    if (!parseScene(text.data(), text.size(), name, scene, error))
        exitWithError(ExitCode::LOAD_FAILED, "%s\n", error.c_str());
    std::printf("objcount %d\n", static_cast<int>(scene.meshes.size()));

    ModelList* list = new ModelList();
    for (size_t i = 0; i < scene.meshes.size(); ++i) {
        list->items[i] = makeSceneModel(scene.meshes[i]);
        // No program of a fixed name: object 1 need not be one. The list holds positions only,
        // so it is compiled with no program current.
        compileModelDisplayList(*list->items[i], 0);
    }
    list->count = static_cast<uint32_t>(scene.meshes.size());
    return list;
}

Model* read3dmMeshBlock(FILE* file)
{
    long start = std::ftell(file);
    std::string text;
    readRemainingText(file, text);
    size_t offset = 0;
    int lineNumber = 0;
    Model3dmFile mesh;
    std::string error;
    if (start < 0 || !parse3dmMeshBlock(text.data(), text.size(), MESH_BLOCK_LABEL, offset, lineNumber, mesh, error))
        exitWithError(ExitCode::LOAD_FAILED, "%s\n",
                      start < 0 ? "scene mesh block: the file cannot be positioned" : error.c_str());
    std::fseek(file, start + static_cast<long>(offset), SEEK_SET);
    return makeSceneModel(mesh);
}

void compileModelDisplayList(Model& model, unsigned program)
{
    GLuint list = glGenLists(1);
    glUseProgram(program);
    glLoadIdentity();
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    size_t vertices = 3 * static_cast<size_t>(std::max(model.triangleCount, 0));
    vertices = std::min(vertices, model.positions.size() / 3);
    vertices -= vertices % 3;
    for (size_t v = 0; v < vertices; ++v)
        glVertex3fv(&model.positions[3 * v]);
    glEnd();
    glEndList();
    model.hasList = 1;
    model.listId = list;
}
