// The GL-free half of the stencil shadows: copying a model into a caster, plane equations,
// edge neighbours and the silhouette test.
#include "render/stencil_shadow.h"

#include "gfx/model.h"  // triangleCount, positions, normals

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace {

// A point's exact bits; -0 and +0 count as one point.
struct PointBits {
    uint32_t x, y, z;
    bool operator==(const PointBits& o) const { return x == o.x && y == o.y && z == o.z; }
};

uint32_t floatBits(float v)
{
    if (v == 0.0f)
        v = 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

PointBits pointBits(const ShadowCaster& caster, int point)
{
    const float* p = &caster.points[static_cast<size_t>(point) * 3];
    return {floatBits(p[0]), floatBits(p[1]), floatBits(p[2])};
}

bool pointLess(const PointBits& a, const PointBits& b)
{
    if (a.x != b.x)
        return a.x < b.x;
    if (a.y != b.y)
        return a.y < b.y;
    return a.z < b.z;
}

// An undirected edge: its two end points in a fixed order.
struct EdgeKey {
    PointBits low, high;
    bool operator==(const EdgeKey& o) const { return low == o.low && high == o.high; }
};

struct EdgeKeyHash {
    size_t operator()(const EdgeKey& k) const
    {
        uint64_t h = 1469598103934665603ull;
        for (uint32_t v : {k.low.x, k.low.y, k.low.z, k.high.x, k.high.y, k.high.z}) {
            h ^= v;
            h *= 1099511628211ull;
        }
        return static_cast<size_t>(h ^ (h >> 29));
    }
};

struct EdgeEnd {
    int plane;
    int edge;
};

int edgeStart(const ShadowPlane& plane, int edge)
{
    return plane.pointIndex[edge];
}

int edgeEnd(const ShadowPlane& plane, int edge)
{
    return plane.pointIndex[(edge + 1) % 3];
}

bool makeEdgeKey(const ShadowCaster& caster, const ShadowPlane& plane, int edge, EdgeKey& key)
{
    PointBits a = pointBits(caster, edgeStart(plane, edge));
    PointBits b = pointBits(caster, edgeEnd(plane, edge));
    if (a == b)
        return false;  // a collapsed edge joins nothing
    key = pointLess(a, b) ? EdgeKey{a, b} : EdgeKey{b, a};
    return true;
}

void copyTriangles(ShadowCaster* caster, int triangles, const float* positions, const float* normals)
{
    std::copy(positions, positions + static_cast<size_t>(triangles) * 9, caster->points.begin());
    for (int i = 0; i < triangles; ++i) {
        ShadowPlane& plane = caster->planes[static_cast<size_t>(i)];
        for (int k = 0; k < 3; ++k) {
            plane.pointIndex[k] = 3 * i + k;
            for (int c = 0; c < 3; ++c)
                plane.normals[k][c] = normals[static_cast<size_t>(i) * 9 + static_cast<size_t>(k) * 3 + c];
        }
    }
    caster->planeCount = triangles;
    caster->pointCount = 3 * triangles;
}

// Whether the neighbours found before still join planes of this caster along shared edges.
bool neighboursStillMeet(const ShadowCaster& caster)
{
    return shadowNeighboursConsistent(caster);
}

}  // namespace

void computeShadowPlaneEquations(ShadowCaster* caster)
{
    for (int i = 0; i < caster->planeCount; ++i) {
        ShadowPlane& plane = caster->planes[static_cast<size_t>(i)];
        const float* p0 = &caster->points[static_cast<size_t>(plane.pointIndex[0]) * 3];
        const float* p1 = &caster->points[static_cast<size_t>(plane.pointIndex[1]) * 3];
        const float* p2 = &caster->points[static_cast<size_t>(plane.pointIndex[2]) * 3];
        // Doubles, so huge or tiny coordinates still give a finite normal.
        double e1[3], e2[3];
        for (int c = 0; c < 3; ++c) {
            e1[c] = static_cast<double>(p1[c]) - p0[c];
            e2[c] = static_cast<double>(p2[c]) - p0[c];
        }
        double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
            e1[0] * e2[1] - e1[1] * e2[0]};
        double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0.0) || !std::isfinite(length)) {
            // A collapsed (or non-finite) triangle faces no light.
            plane.a = plane.b = plane.c = plane.d = 0.0f;
            continue;
        }
        for (double& v : n)
            v /= length;
        double d = -(n[0] * p0[0] + n[1] * p0[1] + n[2] * p0[2]);
        plane.a = static_cast<float>(n[0]);
        plane.b = static_cast<float>(n[1]);
        plane.c = static_cast<float>(n[2]);
        plane.d = std::isfinite(d) ? static_cast<float>(d) : 0.0f;
    }
}

void findShadowPlaneNeighbours(ShadowCaster* caster)
{
    std::unordered_map<EdgeKey, EdgeEnd, EdgeKeyHash> open;
    open.reserve(static_cast<size_t>(caster->planeCount) * 2);
    for (int i = 0; i < caster->planeCount; ++i) {
        ShadowPlane& plane = caster->planes[static_cast<size_t>(i)];
        for (int j = 0; j < 3; ++j) {
            plane.neighbour[j] = 0;
            EdgeKey key;
            if (!makeEdgeKey(*caster, plane, j, key))
                continue;
            auto found = open.find(key);
            if (found == open.end()) {
                open.emplace(key, EdgeEnd{i, j});
                continue;
            }
            if (found->second.plane == i)
                continue;  // a triangle folded onto itself is not its own neighbour
            ShadowPlane& other = caster->planes[static_cast<size_t>(found->second.plane)];
            other.neighbour[found->second.edge] = i + 1;
            plane.neighbour[j] = found->second.plane + 1;
            open.erase(found);
        }
    }
}

bool shadowNeighboursConsistent(const ShadowCaster& caster)
{
    for (int i = 0; i < caster.planeCount; ++i) {
        const ShadowPlane& plane = caster.planes[static_cast<size_t>(i)];
        for (int j = 0; j < 3; ++j) {
            int n = plane.neighbour[j];
            if (n == 0)
                continue;
            if (n < 1 || n > caster.planeCount || n == i + 1)
                return false;
            const ShadowPlane& other = caster.planes[static_cast<size_t>(n - 1)];
            EdgeKey key;
            if (!makeEdgeKey(caster, plane, j, key))
                return false;
            bool pairedBack = false;
            for (int k = 0; k < 3 && !pairedBack; ++k) {
                EdgeKey otherKey;
                pairedBack = other.neighbour[k] == i + 1 && makeEdgeKey(caster, other, k, otherKey) &&
                             otherKey == key;
            }
            if (!pairedBack)
                return false;
        }
    }
    return true;
}

void buildShadowCasterFromArrays(ShadowCaster* caster, int triangleCount, const float* positions,
    const float* normals)
{
    int triangles = std::max(triangleCount, 0);
    caster->points.assign(static_cast<size_t>(triangles) * 9, 0.0f);
    caster->planes.assign(static_cast<size_t>(triangles), ShadowPlane{});
    copyTriangles(caster, triangles, positions, normals);
    computeShadowPlaneEquations(caster);
    findShadowPlaneNeighbours(caster);
}

void updateShadowCasterFromArrays(ShadowCaster* caster, int triangleCount, const float* positions,
    const float* normals)
{
    int capacity = static_cast<int>(caster->planes.size());
    int triangles = std::min({std::max(triangleCount, 0), SHADOW_CASTER_UPDATE_LIMIT, capacity});
    copyTriangles(caster, triangles, positions, normals);
    computeShadowPlaneEquations(caster);
    // An animated model keeps its edges; a different mesh needs its neighbours found again.
    if (!neighboursStillMeet(*caster))
        findShadowPlaneNeighbours(caster);
}

void buildShadowCaster(ShadowCaster* caster, const Model* model)
{
    buildShadowCasterFromArrays(caster, model->triangleCount, model->positions.data(), model->normals.data());
}

void updateShadowCaster(ShadowCaster* caster, const Model* model)
{
    updateShadowCasterFromArrays(caster, model->triangleCount, model->positions.data(), model->normals.data());
}

void markShadowPlanesVisible(ShadowCaster* caster, const float light[4])
{
    for (int i = 0; i < caster->planeCount; ++i) {
        ShadowPlane& plane = caster->planes[static_cast<size_t>(i)];
        float side = plane.a * light[0] + plane.b * light[1] + plane.c * light[2] + plane.d * light[3];
        plane.visible = side > 0.0f ? 1 : 0;
    }
}

int countSilhouetteEdges(const ShadowCaster& caster)
{
    int edges = 0;
    forEachSilhouetteEdge(caster, [&edges](const ShadowPlane&, int) { ++edges; });
    return edges;
}
