// Small mesh-building kit of the game data generator: vectors, rotation matrices and a builder
// that appends flat or smooth triangles, each vertex bound to one bone, with texture
// coordinates mapped into a cell of the model's texture atlas.
//
// Space is the engine's model convention: z up, the front facing -y. Units are whatever the
// caller's model uses; the callers convert to file units when they finish a mesh.
#pragma once

#include "tools/common/model3dm_write.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct V3 {
    float x, y, z;
};

inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(V3 a) { return std::sqrt(dot(a, a)); }
inline V3 normalized(V3 a)
{
    float l = length(a);
    return l > 1e-12f ? a * (1.0f / l) : V3{0, 0, 1};
}

constexpr float PI_F = 3.14159265358979f;
constexpr float DEGREES = PI_F / 180.0f;

// Rotation acting on column vectors, rows m[r][c].
struct M3 {
    float m[3][3];
};

inline M3 identity3() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }
inline M3 operator*(const M3& a, const M3& b)
{
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}
inline V3 operator*(const M3& a, V3 v)
{
    return {a.m[0][0] * v.x + a.m[0][1] * v.y + a.m[0][2] * v.z, a.m[1][0] * v.x + a.m[1][1] * v.y + a.m[1][2] * v.z,
            a.m[2][0] * v.x + a.m[2][1] * v.y + a.m[2][2] * v.z};
}
inline M3 rotX(float degrees)
{
    float c = std::cos(degrees * DEGREES), s = std::sin(degrees * DEGREES);
    return {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
}
inline M3 rotY(float degrees)
{
    float c = std::cos(degrees * DEGREES), s = std::sin(degrees * DEGREES);
    return {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
}
inline M3 rotZ(float degrees)
{
    float c = std::cos(degrees * DEGREES), s = std::sin(degrees * DEGREES);
    return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}
// Rotation taking +z to the direction d (any roll).
inline M3 frameAlong(V3 d)
{
    V3 z = normalized(d);
    V3 helper = std::fabs(z.z) < 0.9f ? V3{0, 0, 1} : V3{1, 0, 0};
    V3 x = normalized(cross(helper, z));
    V3 y = cross(z, x);
    return {{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}};
}

// A rectangle of the texture atlas the primitive's own (u, v) in 0..1 is squeezed into.
struct UvCell {
    float u0, v0, u1, v1;
};

// Cell (column, row) of an n x n atlas, shrunk by a margin so mipmaps do not bleed.
inline UvCell atlasCell(int column, int row, int n)
{
    const float size = 1.0f / n, margin = size * 0.12f;
    return {column * size + margin, row * size + margin, (column + 1) * size - margin, (row + 1) * size - margin};
}

struct MeshBuilder {
    std::vector<V3> positions;
    std::vector<V3> normals;
    std::vector<float> texcoords;  // 2 per vertex
    std::vector<int> bones;        // per vertex, counted from 1; 0 when unskinned

    int bone = 0;          // bone of the vertices added next
    UvCell cell{0, 0, 1, 1};

    void vertex(V3 p, V3 n, float u, float v)
    {
        positions.push_back(p);
        normals.push_back(normalized(n));
        texcoords.push_back(cell.u0 + (cell.u1 - cell.u0) * u);
        texcoords.push_back(cell.v0 + (cell.v1 - cell.v0) * v);
        bones.push_back(bone);
    }
    // Counter-clockwise seen from outside; flat normal.
    void triangle(V3 a, V3 b, V3 c, float ua, float va, float ub, float vb, float uc, float vc)
    {
        V3 n = normalized(cross(b - a, c - a));
        vertex(a, n, ua, va);
        vertex(b, n, ub, vb);
        vertex(c, n, uc, vc);
    }
    void quad(V3 a, V3 b, V3 c, V3 d, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1)
    {
        triangle(a, b, c, u0, v0, u1, v0, u1, v1);
        triangle(a, c, d, u0, v0, u1, v1, u0, v1);
    }

    // Axis-aligned box from lo to hi, flat faces; the texture repeats every uvPeriod units
    // (0: once per face).
    void box(V3 lo, V3 hi, float uvPeriod = 0)
    {
        auto uv = [&](float a, float b, float& u, float& v) {
            u = uvPeriod > 0 ? a / uvPeriod : 0;
            v = uvPeriod > 0 ? b / uvPeriod : 0;
        };
        struct Face {
            V3 a, b, c, d;
        };
        const Face faces[6] = {
            {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}},  // front -y
            {{hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}},  // back
            {{lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}},  // left
            {{hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}},  // right
            {{lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}},  // top
            {{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}},  // bottom
        };
        for (const Face& f : faces) {
            float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
            if (uvPeriod > 0) {
                V3 e1 = f.b - f.a, e2 = f.d - f.a;
                float a0 = dot(f.a, normalized(e1)), b0 = dot(f.a, normalized(e2));
                uv(a0, b0, u0, v0);
                uv(a0 + length(e1), b0 + length(e2), u1, v1);
            }
            quad(f.a, f.b, f.c, f.d, u0, v0, u1, v1);
        }
    }

    // Ellipsoid with smooth normals; u around, v from bottom to top.
    void ellipsoid(V3 centre, V3 radii, int segments, int rings, const M3& turn = identity3())
    {
        auto point = [&](int s, int r, V3& p, V3& n) {
            float theta = 2 * PI_F * s / segments, phi = PI_F * r / rings - PI_F / 2;
            V3 unit{std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
            p = centre + turn * V3{unit.x * radii.x, unit.y * radii.y, unit.z * radii.z};
            n = turn * normalized(V3{unit.x / radii.x, unit.y / radii.y, unit.z / radii.z});
        };
        for (int r = 0; r < rings; ++r)
            for (int s = 0; s < segments; ++s) {
                V3 p[4], n[4];
                point(s, r, p[0], n[0]);
                point(s + 1, r, p[1], n[1]);
                point(s + 1, r + 1, p[2], n[2]);
                point(s, r + 1, p[3], n[3]);
                float u0 = float(s) / segments, u1 = float(s + 1) / segments;
                float v0 = float(r) / rings, v1 = float(r + 1) / rings;
                if (r > 0) {
                    vertex(p[0], n[0], u0, v0);
                    vertex(p[1], n[1], u1, v0);
                    vertex(p[2], n[2], u1, v1);
                }
                if (r < rings - 1) {
                    vertex(p[0], n[0], u0, v0);
                    vertex(p[2], n[2], u1, v1);
                    vertex(p[3], n[3], u0, v1);
                }
            }
    }

    // Tapered round limb from a (radius ra) to b (radius rb), closed with flattened domes.
    void limb(V3 a, V3 b, float ra, float rb, int segments = 10)
    {
        M3 f = frameAlong(b - a);
        float len = length(b - a);
        const int rings = 6;
        // Profile: dome at a, straight taper, dome at b; (height along the axis, radius).
        std::vector<std::pair<float, float>> profile;
        for (int i = 0; i <= rings / 2; ++i) {
            float t = PI_F / 2 * (1.0f - float(i) / (rings / 2));
            profile.push_back({-ra * 0.6f * std::sin(t), ra * std::cos(t)});
        }
        for (int i = 0; i <= rings / 2; ++i) {
            float t = PI_F / 2 * float(i) / (rings / 2);
            profile.push_back({len + rb * 0.6f * std::sin(t), rb * std::cos(t)});
        }
        for (size_t k = 0; k + 1 < profile.size(); ++k)
            for (int s = 0; s < segments; ++s) {
                auto at = [&](size_t i, int j, V3& p, V3& n) {
                    float theta = 2 * PI_F * j / segments;
                    V3 radial{std::cos(theta), std::sin(theta), 0};
                    p = a + f * (radial * profile[i].second + V3{0, 0, profile[i].first});
                    // Normal from the profile's slope.
                    size_t i0 = i > 0 ? i - 1 : i, i1 = i + 1 < profile.size() ? i + 1 : i;
                    float dh = profile[i1].first - profile[i0].first, dr = profile[i1].second - profile[i0].second;
                    n = f * normalized(radial * dh + V3{0, 0, -dr});
                };
                V3 p[4], n[4];
                at(k, s, p[0], n[0]);
                at(k, s + 1, p[1], n[1]);
                at(k + 1, s + 1, p[2], n[2]);
                at(k + 1, s, p[3], n[3]);
                float u0 = float(s) / segments, u1 = float(s + 1) / segments;
                float v0 = float(k) / (profile.size() - 1), v1 = float(k + 1) / (profile.size() - 1);
                if (profile[k].second > 1e-4f) {
                    vertex(p[0], n[0], u0, v0);
                    vertex(p[1], n[1], u1, v0);
                    vertex(p[2], n[2], u1, v1);
                }
                if (profile[k + 1].second > 1e-4f) {
                    vertex(p[0], n[0], u0, v0);
                    vertex(p[2], n[2], u1, v1);
                    vertex(p[3], n[3], u0, v1);
                }
            }
    }

    // A flat outline (x, z pairs, counter-clockwise seen from -y, star-shaped about its first
    // point's centre `hub`) extruded from y0 (front) to y1 (back).
    void prism(const std::vector<std::pair<float, float>>& outline, std::pair<float, float> hub, float y0, float y1)
    {
        const size_t n = outline.size();
        auto uvOf = [&](std::pair<float, float> p, float& u, float& v) {
            u = 0.5f + (p.first - hub.first) * 0.02f;
            v = 0.5f + (p.second - hub.second) * 0.02f;
        };
        for (size_t i = 0; i < n; ++i) {
            auto p = outline[i], q = outline[(i + 1) % n];
            float ua, va, ub, vb, uc, vc;
            uvOf(hub, ua, va);
            uvOf(p, ub, vb);
            uvOf(q, uc, vc);
            V3 h0{hub.first, y0, hub.second}, h1{hub.first, y1, hub.second};
            triangle(h0, V3{p.first, y0, p.second}, V3{q.first, y0, q.second}, ua, va, ub, vb, uc, vc);
            triangle(h1, V3{q.first, y1, q.second}, V3{p.first, y1, p.second}, ua, va, uc, vc, ub, vb);
            quad(V3{p.first, y1, p.second}, V3{q.first, y1, q.second}, V3{q.first, y0, q.second},
                 V3{p.first, y0, p.second}, 0, 0, 1, 1);
        }
    }

    // The mesh for the writer, every position times `scale` and moved by `offset` first.
    Model3dmMesh finish(const std::string& objectName, float scale, V3 offset = {0, 0, 0}) const
    {
        Model3dmMesh mesh;
        mesh.objectName = objectName;
        for (size_t i = 0; i < positions.size(); ++i) {
            V3 p = (positions[i] + offset) * scale;
            mesh.positions.insert(mesh.positions.end(), {p.x, p.y, p.z});
            mesh.normals.insert(mesh.normals.end(), {normals[i].x, normals[i].y, normals[i].z});
        }
        mesh.texcoords = texcoords;
        return mesh;
    }
};

inline M3 engineRotation(const float e[3])
{
    return rotY(-e[2]) * rotZ(e[1]) * rotX(e[0]);
}

// Euler angles (degrees, as the file stores them) whose rotation the engine's skinned draws
// rebuild as `r`: they take x from the first angle, y from the third negated and z from the
// second, and multiply RotY x RotZ x RotX. A rotation the order cannot express (z at +-90
// degrees) ends the generator rather than writing a wrong pose.
inline void eulerForEngine(const M3& r, float out[3])
{
    float c = std::asin(std::fmax(-1.0f, std::fmin(1.0f, r.m[1][0])));
    float a = std::atan2(-r.m[1][2], r.m[1][1]);
    float b = std::atan2(-r.m[2][0], r.m[0][0]);
    out[0] = a / DEGREES;
    out[1] = c / DEGREES;
    out[2] = -b / DEGREES;
    M3 back = engineRotation(out);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::fabs(back.m[i][j] - r.m[i][j]) > 1e-4f) {
                std::fprintf(stderr, "game-data: a bone rotation does not survive the engine's angle order\n");
                std::exit(1);
            }
}
