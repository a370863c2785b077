// The enemies, the six orbs and the background flyer.
//
// Enemies are scaled 0.2 after the loader's 0.05 (0.01 view units per file unit) and orbs
// 0.175 (0.00875); one level unit is about 0.0058 view units, so the walker's 70 x 150 box is
// about 40 x 85 file units. Enemies spin about the vertical axis while they move, so they are
// built round. The walker's frame slots: 1 to 110 one stride cycle, 120 standing.
#include "tools/game_data/game_data.h"
#include "tools/game_data/mesh_kit.h"

#include <cmath>

namespace {

const int ATLAS = 4;  // 4 x 4 cells of flat materials in every character texture

// Walker cells.
const UvCell WALKER_SHELL = atlasCell(0, 0, ATLAS);
const UvCell WALKER_JOINT = atlasCell(1, 0, ATLAS);
const UvCell WALKER_EYE = atlasCell(2, 0, ATLAS);
const UvCell WALKER_TRIM = atlasCell(3, 0, ATLAS);

const float WALKER_FILE_PER_LEVEL = 0.0057f / 0.01f;

// Walker bones: 1 body, 2 left thigh, 3 left shin, 4 right thigh, 5 right shin (writer numbering).
struct WalkerPose {
    float bodyLift;
    float thigh[2];  // swing about x, degrees
    float knee[2];
};

WalkerPose walkerPose(int slot)
{
    WalkerPose p{};
    if (slot >= 1 && slot <= 110) {
        float phase = 2 * PI_F * float(slot - 1) / 110.0f;
        for (int side = 0; side < 2; ++side) {
            float s = std::sin(phase + side * PI_F);
            p.thigh[side] = 28.0f * s;
            p.knee[side] = 30.0f * std::fmax(0.0f, std::cos(phase + side * PI_F));
        }
        p.bodyLift = 3.0f * std::fabs(std::cos(phase));
    }
    return p;
}

GeneratedModel buildWalker()
{
    const float s = WALKER_FILE_PER_LEVEL;
    // Level units: feet at 0, hips at 62, a round body to 130 and the dome to 150.
    const V3 hip[2] = {{-16, 0, 62}, {16, 0, 62}};
    const V3 knee[2] = {{-18, 0, 32}, {18, 0, 32}};
    MeshBuilder b;
    b.bone = 1;
    b.cell = WALKER_SHELL;
    b.ellipsoid({0, 0, 96}, {27, 25, 34}, 16, 10);
    b.cell = WALKER_TRIM;
    b.ellipsoid({0, 0, 128}, {20, 20, 20}, 14, 8);
    b.cell = WALKER_EYE;
    b.ellipsoid({0, -24, 104}, {12, 8, 8}, 12, 6);
    b.ellipsoid({0, 24, 104}, {12, 8, 8}, 12, 6);
    b.cell = WALKER_JOINT;
    b.limb({-26, 0, 98}, {-31, 0, 82}, 6, 5, 8);
    b.limb({26, 0, 98}, {31, 0, 82}, 6, 5, 8);
    for (int side = 0; side < 2; ++side) {
        b.bone = 2 + side * 2;
        b.cell = WALKER_JOINT;
        b.limb(hip[side], knee[side], 8, 7, 8);
        b.bone = 3 + side * 2;
        b.cell = WALKER_SHELL;
        b.limb(knee[side], knee[side] + V3{0, 0, -26}, 8, 9, 8);
        b.cell = WALKER_TRIM;
        b.box(V3{knee[side].x - 10, -14, 0}, V3{knee[side].x + 10, 14, 7});
    }

    GeneratedModel m;
    m.file = "enemy1.3dm";
    m.skinned = true;
    m.mesh = b.finish("enemywalker_body", s);
    Model3dmSkeleton& sk = m.skeleton;
    sk.boneCount = 5;
    const V3 joints[5] = {{0, 0, 62}, hip[0], knee[0], hip[1], knee[1]};
    for (const V3& j : joints)
        sk.bindPose.push_back({{j.x * s, j.y * s, j.z * s}, {0, 0, 0}, {1, 1, 1}});
    // Slots 0 to 120 follow the bind pose; slot 121 is the loader's empty last slot.
    for (int slot = 0; slot <= 120; ++slot) {
        WalkerPose p = walkerPose(slot);
        std::vector<Model3dmBone> frame;
        V3 lift{0, 0, p.bodyLift};
        frame.push_back({{0, 0, (62 + p.bodyLift) * s}, {0, 0, 0}, {1, 1, 1}});
        for (int side = 0; side < 2; ++side) {
            M3 thigh = rotX(p.thigh[side]);
            M3 shin = thigh * rotX(p.knee[side]);
            V3 h = hip[side] + lift;
            V3 k = h + thigh * (knee[side] - hip[side]);
            float e[3];
            eulerForEngine(thigh, e);
            frame.push_back({{h.x * s, h.y * s, h.z * s}, {e[0], e[1], e[2]}, {1, 1, 1}});
            eulerForEngine(shin, e);
            frame.push_back({{k.x * s, k.y * s, k.z * s}, {e[0], e[1], e[2]}, {1, 1, 1}});
        }
        sk.frames.push_back(frame);
    }
    sk.influences.resize(b.bones.size());
    for (size_t v = 0; v < b.bones.size(); ++v)
        sk.influences[v] = {{b.bones[v], 1.0f}};
    return m;
}

// The flyer: a saucer with a glowing rim and a canopy, 80 x 50 level units.
GeneratedModel buildFlyingEnemy()
{
    const float s = WALKER_FILE_PER_LEVEL;
    MeshBuilder b;
    b.cell = WALKER_SHELL;
    b.ellipsoid({0, 0, 22}, {40, 40, 10}, 20, 8);
    b.cell = WALKER_EYE;
    b.ellipsoid({0, 0, 22}, {42, 42, 3}, 24, 4);
    b.cell = WALKER_TRIM;
    b.ellipsoid({0, 0, 32}, {17, 17, 14}, 14, 8);
    b.cell = WALKER_JOINT;
    for (int k = 0; k < 3; ++k) {
        float a = 2 * PI_F * k / 3;
        V3 top{22 * std::cos(a), 22 * std::sin(a), 16};
        b.limb(top, top * 1.3f + V3{0, 0, -14}, 4, 3, 6);
    }
    GeneratedModel m;
    m.file = "enemy2.3dm";
    m.mesh = b.finish("enemyflyer_saucer", s);
    return m;
}

// Orb meshes, about 16 file units in radius, centred on the origin.
void faceted(MeshBuilder& b, float radius)
{
    // Icosahedron, each face split in four, pushed to the sphere: flat facets like a cut gem.
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    std::vector<V3> v = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
                         {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    const int faces[20][3] = {{0, 11, 5}, {0, 5, 1}, {0, 1, 7}, {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                              {11, 10, 2}, {10, 7, 6}, {7, 1, 8}, {3, 9, 4}, {3, 4, 2}, {3, 2, 6}, {3, 6, 8},
                              {3, 8, 9}, {4, 9, 5}, {2, 4, 11}, {6, 2, 10}, {8, 6, 7}, {9, 8, 1}};
    for (const auto& f : faces) {
        V3 a = normalized(v[f[0]]) * radius, c = normalized(v[f[1]]) * radius, d = normalized(v[f[2]]) * radius;
        V3 ab = normalized((a + c) * 0.5f) * radius, bc = normalized((c + d) * 0.5f) * radius,
           ca = normalized((d + a) * 0.5f) * radius;
        b.triangle(a, ab, ca, 0.5f, 1, 0.25f, 0.5f, 0.75f, 0.5f);
        b.triangle(ab, c, bc, 0.25f, 0.5f, 0, 0, 0.5f, 0);
        b.triangle(ca, bc, d, 0.75f, 0.5f, 0.5f, 0, 1, 0);
        b.triangle(ab, bc, ca, 0.25f, 0.5f, 0.5f, 0, 0.75f, 0.5f);
    }
}

std::vector<std::pair<float, float>> starOutline(int points, float outer, float inner)
{
    std::vector<std::pair<float, float>> o;
    for (int i = 0; i < points * 2; ++i) {
        float a = PI_F / 2 + PI_F * i / points;
        float r = i % 2 ? inner : outer;
        o.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return o;
}

std::vector<std::pair<float, float>> heartOutline(float size)
{
    std::vector<std::pair<float, float>> o;
    const int n = 40;
    for (int i = 0; i < n; ++i) {
        float t = 2 * PI_F * i / n;
        float x = 16 * std::pow(std::sin(t), 3.0f);
        float z = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        o.push_back({x * size / 16, (z + 2) * size / 16});
    }
    return o;
}

void torus(MeshBuilder& b, float major, float minor, int segments, int sides)
{
    for (int i = 0; i < segments; ++i)
        for (int j = 0; j < sides; ++j) {
            auto at = [&](int a, int c, V3& p, V3& n) {
                float u = 2 * PI_F * a / segments, w = 2 * PI_F * c / sides;
                V3 centre{major * std::cos(u), 0, major * std::sin(u)};
                n = V3{std::cos(w) * std::cos(u), std::sin(w), std::cos(w) * std::sin(u)};
                p = centre + n * minor;
            };
            V3 p[4], n[4];
            at(i, j, p[0], n[0]);
            at(i + 1, j, p[1], n[1]);
            at(i + 1, j + 1, p[2], n[2]);
            at(i, j + 1, p[3], n[3]);
            float u0 = float(i) / segments, u1 = float(i + 1) / segments, v0 = float(j) / sides,
                  v1 = float(j + 1) / sides;
            b.vertex(p[0], n[0], u0, v0);
            b.vertex(p[2], n[2], u1, v1);
            b.vertex(p[1], n[1], u1, v0);
            b.vertex(p[0], n[0], u0, v0);
            b.vertex(p[3], n[3], u0, v1);
            b.vertex(p[2], n[2], u1, v1);
        }
}

void octahedron(MeshBuilder& b, float r, float tall)
{
    V3 top{0, 0, tall}, bottom{0, 0, -tall};
    V3 ring[4] = {{r, 0, 0}, {0, r, 0}, {-r, 0, 0}, {0, -r, 0}};
    for (int i = 0; i < 4; ++i) {
        V3 a = ring[i], c = ring[(i + 1) % 4];
        b.triangle(a, c, top, 0, 0, 1, 0, 0.5f, 1);
        b.triangle(c, a, bottom, 1, 0, 0, 0, 0.5f, 1);
    }
}

void coin(MeshBuilder& b, float r, float thick)
{
    const int n = 28;
    std::vector<std::pair<float, float>> o;
    for (int i = 0; i < n; ++i)
        o.push_back({r * std::cos(2 * PI_F * i / n), r * std::sin(2 * PI_F * i / n)});
    b.prism(o, {0, 0}, -thick, thick);
    b.prism(starOutline(5, r * 0.55f, r * 0.25f), {0, 0}, -thick * 1.6f, -thick * 0.9f);
}

} // namespace

std::vector<GeneratedModel> buildEnemyModels()
{
    return {buildWalker(), buildFlyingEnemy()};
}

std::vector<GeneratedModel> buildOrbModels()
{
    std::vector<GeneratedModel> orbs;
    auto add = [&](const char* file, const char* object, auto shape) {
        MeshBuilder b;
        shape(b);
        GeneratedModel m;
        m.file = file;
        m.mesh = b.finish(object, 1.0f);
        orbs.push_back(std::move(m));
    };
    add("orb.3dm", "orbruby_gem", [](MeshBuilder& b) { faceted(b, 16); });
    add("orb2.3dm", "orbgold_star", [](MeshBuilder& b) { b.prism(starOutline(5, 19, 8), {0, 0}, -5, 5); });
    add("orb3.3dm", "orbsapphire_ring", [](MeshBuilder& b) { torus(b, 12, 5, 24, 10); });
    add("orb4.3dm", "orbemerald_crystal", [](MeshBuilder& b) { octahedron(b, 12, 19); });
    add("orb5.3dm", "orbrose_heart", [](MeshBuilder& b) { b.prism(heartOutline(17), {0, 0}, -5, 5); });
    add("orb6.3dm", "orbviolet_coin", [](MeshBuilder& b) { coin(b, 15, 3); });
    return orbs;
}

// A small craft of the background: nose along -y, about 12 file units long (0.5 view units at
// the game's 0.8 scale).
GeneratedModel buildFlyerModel()
{
    MeshBuilder b;
    b.cell = WALKER_SHELL;
    b.limb({0, 6, 0}, {0, -6, 0}, 1.6f, 0.8f, 10);
    b.cell = WALKER_TRIM;
    b.box({-6, 0.5f, -0.3f}, {6, 3, 0.3f});
    b.box({-0.3f, 3.5f, 0}, {0.3f, 5.5f, 2.5f});
    b.cell = WALKER_EYE;
    b.ellipsoid({0, -2.5f, 1.0f}, {0.9f, 1.8f, 0.8f}, 10, 6);
    b.ellipsoid({0, 6.4f, 0}, {1.0f, 0.5f, 1.0f}, 10, 6);
    GeneratedModel m;
    m.file = "flyer1.3dm";
    m.mesh = b.finish("flyer_craft", 1.0f);
    return m;
}
