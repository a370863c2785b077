#include "gfx/model_record.h"

#include "platform/gl_api.h"

#include <algorithm>

void markModelVertexDataChanged(Model& model)
{
    ++model.vertexDataVersion;
    // 0 stands for "never uploaded".
    if (model.vertexDataVersion == 0)
        model.vertexDataVersion = 1;
}

void allocModelVertexArrays(Model& model, int32_t triangleCount)
{
    size_t n = static_cast<size_t>(std::max(triangleCount, 0));
    model.triangleCount = static_cast<int32_t>(n);
    model.indices.resize(3 * n);
    for (size_t i = 0; i < 3 * n; ++i)
        model.indices[i] = static_cast<int32_t>(i);
    model.positions.assign(9 * n, 0.0f);
    model.normals.assign(9 * n, 0.0f);
    model.texcoords.assign(6 * n, 0.0f);
    model.tangents.assign(9 * n, 0.0f);
    model.handedness.assign(3 * n, 0.0f);
    markModelVertexDataChanged(model);
}

void createModelGlObjects(Model& model)
{
    if (model.vao != 0)
        return;
    glGenVertexArrays(1, &model.vao);
    glGenBuffers(MODEL_BUFFER_COUNT, model.buffers);
    std::fill(model.uploadedVersion, model.uploadedVersion + MODEL_VERTEX_ATTRIBUTES, 0u);
}
