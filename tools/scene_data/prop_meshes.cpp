// Meshes of the background props. Every triangle is wound counter-clockwise seen from outside,
// which the builder checks against a point inside the solid.
#include "tools/scene_data/props.h"

#include "tools/common/canvas.h" // sampleValueNoise, hashUnit

#include <cmath>

namespace {

const float PI = 3.14159265358979f;

struct Vec3 {
    float x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }

Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 normalized(Vec3 v)
{
    float length = std::sqrt(dot(v, v));
    return length > 1e-12f ? v * (1.0f / length) : Vec3{0, 0, 1};
}

struct Vertex {
    Vec3 position;
    Vec3 normal;
    float u, v;
};

struct MeshBuilder {
    Model3dmMesh mesh;

    explicit MeshBuilder(const char* name) { mesh.objectName = name; }

    void push(const Vertex& v)
    {
        mesh.positions.insert(mesh.positions.end(), {v.position.x, v.position.y, v.position.z});
        mesh.normals.insert(mesh.normals.end(), {v.normal.x, v.normal.y, v.normal.z});
        mesh.texcoords.insert(mesh.texcoords.end(), {v.u, v.v});
    }

    // Adds the triangle facing away from `inside`; degenerate ones are dropped.
    void triangle(Vertex a, Vertex b, Vertex c, Vec3 inside)
    {
        Vec3 n = cross(b.position - a.position, c.position - a.position);
        if (dot(n, n) < 1e-10f)
            return;
        Vec3 centre = (a.position + b.position + c.position) * (1.0f / 3.0f);
        if (dot(n, centre - inside) < 0.0f)
            std::swap(b, c);
        push(a);
        push(b);
        push(c);
    }

    // The same with the triangle's own normal on all three vertices (a faceted surface).
    void flatTriangle(Vertex a, Vertex b, Vertex c, Vec3 inside)
    {
        Vec3 n = normalized(cross(b.position - a.position, c.position - a.position));
        Vec3 centre = (a.position + b.position + c.position) * (1.0f / 3.0f);
        if (dot(n, centre - inside) < 0.0f)
            n = n * -1.0f;
        a.normal = b.normal = c.normal = n;
        triangle(a, b, c, inside);
    }

    // A quad a b c d (in order around its edge) as two triangles.
    void flatQuad(Vertex a, Vertex b, Vertex c, Vertex d, Vec3 inside)
    {
        flatTriangle(a, b, c, inside);
        flatTriangle(a, c, d, inside);
    }
};

// A mound: a height field over a rectangle, highest along a wavy ridge and falling to 0 at the
// rim, seen from the front and above. Smooth normals; texture coordinates tile every 90 units.
Model3dmMesh makeHill(const char* name, float centreX, float centreY, float halfWidth, float halfDepth,
                      float peak, unsigned seed)
{
    const int COLUMNS = 40;
    const int ROWS = 10;
    const float TEXTURE_UNITS = 90.0f;
    auto height = [&](float x, float y) {
        float sx = (x - centreX) / halfWidth;  // -1 .. 1
        float sy = (y - centreY) / halfDepth;
        float across = std::cos(0.5f * PI * sx);
        float along = std::cos(0.5f * PI * sy);
        if (across <= 0.0f || along <= 0.0f)
            return 0.0f;
        float shape = std::pow(across, 1.3f) * along;
        float bumps = 0.75f + 0.5f * sampleValueNoise(x / 45.0f, y / 45.0f, seed);
        return peak * shape * bumps;
    };
    auto vertexAt = [&](float x, float y) {
        const float d = 0.5f;
        float h = height(x, y);
        float dx = (height(x + d, y) - height(x - d, y)) / (2 * d);
        float dy = (height(x, y + d) - height(x, y - d)) / (2 * d);
        return Vertex{{x, y, h}, normalized({-dx, -dy, 1.0f}), x / TEXTURE_UNITS, y / TEXTURE_UNITS};
    };
    MeshBuilder builder(name);
    Vec3 below = {centreX, centreY, -10.0f * peak};
    for (int i = 0; i < COLUMNS; ++i)
        for (int j = 0; j < ROWS; ++j) {
            float x0 = centreX - halfWidth + 2 * halfWidth * i / COLUMNS;
            float x1 = centreX - halfWidth + 2 * halfWidth * (i + 1) / COLUMNS;
            float y0 = centreY - halfDepth + 2 * halfDepth * j / ROWS;
            float y1 = centreY - halfDepth + 2 * halfDepth * (j + 1) / ROWS;
            Vertex a = vertexAt(x0, y0), b = vertexAt(x1, y0), c = vertexAt(x1, y1), d = vertexAt(x0, y1);
            builder.triangle(a, b, c, below);
            builder.triangle(a, c, d, below);
        }
    return builder.mesh;
}

// A boulder: a sphere with a lumpy radius, squashed and sunk into the ground, faceted.
Model3dmMesh makeRock(const char* name, Vec3 base, float radius, float squash, unsigned seed)
{
    const int SEGMENTS = 14;
    const int RINGS = 8;
    const float SUNK = 0.3f;  // share of the height below the ground
    auto point = [&](int i, int j) {
        float theta = 2 * PI * static_cast<float>(i % SEGMENTS) / SEGMENTS;
        float phi = PI * static_cast<float>(j) / RINGS;
        // One radius per lattice point (the seam shares them) and a broader swell.
        float lump = 0.82f + 0.3f * hashUnit(static_cast<uint32_t>(i % SEGMENTS), static_cast<uint32_t>(j), seed);
        if (j == 0 || j == RINGS)
            lump = 0.9f;
        float r = radius * lump;
        Vec3 p = {r * std::sin(phi) * std::cos(theta), r * 0.8f * std::sin(phi) * std::sin(theta),
                  r * squash * std::cos(phi)};
        p.z += radius * squash * (1.0f - 2.0f * SUNK);
        if (p.z < 0.0f)
            p.z = 0.0f;
        return Vertex{base + p, {0, 0, 1}, 3.0f * static_cast<float>(i) / SEGMENTS, 1.5f * static_cast<float>(j) / RINGS};
    };
    MeshBuilder builder(name);
    Vec3 inside = base + Vec3{0, 0, 0.5f * radius * squash};
    for (int i = 0; i < SEGMENTS; ++i)
        for (int j = 0; j < RINGS; ++j)
            builder.flatQuad(point(i, j), point(i, j + 1), point(i + 1, j + 1), point(i + 1, j), inside);
    return builder.mesh;
}

// An axis-aligned block from lo to hi, all six faces, texture coordinates in 60-unit tiles.
void addBlock(MeshBuilder& builder, Vec3 lo, Vec3 hi)
{
    const float TILE = 60.0f;
    Vec3 inside = (lo + hi) * 0.5f;
    auto v = [&](float x, float y, float z, float u, float w) { return Vertex{{x, y, z}, {0, 0, 1}, u / TILE, w / TILE}; };
    // Front and back (u along x, v along z), left and right (u along y), bottom and top (x, y).
    for (float y : {lo.y, hi.y})
        builder.flatQuad(v(lo.x, y, lo.z, lo.x, lo.z), v(hi.x, y, lo.z, hi.x, lo.z), v(hi.x, y, hi.z, hi.x, hi.z),
                         v(lo.x, y, hi.z, lo.x, hi.z), inside);
    for (float x : {lo.x, hi.x})
        builder.flatQuad(v(x, lo.y, lo.z, lo.y, lo.z), v(x, hi.y, lo.z, hi.y, lo.z), v(x, hi.y, hi.z, hi.y, hi.z),
                         v(x, lo.y, hi.z, lo.y, hi.z), inside);
    for (float z : {lo.z, hi.z})
        builder.flatQuad(v(lo.x, lo.y, z, lo.x, lo.y), v(hi.x, lo.y, z, hi.x, lo.y), v(hi.x, hi.y, z, hi.x, hi.y),
                         v(lo.x, hi.y, z, lo.x, hi.y), inside);
}

// An eight-sided column shaft from z0 to z1 with flat faces and a flat top; with `tilt` the top
// is cut at a slant, as a broken column's.
void addShaft(MeshBuilder& builder, Vec3 axis, float radius, float z0, float z1, float tilt)
{
    const int SIDES = 8;
    auto topAt = [&](float x) { return z1 + tilt * (x - axis.x) / radius; };
    Vec3 inside = {axis.x, axis.y, 0.5f * (z0 + z1)};
    std::vector<Vertex> bottom, top;
    for (int k = 0; k <= SIDES; ++k) {
        float a = 2 * PI * (static_cast<float>(k) + 0.5f) / SIDES;
        float x = axis.x + radius * std::cos(a), y = axis.y + radius * std::sin(a);
        float u = 2.0f * static_cast<float>(k) / SIDES;
        bottom.push_back({{x, y, z0}, {0, 0, 1}, u, z0 / 60.0f});
        top.push_back({{x, y, topAt(x)}, {0, 0, 1}, u, topAt(x) / 60.0f});
    }
    for (int k = 0; k < SIDES; ++k)
        builder.flatQuad(bottom[k], bottom[k + 1], top[k + 1], top[k], inside);
    Vertex centre = {{axis.x, axis.y, z1}, {0, 0, 1}, 0.5f, 0.5f};
    for (int k = 0; k < SIDES; ++k) {
        Vertex a = top[k], b = top[k + 1];
        a.u = 0.5f + 0.5f * (a.position.x - axis.x) / radius;
        a.v = 0.5f + 0.5f * (a.position.y - axis.y) / radius;
        b.u = 0.5f + 0.5f * (b.position.x - axis.x) / radius;
        b.v = 0.5f + 0.5f * (b.position.y - axis.y) / radius;
        builder.flatTriangle(centre, a, b, inside);
    }
}

Model3dmMesh makeColumn(const char* name, Vec3 base)
{
    MeshBuilder builder(name);
    addBlock(builder, base + Vec3{-17, -17, 0}, base + Vec3{17, 17, 12});
    addBlock(builder, base + Vec3{-14, -14, 12}, base + Vec3{14, 14, 18});
    addShaft(builder, base, 10.5f, base.z + 18, base.z + 92, 0.0f);
    addBlock(builder, base + Vec3{-13, -13, 92}, base + Vec3{13, 13, 98});
    addBlock(builder, base + Vec3{-18, -18, 98}, base + Vec3{18, 18, 105});
    return builder.mesh;
}

Model3dmMesh makeBrokenColumn(const char* name, Vec3 base)
{
    MeshBuilder builder(name);
    addBlock(builder, base + Vec3{-17, -17, 0}, base + Vec3{17, 17, 12});
    addBlock(builder, base + Vec3{-14, -14, 12}, base + Vec3{14, 14, 18});
    addShaft(builder, base, 10.5f, base.z + 18, base.z + 52, 8.0f);
    // The fallen drum beside it.
    addBlock(builder, base + Vec3{22, -12, 0}, base + Vec3{46, 8, 17});
    return builder.mesh;
}

} // namespace

std::vector<Model3dmMesh> buildBackgroundProps()
{
    return {
        makeHill("hill_far", 120.0f, 260.0f, 210.0f, 60.0f, 62.0f, 0x41u),
        makeHill("hill_near", -120.0f, 210.0f, 170.0f, 55.0f, 48.0f, 0x42u),
        makeColumn("pillar_whole", Vec3{-52.0f, 95.0f, 0.0f}),
        makeBrokenColumn("pillar_broken", Vec3{96.0f, 110.0f, 0.0f}),
        makeRock("rock_a", Vec3{-118.0f, 45.0f, 0.0f}, 30.0f, 0.85f, 0x51u),
        makeRock("rock_b", Vec3{40.0f, 62.0f, 0.0f}, 20.0f, 0.9f, 0x52u),
        makeRock("rock_c", Vec3{168.0f, 38.0f, 0.0f}, 16.0f, 0.75f, 0x53u),
    };
}
