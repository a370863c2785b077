// The flyover landscape and its tail ribbons: grid normals, the cell layout, the height picture
// read-back, the ribbon sections, and finite tangents where texture coordinates are degenerate.
#include "gfx/tangents.h"
#include "gfx/tga.h"
#include "scenes/flyover_terrain.h"

#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const float EPS = 1e-5f;

// ---- Normals ------------------------------------------------------------------------------

struct NormalCase {
    const char* what;
    int rows, columns;
    std::vector<float> heights;  // row by row
    int row, column;
    float expected[3];
};

TEST(FlyoverTerrainNormals, BorderPointsUseTheTrianglesTheyHave)
{
    const float r14 = 1.0f / std::sqrt(14.0f);
    const float h = 0.70710678f;
    const float tilt[3] = {-0.5f / std::sqrt(1.25f), 1.0f / std::sqrt(1.25f), 0.0f};
    const NormalCase cases[] = {
        // Corner (0, 0): only the triangle of its north and east neighbours.
        {"corner", 2, 2, {0, 2, 3, 0}, 0, 0, {-2 * r14, r14, 3 * r14}},
        // Edge point of the first row: W-N and N-E only; a raised north neighbour tilts it 45
        // degrees (a made-up southern neighbour would pull it upright).
        {"edge", 2, 3, {0, 0, 0, 0, 1, 0}, 0, 1, {0, h, h}},
        // Interior point on a plane rising along the columns: all eight triangles agree.
        {"interior", 3, 3, {0, 0.5f, 1, 0, 0.5f, 1, 0, 0.5f, 1}, 1, 1, {tilt[0], tilt[1], tilt[2]}},
    };
    for (const NormalCase& c : cases) {
        std::vector<float> normals(3 * c.heights.size());
        computeGridNormals(c.heights.data(), c.rows, c.columns, normals.data());
        const float* n = &normals[3 * (c.row * c.columns + c.column)];
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(n[k], c.expected[k], EPS) << c.what << " component " << k;
    }
}

TEST(FlyoverTerrainNormals, FlatGroundFacesStraightUpWithNegativeZeroZ)
{
    const int rows = 4, columns = 5;
    std::vector<float> heights(rows * columns, 40.0f);
    std::vector<float> normals(3 * heights.size(), 7.0f);
    computeGridNormals(heights.data(), rows, columns, normals.data());
    for (size_t p = 0; p < heights.size(); ++p) {
        EXPECT_EQ(normals[3 * p], 0.0f) << p;
        EXPECT_EQ(normals[3 * p + 1], 1.0f) << p;
        EXPECT_EQ(normals[3 * p + 2], 0.0f) << p;
        EXPECT_TRUE(std::signbit(normals[3 * p + 2])) << p;
    }
}

// ---- Cells --------------------------------------------------------------------------------

TEST(FlyoverTerrainCells, CellHoldsTrianglesAAndBInItsSlot)
{
    // 3 x 2 points: cells (0, 0) and (1, 0); slot 1 of each row and row 2 stay empty.
    const int rows = 3, columns = 2;
    const std::vector<float> heights = {1, 2, 3, 4, 5, 6};
    const size_t slots = static_cast<size_t>(rows) * columns * 2;
    std::vector<float> positions(9 * slots, 0.0f), texcoords(6 * slots, 0.0f);
    std::vector<float> vertexNormals(3 * heights.size()), normals(9 * slots, 0.0f);
    fillGridCells(heights.data(), rows, columns, positions.data(), texcoords.data());
    computeGridNormals(heights.data(), rows, columns, vertexNormals.data());
    copyGridNormals(vertexNormals.data(), rows, columns, normals.data());

    // Cell (1, 0): A = (1,0), (1,1), (2,1); B = (1,0), (2,1), (2,0).
    const int corners[6][2] = {{1, 0}, {1, 1}, {2, 1}, {1, 0}, {2, 1}, {2, 0}};
    const size_t first = (1 * columns + 0) * 2 * 3;  // vertex index of the cell's first vertex
    for (int v = 0; v < 6; ++v) {
        const int i = corners[v][0], j = corners[v][1];
        const float* p = &positions[3 * (first + v)];
        EXPECT_FLOAT_EQ(p[0], 20.0f * j) << v;
        EXPECT_FLOAT_EQ(p[1], 20.0f * i) << v;
        EXPECT_FLOAT_EQ(p[2], heights[i * columns + j]) << v;
        EXPECT_FLOAT_EQ(texcoords[2 * (first + v)], static_cast<float>(j) / columns) << v;
        EXPECT_FLOAT_EQ(texcoords[2 * (first + v) + 1], static_cast<float>(i) / rows) << v;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(normals[3 * (first + v) + k], vertexNormals[3 * (i * columns + j) + k]) << v;
    }
    auto slotIsEmpty = [&](int i, int j) {
        for (int k = 0; k < 18; ++k)
            if (positions[9 * ((i * columns + j) * 2) + k] != 0.0f)
                return false;
        return true;
    };
    EXPECT_TRUE(slotIsEmpty(0, 1));
    EXPECT_TRUE(slotIsEmpty(2, 0));
}

TEST(FlyoverTerrainCells, DegenerateTrianglesGetFiniteTangents)
{
    // The empty slots of the landscape (and its flat cells' shared corners) meet the tangent
    // rule with texture coordinates that span no area.
    const int rows = 3, columns = 3;
    const std::vector<float> heights = {30, 31, 33, 30, 35, 36, 29, 28, 40};
    const size_t triangles = static_cast<size_t>(rows) * columns * 2;
    std::vector<float> positions(9 * triangles, 0.0f), texcoords(6 * triangles, 0.0f);
    std::vector<float> vertexNormals(3 * heights.size()), normals(9 * triangles, 0.0f);
    fillGridCells(heights.data(), rows, columns, positions.data(), texcoords.data());
    computeGridNormals(heights.data(), rows, columns, vertexNormals.data());
    copyGridNormals(vertexNormals.data(), rows, columns, normals.data());
    std::vector<float> tangents(9 * triangles), handedness(3 * triangles), sumS(9 * triangles), sumT(9 * triangles);
    generateTangents(positions.data(), normals.data(), texcoords.data(), static_cast<int64_t>(triangles),
                     tangents.data(), handedness.data(), sumS.data(), sumT.data());
    for (size_t k = 0; k < tangents.size(); ++k)
        ASSERT_TRUE(std::isfinite(tangents[k])) << k;
    for (float sign : handedness)
        EXPECT_TRUE(sign == 1.0f || sign == -1.0f);
}

// ---- Height picture -------------------------------------------------------------------------

TEST(FlyoverTerrainPicture, OnlyThe256By4096PictureIsAccepted)
{
    const struct {
        int width, height;
        bool accepted;
    } cases[] = {{256, 4096, true}, {4096, 256, false}, {256, 2048, false}, {512, 4096, false},
                 {256, 8192, false}, {1, 1, false},    {0, 0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(acceptTerrainPictureSize(c.width, c.height), c.accepted) << c.width << " x " << c.height;
}

GLuint makeTexture(int width, int height, const std::vector<uint8_t>& rgba)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return texture;
}

TEST(FlyoverTerrainPicture, ReadBackRefusesAWrongSizeAndCopiesTheRightOne)
{
    REQUIRE_GL_CONTEXT();
    std::vector<uint8_t> picture(TERRAIN_PICTURE_BYTES + 64, 0xAB);  // guard bytes after it

    // A larger picture would be written past the array: it is refused and nothing is written.
    std::vector<uint8_t> large(static_cast<size_t>(512) * 4096 * 4, 9);
    GLuint wrong = makeTexture(512, 4096, large);
    EXPECT_FALSE(readTerrainPicture(wrong, picture.data()));
    for (uint8_t byte : picture)
        ASSERT_EQ(byte, 0xAB);

    std::vector<uint8_t> right(TERRAIN_PICTURE_BYTES);
    for (size_t p = 0; p < right.size() / 4; ++p) {
        right[4 * p] = static_cast<uint8_t>(p % 251);
        right[4 * p + 1] = right[4 * p + 2] = 0;
        right[4 * p + 3] = 255;
    }
    GLuint good = makeTexture(TERRAIN_COLUMNS, TERRAIN_ROWS, right);
    EXPECT_TRUE(readTerrainPicture(good, picture.data()));
    EXPECT_EQ(std::memcmp(picture.data(), right.data(), right.size()), 0);
    for (size_t k = right.size(); k < picture.size(); ++k)
        ASSERT_EQ(picture[k], 0xAB);
    glDeleteTextures(1, &wrong);
    glDeleteTextures(1, &good);
}

TEST(FlyoverTerrainPicture, HeightsOutsideTheGridReadTheNearestRow)
{
    std::vector<float> heights(static_cast<size_t>(TERRAIN_ROWS) * TERRAIN_COLUMNS);
    for (size_t p = 0; p < heights.size(); ++p)
        heights[p] = static_cast<float>(p / TERRAIN_COLUMNS);  // the row number
    float* saved = terrainBuffers.heights;
    terrainBuffers.heights = heights.data();
    EXPECT_EQ(terrainHeightAt(-3, TERRAIN_CENTRE_COLUMN), 0.0f);
    EXPECT_EQ(terrainHeightAt(700, TERRAIN_CENTRE_COLUMN), 700.0f);
    EXPECT_EQ(terrainHeightAt(15360 + 129, TERRAIN_CENTRE_COLUMN), static_cast<float>(TERRAIN_ROWS - 1));
    terrainBuffers.heights = saved;
    EXPECT_EQ(terrainHeightFromRed(0), terrainHeightBase);
    EXPECT_FLOAT_EQ(terrainHeightFromRed(128), terrainHeightBase + 0.5f * terrainHeightScale);
}

TEST(FlyoverTerrainPicture, GeneratedLandscapeKeepsTheShipAboveTheValleyFloor)
{
    // The ship flies at h / 2 - 5 over ground drawn at h - 50 (h from the centre column): it
    // clears the ground by 10 units or more while h stays at or below 70 (red 160). The
    // camera passes up to 5 columns beside the ship, so that strip stays low as well.
    TgaImage image;
    ASSERT_TRUE(loadTgaImage(image, "terrainh.tga"));
    ASSERT_EQ(image.width, static_cast<uint32_t>(TERRAIN_COLUMNS));
    ASSERT_EQ(image.height, static_cast<uint32_t>(TERRAIN_ROWS));
    const int bytes = static_cast<int>(image.bpp / 8);
    const int seenRows = TERRAIN_GPU_ROWS + 130;
    int highest = 0;
    for (int row = 0; row < seenRows; ++row) {
        for (int column = 0; column < TERRAIN_COLUMNS; ++column) {
            const int red = image.data[(static_cast<size_t>(row) * TERRAIN_COLUMNS + column) * bytes];
            highest = std::max(highest, red);
            if (std::abs(column - TERRAIN_CENTRE_COLUMN) <= 5) {
                ASSERT_LE(red, 160) << "row " << row << " column " << column;
            }
        }
    }
    EXPECT_GT(highest, 220);  // mountains beside the valley
    releaseTgaImage(image);
}

// ---- Ribbons --------------------------------------------------------------------------------

class FlyoverTailSections : public testing::Test {
protected:
    void SetUp() override
    {
        saved = tailScratch;
        tailScratch.positions = positions.data();
        tailScratch.normals = normals.data();
        tailScratch.texcoords = texcoords.data();
    }
    void TearDown() override { tailScratch = saved; }
    TailScratch saved = {};
    std::vector<float> positions = std::vector<float>(9 * TAIL_SEGMENT_TRIANGLES);
    std::vector<float> normals = std::vector<float>(9 * TAIL_SEGMENT_TRIANGLES);
    std::vector<float> texcoords = std::vector<float>(6 * TAIL_SEGMENT_TRIANGLES);
};

TEST_F(FlyoverTailSections, RingsSitAtTheRadiusAndVRunsAlongTheRibbon)
{
    const struct {
        int segment;
        float vA, vB;
    } cases[] = {{0, 0.0f, 0.045f}, {19, 0.855f, 0.9f}, {-2, 0.0f, 0.0f}, {25, 0.9f, 0.9f}};
    for (const auto& c : cases) {
        // Segment i as drawTails places it: ring A at z = -20 i - 5, ring B at -20 i - 25.
        const float i = static_cast<float>(c.segment);
        const float az = -20.0f * i - 5.0f, bz = 20.0f * (-i - 0.5f) - 5.0f;
        buildTailSections(0.0f, 0.0f, 3.0f, 4.0f, az, bz, 2.0f, c.segment);
        for (int v = 0; v < 3 * TAIL_SEGMENT_TRIANGLES; ++v) {
            const float* p = &positions[3 * v];
            const bool ringA = texcoords[2 * v] == 0.0f;
            const float centreY = ringA ? 3.0f : 4.0f;
            EXPECT_NEAR(p[2], ringA ? az : -20.0f * i - 25.0f, 1e-4f) << c.segment << " vertex " << v;
            EXPECT_NEAR(std::hypot(p[0], p[1] - centreY), 2.0f, 1e-4f) << c.segment << " vertex " << v;
            // The normal is the unit radial direction of the vertex.
            EXPECT_NEAR(normals[3 * v] * 2.0f, p[0], 1e-4f) << v;
            EXPECT_NEAR(normals[3 * v + 1] * 2.0f, p[1] - centreY, 1e-4f) << v;
            EXPECT_NEAR(texcoords[2 * v + 1], ringA ? c.vA : c.vB, 1e-6f) << c.segment << " vertex " << v;
        }
    }
}

TEST_F(FlyoverTailSections, RibbonTangentsStayFinite)
{
    // Both rings of a quad share one v each and u is 0 or 1, so every ribbon triangle has
    // texture coordinates that span no area.
    buildTailSections(0.0f, 0.0f, 3.0f, 3.5f, -5.0f, -15.0f, 0.4f, 3);
    std::vector<float> tangents(9 * TAIL_SEGMENT_TRIANGLES), handedness(3 * TAIL_SEGMENT_TRIANGLES);
    std::vector<float> sumS(9 * TAIL_SEGMENT_TRIANGLES), sumT(9 * TAIL_SEGMENT_TRIANGLES);
    generateTangents(positions.data(), normals.data(), texcoords.data(), TAIL_SEGMENT_TRIANGLES, tangents.data(),
                     handedness.data(), sumS.data(), sumT.data());
    for (size_t k = 0; k < tangents.size(); ++k)
        ASSERT_TRUE(std::isfinite(tangents[k])) << k;
}

}  // namespace
