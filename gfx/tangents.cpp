#include "gfx/tangents.h"

#include "gfx/model_record.h"  // Model, markModelVertexDataChanged

#include <algorithm>
#include <cmath>
#include <glm/glm.hpp>

// The sums updateModelTangents reuses every frame (9 floats per triangle each).
struct TangentScratch {
    std::vector<float> sumS;
    std::vector<float> sumT;
};

static TangentScratch tangentScratch;

static glm::vec3 loadVec3(const float* v)
{
    return glm::vec3(v[0], v[1], v[2]);
}

static void storeVec3(const glm::vec3& v, float* out)
{
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

static bool isFiniteVec3(const glm::vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A unit vector perpendicular to n, built from the axis least aligned with it.
static glm::vec3 perpendicularTo(const glm::vec3& n)
{
    glm::vec3 a = glm::abs(n);
    glm::vec3 axis(1.0f, 0.0f, 0.0f);
    if (a.y < a.x && a.y <= a.z)
        axis = glm::vec3(0.0f, 1.0f, 0.0f);
    else if (a.z < a.x && a.z < a.y)
        axis = glm::vec3(0.0f, 0.0f, 1.0f);
    float nn = glm::dot(n, n);
    glm::vec3 t = nn > 0.0f && std::isfinite(nn) ? axis - n * (glm::dot(n, axis) / nn) : axis;
    float tt = glm::dot(t, t);
    return tt > 0.0f && std::isfinite(tt) ? t / std::sqrt(tt) : axis;
}

static glm::vec3 orthogonalTangent(const glm::vec3& n, const glm::vec3& s)
{
    glm::vec3 t = s - n * glm::dot(n, s);
    float tt = glm::dot(t, t);
    if (tt > 0.0f && std::isfinite(tt)) {
        glm::vec3 unit = glm::normalize(t);
        if (isFiniteVec3(unit))
            return unit;
    }
    return perpendicularTo(n);
}

void triangleTangentDirections(const float* pA, const float* pB, const float* pC, const float* uvA,
                               const float* uvB, const float* uvC, float sdir[3], float tdir[3])
{
    glm::vec3 e1 = loadVec3(pB) - loadVec3(pA);
    glm::vec3 e2 = loadVec3(pC) - loadVec3(pA);
    float s1 = uvB[0] - uvA[0];
    float s2 = uvC[0] - uvA[0];
    float t1 = uvB[1] - uvA[1];
    float t2 = uvC[1] - uvA[1];
    float r = 1.0f / (s1 * t2 - s2 * t1);
    glm::vec3 s = (t2 * e1 - t1 * e2) * r;
    glm::vec3 t = (s1 * e2 - s2 * e1) * r;
    // Texture coordinates without area give no direction: leave it to the fallback.
    if (!isFiniteVec3(s) || !isFiniteVec3(t)) {
        s = glm::vec3(0.0f);
        t = glm::vec3(0.0f);
    }
    storeVec3(s, sdir);
    storeVec3(t, tdir);
}

void orthogonalTangent(const float n[3], const float s[3], float out[3])
{
    storeVec3(orthogonalTangent(loadVec3(n), loadVec3(s)), out);
}

void flippedCornerTangent(const float n[3], const float sdir[3], const float tdir[3], float out[3])
{
    glm::vec3 normal = loadVec3(n);
    glm::vec3 tangent = orthogonalTangent(normal, loadVec3(sdir));
    if (glm::dot(glm::cross(normal, tangent), loadVec3(tdir)) < 0.0f)
        tangent = -tangent;
    storeVec3(tangent, out);
}

void generateTangents(const float* positions, const float* normals, const float* texcoords, int64_t triangleCount,
                      float* tangents, float* handedness, float* sumS, float* sumT)
{
    int64_t vertexCount = 3 * triangleCount;
    std::fill(sumS, sumS + 3 * vertexCount, 0.0f);
    std::fill(sumT, sumT + 3 * vertexCount, 0.0f);
    for (int64_t i = 0; i < triangleCount; ++i) {
        int64_t a = 3 * i;
        float sdir[3];
        float tdir[3];
        triangleTangentDirections(&positions[3 * a], &positions[3 * (a + 1)], &positions[3 * (a + 2)],
                                  &texcoords[2 * a], &texcoords[2 * (a + 1)], &texcoords[2 * (a + 2)], sdir, tdir);
        for (int64_t v = a; v < a + 3; ++v) {
            for (int c = 0; c < 3; ++c) {
                sumS[3 * v + c] += sdir[c];
                sumT[3 * v + c] += tdir[c];
            }
        }
    }
    for (int64_t v = 0; v < vertexCount; ++v) {
        glm::vec3 n = loadVec3(&normals[3 * v]);
        glm::vec3 s = loadVec3(&sumS[3 * v]);
        glm::vec3 t = loadVec3(&sumT[3 * v]);
        storeVec3(orthogonalTangent(n, s), &tangents[3 * v]);
        handedness[v] = glm::dot(glm::cross(n, s), t) < 0.0f ? -1.0f : 1.0f;
    }
}

// The triangles every input array of the model holds, with the outputs sized to match.
static int64_t prepareTangentArrays(Model& model)
{
    int64_t n = std::max<int64_t>(model.triangleCount, 0);
    n = std::min<int64_t>(n, static_cast<int64_t>(model.positions.size() / 9));
    n = std::min<int64_t>(n, static_cast<int64_t>(model.normals.size() / 9));
    n = std::min<int64_t>(n, static_cast<int64_t>(model.texcoords.size() / 6));
    if (model.tangents.size() < static_cast<size_t>(9 * n))
        model.tangents.resize(static_cast<size_t>(9 * n));
    if (model.handedness.size() < static_cast<size_t>(3 * n))
        model.handedness.resize(static_cast<size_t>(3 * n));
    return n;
}

void generateModelTangents(Model& model)
{
    int64_t n = prepareTangentArrays(model);
    std::vector<float> sumS(static_cast<size_t>(9 * n));
    std::vector<float> sumT(static_cast<size_t>(9 * n));
    generateTangents(model.positions.data(), model.normals.data(), model.texcoords.data(), n, model.tangents.data(),
                     model.handedness.data(), sumS.data(), sumT.data());
    markModelVertexDataChanged(model);
}

void allocTangentScratch(Model& model)
{
    size_t floats = static_cast<size_t>(9) * static_cast<size_t>(std::max(model.triangleCount, 0));
    tangentScratch.sumS.assign(floats, 0.0f);
    tangentScratch.sumT.assign(floats, 0.0f);
}

void updateModelTangents(Model& model)
{
    int64_t n = prepareTangentArrays(model);
    // Grows only if a model larger than the one the scratch was made for comes by.
    if (tangentScratch.sumS.size() < static_cast<size_t>(9 * n)) {
        tangentScratch.sumS.resize(static_cast<size_t>(9 * n));
        tangentScratch.sumT.resize(static_cast<size_t>(9 * n));
    }
    generateTangents(model.positions.data(), model.normals.data(), model.texcoords.data(), n, model.tangents.data(),
                     model.handedness.data(), tangentScratch.sumS.data(), tangentScratch.sumT.data());
    markModelVertexDataChanged(model);
}

void generateTerrainTangents(const float* positions, const float* normals, const float* texcoords,
                             float* tangents, float* handedness)
{
    size_t floats = static_cast<size_t>(9) * TERRAIN_TANGENT_TRIANGLES;
    std::vector<float> sumS(floats);
    std::vector<float> sumT(floats);
    generateTangents(positions, normals, texcoords, TERRAIN_TANGENT_TRIANGLES, tangents, handedness, sumS.data(),
                     sumT.data());
}

void generateModelTangentsFlipped(Model& model)
{
    int64_t n = prepareTangentArrays(model);
    for (int64_t i = 0; i < n; ++i) {
        int64_t a = 3 * i;
        float sdir[3];
        float tdir[3];
        triangleTangentDirections(&model.positions[3 * a], &model.positions[3 * (a + 1)],
                                  &model.positions[3 * (a + 2)], &model.texcoords[2 * a],
                                  &model.texcoords[2 * (a + 1)], &model.texcoords[2 * (a + 2)], sdir, tdir);
        for (int64_t v = a; v < a + 3; ++v)
            flippedCornerTangent(&model.normals[3 * v], sdir, tdir, &model.tangents[3 * v]);
    }
    markModelVertexDataChanged(model);
}
