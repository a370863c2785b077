// The generated logo models and pictures, read back the way the engine reads them: each model
// parses as a static .3dm, has the size its scene needs once the loader's 0.05 and the scene's
// scale are applied, is a closed solid with outward faces, and names a texture set that exists.
#include "gfx/model.h"
#include "gfx/model_3dm.h"
#include "gfx/tga.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct ModelCase {
    const char* file;
    const char* objectName;
    float sceneScale;
    float minWidth;  // along x, in scene units
    float maxWidth;
    int maxTriangles;
    bool closed;
    // A line of text: read from its side, the tallest letter stands right of the middle.
    enum Reads { NOT_LETTERING, FROM_FRONT, FROM_BACK, FROM_BOTH } reads;
};

const ModelCase MODEL_CASES[] = {
    // Half the frame wide at the palette scene's camera.
    {"thinlogo.3dm", "thinlogo", 1.0f, 12.0f, 15.0f, 1000, true, ModelCase::FROM_FRONT},
    // Narrow enough to stay in the frame when it follows the ball to the side and jumps nearer.
    {"thinlogo2.3dm", "thinlogo", 0.2f, 1.2f, 1.4f, 20000, true, ModelCase::FROM_FRONT},
    {"thinlogo3.3dm", "thinlogo3", 0.2f, 1.2f, 1.4f, 20000, true, ModelCase::FROM_FRONT},
    {"discoball.3dm", "discoball", 0.5f, 1.8f, 2.2f, 20000, false, ModelCase::NOT_LETTERING},
    {"zu5metal.3dm", "zu5metal", 0.125f, 1.5f, 2.0f, 20000, true, ModelCase::FROM_BOTH},
    {"zu5front.3dm", "zu5front", 0.125f, 1.5f, 2.0f, 20000, true, ModelCase::FROM_FRONT},
    {"zu5back.3dm", "zu5back", 0.125f, 1.5f, 2.0f, 20000, true, ModelCase::FROM_BACK},
};

std::string dataPath(const char* name)
{
    return std::string(RUN_DIR) + "/data/" + name;
}

bool readModelFile(const char* name, Model3dmFile& file, std::string& error)
{
    std::ifstream in(dataPath(name), std::ios::binary);
    if (!in) {
        error = std::string("cannot open ") + name;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string bytes = text.str();
    return parse3dm(bytes.data(), bytes.size(), name, READ_3DM_MODEL, file, error);
}

struct Vec {
    double x, y, z;
};

Vec vertexOf(const std::vector<float>& values, size_t vertex)
{
    return Vec{values[vertex * 3], values[vertex * 3 + 1], values[vertex * 3 + 2]};
}

Vec minus(Vec a, Vec b) { return Vec{a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec crossOf(Vec a, Vec b) { return Vec{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dotOf(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

using PointKey = std::tuple<float, float, float>;

PointKey keyOf(const std::vector<float>& positions, size_t vertex)
{
    return PointKey{positions[vertex * 3], positions[vertex * 3 + 1], positions[vertex * 3 + 2]};
}

struct Bounds {
    float min[3] = {1e30f, 1e30f, 1e30f};
    float max[3] = {-1e30f, -1e30f, -1e30f};
};

Bounds boundsOf(const std::vector<float>& positions, float scale)
{
    Bounds b;
    for (size_t i = 0; i < positions.size(); ++i) {
        const float v = positions[i] * scale;
        b.min[i % 3] = std::min(b.min[i % 3], v);
        b.max[i % 3] = std::max(b.max[i % 3], v);
    }
    return b;
}

class LogoModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(LogoModel, IsAStaticModelOfTheSizeItsSceneDrawsAtAndNamesItsSet)
{
    const ModelCase& c = GetParam();
    Model3dmFile file;
    std::string error;
    ASSERT_TRUE(readModelFile(c.file, file, error)) << error;
    EXPECT_FALSE(file.hasSkeleton);
    EXPECT_EQ(file.objectName, c.objectName);
    EXPECT_GT(file.triangleCount, 0);
    EXPECT_LT(file.triangleCount, c.maxTriangles);

    const Bounds b = boundsOf(file.positions, MODEL_LOAD_SCALE * c.sceneScale);
    const float width = b.max[0] - b.min[0];
    EXPECT_GE(width, c.minWidth);
    EXPECT_LE(width, c.maxWidth);
    // Authored z-up with the front along -y: lettering is thin in y and stands up in z.
    EXPECT_LE(b.max[1] - b.min[1], c.reads != ModelCase::NOT_LETTERING ? 0.25f * width : width);
    EXPECT_GT(b.max[2] - b.min[2], 0.1f * width);

    // The texture set the engine picks: the name up to its first '_'.
    const std::string key = std::string(c.objectName).substr(0, std::string(c.objectName).find('_'));
    TgaImage base;
    ASSERT_TRUE(loadTgaImage(base, (key + ".tga").c_str())) << key;
    EXPECT_EQ(base.width & (base.width - 1), 0u) << key << ".tga is not a power of two wide";
    EXPECT_EQ(base.height & (base.height - 1), 0u) << key << ".tga is not a power of two high";
    releaseTgaImage(base);
}

// Every edge is met by one triangle running each way (so no holes and one winding), every
// triangle's stored normals agree with its winding, and the enclosed volume is positive: the
// winding faces outward and the scenes' back-face culling shows the side towards the eye.
TEST_P(LogoModel, IsAClosedSolidWoundOutward)
{
    const ModelCase& c = GetParam();
    Model3dmFile file;
    std::string error;
    ASSERT_TRUE(readModelFile(c.file, file, error)) << error;
    std::map<std::pair<PointKey, PointKey>, int> edges;
    double volume = 0;
    int misfacing = 0, degenerate = 0;
    for (int t = 0; t < file.triangleCount; ++t) {
        const size_t v0 = static_cast<size_t>(t) * 3;
        const Vec a = vertexOf(file.positions, v0), b = vertexOf(file.positions, v0 + 1),
                  d = vertexOf(file.positions, v0 + 2);
        const Vec winding = crossOf(minus(b, a), minus(d, a));
        if (dotOf(winding, winding) == 0.0)
            ++degenerate;
        volume += dotOf(a, crossOf(b, d)) / 6.0;
        Vec normal{0, 0, 0};
        for (size_t k = 0; k < 3; ++k) {
            const Vec n = vertexOf(file.normals, v0 + k);
            normal = Vec{normal.x + n.x, normal.y + n.y, normal.z + n.z};
        }
        if (dotOf(normal, winding) <= 0)
            ++misfacing;
        for (size_t k = 0; k < 3; ++k)
            ++edges[{keyOf(file.positions, v0 + k), keyOf(file.positions, v0 + (k + 1) % 3)}];
    }
    EXPECT_EQ(degenerate, 0);
    EXPECT_EQ(misfacing, 0);
    EXPECT_GT(volume, 0.0);
    if (!c.closed)
        return;
    int unmatched = 0;
    for (const auto& [edge, count] : edges) {
        auto reverse = edges.find({edge.second, edge.first});
        if (reverse == edges.end() || reverse->second != count)
            ++unmatched;
    }
    EXPECT_EQ(unmatched, 0) << "edges without a partner running the other way";
}

// Mirrored or upside-down lettering would put the tallest letter ('5' of "zu5", 'l' of
// "mornglow") left of the middle or at the bottom. The front faces -y; seen from the back (+y)
// left and right swap, so lettering meant to be read from behind stands mirrored in x.
TEST_P(LogoModel, LetteringReadsUprightFromItsSide)
{
    const ModelCase& c = GetParam();
    if (c.reads == ModelCase::NOT_LETTERING)
        GTEST_SKIP() << "not lettering";
    Model3dmFile file;
    std::string error;
    ASSERT_TRUE(readModelFile(c.file, file, error)) << error;
    const Bounds b = boundsOf(file.positions, 1.0f);
    const float middleX = 0.5f * (b.min[0] + b.max[0]), quarterDepth = 0.25f * (b.max[1] - b.min[1]);
    // The tallest vertex of the front quarter of the depth or the back quarter (a badge's
    // plate, in the middle, is left out).
    auto tallestX = [&](bool front) {
        size_t top = SIZE_MAX;
        for (size_t v = 0; v < file.positions.size() / 3; ++v) {
            const float y = file.positions[v * 3 + 1];
            const bool inside = front ? y < b.min[1] + quarterDepth : y > b.max[1] - quarterDepth;
            if (inside && (top == SIZE_MAX || file.positions[v * 3 + 2] > file.positions[top * 3 + 2]))
                top = v;
        }
        return top == SIZE_MAX ? middleX : file.positions[top * 3];
    };
    const bool bothHalves = c.reads == ModelCase::FROM_BOTH;
    if (c.reads == ModelCase::FROM_FRONT || bothHalves) {
        EXPECT_GT(tallestX(true), middleX) << "front";
    }
    if (c.reads == ModelCase::FROM_BACK || bothHalves) {
        EXPECT_LT(tallestX(false), middleX) << "back";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, LogoModel, ::testing::ValuesIn(MODEL_CASES),
    [](const ::testing::TestParamInfo<ModelCase>& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        return name;
    });

TEST(DiscoBall, IsAFacetedBallOfRadiusOne)
{
    Model3dmFile file;
    std::string error;
    ASSERT_TRUE(readModelFile("discoball.3dm", file, error)) << error;
    const float scale = MODEL_LOAD_SCALE * 0.5f;
    float nearest = 1e30f, farthest = 0;
    for (size_t v = 0; v < file.positions.size() / 3; ++v) {
        const Vec p = vertexOf(file.positions, v);
        const float r = static_cast<float>(std::sqrt(dotOf(p, p))) * scale;
        nearest = std::min(nearest, r);
        farthest = std::max(farthest, r);
    }
    EXPECT_GE(nearest, 0.9f);
    EXPECT_LE(farthest, 1.1f);
    // Facets: every triangle reaching the outer surface carries one normal at all three corners
    // (mirror tiles), and there are plenty of them.
    int tiles = 0, rounded = 0;
    for (int t = 0; t < file.triangleCount; ++t) {
        const size_t v0 = static_cast<size_t>(t) * 3;
        bool outer = false;
        for (size_t k = 0; k < 3; ++k) {
            const Vec p = vertexOf(file.positions, v0 + k);
            outer = outer || std::sqrt(dotOf(p, p)) * scale > 0.99 * farthest;
        }
        if (!outer)
            continue;
        ++tiles;
        rounded += std::memcmp(&file.normals[v0 * 3], &file.normals[(v0 + 1) * 3], 3 * sizeof(float)) != 0
            || std::memcmp(&file.normals[v0 * 3], &file.normals[(v0 + 2) * 3], 3 * sizeof(float)) != 0;
    }
    EXPECT_GT(tiles, 200);
    EXPECT_EQ(rounded, 0);
}

// The glowing parts lie on the metal body's faces, standing just proud of them: the front
// part before the front face, the back part behind the back face.
TEST(MetalLogo, GlowingPartsStandOnTheBodysFaces)
{
    Model3dmFile metal, front, back;
    std::string error;
    ASSERT_TRUE(readModelFile("zu5metal.3dm", metal, error)) << error;
    ASSERT_TRUE(readModelFile("zu5front.3dm", front, error)) << error;
    ASSERT_TRUE(readModelFile("zu5back.3dm", back, error)) << error;
    const Bounds m = boundsOf(metal.positions, 1.0f);
    const Bounds f = boundsOf(front.positions, 1.0f);
    const Bounds b = boundsOf(back.positions, 1.0f);
    const float depth = m.max[1] - m.min[1];
    EXPECT_LT(f.min[1], m.min[1]);
    EXPECT_GT(f.min[1], m.min[1] - 0.1f * depth);
    EXPECT_LT(f.max[1], m.min[1] + 0.1f * depth);
    EXPECT_GT(b.max[1], m.max[1]);
    EXPECT_LT(b.max[1], m.max[1] + 0.1f * depth);
    EXPECT_GT(b.min[1], m.max[1] - 0.1f * depth);
    for (const Bounds* part : {&f, &b})
        for (int axis : {0, 2}) {
            EXPECT_GE(part->min[axis], m.min[axis]);
            EXPECT_LE(part->max[axis], m.max[axis]);
        }
}

TEST(ClosingPictures, BackgroundIsOpaqueAndPowerOfTwo)
{
    TgaImage image;
    ASSERT_TRUE(loadTgaImage(image, "zu5bkgnd.tga"));
    EXPECT_EQ(image.width & (image.width - 1), 0u);
    EXPECT_EQ(image.height & (image.height - 1), 0u);
    bool opaque = image.bpp == 24;
    if (image.bpp == 32) {
        opaque = true;
        for (size_t i = 3; i < static_cast<size_t>(image.width) * image.height * 4; i += 4)
            opaque = opaque && image.data[i] == 255;
    }
    EXPECT_TRUE(opaque);
    releaseTgaImage(image);
}

// The band shows one column of the strip, and only its first fifth in 14 s: there every column
// must change colour from bottom to top, with an opaque core and edges that fade out.
TEST(ClosingPictures, RasterStripColumnsVaryVerticallyWithAnOpaqueCore)
{
    TgaImage image;
    ASSERT_TRUE(loadTgaImage(image, "zu5backraster.tga"));
    ASSERT_EQ(image.bpp, 32u);
    EXPECT_EQ(image.width & (image.width - 1), 0u);
    EXPECT_EQ(image.height & (image.height - 1), 0u);
    const uint32_t shownColumns = image.width / 5;
    for (uint32_t x = 0; x <= shownColumns; ++x) {
        int darkest = 255 * 3, brightest = 0, coreAlpha = 255;
        for (uint32_t y = 0; y < image.height; ++y) {
            const uint8_t* p = &image.data[(static_cast<size_t>(y) * image.width + x) * 4];
            const int sum = p[0] + p[1] + p[2];
            darkest = std::min(darkest, sum);
            brightest = std::max(brightest, sum);
            if (y >= image.height / 10 && y < image.height * 9 / 10)
                coreAlpha = std::min(coreAlpha, static_cast<int>(p[3]));
        }
        EXPECT_GT(brightest - darkest, 150) << "column " << x;
        EXPECT_EQ(coreAlpha, 255) << "column " << x;
        EXPECT_LT(image.data[static_cast<size_t>(x) * 4 + 3], 64) << "column " << x << " bottom edge";
    }
    releaseTgaImage(image);
}

}  // namespace
