// The flyover's models, in world units here and written times FILE_UNITS_PER_WORLD_UNIT.
//
// - "ship2.3dm": a sleek fighter about 8.2 units long, nose along +y, z up: a lofted fuselage
//   with a raised canopy, swept delta wings with engine pods at their tips, a tail fin and a
//   nozzle ring around the main engine at the rear (y = -4.4), on the flight line (x = z = 0)
//   where the tail ribbons start. Texture coordinates are a top projection (u across, v along).
// - "taila.3dm", "tailb.3dm", "tailc.3dm": the exhaust, drawn additively and double-sided: the
//   main flame cone, its wider blue sheath, and the two wing-pod flames. Their v runs from the
//   nozzle (0) to the flame's tip (1), u around.
// - "dustparticle.3dm": a small round ball (an icosahedron split once), the stand-in each dust
//   puff casts its shadow with: round and small, so the shadows read as soft specks of dust.
#include "tools/flyover_data/flyover_data.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float PI = 3.14159265358979f;
constexpr int FUSELAGE_STATIONS = 48;  // sections along the body
constexpr int FUSELAGE_SIDES = 32;     // points around a section
constexpr int POD_SIDES = 16;
constexpr int FLAME_SIDES = 24;
constexpr int FLAME_RINGS = 8;
constexpr float SHIP_REAR = -4.0f;
constexpr float SHIP_NOSE = 4.2f;
constexpr float NOZZLE_END = -4.4f;
constexpr float POD_X = 3.3f;
constexpr float DUST_RADIUS = 0.25f;
// Top projection of the ship's texture.
constexpr float UV_HALF_SPAN = 3.8f;
constexpr float UV_REAR = -4.6f;
constexpr float UV_LENGTH = 9.2f;

struct Vec3 {
    float x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 normalized(Vec3 a)
{
    const float length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return length > 1e-8f ? a * (1.0f / length) : Vec3{0.0f, 0.0f, 1.0f};
}

struct Vertex {
    Vec3 position;
    Vec3 normal;
    float u, v;
};

void append(Model3dmMesh& mesh, const Vertex& p)
{
    mesh.positions.push_back(p.position.x * FILE_UNITS_PER_WORLD_UNIT);
    mesh.positions.push_back(p.position.y * FILE_UNITS_PER_WORLD_UNIT);
    mesh.positions.push_back(p.position.z * FILE_UNITS_PER_WORLD_UNIT);
    mesh.normals.push_back(p.normal.x);
    mesh.normals.push_back(p.normal.y);
    mesh.normals.push_back(p.normal.z);
    mesh.texcoords.push_back(p.u);
    mesh.texcoords.push_back(p.v);
}

void triangle(Model3dmMesh& mesh, const Vertex& a, const Vertex& b, const Vertex& c)
{
    append(mesh, a);
    append(mesh, b);
    append(mesh, c);
}

Vertex topProjected(Vec3 p, Vec3 n)
{
    return Vertex{p, n, (p.x + UV_HALF_SPAN) / (2.0f * UV_HALF_SPAN), (p.y - UV_REAR) / UV_LENGTH};
}

// A flat-shaded triangle, counter-clockwise seen from outside, with the top projection.
void flatTriangle(Model3dmMesh& mesh, Vec3 a, Vec3 b, Vec3 c)
{
    const Vec3 n = normalized(cross(b - a, c - a));
    triangle(mesh, topProjected(a, n), topProjected(b, n), topProjected(c, n));
}

void flatQuad(Model3dmMesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 d)
{
    flatTriangle(mesh, a, b, c);
    flatTriangle(mesh, a, c, d);
}

// A grid of points (rows x columns, columns wrapping) as smooth-shaded triangles: normals are the
// averaged face normals, so the loft reads as one curved skin.
void smoothGrid(Model3dmMesh& mesh, const std::vector<Vec3>& points, int rows, int columns, bool topUv,
                float vStart, float vEnd)
{
    std::vector<Vec3> normals(points.size(), Vec3{0.0f, 0.0f, 0.0f});
    auto at = [&](int r, int c) { return static_cast<size_t>(r) * columns + static_cast<size_t>((c + columns) % columns); };
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const Vec3 n = cross(points[at(r + 1, c)] - points[at(r, c)], points[at(r, c + 1)] - points[at(r, c)]);
            for (size_t k : {at(r, c), at(r + 1, c), at(r, c + 1), at(r + 1, c + 1)})
                normals[k] = normals[k] + n;
        }
    }
    auto vertex = [&](int r, int c) {
        const size_t k = at(r, c);
        const Vec3 n = normalized(normals[k]);
        if (topUv)
            return topProjected(points[k], n);
        return Vertex{points[k], n, static_cast<float>(c) / columns,
                      vStart + (vEnd - vStart) * static_cast<float>(r) / static_cast<float>(rows - 1)};
    };
    for (int r = 0; r + 1 < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const Vertex a = vertex(r, c), b = vertex(r, c + 1), d = vertex(r + 1, c), e = vertex(r + 1, c + 1);
            triangle(mesh, a, d, e);
            triangle(mesh, a, e, b);
        }
    }
}

// Half width, top and bottom of the fuselage at fraction s (0 rear .. 1 nose).
void fuselageSection(float s, float& halfWidth, float& top, float& bottom)
{
    const float body = s < 0.3f ? 0.72f + 0.23f * (s / 0.3f) : 0.95f * std::pow(std::max(0.0f, 1.0f - (s - 0.3f) / 0.7f), 0.62f);
    halfWidth = body;
    const float canopy = 0.28f * std::exp(-std::pow((s - 0.64f) / 0.1f, 2.0f));
    top = 0.55f * std::pow(std::max(0.0f, 1.0f - std::pow((s - 0.45f) / 0.55f, 2.0f)), 0.5f) + canopy;
    if (s < 0.45f)
        top = std::max(top, 0.5f);
    bottom = 0.36f * std::pow(std::max(0.0f, 1.0f - s), 0.45f);
}

void addFuselage(Model3dmMesh& mesh)
{
    std::vector<Vec3> points;
    for (int r = 0; r < FUSELAGE_STATIONS; ++r) {
        const float s = static_cast<float>(r) / (FUSELAGE_STATIONS - 1);
        const float y = SHIP_REAR + (SHIP_NOSE - SHIP_REAR) * s;
        float halfWidth, top, bottom;
        fuselageSection(s, halfWidth, top, bottom);
        for (int c = 0; c < FUSELAGE_SIDES; ++c) {
            // From the right side up over the top, so the faces point outward.
            const float a = 2.0f * PI * static_cast<float>(c) / FUSELAGE_SIDES;
            const float ca = std::cos(a), sa = std::sin(a);
            const float x = halfWidth * std::copysign(std::pow(std::fabs(ca), 0.8f), ca);
            const float zUnit = std::copysign(std::pow(std::fabs(sa), 0.8f), sa);
            points.push_back(Vec3{x, y, zUnit * (sa > 0.0f ? top : bottom)});
        }
    }
    smoothGrid(mesh, points, FUSELAGE_STATIONS, FUSELAGE_SIDES, true, 0.0f, 1.0f);
    // The rear bulkhead around the nozzle.
    const Vec3 centre{0.0f, SHIP_REAR, 0.05f};
    for (int c = 0; c < FUSELAGE_SIDES; ++c)
        flatTriangle(mesh, centre, points[static_cast<size_t>(c)], points[static_cast<size_t>((c + 1) % FUSELAGE_SIDES)]);
}

// A closed tube along y (caps included) of `sides` points, radius r0 at y0 and r1 at y1.
void addPod(Model3dmMesh& mesh, float x, float z, float y0, float y1, float r0, float r1, int sides)
{
    std::vector<Vec3> points;
    for (int r = 0; r < 2; ++r) {
        const float y = r == 0 ? y0 : y1;
        const float radius = r == 0 ? r0 : r1;
        for (int c = 0; c < sides; ++c) {
            const float a = 2.0f * PI * static_cast<float>(c) / sides;
            points.push_back(Vec3{x + radius * std::cos(a), y, z + radius * std::sin(a)});
        }
    }
    smoothGrid(mesh, points, 2, sides, true, 0.0f, 1.0f);
    const Vec3 rear{x, y0, z};
    const Vec3 front{x, y1 + 0.35f * r1, z};  // a blunt nose cone
    for (int c = 0; c < sides; ++c) {
        const Vec3 a = points[static_cast<size_t>(c)], b = points[static_cast<size_t>((c + 1) % sides)];
        flatTriangle(mesh, rear, a, b);
        const Vec3 fa = points[static_cast<size_t>(sides + c)], fb = points[static_cast<size_t>(sides + (c + 1) % sides)];
        flatTriangle(mesh, front, fb, fa);
    }
}

// A thin slab between an inner and an outer chord (each leading and trailing point), closed on
// every side; `up` is the direction of its top face.
void addSlab(Model3dmMesh& mesh, Vec3 innerLead, Vec3 innerTrail, Vec3 outerLead, Vec3 outerTrail, Vec3 up,
             float innerThickness, float outerThickness)
{
    const Vec3 ui = up * (0.5f * innerThickness), uo = up * (0.5f * outerThickness);
    const Vec3 a = innerLead + ui, b = innerTrail + ui, c = outerTrail + uo, d = outerLead + uo;  // top
    const Vec3 e = innerLead - ui, f = innerTrail - ui, g = outerTrail - uo, h = outerLead - uo;  // bottom
    // Orient the top so its normal points along `up`.
    const Vec3 n = cross(b - a, c - a);
    const bool flip = n.x * up.x + n.y * up.y + n.z * up.z < 0.0f;
    if (!flip) {
        flatQuad(mesh, a, b, c, d);
        flatQuad(mesh, e, h, g, f);
        flatQuad(mesh, d, c, g, h);  // outer edge
        flatQuad(mesh, a, d, h, e);  // leading edge
        flatQuad(mesh, b, f, g, c);  // trailing edge
        flatQuad(mesh, a, e, f, b);  // root
    } else {
        flatQuad(mesh, a, d, c, b);
        flatQuad(mesh, e, f, g, h);
        flatQuad(mesh, d, h, g, c);
        flatQuad(mesh, a, e, h, d);
        flatQuad(mesh, b, c, g, f);
        flatQuad(mesh, a, b, f, e);
    }
}

Model3dmMesh buildShip()
{
    Model3dmMesh mesh;
    mesh.objectName = "ship2";
    addFuselage(mesh);
    const Vec3 up{0.0f, 0.0f, 1.0f};
    for (float side : {1.0f, -1.0f}) {
        // Swept delta wing, slightly raised towards the tips.
        addSlab(mesh, Vec3{0.6f * side, 0.9f, -0.05f}, Vec3{0.6f * side, -3.7f, -0.05f},
                Vec3{POD_X * side, -2.3f, 0.12f}, Vec3{POD_X * side, -3.9f, 0.12f}, up, 0.16f, 0.06f);
        // Small canard ahead of the wing.
        addSlab(mesh, Vec3{0.55f * side, 2.3f, 0.05f}, Vec3{0.55f * side, 1.5f, 0.05f},
                Vec3{1.35f * side, 1.35f, 0.08f}, Vec3{1.35f * side, 1.1f, 0.08f}, up, 0.08f, 0.04f);
        addPod(mesh, POD_X * side, 0.12f, -4.1f, -2.0f, 0.2f, 0.16f, POD_SIDES);
    }
    // Tail fin, swept back.
    addSlab(mesh, Vec3{0.0f, -1.9f, 0.45f}, Vec3{0.0f, -3.9f, 0.45f}, Vec3{0.0f, -3.35f, 1.75f},
            Vec3{0.0f, -4.05f, 1.75f}, Vec3{1.0f, 0.0f, 0.0f}, 0.1f, 0.04f);
    // The nozzle ring of the main engine.
    addPod(mesh, 0.0f, 0.05f, NOZZLE_END, SHIP_REAR + 0.05f, 0.5f, 0.58f, POD_SIDES);
    return mesh;
}

// A flame: rings from the nozzle at y0 (radius r0) to the tip at y1 (radius r1), bulging a
// little after the nozzle. Written in both windings, since the exhaust is seen from inside too.
Model3dmMesh buildFlame(const char* objectName, const std::vector<Vec3>& nozzles, float y0, float y1, float r0,
                        float r1, float bulge)
{
    Model3dmMesh mesh;
    mesh.objectName = objectName;
    for (const Vec3& nozzle : nozzles) {
        std::vector<Vec3> points;
        for (int r = 0; r < FLAME_RINGS; ++r) {
            const float t = static_cast<float>(r) / (FLAME_RINGS - 1);
            const float radius = r0 + (r1 - r0) * t + bulge * std::sin(PI * t) * (1.0f - t);
            for (int c = 0; c < FLAME_SIDES; ++c) {
                const float a = 2.0f * PI * static_cast<float>(c) / FLAME_SIDES;
                points.push_back(
                    Vec3{nozzle.x + radius * std::cos(a), y0 + (y1 - y0) * t, nozzle.z + radius * std::sin(a)});
            }
        }
        Model3dmMesh outside;
        smoothGrid(outside, points, FLAME_RINGS, FLAME_SIDES, false, 0.0f, 1.0f);
        const size_t vertices = outside.positions.size() / 3;
        for (size_t k = 0; k < vertices; k += 3) {
            for (size_t corner : {k, k + 1, k + 2, k, k + 2, k + 1}) {
                mesh.positions.insert(mesh.positions.end(), &outside.positions[3 * corner], &outside.positions[3 * corner + 3]);
                mesh.normals.insert(mesh.normals.end(), &outside.normals[3 * corner], &outside.normals[3 * corner + 3]);
                mesh.texcoords.insert(mesh.texcoords.end(), &outside.texcoords[2 * corner], &outside.texcoords[2 * corner + 2]);
            }
        }
    }
    return mesh;
}

Model3dmMesh buildDustProxy()
{
    Model3dmMesh mesh;
    mesh.objectName = "dustparticle";
    const float g = (1.0f + std::sqrt(5.0f)) / 2.0f;
    const Vec3 corners[12] = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                              {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    static const int FACES[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                     {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                     {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                     {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    auto onBall = [](Vec3 p) { return normalized(p) * DUST_RADIUS; };
    for (const auto& face : FACES) {
        const Vec3 a = onBall(corners[face[0]]), b = onBall(corners[face[1]]), c = onBall(corners[face[2]]);
        const Vec3 ab = onBall(a + b), bc = onBall(b + c), ca = onBall(c + a);
        flatTriangle(mesh, a, ab, ca);
        flatTriangle(mesh, ab, b, bc);
        flatTriangle(mesh, ca, bc, c);
        flatTriangle(mesh, ab, bc, ca);
    }
    return mesh;
}

}  // namespace

bool writeFlyoverModels(const std::string& dataDir, std::string& error)
{
    const std::vector<Vec3> mainNozzle = {Vec3{0.0f, 0.0f, 0.05f}};
    const std::vector<Vec3> podNozzles = {Vec3{POD_X, 0.0f, 0.12f}, Vec3{-POD_X, 0.0f, 0.12f}};
    return writeMesh(dataDir, "ship2.3dm", buildShip(), error) &&
           writeMesh(dataDir, "taila.3dm", buildFlame("taila", mainNozzle, NOZZLE_END, -8.2f, 0.42f, 0.04f, 0.12f), error) &&
           writeMesh(dataDir, "tailb.3dm", buildFlame("tailb", mainNozzle, NOZZLE_END + 0.1f, -6.6f, 0.62f, 0.22f, 0.3f), error) &&
           writeMesh(dataDir, "tailc.3dm", buildFlame("tailc", podNozzles, -4.1f, -5.9f, 0.15f, 0.02f, 0.05f), error) &&
           writeMesh(dataDir, "dustparticle.3dm", buildDustProxy(), error);
}
