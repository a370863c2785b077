// Fuzz target: one input is an OBJ text and, after its first NUL byte, the MTL text that every
// mtllib statement is served. A model that loads must hold exactly the totals its count pass
// found, with every stored index inside the array it addresses; the fitting and facet-normal
// operations then run on it.
#include "gfx/obj_ops.h"
#include "gfx/obj_read.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

static void check(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(data, 0, size);
    size_t objSize = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - data) : size;
    bool hasMtl = nul != nullptr;
    std::string mtl = hasMtl ? std::string(text + objSize + 1, size - objSize - 1) : std::string();

    ObjReadSeams seams;
    seams.readFile = [&](const std::string&, std::string& out) {
        if (!hasMtl)
            return false;
        out = mtl;
        return true;
    };
    uint32_t nextTexture = 1;
    seams.loadTexture = [&](const std::string&, float* width, float* height) {
        *width = *height = 1.0f;
        return nextTexture++;
    };
    ObjReadError error;
    ObjCounts counted;
    std::unique_ptr<ObjModel> model(objReadText("fuzz/model.obj", text, objSize, seams, nullptr, error, &counted));
    if (!model) {
        check(!error.message.empty() && error.message.back() == '\n');
        return 0;
    }
    check(model->numvertices == counted.vertices && model->numnormals == counted.normals &&
          model->numtexcoords == counted.texcoords && model->numtriangles == counted.triangles &&
          model->nummaterials == counted.materials && model->numgroups == counted.groups);
    check(model->vertices.size() == 3 * (size_t(model->numvertices) + 1));
    check(model->triangles.size() == model->numtriangles);
    check(model->materials.size() == model->nummaterials && model->nummaterials >= 1);
    check(model->textures.size() == model->numtextures);
    uint64_t grouped = 0;
    uint32_t groups = 0;
    for (const ObjGroup* g = model->groups; g; g = g->next, ++groups) {
        check(g->numtriangles == g->triangles.size());
        check(g->material >= 0 && uint32_t(g->material) < model->nummaterials);
        for (uint32_t t : g->triangles)
            check(t < model->numtriangles);
        grouped += g->numtriangles;
    }
    check(groups == model->numgroups && grouped == model->numtriangles);
    for (const ObjTriangle& t : model->triangles)
        for (int k = 0; k < 3; ++k) {
            check(t.vindices[k] >= 1 && t.vindices[k] <= model->numvertices);
            check(t.nindices[k] <= model->numnormals && t.tindices[k] <= model->numtexcoords);
            check(3 * (size_t(t.tangentIndices[k]) + 1) <= model->tangents.size());
        }
    for (const ObjMaterial& m : model->materials)
        for (int32_t map : {m.diffuseMap, m.normalMap, m.chraberMap, m.specularMap})
            check(map == -1 || (map >= 0 && uint32_t(map) < model->numtextures));

    objComputeFacetNormals(*model);
    objFitToUnitCube(*model);
    return 0;
}
