// Fuzz target: the COLLADA reader over arbitrary bytes. A success must hold exactly the corner
// indices its triangle count needs, each inside the array it indexes; a refusal must name the
// file, an XML error must quote no more than its excerpt allows.
#include "gfx/collada_read.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ColladaMesh mesh;
    ColladaXmlError xmlError;
    std::string error;
    ColladaResult result =
        parseCollada(reinterpret_cast<const char*>(data), size, "fuzz.dae", mesh, xmlError, error);
    if (result == ColladaResult::XML_ERROR) {
        if (xmlError.excerpt.size() > COLLADA_EXCERPT_CHARS || xmlError.offset < 0 ||
            static_cast<uint64_t>(xmlError.offset) > size)
            std::abort();
        return 0;
    }
    if (result == ColladaResult::MALFORMED) {
        if (error.compare(0, 10, "fuzz.dae: ") != 0 || !mesh.corners.empty())
            std::abort();
        return 0;
    }
    size_t stride = static_cast<size_t>(mesh.stride);
    if ((stride != 2 && stride != 3) || mesh.triangleCount < 0 ||
        mesh.corners.size() != 3 * stride * static_cast<size_t>(mesh.triangleCount) ||
        mesh.objectName.size() > COLLADA_NAME_CHARS)
        std::abort();
    const size_t points[3] = {mesh.positions.size() / 3, mesh.normals.size() / 3, mesh.texcoords.size() / 2};
    for (size_t j = 0; j < mesh.corners.size(); ++j) {
        int32_t index = mesh.corners[j];
        if (index < 0 || static_cast<size_t>(index) >= points[j % stride])
            std::abort();
    }
    return 0;
}
