// The ring tori and the sphere as flat triangle lists.
#include "tools/rings_data/rings_data.h"

#include <cmath>

namespace {

constexpr float PI = 3.14159265358979f;

struct SurfacePoint {
    float position[3];
    float normal[3];
    float uv[2];
};

void appendVertex(Model3dmMesh& mesh, const SurfacePoint& p)
{
    for (int c = 0; c < 3; ++c) {
        mesh.positions.push_back(p.position[c] * FILE_UNITS_PER_WORLD_UNIT);
        mesh.normals.push_back(p.normal[c]);
    }
    mesh.texcoords.push_back(p.uv[0]);
    mesh.texcoords.push_back(p.uv[1]);
}

// The triangle and its mirror winding; both keep the outward normals.
void appendDoubleSidedTriangle(Model3dmMesh& mesh, const SurfacePoint& a, const SurfacePoint& b,
                               const SurfacePoint& c)
{
    appendVertex(mesh, a);
    appendVertex(mesh, b);
    appendVertex(mesh, c);
    appendVertex(mesh, a);
    appendVertex(mesh, c);
    appendVertex(mesh, b);
}

// Point (u, v) of a ring of `radius` around the y axis: u along the ring, v around the tube
// with the outer equator at v = 0.5 (the texture seam lies on the inner side).
SurfacePoint ringPoint(float radius, float u, float v)
{
    const float theta = 2.0f * PI * u;
    const float psi = 2.0f * PI * (v - 0.5f);
    const float dx = std::cos(theta), dz = std::sin(theta);
    const float out = std::cos(psi), up = std::sin(psi);
    const float reach = radius + RING_TUBE_RADIUS * out;
    return SurfacePoint{{reach * dx, RING_TUBE_RADIUS * up, reach * dz}, {out * dx, up, out * dz}, {u, v}};
}

// Point (u, v) of the sphere: u the longitude, v from the south pole (0) to the north pole (1).
SurfacePoint spherePoint(float u, float v)
{
    const float theta = 2.0f * PI * u;
    const float phi = PI * (v - 0.5f);
    const float n[3] = {std::cos(phi) * std::cos(theta), std::sin(phi), std::cos(phi) * std::sin(theta)};
    return SurfacePoint{{SPHERE_RADIUS * n[0], SPHERE_RADIUS * n[1], SPHERE_RADIUS * n[2]}, {n[0], n[1], n[2]},
                        {u, v}};
}

}  // namespace

Model3dmMesh buildRingMesh(const std::string& objectName, float radius)
{
    Model3dmMesh mesh;
    mesh.objectName = objectName;
    for (int i = 0; i < RING_SEGMENTS; ++i) {
        const float u0 = static_cast<float>(i) / RING_SEGMENTS;
        const float u1 = static_cast<float>(i + 1) / RING_SEGMENTS;
        for (int j = 0; j < RING_TUBE_SEGMENTS; ++j) {
            const float v0 = static_cast<float>(j) / RING_TUBE_SEGMENTS;
            const float v1 = static_cast<float>(j + 1) / RING_TUBE_SEGMENTS;
            const SurfacePoint p00 = ringPoint(radius, u0, v0), p10 = ringPoint(radius, u1, v0);
            const SurfacePoint p11 = ringPoint(radius, u1, v1), p01 = ringPoint(radius, u0, v1);
            appendDoubleSidedTriangle(mesh, p00, p10, p11);
            appendDoubleSidedTriangle(mesh, p00, p11, p01);
        }
    }
    return mesh;
}

Model3dmMesh buildSphereMesh(const std::string& objectName)
{
    Model3dmMesh mesh;
    mesh.objectName = objectName;
    for (int i = 0; i < SPHERE_SLICES; ++i) {
        const float u0 = static_cast<float>(i) / SPHERE_SLICES;
        const float u1 = static_cast<float>(i + 1) / SPHERE_SLICES;
        for (int j = 0; j < SPHERE_STACKS; ++j) {
            const float v0 = static_cast<float>(j) / SPHERE_STACKS;
            const float v1 = static_cast<float>(j + 1) / SPHERE_STACKS;
            const SurfacePoint p00 = spherePoint(u0, v0), p10 = spherePoint(u1, v0);
            const SurfacePoint p11 = spherePoint(u1, v1), p01 = spherePoint(u0, v1);
            // At the poles one corner pair meets in a point: one triangle covers the cell.
            if (j > 0)
                appendDoubleSidedTriangle(mesh, p00, p10, p11);
            if (j + 1 < SPHERE_STACKS)
                appendDoubleSidedTriangle(mesh, p00, p11, p01);
        }
    }
    return mesh;
}
