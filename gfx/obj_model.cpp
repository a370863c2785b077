#include "gfx/obj_model.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <memory>

ObjModel::~ObjModel()
{
    ObjGroup* group = groups;
    while (group) {
        ObjGroup* next = group->next;
        delete group;
        group = next;
    }
}

float objMaxFloat(float a, float b)
{
    return b > a ? b : a;
}

float objAbsFloat(float x)
{
    return x < 0.0f ? -x : x;
}

float objDotProduct(const float* u, const float* v)
{
    assert(u && v);
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}

void objCrossProduct(const float* u, const float* v, float* n)
{
    assert(u && v && n);
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
}

void objNormalizeVector(float* v)
{
    assert(v);
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    // Degenerate triangles give zero cross products; they stay zero instead of NaN.
    if (length == 0.0f || !std::isfinite(length))
        return;
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

bool objVectorsClose(const float* a, const float* b, float epsilon)
{
    return objAbsFloat(a[0] - b[0]) < epsilon && objAbsFloat(a[1] - b[1]) < epsilon &&
           objAbsFloat(a[2] - b[2]) < epsilon;
}

std::vector<float> objWeldVectorList(std::vector<float>& vectors, uint32_t& count, float epsilon)
{
    std::vector<float> unique(3, 0.0f);
    uint32_t uniqueCount = 0;
    for (uint32_t i = 1; i <= count && 3 * i + 2 < vectors.size(); ++i) {
        float* vector = &vectors[3 * i];
        uint32_t found = 0;
        for (uint32_t j = 1; j <= uniqueCount; ++j) {
            if (objVectorsClose(vector, &unique[3 * j], epsilon)) {
                found = j;
                break;
            }
        }
        if (found == 0) {
            unique.insert(unique.end(), vector, vector + 3);
            found = ++uniqueCount;
        }
        vector[0] = static_cast<float>(found);
    }
    count = uniqueCount;
    return unique;
}

std::string objPathDirectory(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    if (!slash)
        return std::string();
    return std::string(path, static_cast<size_t>(slash - path + 1));
}

ObjGroup* objLookupGroup(ObjModel& model, const char* name)
{
    const auto found = model.groupIndex.find(name);
    return found == model.groupIndex.end() ? nullptr : found->second;
}

ObjGroup* objEnsureGroup(ObjModel& model, const char* name)
{
    if (ObjGroup* found = objLookupGroup(model, name))
        return found;
    std::unique_ptr<ObjGroup> group(new ObjGroup());
    group->name = name;
    model.groupIndex.emplace(group->name, group.get());
    group->next = model.groups;
    model.groups = group.release();
    ++model.numgroups;
    return model.groups;
}
