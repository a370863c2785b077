// Stencil shadow volumes: a ShadowCaster keeps a model's triangles with their plane equations
// and edge neighbours; for a light the silhouette edges are extruded away from it, the stencil
// buffer counts the volume's front and back faces, and a dark quad is blended where the count
// is not zero. Nothing in the demo calls these; its shadows come from the shadow map.
//
// The caster's build and update need no GL context (render/stencil_shadow_caster.cpp); the
// draws live in render/stencil_shadow.cpp. The light is given in the caster's space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Model;

// The most triangles an update copies.
constexpr int SHADOW_CASTER_UPDATE_LIMIT = 12000;
// How far (in multiples of the light-to-point distance) the volume sides are extruded.
constexpr float SHADOW_VOLUME_EXTRUSION = 1000.0f;

struct ShadowPlane {
    int32_t pointIndex[3];  // into ShadowCaster::points: 3i, 3i + 1, 3i + 2
    float normals[3][3];    // one per corner
    int32_t neighbour[3];   // plane across edge j (corner j to (j + 1) mod 3), 1-based; 0 = none
    float a, b, c, d;       // plane equation, (a, b, c) the unit normal of the winding
    uint8_t visible;        // faces the light
    uint8_t padding[3];
};
static_assert(sizeof(ShadowPlane) == 80, "a plane record is 80 bytes");

struct ShadowCaster {
    int32_t planeCount = 0;
    int32_t pointCount = 0;        // 3 x planeCount
    std::vector<float> points;     // 3 floats per point; sized by the build, never grown
    std::vector<ShadowPlane> planes;
};

// GL-free halves, over plain triangle arrays (9 floats of positions and of normals per
// triangle). The build sizes the arrays for `triangleCount`; an update copies at most
// min(triangleCount, SHADOW_CASTER_UPDATE_LIMIT, the built capacity) triangles and keeps the
// neighbours when the edges still meet as before, else finds them again.
void buildShadowCasterFromArrays(ShadowCaster* caster, int triangleCount, const float* positions,
    const float* normals);
void updateShadowCasterFromArrays(ShadowCaster* caster, int triangleCount, const float* positions,
    const float* normals);
// Plane equations of planes 0 .. planeCount - 1 from their points.
void computeShadowPlaneEquations(ShadowCaster* caster);
// Neighbours of every plane through an edge map: two planes that share an edge (same two end
// points, compared exactly) are paired both ways; an edge met a third time pairs afresh.
void findShadowPlaneNeighbours(ShadowCaster* caster);
// Whether every neighbour is in range, is paired back, and shares the edge's end points.
bool shadowNeighboursConsistent(const ShadowCaster& caster);

void buildShadowCaster(ShadowCaster* caster, const Model* model);
void updateShadowCaster(ShadowCaster* caster, const Model* model);
// visible = the plane faces the light (x, y, z, w); the silhouette then consists of the edges
// of visible planes whose neighbour is missing or not visible.
void markShadowPlanesVisible(ShadowCaster* caster, const float light[4]);
int countSilhouetteEdges(const ShadowCaster& caster);
// Calls edge(plane, j) for every silhouette edge: corner j to corner (j + 1) % 3 of `plane`.
template <class EdgeFunction>
void forEachSilhouetteEdge(const ShadowCaster& caster, EdgeFunction edge)
{
    for (int i = 0; i < caster.planeCount; ++i) {
        const ShadowPlane& plane = caster.planes[static_cast<size_t>(i)];
        if (!plane.visible)
            continue;
        for (int j = 0; j < 3; ++j) {
            int n = plane.neighbour[j];
            if (n == 0 || !caster.planes[static_cast<size_t>(n - 1)].visible)
                edge(plane, j);
        }
    }
}

// GL: the caster's triangles with their corner normals, and the stencil shadow for one light.
void drawShadowCaster(const ShadowCaster& caster);
void castStencilShadow(ShadowCaster* caster, const float light[4]);
// v = M v in place, M column-major as GL keeps it.
void transformVec4Stencil(const float m[16], float v[4]);
