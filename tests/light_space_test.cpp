// The shadow light's matrices (values, multiplication order, box scales, degenerate light
// positions) and the depth pass's GL behaviour (unskinned frames, a negative program).
#include "gfx/shadow_map.h"
#include "render/light_space.h"
#include "render/model_draw.h"
#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

namespace {

const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
const float LIGHT_122[3] = {1, 2, 2};

// Quoted for sf 0.05, sfz 0.015, light (1, 2, 2) and an identity modelview.
const float EXPECTED_DEPTH_MVP[16] = {0.1192570f,  -0.0397523f, -0.0370370f, 0, 0, 0.0993808f, -0.0740741f, 0,
                                      -0.0596285f, -0.0795046f, -0.0740741f, 0, 0, 0,          0.3333333f,  1};
const float EXPECTED_DEPTH_BIAS_MVP[16] = {0.0596285f,  -0.0198762f, -0.0185185f, 0, 0,   0.0496904f, -0.0370370f,
                                           0,           -0.0298142f, -0.0397523f, -0.0370370f, 0, 0.5f, 0.5f,
                                           0.6666667f, 1};

void multiply(const float a[16], const float b[16], float out[16])
{
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(a[4 * k + r]) * b[4 * c + k];
            out[4 * c + r] = static_cast<float>(sum);
        }
}

void expectMatrixNear(const float* actual, const float* expected, float tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
}

TEST(LightSpaceMatrices, QuotedValuesForTheInitialLight)
{
    float mvp[16], bias[16];
    lightSpaceMatrices(IDENTITY, LIGHT_122, 0.05f, 0.015f, mvp, bias);
    expectMatrixNear(mvp, EXPECTED_DEPTH_MVP, 1e-6f);
    expectMatrixNear(bias, EXPECTED_DEPTH_BIAS_MVP, 1e-6f);
}

TEST(LightSpaceMatrices, ModelviewAppliesFirst)
{
    // A translation and a rotation about z: M x v moves before the light sees it.
    const float m[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 3, -2, 5, 1};
    float mvp[16];
    lightSpaceMatrices(m, LIGHT_122, 0.05f, 0.015f, mvp, nullptr);
    float expected[16], wrongOrder[16];
    multiply(EXPECTED_DEPTH_MVP, m, expected);
    multiply(m, EXPECTED_DEPTH_MVP, wrongOrder);
    expectMatrixNear(mvp, expected, 1e-5f);
    float difference = 0;
    for (int i = 0; i < 16; ++i)
        difference += std::fabs(mvp[i] - wrongOrder[i]);
    EXPECT_GT(difference, 0.1f);
}

TEST(LightSpaceMatrices, BoxScalesChangeTheirRowsOnly)
{
    float base[16], wide[16], deep[16];
    lightSpaceMatrices(IDENTITY, LIGHT_122, 0.05f, 0.015f, base, nullptr);
    lightSpaceMatrices(IDENTITY, LIGHT_122, 0.10f, 0.015f, wide, nullptr);
    lightSpaceMatrices(IDENTITY, LIGHT_122, 0.05f, 0.030f, deep, nullptr);
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            int i = 4 * c + r;
            float halved = r < 2 ? base[i] * 0.5f : base[i];
            EXPECT_NEAR(wide[i], halved, 1e-6f) << "sf doubled, element " << i;
            if (r != 2) {
                EXPECT_FLOAT_EQ(deep[i], base[i]) << "sfz doubled, element " << i;
            }
        }
    }
    EXPECT_NEAR(deep[2], base[2] * 0.5f, 1e-6f);
}

// The view rotation inside depthMVP (scaled rows of the projection removed) must stay a
// rotation whatever the light position, so every matrix is finite.
// The game's tuning keys walk sf and sfz through 0 in steps of 0.001.
TEST(LightSpaceMatrices, BoxScalesAtZeroGiveFiniteMatrices)
{
    const float scales[] = {0.0f, -0.0f, 1e-30f, -1e-30f, 0.05f - 50 * 0.001f};
    for (float sfValue : scales)
        for (float sfzValue : scales) {
            float mvp[16], bias[16];
            lightSpaceMatrices(IDENTITY, LIGHT_122, sfValue, sfzValue, mvp, bias);
            for (int k = 0; k < 16; ++k) {
                ASSERT_TRUE(std::isfinite(mvp[k])) << sfValue << " " << sfzValue;
                ASSERT_TRUE(std::isfinite(bias[k])) << sfValue << " " << sfzValue;
            }
        }
}

TEST(LightSpaceMatrices, EveryLightPositionGivesFiniteMatrices)
{
    const float lights[][3] = {
        {0, 0, 0}, {0, 5, 0}, {0, -3, 0}, {0, 1e-9f, 0}, {1e-8f, 4, 0}, {7, 0, 0}, {0, 0, -4},
    };
    for (const auto& light : lights) {
        float mvp[16], bias[16];
        lightSpaceMatrices(IDENTITY, light, 0.05f, 0.015f, mvp, bias);
        for (int i = 0; i < 16; ++i) {
            ASSERT_TRUE(std::isfinite(mvp[i])) << light[0] << "," << light[1] << "," << light[2];
            ASSERT_TRUE(std::isfinite(bias[i]));
        }
        // Undo the projection's row scales and check the rows are orthonormal.
        const float scale[3] = {2.0f / 15.0f, 2.0f / 15.0f, -2.0f / 18.0f};
        float rows[3][3];
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                rows[r][c] = mvp[4 * c + r] / scale[r];
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b) {
                float d = rows[a][0] * rows[b][0] + rows[a][1] * rows[b][1] + rows[a][2] * rows[b][2];
                EXPECT_NEAR(d, a == b ? 1.0f : 0.0f, 1e-5f) << "rows " << a << "," << b;
            }
    }
}

class LightSpaceGl : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        saved = {sf, sfz, xsc, ysc, zsc};
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        drawtest::takeGlError();
    }
    void TearDown() override
    {
        sf = saved[0];
        sfz = saved[1];
        xsc = saved[2];
        ysc = saved[3];
        zsc = saved[4];
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glUseProgram(0);
        // The draws leave unit 3 active; later cases expect the usual unit 0.
        glActiveTexture(GL_TEXTURE0);
    }
    std::array<float, 5> saved{};
};

TEST_F(LightSpaceGl, ComputeReadsTheCurrentModelview)
{
    const float m[16] = {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, -1, 1};
    glLoadMatrixf(m);
    sf = 0.05f;
    sfz = 0.015f;
    xsc = 1;
    ysc = 2;
    zsc = 2;
    computeLightMatrices();
    float expected[16], expectedBias[16];
    lightSpaceMatrices(m, LIGHT_122, 0.05f, 0.015f, expected, expectedBias);
    expectMatrixNear(depthMVP, expected, 1e-6f);
    expectMatrixNear(depthBiasMVP, expectedBias, 1e-6f);
    EXPECT_EQ(lightVector[0], 1.0f);
    EXPECT_EQ(lightVector[1], 2.0f);
    EXPECT_EQ(lightVector[2], 2.0f);
    EXPECT_EQ(lightVector[3], 1.0f);

    // The legacy draw's share leaves depthBiasMVP alone.
    std::memcpy(depthBiasMVP, IDENTITY, sizeof IDENTITY);
    xsc = 3;
    computeDepthMVPAndLightVector();
    expectMatrixNear(depthBiasMVP, IDENTITY, 0.0f);
    EXPECT_EQ(lightVector[0], 3.0f);
    EXPECT_GT(std::fabs(depthMVP[0] - expected[0]), 1e-4f);
}

const char* const DEPTH_PROBE_VERTEX = R"(#version 330 compatibility
layout(location = 0) in vec3 vertexPosition;
layout(location = 5) in vec4 vertexBones;
uniform int hasAnim;
uniform mat4 depthMVP;
uniform mat4 boneRot[64];
uniform float lightsEnabled[14];
out float probe;
void main() {
    probe = float(hasAnim) + boneRot[int(vertexBones.x)][0][0] + lightsEnabled[0];
    gl_Position = depthMVP * vec4(vertexPosition, 1.0);
}
)";
const char* const DEPTH_PROBE_FRAGMENT = R"(#version 330 compatibility
in float probe;
uniform sampler2D colorMap;
uniform sampler2D specularMap;
void main() { gl_FragColor = vec4(probe) + texture(colorMap, vec2(0.5)) + texture(specularMap, vec2(0.5)); }
)";

TEST_F(LightSpaceGl, DepthPassOfASkinnedModelAtFrameMinusOneIsUnskinned)
{
    uint32_t program = drawtest::buildProgram(DEPTH_PROBE_VERTEX, DEPTH_PROBE_FRAGMENT);
    ASSERT_NE(program, 0u);
    Model model;
    drawtest::makeStripModel(model, 4);
    drawtest::addSkeleton(model, 2, 3);
    uint64_t uploadsBefore = modelDrawStats.arrayUploads;
    glLoadIdentity();
    drawModelDepth(model, -1, static_cast<int>(program));
    EXPECT_EQ(drawtest::uniformInt(program, "hasAnim"), 0);
    EXPECT_EQ(*model.animFlag, 1);
    EXPECT_EQ(modelDrawStats.arrayUploads - uploadsBefore, 5u) << "bone arrays must not be sent";
    GLint current = -1, frontFace = 0, depthWrites = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    glGetIntegerv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(frontFace, GL_CCW);
    EXPECT_EQ(depthWrites, GL_TRUE);
    std::vector<float> uploaded = drawtest::uniformFloats(program, "depthMVP", 16);
    expectMatrixNear(uploaded.data(), depthMVP, 0.0f);

    // Frame 1 of the same model is skinned.
    drawModelDepth(model, 1, static_cast<int>(program));
    EXPECT_EQ(drawtest::uniformInt(program, "hasAnim"), 1);
    EXPECT_EQ(drawtest::takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    deleteModelBuffers(model);
    drawtest::deleteTestProgram(program);
}

TEST_F(LightSpaceGl, NegativeProgramDrawsWithTheCurrentOneAndRaisesNoError)
{
    uint32_t program = drawtest::buildProgram(DEPTH_PROBE_VERTEX, DEPTH_PROBE_FRAGMENT);
    ASSERT_NE(program, 0u);
    Model model;
    drawtest::makeStripModel(model, 2);
    glUseProgram(program);
    glLoadIdentity();
    const float moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0.25f, 1};
    glLoadMatrixf(moved);
    uint64_t drawsBefore = modelDrawStats.drawCalls;
    drawModelDepth(model, -1, -1);
    EXPECT_EQ(drawtest::takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(modelDrawStats.drawCalls - drawsBefore, 1u);
    // The uniforms went to the program that was current.
    std::vector<float> uploaded = drawtest::uniformFloats(program, "depthMVP", 16);
    expectMatrixNear(uploaded.data(), depthMVP, 0.0f);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    deleteModelBuffers(model);
    drawtest::deleteTestProgram(program);
}

}  // namespace
