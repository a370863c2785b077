#include "gfx/obj_ops.h"
#include "core/program_exit.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const char* const OBJ_HEADER[] = {
    "#  \n",
    "#  Wavefront OBJ written by the engine's OBJ library\n",
    "#  \n",
    "#  vertices, normals, texture coordinates, groups and faces\n",
    "#  as the library holds them (indices 1-based)\n",
    "#  \n",
    "#  \n",
    "#  \n",
};
const char* const MTL_HEADER[] = {
    "#  \n",
    "#  Wavefront MTL written by the engine's OBJ library\n",
    "#  \n",
    "#  material library file: no material entries are written\n",
    "#  \n",
    "#  \n",
    "#  \n",
    "#  \n",
};

const float ZERO_VECTOR[3] = {0.0f, 0.0f, 0.0f};

// Vertex `index` (1-based), or zero outside the array.
const float* vertexAt(const ObjModel& model, uint32_t index)
{
    if (index < 1 || index > model.numvertices || 3 * static_cast<size_t>(index) + 2 >= model.vertices.size())
        return ZERO_VECTOR;
    return &model.vertices[3 * static_cast<size_t>(index)];
}

const float* facetNormalOf(const ObjModel& model, const ObjTriangle& triangle)
{
    if (triangle.findex < 1 || static_cast<uint32_t>(triangle.findex) > model.numfacetnorms)
        return ZERO_VECTOR;
    return &model.facetnorms[3 * static_cast<size_t>(triangle.findex)];
}

void bounds(const ObjModel& model, float low[3], float high[3])
{
    for (int c = 0; c < 3; ++c)
        low[c] = high[c] = model.numvertices ? model.vertices[3 + c] : 0.0f;
    for (uint32_t i = 1; i <= model.numvertices; ++i)
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], model.vertices[3 * i + c]);
            high[c] = std::max(high[c], model.vertices[3 * i + c]);
        }
}

float largestExtent(const ObjModel& model)
{
    float low[3];
    float high[3];
    bounds(model, low, high);
    float largest = 0.0f;
    for (int c = 0; c < 3; ++c)
        largest = objMaxFloat(largest, objAbsFloat(high[c]) + objAbsFloat(low[c]));
    return largest;
}

// Every triangle some group lists, once.
template <class Visit>
void forGroupTriangles(ObjModel& model, Visit visit)
{
    for (ObjGroup* group = model.groups; group; group = group->next)
        for (uint32_t i = 0; i < group->numtriangles && i < group->triangles.size(); ++i)
            if (group->triangles[i] < model.triangles.size())
                visit(model.triangles[group->triangles[i]]);
}

// A file written beside its final name: renamed into place by finish().
struct StagedFile {
    std::string path;
    std::string staging;
    FILE* file = nullptr;

    explicit StagedFile(const std::string& finalPath) : path(finalPath), staging(finalPath + ".tmp")
    {
        file = std::fopen(staging.c_str(), "w");
    }
    int finish()
    {
        bool written = std::fflush(file) == 0 && !std::ferror(file);
        int closed = std::fclose(file);
        file = nullptr;
        if (written && closed == 0 && std::rename(staging.c_str(), path.c_str()) == 0)
            return 0;
        std::remove(staging.c_str());
        return closed != 0 ? closed : EOF;
    }
};

} // namespace

float objFitToUnitCube(ObjModel& model)
{
    assert(!model.vertices.empty());
    float low[3];
    float high[3];
    bounds(model, low, high);
    float centre[3];
    for (int c = 0; c < 3; ++c)
        centre[c] = (high[c] + low[c]) / 2.0f;
    float largest = largestExtent(model);
    // A point or an empty model has no size to fit; it is only centred.
    float scale = largest > 0.0f ? 2.0f / largest : 1.0f;
    for (uint32_t i = 1; i <= model.numvertices; ++i)
        for (int c = 0; c < 3; ++c)
            model.vertices[3 * i + c] = (model.vertices[3 * i + c] - centre[c]) * scale;
    return scale;
}

void objMeasureExtent(ObjModel& model, float out[3])
{
    assert(!model.vertices.empty() && out);
    float low[3];
    float high[3];
    bounds(model, low, high);
    for (int c = 0; c < 3; ++c)
        out[c] = objAbsFloat(high[c]) + objAbsFloat(low[c]);
}

void objScaleVertices(ObjModel& model, float factor)
{
    for (uint32_t i = 1; i <= model.numvertices && 3 * i + 2 < model.vertices.size(); ++i)
        for (int c = 0; c < 3; ++c)
            model.vertices[3 * i + c] *= factor;
}

void objFlipWinding(ObjModel& model)
{
    for (ObjTriangle& triangle : model.triangles) {
        std::swap(triangle.vindices[0], triangle.vindices[2]);
        if (model.numnormals)
            std::swap(triangle.nindices[0], triangle.nindices[2]);
        if (model.numtexcoords)
            std::swap(triangle.tindices[0], triangle.tindices[2]);
    }
    for (uint32_t i = 1; i <= model.numfacetnorms; ++i)
        for (int c = 0; c < 3; ++c)
            model.facetnorms[3 * i + c] = -model.facetnorms[3 * i + c];
    for (uint32_t i = 1; i <= model.numnormals; ++i)
        for (int c = 0; c < 3; ++c)
            model.normals[3 * i + c] = -model.normals[3 * i + c];
}

void objComputeFacetNormals(ObjModel& model)
{
    assert(!model.vertices.empty());
    model.numfacetnorms = model.numtriangles;
    model.facetnorms.assign(3 * (static_cast<size_t>(model.numfacetnorms) + 1), 0.0f);
    for (uint32_t i = 0; i < model.numtriangles; ++i) {
        ObjTriangle& triangle = model.triangles[i];
        triangle.findex = static_cast<int32_t>(i + 1);
        const float* a = vertexAt(model, triangle.vindices[0]);
        const float* b = vertexAt(model, triangle.vindices[1]);
        const float* c = vertexAt(model, triangle.vindices[2]);
        float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        float* normal = &model.facetnorms[3 * (static_cast<size_t>(i) + 1)];
        objCrossProduct(u, v, normal);
        objNormalizeVector(normal);
    }
}

void objVertexNormals(ObjModel& model, float angle)
{
    assert(!model.facetnorms.empty());
    // Worked out in double and kept in single precision: cos 90 degrees is then a hair above 0,
    // so perpendicular facets stay apart.
    const float cosAngle = static_cast<float>(std::cos(angle * 3.14159265358979323846 / 180.0));
    // Every corner can need a normal of its own, and entry 0 is unused.
    std::vector<float> normals(3 * (3 * static_cast<size_t>(model.numtriangles) + 1), 0.0f);

    // Per vertex, its (triangle, corner) uses, the latest first. A corner rather than a
    // triangle per entry, so a triangle that uses one vertex twice still sets both corners.
    struct Use {
        uint32_t triangle;
        int corner;
    };
    std::vector<std::vector<Use>> uses(static_cast<size_t>(model.numvertices) + 1);
    for (uint32_t t = 0; t < model.numtriangles; ++t)
        for (int k = 0; k < 3; ++k) {
            uint32_t v = model.triangles[t].vindices[k];
            if (v >= 1 && v <= model.numvertices)
                uses[v].push_back({t, k});
        }

    uint32_t next = 1;
    std::vector<bool> averaged;
    for (uint32_t v = 1; v <= model.numvertices; ++v) {
        std::vector<Use>& list = uses[v];
        std::reverse(list.begin(), list.end());
        if (list.empty()) {
            std::fprintf(stderr, "objVertexNormals(): vertex w/o a triangle\n");
            continue;
        }
        const float* head = facetNormalOf(model, model.triangles[list.front().triangle]);
        float sum[3] = {0.0f, 0.0f, 0.0f};
        averaged.assign(list.size(), false);
        bool any = false;
        for (size_t i = 0; i < list.size(); ++i) {
            const float* facet = facetNormalOf(model, model.triangles[list[i].triangle]);
            if (objDotProduct(facet, head) > cosAngle) {
                averaged[i] = any = true;
                for (int c = 0; c < 3; ++c)
                    sum[c] += facet[c];
            }
        }
        uint32_t shared = 0;
        if (any) {
            objNormalizeVector(sum);
            std::copy(sum, sum + 3, &normals[3 * static_cast<size_t>(next)]);
            shared = next++;
        }
        for (size_t i = 0; i < list.size(); ++i) {
            ObjTriangle& triangle = model.triangles[list[i].triangle];
            if (averaged[i]) {
                triangle.nindices[list[i].corner] = shared;
            } else {
                const float* facet = facetNormalOf(model, triangle);
                std::copy(facet, facet + 3, &normals[3 * static_cast<size_t>(next)]);
                triangle.nindices[list[i].corner] = next++;
            }
        }
    }
    model.numnormals = next - 1;
    normals.resize(3 * (static_cast<size_t>(model.numnormals) + 1));
    model.normals.swap(normals);
}

void objPlanarTexcoords(ObjModel& model)
{
    float largest = model.numvertices ? largestExtent(model) : 0.0f;
    float scale = largest > 0.0f ? 2.0f / objAbsFloat(largest) : 1.0f;
    model.numtexcoords = model.numvertices;
    model.texcoords.assign(2 * (static_cast<size_t>(model.numtexcoords) + 1), 0.0f);
    for (uint32_t i = 1; i <= model.numvertices; ++i) {
        model.texcoords[2 * i] = (model.vertices[3 * i] * scale + 1.0f) / 2.0f;
        model.texcoords[2 * i + 1] = (model.vertices[3 * i + 2] * scale + 1.0f) / 2.0f;
    }
    forGroupTriangles(model, [](ObjTriangle& triangle) {
        for (int k = 0; k < 3; ++k)
            triangle.tindices[k] = triangle.vindices[k];
    });
}

void objSphereMapTexcoords(ObjModel& model)
{
    assert(!model.normals.empty());
    model.numtexcoords = model.numnormals;
    model.texcoords.assign(2 * (static_cast<size_t>(model.numtexcoords) + 1), 0.0f);
    for (uint32_t i = 1; i <= model.numnormals; ++i) {
        float x = model.normals[3 * i];
        float y = model.normals[3 * i + 1];
        float z = model.normals[3 * i + 2];
        float rho = std::sqrt(z * z + y * y);
        float r = std::sqrt(rho * rho + x * x);
        float theta = 0.0f;
        float phi = 0.0f;
        if (rho != 0.0f) {
            phi = x == 0.0f ? 1.5707964f : std::acos(x / r);
            theta = y == 0.0f ? 1.5707961f : static_cast<float>(std::asin(y / rho) + 1.570796325);
        }
        model.texcoords[2 * i] = static_cast<float>(theta / 3.14159265);
        model.texcoords[2 * i + 1] = static_cast<float>(phi / 3.14159265);
    }
    forGroupTriangles(model, [](ObjTriangle& triangle) {
        for (int k = 0; k < 3; ++k)
            triangle.tindices[k] = triangle.nindices[k];
    });
}

void objWeldModel(ObjModel& model, float epsilon)
{
    assert(!model.vertices.empty());
    uint32_t count = model.numvertices;
    std::vector<float> unique = objWeldVectorList(model.vertices, count, epsilon);
    for (ObjTriangle& triangle : model.triangles)
        for (int k = 0; k < 3; ++k) {
            uint32_t old = triangle.vindices[k];
            if (old >= 1 && old <= model.numvertices)
                triangle.vindices[k] = static_cast<uint32_t>(model.vertices[3 * static_cast<size_t>(old)]);
        }
    model.vertices.swap(unique);
    model.numvertices = count;
}

int objWriteOBJ(ObjModel& model, const char* path, unsigned mode)
{
    struct Rule {
        bool applies;
        const char* warning;
        unsigned clear;
    };
    const bool hasFacets = model.numfacetnorms > 0 && !model.facetnorms.empty();
    const bool hasNormals = model.numnormals > 0 && !model.normals.empty();
    const bool hasTexcoords = model.numtexcoords > 0 && !model.texcoords.empty();
    const bool hasMaterials = model.nummaterials > 0;
    auto check = [&mode](bool condition, const char* warning, unsigned clear) {
        if (!condition)
            return;
        std::printf("%s\n", warning);
        mode &= ~clear;
    };
    check((mode & OBJ_FLAT) && !hasFacets,
          "objWriteOBJ() warning: flat normal output requested with no facet normals defined.", OBJ_FLAT);
    check((mode & OBJ_SMOOTH) && !hasNormals,
          "objWriteOBJ() warning: smooth normal output requested with no normals defined.", OBJ_SMOOTH);
    check((mode & OBJ_TEXTURE) && !hasTexcoords,
          "objWriteOBJ() warning: texture coordinate output requested with no texture coordinates defined.",
          OBJ_TEXTURE);
    check((mode & OBJ_FLAT) && (mode & OBJ_SMOOTH),
          "objWriteOBJ() warning: flat normal output requested and smooth normal output requested (using smooth).",
          OBJ_FLAT);
    check((mode & OBJ_COLOR) && !hasMaterials,
          "objWriteOBJ() warning: color output requested with no colors (materials) defined.", OBJ_COLOR);
    check((mode & OBJ_MATERIAL) && !hasMaterials,
          "objWriteOBJ() warning: material output requested with no materials defined.", OBJ_MATERIAL);
    check((mode & OBJ_COLOR) && (mode & OBJ_MATERIAL),
          "objWriteOBJ() warning: color and material output requested outputting only materials.", OBJ_COLOR);

    StagedFile staged(path);
    FILE* file = staged.file;
    if (!file)
        exitWithError(ExitCode::LOAD_FAILED, "objWriteOBJ() failed: can't open file \"%s\" to write.\n", path);
    for (const char* line : OBJ_HEADER)
        std::fputs(line, file);
    if ((mode & OBJ_MATERIAL) && !model.mtllibname.empty()) {
        std::fprintf(file, "\nmtllib %s\n\n", model.mtllibname.c_str());
        objWriteMTL(model, path, model.mtllibname.c_str());
    }
    std::fprintf(file, "\n# %u vertices\n", model.numvertices);
    for (uint32_t i = 1; i <= model.numvertices; ++i)
        std::fprintf(file, "v %f %f %f\n", model.vertices[3 * i], model.vertices[3 * i + 1], model.vertices[3 * i + 2]);
    if (mode & OBJ_SMOOTH) {
        std::fprintf(file, "\n# %u normals\n", model.numnormals);
        for (uint32_t i = 1; i <= model.numnormals; ++i)
            std::fprintf(file, "vn %f %f %f\n", model.normals[3 * i], model.normals[3 * i + 1], model.normals[3 * i + 2]);
    } else if (mode & OBJ_FLAT) {
        std::fprintf(file, "\n# %u normals\n", model.numfacetnorms);
        for (uint32_t i = 1; i <= model.numfacetnorms; ++i)
            std::fprintf(file, "vn %f %f %f\n", model.facetnorms[3 * i], model.facetnorms[3 * i + 1],
                         model.facetnorms[3 * i + 2]);
    }
    if (mode & OBJ_TEXTURE) {
        std::fprintf(file, "\n# %u texcoords\n", model.numtexcoords);
        for (uint32_t i = 1; i <= model.numtexcoords; ++i)
            std::fprintf(file, "vt %f %f\n", model.texcoords[2 * i], model.texcoords[2 * i + 1]);
    }
    std::fprintf(file, "\n# %u groups\n# %u faces (triangles)\n\n", model.numgroups, model.numtriangles);
    for (ObjGroup* group = model.groups; group; group = group->next) {
        std::fprintf(file, "g %s\n", group->name.c_str());
        if ((mode & OBJ_MATERIAL) && group->material >= 0 &&
            static_cast<size_t>(group->material) < model.materials.size())
            std::fprintf(file, "usemtl %s\n", model.materials[static_cast<size_t>(group->material)].name.c_str());
        for (uint32_t i = 0; i < group->numtriangles && i < group->triangles.size(); ++i) {
            if (group->triangles[i] >= model.triangles.size())
                continue;
            const ObjTriangle& t = model.triangles[group->triangles[i]];
            const uint32_t* v = t.vindices;
            const uint32_t* n = t.nindices;
            const uint32_t* x = t.tindices;
            int f = t.findex;
            if ((mode & OBJ_SMOOTH) && (mode & OBJ_TEXTURE))
                std::fprintf(file, "f %u/%u/%u %u/%u/%u %u/%u/%u\n", v[0], x[0], n[0], v[1], x[1], n[1], v[2], x[2],
                             n[2]);
            else if ((mode & OBJ_FLAT) && (mode & OBJ_TEXTURE))
                std::fprintf(file, "f %u/%d %u/%d %u/%d\n", v[0], f, v[1], f, v[2], f);
            else if (mode & OBJ_TEXTURE)
                std::fprintf(file, "f %u/%u %u/%u %u/%u\n", v[0], x[0], v[1], x[1], v[2], x[2]);
            else if (mode & OBJ_SMOOTH)
                std::fprintf(file, "f %u//%u %u//%u %u//%u\n", v[0], n[0], v[1], n[1], v[2], n[2]);
            else if (mode & OBJ_FLAT)
                std::fprintf(file, "f %u//%d %u//%d %u//%d\n", v[0], f, v[1], f, v[2], f);
            else
                std::fprintf(file, "f %u %u %u\n", v[0], v[1], v[2]);
        }
        std::fputs("\n", file);
    }
    return staged.finish();
}

void objWriteMTL(ObjModel& model, const char* objPath, const char* name)
{
    (void)model;
    std::string path = objPathDirectory(objPath) + name;
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        std::printf("objWriteMTL() warning: material file \"%s\" exists and is kept.\n", path.c_str());
        return;
    }
    StagedFile staged(path);
    if (!staged.file)
        exitWithError(ExitCode::LOAD_FAILED, "objWriteMTL() failed: can't open file \"%s\".\n", path.c_str());
    for (const char* line : MTL_HEADER)
        std::fputs(line, staged.file);
    if (staged.finish() != 0)
        std::fprintf(stderr, "objWriteMTL() failed: can't write file \"%s\".\n", path.c_str());
}
