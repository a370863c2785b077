// The jelly's star and masks. star1.dae: a five-pointed star with faceted faces raised to its
// centre, extruded, written as COLLADA in the subset the engine reads (the first geometry's
// polylist of triangles with VERTEX, NORMAL and TEXCOORD inputs, one normal per face), with
// accessors so other COLLADA readers take it too. jellymask1.tga: tiling wobble offsets in red
// and green; jellymask2.tga: the jelly's shine, red a broad sheen, green a sharp highlight.
#include "tools/effects_data/effects_models.h"
#include "tools/effects_data/effects_pictures.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr float PI = 3.14159265f;
constexpr int STAR_POINTS = 5;
constexpr float STAR_OUTER = 1.0f;
constexpr float STAR_INNER = 0.45f;
constexpr float STAR_RIM_Z = 0.16f;     // the rim's half thickness
constexpr float STAR_CENTRE_Z = 0.42f;  // the faces rise to this at the centre

struct StarMesh {
    std::vector<float> positions;  // 3 per point
    std::vector<float> normals;    // 3 per face
    std::vector<float> uvs;        // 2 per point
    std::vector<int> corners;      // position, normal, uv index per corner
};

int addPoint(StarMesh& m, float x, float y, float z)
{
    m.positions.insert(m.positions.end(), {x, y, z});
    m.uvs.insert(m.uvs.end(), {0.5f + 0.5f * x / STAR_OUTER, 0.5f + 0.5f * y / STAR_OUTER});
    return static_cast<int>(m.positions.size() / 3 - 1);
}

// A triangle with its own flat normal, wound counter-clockwise from outside.
void addFace(StarMesh& m, int a, int b, int c)
{
    const float* pa = &m.positions[a * 3];
    const float* pb = &m.positions[b * 3];
    const float* pc = &m.positions[c * 3];
    const float e1[3] = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
    const float e2[3] = {pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
    float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    m.normals.insert(m.normals.end(), {n[0] / length, n[1] / length, n[2] / length});
    const int normal = static_cast<int>(m.normals.size() / 3 - 1);
    for (int p : {a, b, c})
        m.corners.insert(m.corners.end(), {p, normal, p});
}

StarMesh makeStar()
{
    StarMesh m;
    const int rim = 2 * STAR_POINTS;
    int front[2 * STAR_POINTS], back[2 * STAR_POINTS];
    for (int k = 0; k < rim; ++k) {
        const float angle = PI * 0.5f + PI * static_cast<float>(k) / STAR_POINTS;
        const float r = k % 2 == 0 ? STAR_OUTER : STAR_INNER;
        front[k] = addPoint(m, r * std::cos(angle), r * std::sin(angle), STAR_RIM_Z);
        back[k] = addPoint(m, r * std::cos(angle), r * std::sin(angle), -STAR_RIM_Z);
    }
    const int frontCentre = addPoint(m, 0.0f, 0.0f, STAR_CENTRE_Z);
    const int backCentre = addPoint(m, 0.0f, 0.0f, -STAR_CENTRE_Z);
    for (int k = 0; k < rim; ++k) {
        const int next = (k + 1) % rim;
        addFace(m, frontCentre, front[k], front[next]);
        addFace(m, backCentre, back[next], back[k]);
        addFace(m, front[k], back[k], back[next]);
        addFace(m, front[k], back[next], front[next]);
    }
    return m;
}

void writeFloats(std::ostringstream& out, const std::vector<float>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        out << (i ? " " : "") << values[i];
}

void writeSource(std::ostringstream& out, const char* id, const std::vector<float>& values, const char* params)
{
    const int stride = static_cast<int>(std::char_traits<char>::length(params));
    out << "        <source id=\"" << id << "\">\n          <float_array id=\"" << id << "-array\" count=\""
        << values.size() << "\">";
    writeFloats(out, values);
    out << "</float_array>\n          <technique_common>\n            <accessor source=\"#" << id
        << "-array\" count=\"" << values.size() / stride << "\" stride=\"" << stride << "\">\n";
    for (int i = 0; i < stride; ++i)
        out << "              <param name=\"" << params[i] << "\" type=\"float\"/>\n";
    out << "            </accessor>\n          </technique_common>\n        </source>\n";
}

}  // namespace

bool writeStarCollada(const std::string& dataDir, std::string& error)
{
    const StarMesh star = makeStar();
    const size_t triangles = star.corners.size() / 9;
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        << "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
        << "  <asset><unit name=\"meter\" meter=\"1\"/><up_axis>Y_UP</up_axis></asset>\n"
        << "  <library_geometries>\n    <geometry id=\"star1-mesh\" name=\"star1\">\n      <mesh>\n";
    writeSource(out, "star1-positions", star.positions, "XYZ");
    writeSource(out, "star1-normals", star.normals, "XYZ");
    writeSource(out, "star1-uv", star.uvs, "ST");
    out << "        <vertices id=\"star1-vertices\">\n"
        << "          <input semantic=\"POSITION\" source=\"#star1-positions\"/>\n        </vertices>\n"
        << "        <polylist count=\"" << triangles << "\">\n"
        << "          <input semantic=\"VERTEX\" source=\"#star1-vertices\" offset=\"0\"/>\n"
        << "          <input semantic=\"NORMAL\" source=\"#star1-normals\" offset=\"1\"/>\n"
        << "          <input semantic=\"TEXCOORD\" source=\"#star1-uv\" offset=\"2\" set=\"0\"/>\n"
        << "          <vcount>";
    for (size_t t = 0; t < triangles; ++t)
        out << (t ? " " : "") << 3;
    out << "</vcount>\n          <p>";
    for (size_t i = 0; i < star.corners.size(); ++i)
        out << (i ? " " : "") << star.corners[i];
    out << "</p>\n        </polylist>\n      </mesh>\n    </geometry>\n  </library_geometries>\n"
        << "  <library_visual_scenes>\n    <visual_scene id=\"scene\">\n      <node id=\"star1\">\n"
        << "        <instance_geometry url=\"#star1-mesh\"/>\n      </node>\n    </visual_scene>\n"
        << "  </library_visual_scenes>\n  <scene><instance_visual_scene url=\"#scene\"/></scene>\n</COLLADA>\n";
    const std::string path = dataDir + "/star1.dae";
    {
        std::ofstream file(path + ".tmp", std::ios::binary);
        file << out.str();
        if (!file.flush()) {
            error = path + ".tmp: cannot write";
            return false;
        }
    }
    if (std::rename((path + ".tmp").c_str(), path.c_str()) != 0) {
        error = path + ": cannot rename";
        return false;
    }
    return true;
}

bool drawJellyMask1(Canvas& canvas, EffectFonts&, std::string&)
{
    const int cells = 4;
    const float sx = static_cast<float>(cells) / canvas.frameWidth;
    const float sy = static_cast<float>(cells) / canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float r = sampleFractalNoise(x * sx, y * sy, 0x7E11u, 2, 0.45f, cells, cells);
        const float g = sampleFractalNoise(x * sx, y * sy, 0x7E12u, 2, 0.45f, cells, cells);
        px = {r, g, 0.5f, 1.0f};
    });
    return true;
}

bool drawJellyMask2(Canvas& canvas, EffectFonts&, std::string&)
{
    const float w = canvas.frameWidth, h = canvas.frameHeight;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float u = x / w, v = y / h;
        // A broad sheen brighter towards the top left, and a sharp crescent highlight there.
        const float sheen = clampUnit(1.0f - std::hypot(u - 0.35f, v - 0.7f) * 1.3f);
        const float d = std::hypot((u - 0.38f) * 1.6f, v - 0.72f);
        const float crescent = std::exp(-std::pow((d - 0.18f) / 0.03f, 2.0f)) * smoothStep(0.55f, 0.85f, v);
        px = {sheen, crescent, 0.0f, 1.0f};
    });
    return true;
}

bool drawStarTexture(Canvas& canvas, EffectFonts&, std::string&)
{
    // Candy glass: magenta at the heart to orange at the points, with soft rings.
    static const GradientStop CANDY[] = {
        {0.0f, {0.85f, 0.10f, 0.45f}}, {0.5f, {0.95f, 0.30f, 0.25f}}, {1.0f, {1.00f, 0.62f, 0.10f}},
    };
    const float c = canvas.frameWidth * 0.5f;
    paintPixels(canvas, [&](Rgba& px, float x, float y) {
        const float r = std::hypot(x - c, y - c) / c;
        Rgb colour = sampleGradient(CANDY, 3, r);
        // Dark on purpose: the jelly is lit by a preset of many lights, which adds up to several
        // times the texture.
        colour = scaleRgb(colour, 0.22f + 0.02f * std::cos(r * 40.0f));
        px = {colour.r, colour.g, colour.b, 1.0f};
    });
    return true;
}
