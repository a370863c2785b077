#include "gfx/model.h"
#include "gfx/tangents.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const float EPS = 1e-6f;

struct Triangle {
    float positions[9];
    float normal[3];
    float uv[6];
};

const Triangle XY_TRIANGLE = {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1}, {0, 0, 1, 0, 0, 1}};

Model modelOf(const std::vector<Triangle>& triangles)
{
    Model model;
    allocModelVertexArrays(model, static_cast<int32_t>(triangles.size()));
    for (size_t t = 0; t < triangles.size(); ++t) {
        for (int k = 0; k < 9; ++k) {
            model.positions[9 * t + k] = triangles[t].positions[k];
            model.normals[9 * t + k] = triangles[t].normal[k % 3];
        }
        for (int k = 0; k < 6; ++k)
            model.texcoords[6 * t + k] = triangles[t].uv[k];
    }
    return model;
}

void expectVertexTangent(const Model& model, int v, float x, float y, float z, float sign)
{
    EXPECT_NEAR(model.tangents[3 * v], x, EPS) << "vertex " << v;
    EXPECT_NEAR(model.tangents[3 * v + 1], y, EPS) << "vertex " << v;
    EXPECT_NEAR(model.tangents[3 * v + 2], z, EPS) << "vertex " << v;
    EXPECT_EQ(model.handedness[v], sign) << "vertex " << v;
}

struct TangentCase {
    const char* what;
    Triangle triangle;
    float tangent[3];
    float sign;
};

TEST(TangentModel, TangentFollowsUAndSignTellsMirroring)
{
    const TangentCase cases[] = {
        {"u along x", XY_TRIANGLE, {1, 0, 0}, 1},
        {"u mirrored", {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1}, {0, 0, -1, 0, 0, 1}}, {-1, 0, 0}, -1},
        {"u along -y", {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1}, {0, 0, 0, 1, -1, 0}}, {0, -1, 0}, 1},
        // The part of u's direction perpendicular to a tilted normal.
        {"normal not perpendicular", {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0.6f, 0, 0.8f}, {0, 0, 1, 0, 0, 1}},
         {0.8f, 0, -0.6f}, 1},
        {"u scaled", {{0, 0, 0, 2, 0, 0, 0, 2, 0}, {0, 0, 1}, {0, 0, 0.25f, 0, 0, 0.5f}}, {1, 0, 0}, 1},
    };
    for (const TangentCase& c : cases) {
        Model model = modelOf({c.triangle});
        generateModelTangents(model);
        SCOPED_TRACE(c.what);
        for (int v = 0; v < 3; ++v)
            expectVertexTangent(model, v, c.tangent[0], c.tangent[1], c.tangent[2], c.sign);
    }
}

TEST(TangentModel, DegenerateInputGivesAUnitTangentAcrossTheNormal)
{
    const Triangle cases[] = {
        {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1}, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f}}, // one texel
        {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0.6f, 0.8f}, {0, 0, 1, 1, 2, 2}},             // a line of texels
        {{0, 0, 0, 0, 0, 1, 0, 1, 0}, {0, 0, 1}, {0, 0, 1, 0, 0, 1}},                   // u along the normal
        {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 0, 0}, {0, 0, 1, 0, 0, 1}},                   // no area
    };
    for (const Triangle& t : cases) {
        Model model = modelOf({t});
        generateModelTangents(model);
        for (int v = 0; v < 3; ++v) {
            const float* tangent = &model.tangents[3 * v];
            ASSERT_TRUE(std::isfinite(tangent[0]) && std::isfinite(tangent[1]) && std::isfinite(tangent[2]));
            float length = std::sqrt(tangent[0] * tangent[0] + tangent[1] * tangent[1] + tangent[2] * tangent[2]);
            EXPECT_NEAR(length, 1.0f, 1e-5f);
            float across = tangent[0] * t.normal[0] + tangent[1] * t.normal[1] + tangent[2] * t.normal[2];
            EXPECT_NEAR(across, 0.0f, 1e-5f);
            EXPECT_EQ(model.handedness[v], 1.0f);
        }
    }
}

TEST(TangentModel, UpdateReflectsOnlyTheCurrentPositions)
{
    Model model = modelOf({XY_TRIANGLE, {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1}, {0, 0, -1, 0, 0, 1}}});
    allocTangentScratch(model);
    updateModelTangents(model);
    std::vector<float> first = model.tangents;
    updateModelTangents(model);
    EXPECT_EQ(model.tangents, first);
    generateModelTangents(model);
    EXPECT_EQ(model.tangents, first);

    // Swap x and y of the first triangle: its u now runs along y.
    for (int v = 0; v < 3; ++v)
        std::swap(model.positions[3 * v], model.positions[3 * v + 1]);
    uint32_t version = model.vertexDataVersion;
    updateModelTangents(model);
    expectVertexTangent(model, 0, 0, 1, 0, -1);
    expectVertexTangent(model, 3, -1, 0, 0, -1);
    EXPECT_NE(model.vertexDataVersion, version);
}

TEST(TangentModel, ArraysShorterThanTheCountAreNotOverrun)
{
    Model model = modelOf({XY_TRIANGLE});
    model.triangleCount = 5;
    model.tangents.clear();
    model.handedness.clear();
    generateModelTangents(model);
    ASSERT_EQ(model.tangents.size(), 9u);
    expectVertexTangent(model, 2, 1, 0, 0, 1);
}

TEST(TangentModel, FlippedFoldsTheSignIntoTheTangent)
{
    Model model = modelOf({XY_TRIANGLE, {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1}, {0, 0, -1, 0, 0, 1}}});
    model.handedness.assign(6, 0.5f);
    generateModelTangentsFlipped(model);
    for (int v = 0; v < 6; ++v) {
        EXPECT_NEAR(model.tangents[3 * v], 1.0f, EPS) << v;
        EXPECT_EQ(model.handedness[v], 0.5f);
    }
}

// The OBJ layout as its reader fills it: 1-based vertex data, groups in a linked list.
struct TestObjTriangle {
    uint32_t vindices[3];
    uint32_t nindices[3];
    uint32_t tindices[3];
    uint32_t tangentIndices[3];
};

struct TestObjGroup {
    uint32_t numtriangles;
    std::vector<uint32_t> triangles;
    TestObjGroup* next;
};

struct TestObjModel {
    uint32_t numvertices = 3;
    std::vector<float> vertices = {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0};
    uint32_t numnormals = 1;
    std::vector<float> normals = {0, 0, 0, 0, 0, 1};
    uint32_t numtexcoords = 4;
    std::vector<float> texcoords = {0, 0, 0, 0, 1, 0, 0, 1, -1, 0};
    uint32_t numtriangles = 3;
    std::vector<TestObjTriangle> triangles;
    std::vector<float> tangents;
    TestObjGroup* groups = nullptr;
};

TEST(TangentObj, EachHandledTriangleGetsTheNextThreeEntries)
{
    TestObjModel model;
    model.triangles = {
        {{1, 2, 3}, {1, 1, 1}, {1, 2, 3}, {}},  // u along x
        {{1, 2, 3}, {1, 1, 1}, {1, 4, 3}, {}},  // mirrored in u
        {{1, 2, 9}, {1, 1, 1}, {1, 2, 3}, {}},  // a vertex index past the list
    };
    model.tangents.assign(3 * 3 * (model.numtriangles + 1), -7.0f);
    // The list starts with the group made last; triangle 1 is listed in both groups.
    TestObjGroup first = {2, {0, 1}, nullptr};
    TestObjGroup second = {2, {2, 1}, &first};
    model.groups = &second;
    generateObjTangents(model);

    const uint32_t expectedFirst[] = {6, 3, 0}; // triangles 2 and 1 come first, then 0
    for (uint32_t t = 0; t < 3; ++t)
        for (uint32_t k = 0; k < 3; ++k)
            EXPECT_EQ(model.triangles[t].tangentIndices[k], expectedFirst[t] + k) << t;
    for (uint32_t e = 0; e < 9; ++e) {
        const float* tangent = &model.tangents[3 * e];
        ASSERT_TRUE(std::isfinite(tangent[0]) && std::isfinite(tangent[1]) && std::isfinite(tangent[2])) << e;
    }
    // Both plain and mirrored triangles give +x once the sign is folded in.
    EXPECT_NEAR(model.tangents[3 * 0], 1.0f, EPS);
    EXPECT_NEAR(model.tangents[3 * 3], 1.0f, EPS);
    EXPECT_NEAR(model.tangents[3 * 7], 1.0f, EPS);
    // Entries past the handled triangles are untouched.
    EXPECT_EQ(model.tangents[3 * 9], -7.0f);
}

} // namespace
