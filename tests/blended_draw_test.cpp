// Frame-blended model drawing: the blended bone pose against the plain pose of the skinned draws,
// linear positions, the third slot on flagged bones only, the shorter arc, slots kept inside
// the skeleton, and what the depth and the shadowed members send to GL.
#include "gfx/model.h"
#include "gfx/shadow_map.h"
#include "render/blended_draw.h"
#include "render/light_space.h"
#include "gfx/matrix_math.h"
#include "render/model_draw.h"
#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using drawtest::takeGlError;

const int BONES = 3;
const int SLOTS = 5;

size_t triple(int slot, int bone)
{
    return (static_cast<size_t>(slot) * BONES + bone) * 3;
}

const float* matrixOf(const std::vector<float>& matrices, int bone)
{
    return &matrices[static_cast<size_t>(bone) * MATRIX_FLOATS];
}

void setTriple(std::vector<float>& array, int slot, int bone, float x, float y, float z)
{
    size_t i = triple(slot, bone);
    array[i] = x;
    array[i + 1] = y;
    array[i + 2] = z;
}

// Three bones over five slots; slots 1 (A), 2 (B) and 3 (C) hold distinct rotations and
// positions, slot 4 another pose again.
void makeBlendModel(Model& model)
{
    drawtest::makeStripModel(model, 2);
    drawtest::addSkeleton(model, BONES, SLOTS);
    for (int slot = 0; slot < SLOTS; ++slot)
        for (int bone = 0; bone < BONES; ++bone) {
            float s = static_cast<float>(slot), b = static_cast<float>(bone);
            setTriple(model.eulerRel, slot, bone, 10 * s + b, -20 * s + 3 * b, 15 * s - 7 * b);
            setTriple(model.relPos, slot, bone, s + 0.5f * b, -2 * s, 0.25f * s * b);
            setTriple(model.bindPos, slot, bone, 1 + b, 2 - b, 3 * b);
        }
}

void expectMatrixNear(const float* actual, const float* expected, float tolerance, const std::string& what)
{
    for (int k = 0; k < MATRIX_FLOATS; ++k)
        EXPECT_NEAR(actual[k], expected[k], tolerance) << what << ", element " << k;
}

void expectMatrixEq(const float* actual, const float* expected, const std::string& what)
{
    for (int k = 0; k < MATRIX_FLOATS; ++k)
        EXPECT_EQ(actual[k], expected[k]) << what << ", element " << k;
}

TEST(BlendedPose, EndsOfTheBlendAreThePlainPosesOfTheirSlots)
{
    struct Case {
        float blendAB;
        int plainSlot;
    } cases[] = {{0.0f, 1}, {1.0f, 2}};
    for (const Case& c : cases) {
        Model blended, plain;
        makeBlendModel(blended);
        makeBlendModel(plain);
        ASSERT_TRUE(poseModelBonesBlend(blended, 1, 2, 0, c.blendAB, 0.7f));
        poseModelBones(plain, c.plainSlot);
        for (int bone = 0; bone < BONES; ++bone) {
            std::string what = "blend " + std::to_string(c.blendAB) + ", bone " + std::to_string(bone);
            expectMatrixNear(matrixOf(blended.boneRotMatrices, bone), matrixOf(plain.boneRotMatrices, bone), 2e-6f,
                             what + " rotation");
            expectMatrixEq(matrixOf(blended.boneRPosMatrices, bone), matrixOf(plain.boneRPosMatrices, bone),
                           what + " relative position");
            expectMatrixEq(matrixOf(blended.bonePosMatrices, bone), matrixOf(plain.bonePosMatrices, bone),
                           what + " bind position");
        }
    }
}

TEST(BlendedPose, PositionsBlendLinearlyAndRotationsAlongTheArc)
{
    Model model;
    makeBlendModel(model);
    setTriple(model.relPos, 1, 0, 4, -8, 1);
    setTriple(model.relPos, 2, 0, 0, 8, -3);
    setTriple(model.bindPos, 1, 0, 2, 2, 2);
    setTriple(model.bindPos, 2, 0, 6, -2, 2);
    // Bone 0 turns about z (the stored second component) from 0 to 90 degrees.
    setTriple(model.eulerRel, 1, 0, 0, 0, 0);
    setTriple(model.eulerRel, 2, 0, 0, 90, 0);
    ASSERT_TRUE(poseModelBonesBlend(model, 1, 2, 0, 0.25f, 0));
    const float* rpos = matrixOf(model.boneRPosMatrices, 0);
    const float* pos = matrixOf(model.bonePosMatrices, 0);
    EXPECT_FLOAT_EQ(rpos[3], 3.0f);
    EXPECT_FLOAT_EQ(rpos[7], -4.0f);
    EXPECT_FLOAT_EQ(rpos[11], 0.0f);
    EXPECT_FLOAT_EQ(pos[3], 3.0f);
    EXPECT_FLOAT_EQ(pos[7], 1.0f);
    EXPECT_FLOAT_EQ(pos[11], 2.0f);
    for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10})
        EXPECT_EQ(rpos[k], (k % 5 == 0) ? 1.0f : 0.0f);

    workEuler[0] = 0;
    workEuler[1] = 0;
    workEuler[2] = 22.5f;
    rotationFromEuler();
    expectMatrixNear(matrixOf(model.boneRotMatrices, 0), workMatrix, 1e-6f, "a quarter of 90 degrees");
}

TEST(BlendedPose, ThirdSlotTurnsOnlyFlaggedBonesAndNeverMovesThem)
{
    Model reference, model, plainC;
    makeBlendModel(reference);
    makeBlendModel(model);
    makeBlendModel(plainC);
    model.boneInterpolate = {1, 0, 1};
    ASSERT_TRUE(poseModelBonesBlend(reference, 1, 2, 0, 0.4f, 0));
    ASSERT_TRUE(poseModelBonesBlend(model, 1, 2, 3, 0.4f, 1.0f));
    poseModelBones(plainC, 3);
    for (int bone = 0; bone < BONES; ++bone) {
        std::string what = "bone " + std::to_string(bone);
        const float* expected = model.boneInterpolate[bone] ? matrixOf(plainC.boneRotMatrices, bone)
                                                            : matrixOf(reference.boneRotMatrices, bone);
        expectMatrixNear(matrixOf(model.boneRotMatrices, bone), expected, 2e-6f, what + " rotation");
        expectMatrixEq(matrixOf(model.boneRPosMatrices, bone), matrixOf(reference.boneRPosMatrices, bone),
                       what + " position from A and B");
        expectMatrixEq(matrixOf(model.bonePosMatrices, bone), matrixOf(reference.bonePosMatrices, bone), what);
    }

    // Frame C 0 disables the third slot whatever blendC says.
    Model off;
    makeBlendModel(off);
    ASSERT_TRUE(poseModelBonesBlend(off, 1, 2, 0, 0.4f, 1.0f));
    expectMatrixEq(matrixOf(off.boneRotMatrices, 0), matrixOf(reference.boneRotMatrices, 0), "frame C 0");
}

TEST(BlendedPose, SlotsMoreThanHalfATurnApartBlendAlongTheShorterArc)
{
    Model model;
    makeBlendModel(model);
    setTriple(model.eulerRel, 1, 0, 0, 170, 0);
    setTriple(model.eulerRel, 2, 0, 0, -170, 0);
    ASSERT_TRUE(poseModelBonesBlend(model, 1, 2, 0, 0.5f, 0));
    const float halfTurn[16] = {-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    expectMatrixNear(matrixOf(model.boneRotMatrices, 0), halfTurn, 1e-5f, "through 180 degrees, not 0");
}

TEST(BlendedPose, SlotsStayInsideTheSkeletonAndModelsWithoutOneAreNotPosed)
{
    Model shortArrays;
    makeBlendModel(shortArrays);
    shortArrays.frameCount = 40;  // claims more slots than its arrays hold
    struct Case {
        const char* what;
        Model* model;
        int frames[3];
        int sameAs[3];
    } cases[] = {
        {"frame A past the last slot", nullptr, {9, 2, 0}, {4, 2, 0}},
        {"frame B below slot 0", nullptr, {1, -3, 0}, {1, 0, 0}},
        {"frame C past the last slot", nullptr, {1, 2, 99}, {1, 2, 4}},
        {"a frame count longer than the arrays", &shortArrays, {30, 2, 31}, {4, 2, 4}},
    };
    for (const Case& c : cases) {
        Model own, expected;
        makeBlendModel(own);
        makeBlendModel(expected);
        Model& model = c.model ? *c.model : own;
        ASSERT_TRUE(poseModelBonesBlend(model, c.frames[0], c.frames[1], c.frames[2], 0.3f, 0.6f)) << c.what;
        ASSERT_TRUE(poseModelBonesBlend(expected, c.sameAs[0], c.sameAs[1], c.sameAs[2], 0.3f, 0.6f)) << c.what;
        for (int bone = 0; bone < BONES; ++bone) {
            expectMatrixEq(matrixOf(model.boneRotMatrices, bone), matrixOf(expected.boneRotMatrices, bone), c.what);
            expectMatrixEq(matrixOf(model.boneRPosMatrices, bone), matrixOf(expected.boneRPosMatrices, bone), c.what);
        }
    }

    Model plain;
    drawtest::makeStripModel(plain, 1);
    EXPECT_FALSE(poseModelBonesBlend(plain, 1, 2, 3, 0.5f, 0.5f)) << "no skeleton";
    EXPECT_TRUE(plain.boneRotMatrices.empty());
    Model skinned;
    makeBlendModel(skinned);
    std::fill(skinned.boneRotMatrices.begin(), skinned.boneRotMatrices.end(), 7.0f);
    EXPECT_FALSE(poseModelBonesBlend(skinned, 0, 2, 3, 0.5f, 0.5f)) << "frame A 0";
    EXPECT_EQ(skinned.boneRotMatrices[0], 7.0f);
}

// ---------------------------------------------------------------------------------------------
// The two members as GL sees them.

class BlendedDrawGl : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        for (int unit = 0; unit < 4; ++unit)
            textures[unit] = drawtest::solidTexture(static_cast<uint8_t>(60 * unit), 100, 200);
        set = std::make_unique<drawtest::ScratchTextureSet>(textures[0], textures[1], textures[2], textures[3]);
        probe = drawtest::buildProgram(drawtest::PROBE_VERTEX, drawtest::PROBE_FRAGMENT, &log);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        makeBlendModel(model);
        model.textureSet = set->index;
        takeGlError();
    }
    void TearDown() override
    {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glUseProgram(0);
        glActiveTexture(GL_TEXTURE0);
        glFrontFace(GL_CCW);
        glDepthMask(GL_TRUE);
        deleteModelBuffers(model);
        if (probe)
            drawtest::deleteTestProgram(probe);
        glDeleteTextures(4, textures);
        set.reset();
    }

    GLint boundOnUnit(int unit)
    {
        GLint bound = -1;
        glActiveTexture(GL_TEXTURE0 + unit);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glActiveTexture(GL_TEXTURE3);
        return bound;
    }

    bool modelAttributeEnabled(int attribute)
    {
        GLint enabled = 0;
        glBindVertexArray(model.vao);
        glGetVertexAttribiv(attribute, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glBindVertexArray(0);
        return enabled == GL_TRUE;
    }

    void expectUploadedPose(uint32_t program)
    {
        for (int bone = 0; bone < BONES; ++bone) {
            std::string index = "[" + std::to_string(bone) + "]";
            struct Array {
                const char* name;
                const std::vector<float>* matrices;
            } arrays[] = {{"boneRot", &model.boneRotMatrices},
                          {"boneRPos", &model.boneRPosMatrices},
                          {"bonePos", &model.bonePosMatrices}};
            for (const Array& a : arrays) {
                std::vector<float> sent = drawtest::uniformFloats(program, a.name + index, 16);
                expectMatrixEq(sent.data(), matrixOf(*a.matrices, bone), a.name + index);
            }
        }
    }

    Model model;
    GLuint textures[4] = {};
    std::unique_ptr<drawtest::ScratchTextureSet> set;
    uint32_t probe = 0;
    std::string log;
};

TEST_F(BlendedDrawGl, DepthBlendSendsTheBlendedPoseAndKeepsItsProgram)
{
    ASSERT_NE(probe, 0u) << log;
    glFrontFace(GL_CW);
    glDepthMask(GL_FALSE);
    depthMVP[0] = 99.0f;
    drawModelDepthBlend(model, 1, 2, 3, 0.5f, 0.5f, static_cast<int>(probe));
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_NE(depthMVP[0], 99.0f) << "the outer routine computes the light matrices";

    GLint value = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(static_cast<uint32_t>(value), probe) << "the depth program stays current";
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    glGetIntegerv(GL_DEPTH_WRITEMASK, &value);
    EXPECT_EQ(value, GL_TRUE);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(boundOnUnit(0), 0) << "no colour texture in the depth pass";
    for (int unit = 1; unit < 4; ++unit)
        EXPECT_EQ(static_cast<GLuint>(boundOnUnit(unit)), textures[unit]) << "unit " << unit;
    EXPECT_EQ(drawtest::uniformInt(probe, "specularMap"), 3);

    EXPECT_EQ(drawtest::uniformInt(probe, "hasAnim"), 1);
    EXPECT_EQ(*model.animFlag, 1);
    EXPECT_TRUE(modelAttributeEnabled(5) && modelAttributeEnabled(6)) << "bones and weights are sent";
    expectUploadedPose(probe);
    std::vector<float> mvp = drawtest::uniformFloats(probe, "depthMVP", 16);
    EXPECT_EQ(0, std::memcmp(mvp.data(), depthMVP, sizeof depthMVP));

    // Frame A 0: unskinned, nothing posed; a negative program keeps the current one.
    std::fill(model.boneRotMatrices.begin(), model.boneRotMatrices.end(), 7.0f);
    submitModelDepthBlend(model, 0, 2, 3, 0.5f, 0.5f, -1);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(static_cast<uint32_t>(value), probe);
    EXPECT_EQ(drawtest::uniformInt(probe, "hasAnim"), 0);
    EXPECT_EQ(*model.animFlag, 1);
    EXPECT_FALSE(modelAttributeEnabled(5) || modelAttributeEnabled(6));
    EXPECT_EQ(model.boneRotMatrices[0], 7.0f);
}

TEST_F(BlendedDrawGl, ShadowedBlendSendsTheHeroFadeButNoFogOrColour)
{
    ASSERT_NE(probe, 0u) << log;
    // Values the shadowed blend must leave alone.
    glUseProgram(probe);
    glUniform1f(glGetUniformLocation(probe, "fogzfactor"), 7.0f);
    glUniform4f(glGetUniformLocation(probe, "glColor"), 7.0f, 7.0f, 7.0f, 7.0f);
    glUseProgram(0);
    fogZFactor = 0.5f;
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    const float keepPlayerY = playerY, keepOffset = heroViewYOffset;
    playerY = 640.0f;
    heroViewYOffset = 0.55f;
    depthBiasMVP[0] = 99.0f;
    lightVector[0] = 99.0f;

    drawModelShadowedBlend(model, static_cast<int>(probe), 1, 2, 0, 0.5f, 0.0f);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    glColor4f(1, 1, 1, 1);
    fogZFactor = 0.0f;

    EXPECT_FLOAT_EQ(drawtest::uniformFloats(probe, "ycoofade", 1)[0], worldToViewY(640.0f) + 0.55f);
    playerY = keepPlayerY;
    heroViewYOffset = keepOffset;
    EXPECT_EQ(drawtest::uniformFloats(probe, "fogzfactor", 1)[0], 7.0f);
    EXPECT_EQ(drawtest::uniformFloats(probe, "glColor", 4), (std::vector<float>{7, 7, 7, 7}));
    EXPECT_EQ(drawtest::uniformFloats(probe, "bias", 1)[0], shadowBias);
    EXPECT_NE(depthBiasMVP[0], 99.0f);
    EXPECT_EQ(lightVector[0], xsc);
    EXPECT_EQ(drawtest::uniformFloats(probe, "Light", 4), (std::vector<float>{xsc, ysc, zsc, 1.0f}));
    std::vector<float> bias = drawtest::uniformFloats(probe, "depthBiasMVP", 16);
    EXPECT_EQ(0, std::memcmp(bias.data(), depthBiasMVP, sizeof depthBiasMVP));
    EXPECT_EQ(drawtest::uniformInt(probe, "shadowMap"), 3);
    EXPECT_EQ(static_cast<GLuint>(boundOnUnit(3)), shadowTarget.colorTexture);
    EXPECT_EQ(static_cast<GLuint>(boundOnUnit(0)), textures[0]);
    EXPECT_EQ(drawtest::uniformInt(probe, "hasAnim"), 1);
    expectUploadedPose(probe);

    GLint value = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_DEPTH_WRITEMASK, &value);
    EXPECT_EQ(value, GL_TRUE);
}

} // namespace
