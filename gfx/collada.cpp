#include "gfx/collada.h"

#include "core/file_text.h"  // readWholeFile
#include "gfx/collada_read.h"
#include "gfx/model_record.h"  // Model, allocModelVertexArrays, createModelGlObjects
#include "gfx/tangents.h"
#include "gfx/textures.h"  // loadTextureSet, textureSets
#include "platform/gl_api.h"
#include "core/program_exit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

void fillModelFromCollada(Model& model, const ColladaMesh& mesh)
{
    model.hasList = 0;
    model.boneCount = 0;
    model.frameCount = 0;
    *model.animFlag = 0;
    allocModelVertexArrays(model, mesh.triangleCount);
    size_t vertices = 3 * static_cast<size_t>(model.triangleCount);
    size_t stride = static_cast<size_t>(mesh.stride);
    for (size_t v = 0; v < vertices; ++v) {
        const int32_t* corner = &mesh.corners[v * stride];
        std::memcpy(&model.positions[3 * v], &mesh.positions[3 * static_cast<size_t>(corner[0])], 3 * sizeof(float));
        std::memcpy(&model.normals[3 * v], &mesh.normals[3 * static_cast<size_t>(corner[1])], 3 * sizeof(float));
        if (stride == 3)
            std::memcpy(&model.texcoords[2 * v], &mesh.texcoords[2 * static_cast<size_t>(corner[2])],
                        2 * sizeof(float));
    }
    generateModelTangents(model);
}

Model* loadCollada(const char* path)
{
    std::string text;
    ColladaMesh mesh;
    ColladaXmlError xmlError;
    std::string error;
    ColladaResult result = ColladaResult::XML_ERROR;
    if (readWholeFile(path, text))
        result = parseCollada(text.data(), text.size(), path, mesh, xmlError, error);
    else
        xmlError = colladaUnreadableFile();
    if (result == ColladaResult::XML_ERROR)
        exitWithError(ExitCode::LOAD_FAILED, "%s", colladaXmlReport(path, xmlError).c_str());
    if (result == ColladaResult::MALFORMED)
        exitWithError(ExitCode::LOAD_FAILED, "%s\n", error.c_str());

    std::printf("facelist %d", static_cast<int>(mesh.corners.size()));
    for (const ColladaSourceRead& source : mesh.sourcesRead) {
        const char* label = source.kind == ColladaSourceKind::POSITIONS ? "poscount"
                            : source.kind == ColladaSourceKind::NORMALS ? "normalcount"
                                                                        : "uvcount";
        std::printf("%s %d read %d floats\n", label, static_cast<int>(source.declared),
                    static_cast<int>(source.stored));
    }

    Model* model = new Model();
    std::printf("obj %s faces %d\n", mesh.objectName.c_str(), mesh.triangleCount);
    model->textureSet = loadTextureSet(mesh.objectName.c_str());
    std::snprintf(model->name, sizeof(model->name), "%s", textureSets[model->textureSet].name);
    fillModelFromCollada(*model, mesh);
    createModelGlObjects(*model);
    glBindVertexArray(model->vao);
    return model;
}
