// The tube and the sphere as flat triangle lists.
#include "tools/tunnel_plasma_data/tunnel_plasma_data.h"

#include <cmath>

namespace {

constexpr float PI = 3.14159265358979f;

struct SurfacePoint {
    float position[3];  // world units
    float normal[3];
    float uv[2];
};

void appendVertex(Model3dmMesh& mesh, const SurfacePoint& p, float fileUnits)
{
    for (int c = 0; c < 3; ++c) {
        mesh.positions.push_back(p.position[c] * fileUnits);
        mesh.normals.push_back(p.normal[c]);
    }
    mesh.texcoords.push_back(p.uv[0]);
    mesh.texcoords.push_back(p.uv[1]);
}

// Appends a, b, c wound counter-clockwise as seen from the side the normals point to, so the
// scene's back-face culling keeps the side that is meant to be seen.
void appendFacingTriangle(Model3dmMesh& mesh, const SurfacePoint& a, const SurfacePoint& b, const SurfacePoint& c,
                          float fileUnits)
{
    float e1[3], e2[3];
    for (int k = 0; k < 3; ++k) {
        e1[k] = b.position[k] - a.position[k];
        e2[k] = c.position[k] - a.position[k];
    }
    const float face[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    float facing = 0.0f;
    for (int k = 0; k < 3; ++k)
        facing += face[k] * (a.normal[k] + b.normal[k] + c.normal[k]);
    appendVertex(mesh, a, fileUnits);
    appendVertex(mesh, facing >= 0.0f ? b : c, fileUnits);
    appendVertex(mesh, facing >= 0.0f ? c : b, fileUnits);
}

void normalise(float v[3])
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f)
        for (int k = 0; k < 3; ++k)
            v[k] /= length;
}

// Wall point at angle `around` and axis position `along`, with the normal pointing to the axis
// (from the surface's two tangents, so the breathing wall is shaded as it bends).
SurfacePoint tunnelPoint(float around, float along)
{
    auto position = [](float a, float s, float out[3]) {
        const float r = tunnelWallRadius(a, s);
        out[0] = r * std::cos(a);
        out[1] = s;
        out[2] = r * std::sin(a);
    };
    SurfacePoint p;
    position(around, along, p.position);
    constexpr float STEP = 1e-3f;
    float a0[3], a1[3], s0[3], s1[3];
    position(around - STEP, along, a0);
    position(around + STEP, along, a1);
    position(around, along - STEP, s0);
    position(around, along + STEP, s1);
    float ta[3], ts[3];
    for (int k = 0; k < 3; ++k) {
        ta[k] = a1[k] - a0[k];
        ts[k] = s1[k] - s0[k];
    }
    float n[3] = {ta[1] * ts[2] - ta[2] * ts[1], ta[2] * ts[0] - ta[0] * ts[2], ta[0] * ts[1] - ta[1] * ts[0]};
    normalise(n);
    // Inward: against the radial direction.
    if (n[0] * std::cos(around) + n[2] * std::sin(around) > 0.0f)
        for (float& c : n)
            c = -c;
    for (int k = 0; k < 3; ++k)
        p.normal[k] = n[k];
    p.uv[0] = around / (2.0f * PI) * static_cast<float>(TUNNEL_U_TILES);
    p.uv[1] = along / (TUNNEL_TEXTURE_LENGTH * TUNNEL_SCENE_V_STRETCH);
    return p;
}

// Point (u, v) of the sphere: u the longitude, v from the south pole (0) to the north pole (1),
// with model z up.
SurfacePoint spherePoint(float u, float v)
{
    const float theta = 2.0f * PI * u;
    const float phi = PI * (v - 0.5f);
    const float n[3] = {std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
    SurfacePoint p;
    for (int k = 0; k < 3; ++k) {
        p.position[k] = SPHERE_RADIUS * n[k];
        p.normal[k] = n[k];
    }
    p.uv[0] = u * static_cast<float>(SPHERE_U_TILES);
    p.uv[1] = v;
    return p;
}

}  // namespace

float tunnelWallRadius(float around, float along)
{
    // Two slow swells that drift around the tube: the wall looks grown rather than turned.
    const float swell = 0.08f * std::sin(3.0f * around + 0.35f * along) +
                        0.06f * std::sin(0.9f * along + 1.3f * std::sin(around));
    return TUNNEL_RADIUS + swell;
}

Model3dmMesh buildTunnelMesh(const std::string& objectName)
{
    Model3dmMesh mesh;
    mesh.objectName = objectName;
    const int rings = static_cast<int>(std::ceil((TUNNEL_END - TUNNEL_START) / TUNNEL_RING_SPACING));
    for (int j = 0; j < rings; ++j) {
        const float s0 = TUNNEL_START + static_cast<float>(j) * TUNNEL_RING_SPACING;
        const float s1 = std::fmin(s0 + TUNNEL_RING_SPACING, TUNNEL_END);
        for (int i = 0; i < TUNNEL_SEGMENTS_AROUND; ++i) {
            const float a0 = 2.0f * PI * static_cast<float>(i) / TUNNEL_SEGMENTS_AROUND;
            const float a1 = 2.0f * PI * static_cast<float>(i + 1) / TUNNEL_SEGMENTS_AROUND;
            const SurfacePoint p00 = tunnelPoint(a0, s0), p10 = tunnelPoint(a1, s0);
            const SurfacePoint p11 = tunnelPoint(a1, s1), p01 = tunnelPoint(a0, s1);
            appendFacingTriangle(mesh, p00, p10, p11, TUNNEL_FILE_UNITS_PER_WORLD_UNIT);
            appendFacingTriangle(mesh, p00, p11, p01, TUNNEL_FILE_UNITS_PER_WORLD_UNIT);
        }
    }
    return mesh;
}

Model3dmMesh buildSphereMesh(const std::string& objectName)
{
    Model3dmMesh mesh;
    mesh.objectName = objectName;
    for (int j = 0; j < SPHERE_STACKS; ++j) {
        const float v0 = static_cast<float>(j) / SPHERE_STACKS;
        const float v1 = static_cast<float>(j + 1) / SPHERE_STACKS;
        for (int i = 0; i < SPHERE_SLICES; ++i) {
            const float u0 = static_cast<float>(i) / SPHERE_SLICES;
            const float u1 = static_cast<float>(i + 1) / SPHERE_SLICES;
            const SurfacePoint p00 = spherePoint(u0, v0), p10 = spherePoint(u1, v0);
            const SurfacePoint p11 = spherePoint(u1, v1), p01 = spherePoint(u0, v1);
            // The pole rows would get a triangle of zero area; leave it out.
            if (j > 0)
                appendFacingTriangle(mesh, p00, p10, p11, SPHERE_FILE_UNITS_PER_WORLD_UNIT);
            if (j < SPHERE_STACKS - 1)
                appendFacingTriangle(mesh, p00, p11, p01, SPHERE_FILE_UNITS_PER_WORLD_UNIT);
        }
    }
    return mesh;
}
