// The fuzz targets link the tangent code without the model's GL upload bookkeeping, which
// lives beside the GL calls; nothing in them uploads.
#include "gfx/model.h"

void markModelVertexDataChanged(Model& model)
{
    ++model.vertexDataVersion;
}
