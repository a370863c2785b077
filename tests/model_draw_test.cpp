// The model draw family: the bone pose step, which draws are skinned, the legacy and volumetric
// programs, the submission pattern as GL sees it afterwards (attributes, units, uniform arrays,
// bone matrices, final state), uploads only on change, and pictures of a lit and a shadowed
// model.
#include "core/file_text.h"  // readTextFile
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "render/legacy_programs.h"
#include "render/light_space.h"
#include "render/lights.h"
#include "gfx/matrix_math.h"
#include "render/model_draw.h"
#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using drawtest::deleteTestProgram;
using drawtest::takeGlError;

const float* boneMatrix(const std::vector<float>& matrices, int bone)
{
    return &matrices[static_cast<size_t>(bone) * MATRIX_FLOATS];
}

// Row-major rotations for column vectors, in double precision.
void rotation(char axis, double degrees, double out[16])
{
    double c = std::cos(degrees * M_PI / 180.0), s = std::sin(degrees * M_PI / 180.0);
    for (int i = 0; i < 16; ++i)
        out[i] = (i % 5 == 0) ? 1.0 : 0.0;
    int a = axis == 'x' ? 1 : 0, b = axis == 'z' ? 1 : 2;
    if (axis == 'y') {
        out[0] = c;
        out[2] = s;
        out[8] = -s;
        out[10] = c;
        return;
    }
    out[5 * a] = c;
    out[4 * a + b] = -s;
    out[4 * b + a] = s;
    out[5 * b] = c;
}

void multiplyRows(const double a[16], const double b[16], double out[16])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[4 * r + k] * b[4 * k + c];
            out[4 * r + c] = sum;
        }
}

struct PoseCase {
    const char* what;
    float euler[3];  // stored eulerRel components of bone 1, slot 1
    double expected[16];
};

TEST(ModelDrawPose, RotationsTakeTheStoredAnglesAsXThenMinusThirdThenSecond)
{
    double y90[16];
    rotation('y', -90, y90);
    double ry[16], rz[16], rx[16], yz[16], yzx[16];
    rotation('y', -30, ry);
    rotation('z', 20, rz);
    rotation('x', 10, rx);
    multiplyRows(ry, rz, yz);
    multiplyRows(yz, rx, yzx);
    PoseCase cases[] = {
        {"third component 90 turns about y by -90", {0, 0, 90}, {}},
        {"(10, 20, 30) is RotY(-30) RotZ(20) RotX(10)", {10, 20, 30}, {}},
    };
    std::memcpy(cases[0].expected, y90, sizeof y90);
    std::memcpy(cases[1].expected, yzx, sizeof yzx);
    // The quoted matrix of the first case.
    const double quoted[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        ASSERT_NEAR(y90[i], quoted[i], 1e-12);

    for (const PoseCase& c : cases) {
        Model model;
        drawtest::makeStripModel(model, 1);
        drawtest::addSkeleton(model, 2, 3);
        size_t i = (1 * 2 + 1) * 3;  // slot 1, bone 1
        std::memcpy(&model.eulerRel[i], c.euler, sizeof c.euler);
        poseModelBones(model, 1);
        const float* m = boneMatrix(model.boneRotMatrices, 1);
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(m[k], c.expected[k], 1e-6) << c.what << ", element " << k;
    }
}

TEST(ModelDrawPose, TranslationsGoToElements3711AndUnusedBonesKeepTheirMatrices)
{
    Model model;
    drawtest::makeStripModel(model, 1);
    drawtest::addSkeleton(model, 2, 3);
    std::fill(model.boneRPosMatrices.begin(), model.boneRPosMatrices.end(), 7.0f);
    size_t i = (2 * 2 + 0) * 3;  // slot 2, bone 0
    const float rel[3] = {0.5f, -1.0f, 2.0f}, bind[3] = {3.0f, 4.0f, -5.0f};
    std::memcpy(&model.relPos[i], rel, sizeof rel);
    std::memcpy(&model.bindPos[i], bind, sizeof bind);
    poseModelBones(model, 2);
    const float* r = boneMatrix(model.boneRPosMatrices, 0);
    const float* p = boneMatrix(model.bonePosMatrices, 0);
    for (int k = 0; k < 16; ++k) {
        float identity = (k % 5 == 0) ? 1.0f : 0.0f;
        if (k == 3 || k == 7 || k == 11)
            continue;
        EXPECT_EQ(r[k], identity);
        EXPECT_EQ(p[k], identity);
    }
    EXPECT_EQ(r[3], 0.5f);
    EXPECT_EQ(r[7], -1.0f);
    EXPECT_EQ(r[11], 2.0f);
    EXPECT_EQ(p[3], 3.0f);
    EXPECT_EQ(p[7], 4.0f);
    EXPECT_EQ(p[11], -5.0f);
    // Bones past the skeleton (2 to 63) are not written.
    EXPECT_EQ(boneMatrix(model.boneRPosMatrices, 2)[0], 7.0f);
    EXPECT_EQ(boneMatrix(model.boneRPosMatrices, 63)[15], 7.0f);
}

TEST(ModelDrawPose, WhichDrawsAreSkinned)
{
    Model skinned;
    drawtest::makeStripModel(skinned, 2);
    drawtest::addSkeleton(skinned, 3, 4);
    Model plain;
    drawtest::makeStripModel(plain, 2);
    Model shortWeights;
    drawtest::makeStripModel(shortWeights, 2);
    drawtest::addSkeleton(shortWeights, 3, 4);
    shortWeights.boneWeights.resize(4);

    struct Case {
        const char* what;
        const Model* model;
        int frame;
        bool expected;
    } cases[] = {
        {"frame -1", &skinned, -1, false},
        {"frame 0", &skinned, 0, false},
        {"frame 1", &skinned, 1, true},
        {"the last slot", &skinned, 3, true},
        {"a slot the model does not have", &skinned, 4, false},
        {"a model without a skeleton", &plain, 1, false},
        {"bone weights shorter than the vertices", &shortWeights, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isSkinnedModelDraw(*c.model, c.frame), c.expected) << c.what;

    // A slot the model lacks leaves the bone matrices as they were.
    Model model;
    drawtest::makeStripModel(model, 1);
    drawtest::addSkeleton(model, 1, 2);
    model.eulerRel.assign(model.eulerRel.size(), 45.0f);
    poseModelBones(model, 2);
    EXPECT_EQ(model.boneRotMatrices[0], 0.0f);
}

// ---------------------------------------------------------------------------------------------
// The legacy and volumetric programs.

struct ScratchDataFolder {
    std::string folder = "draws_test_" + std::to_string(getpid());
    ScratchDataFolder() { std::filesystem::create_directories("data/" + folder); }
    ~ScratchDataFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all("data/" + folder, ignored);
    }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream("data/" + folder + "/" + name, std::ios::binary) << bytes;
        return folder + "/" + name;
    }
};

TEST(ModelDrawPrograms, ReadTextFileReturnsTheWholeFileOrNull)
{
    ScratchDataFolder scratch;
    const std::string withNul("line one\r\nnul\0byte\n", 20);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {{"text with a carriage return and a NUL byte", withNul}, {"an empty file", ""}};
    for (const Case& c : cases) {
        std::string name = scratch.write("file.txt", c.bytes);
        char* text = readTextFile(name.c_str());
        ASSERT_NE(text, nullptr) << c.what;
        EXPECT_EQ(std::string(text, c.bytes.size()), c.bytes) << c.what;
        EXPECT_EQ(text[c.bytes.size()], '\0') << c.what;
        std::free(text);
    }
    EXPECT_EQ(readTextFile((scratch.folder + "/missing.txt").c_str()), nullptr);
    EXPECT_EQ(readTextFile(scratch.folder.c_str()), nullptr) << "a folder is not a file";
}

TEST(ModelDrawPrograms, BothProgramsBuildAndOnlyTheLoaderAndLocationLinesArePrinted)
{
    REQUIRE_GL_CONTEXT();
    testing::internal::CaptureStdout();
    initLegacyShaders();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(drawtest::programLinked(vboShaderProgram)) << programInfoLog(vboShaderProgram);
    ASSERT_TRUE(drawtest::programLinked(volumetricProgram));
    EXPECT_GE(camEyeVectorLoc, 0);
    std::string expected = "shader init... volumetric.vert,volumetric.frag\n" + std::to_string(volumetricProgram) +
                           "\ncamevec loc " + std::to_string(camEyeVectorLoc) + " \n";
    EXPECT_EQ(out, expected);
    ASSERT_NE(vboVertexSource, nullptr);
    EXPECT_NE(std::strstr(vboVertexSource, "vertexTangentHandedness"), nullptr);

    // Every attribute sits where the draws send it, in both programs.
    const char* names[] = {"vertexPosition", "vertexNormal", "textureCoord", "vertexTangent",
                           "vertexTangentHandedness", "vertexBones", "vertexWeights"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(glGetAttribLocation(vboShaderProgram, names[i]), i) << names[i];
        GLint volumetric = glGetAttribLocation(volumetricProgram, names[i]);
        EXPECT_TRUE(volumetric == i || volumetric == -1) << names[i];
    }
    // The legacy program reads the whole light set, the skin and the four units.
    for (const char* name : {"lightsEnabled", "lightsinvRadius", "lightMapSelect", "lightsPosx", "lightsPosz",
                             "lightsAmbientb", "lightsDiffuser", "lightsSpecularg", "hasAnim", "boneRPos",
                             "bonePos", "boneRot", "glColor", "colorMap", "normalMap", "lightMap",
                             "specularMap"})
        EXPECT_GE(glGetUniformLocation(vboShaderProgram, name), 0) << name;
}

// Start-up with sources from a scratch folder: a broken or missing legacy source only reaches
// the diagnostic log (or stderr for the missing file) and start-up goes on.
TEST(ModelDrawPrograms, BrokenOrMissingLegacySourcesDoNotStopStartUp)
{
    REQUIRE_GL_CONTEXT();
    ExpectedShaderBuildFailures expected;
    const uint32_t keepProgram = vboShaderProgram;
    char* const keepSources[2] = {vboVertexSource, vboFragmentSource};
    const uint32_t keepShaders[2] = {vboVertexShader, vboFragmentShader};
    const uint32_t keepVolumetric = volumetricProgram;
    const int32_t keepLocation = camEyeVectorLoc;

    std::string vert, frag;
    {
        std::ifstream v("data/tutorial2.vert"), f("data/tutorial2.frag");
        vert.assign(std::istreambuf_iterator<char>(v), {});
        frag.assign(std::istreambuf_iterator<char>(f), {});
    }
    ASSERT_FALSE(vert.empty());
    struct Case {
        const char* what;
        bool writeVertex;
        const char* fragment;
        const char* stderrText;
    } cases[] = {
        {"a syntax error in the fragment source", true, "#version 330 compatibility\nvoid main( {\n", ""},
        {"no vertex source", false, nullptr, "can't open file tutorial2.vert\n"},
    };
    const std::filesystem::path home = std::filesystem::current_path();
    for (const Case& c : cases) {
        ScratchDataFolder scratch;
        std::filesystem::path root = home / "data" / scratch.folder;
        std::filesystem::create_directories(root / "data");
        if (c.writeVertex)
            std::ofstream(root / "data/tutorial2.vert") << vert;
        std::ofstream(root / "data/tutorial2.frag") << (c.fragment ? c.fragment : frag.c_str());
        std::filesystem::current_path(root);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        initLegacyShaders();
        std::string out = testing::internal::GetCapturedStdout();
        std::string err = testing::internal::GetCapturedStderr();
        std::filesystem::current_path(home);

        EXPECT_NE(vboShaderProgram, 0u) << c.what;
        EXPECT_FALSE(drawtest::programLinked(vboShaderProgram)) << c.what;
        EXPECT_EQ(volumetricProgram, 0u) << c.what << ": no volumetric files in the scratch folder";
        EXPECT_EQ(camEyeVectorLoc, -1) << c.what;
        EXPECT_NE(out.find("camevec loc -1 \n"), std::string::npos) << c.what;
        EXPECT_EQ(out.find("SHADER ERROR"), std::string::npos) << c.what << ": the legacy log is not printed";
        EXPECT_NE(err.find(c.stderrText), std::string::npos) << c.what << ": " << err;
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << c.what;
        freeLegacyShaders();
    }
    vboShaderProgram = keepProgram;
    vboVertexSource = keepSources[0];
    vboFragmentSource = keepSources[1];
    vboVertexShader = keepShaders[0];
    vboFragmentShader = keepShaders[1];
    volumetricProgram = keepVolumetric;
    camEyeVectorLoc = keepLocation;
}

// ---------------------------------------------------------------------------------------------
// The submission pattern as GL holds it after a draw.

const char* const LIGHT_ARRAY_NAMES[15] = {
    "lightsEnabled", "lightsinvRadius", "lightMapSelect", "lightsPosx",     "lightsPosy",
    "lightsPosz",    "lightsAmbientr",  "lightsAmbientg", "lightsAmbientb", "lightsDiffuser",
    "lightsDiffuseg", "lightsDiffuseb", "lightsSpecularr", "lightsSpecularg", "lightsSpecularb",
};

const float* lightArray(int k)
{
    const LightTable& t = lightTable;
    const float* arrays[15] = {t.enabledF, t.invRadius, t.mapSelect, t.posX,  t.posY,  t.posZ,  t.ambR, t.ambG,
                               t.ambB,     t.diffR,     t.diffG,     t.diffB, t.specR, t.specG, t.specB};
    return arrays[k];
}

class ModelDrawGl : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        savedLights = lightTable;
        for (int k = 0; k < 15; ++k) {
            float* a = const_cast<float*>(lightArray(k));
            for (int i = 0; i < LIGHT_COUNT; ++i)
                a[i] = static_cast<float>(k * 100 + i) + 0.25f;
        }
        textures[0] = drawtest::solidTexture(255, 255, 255);
        textures[1] = drawtest::solidTexture(128, 128, 255);
        textures[2] = drawtest::solidTexture(255, 255, 255);
        textures[3] = drawtest::solidTexture(0, 0, 0);
        set = std::make_unique<drawtest::ScratchTextureSet>(textures[0], textures[1], textures[2], textures[3]);
        probe = drawtest::buildProgram(drawtest::PROBE_VERTEX, drawtest::PROBE_FRAGMENT, &log);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
        takeGlError();
    }
    void TearDown() override
    {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glColor4f(1, 1, 1, 1);
        glActiveTexture(GL_TEXTURE0);
        if (probe)
            deleteTestProgram(probe);
        glDeleteTextures(4, textures);
        set.reset();
        lightTable = savedLights;
    }

    void makeModel(Model& model, int triangles, bool withSkeleton)
    {
        drawtest::makeStripModel(model, triangles);
        if (withSkeleton)
            drawtest::addSkeleton(model, 2, 3);
        model.textureSet = set->index;
    }

    // What every member leaves behind.
    void expectClosingState(const Model& model, int lastAttribute)
    {
        GLint value = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &value);
        EXPECT_EQ(value, 0) << "no program current";
        glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
        EXPECT_EQ(value, GL_TEXTURE3) << "unit 3 active";
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
        EXPECT_EQ(value, 0);
        for (int i = 0; i < 7; ++i) {
            glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
            EXPECT_EQ(value, GL_FALSE) << "attribute " << i;
        }
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &value);
        EXPECT_EQ(static_cast<GLuint>(value), model.buffers[lastAttribute]) << "the last model buffer stays bound";
        for (int unit = 0; unit < 4; ++unit) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
            if (unit < 3) {
                EXPECT_EQ(static_cast<GLuint>(value), textures[unit]) << "unit " << unit;
            }
        }
        glActiveTexture(GL_TEXTURE3);
    }

    LightTable savedLights{};
    GLuint textures[4] = {};
    std::unique_ptr<drawtest::ScratchTextureSet> set;
    uint32_t probe = 0;
    std::string log;
};

TEST_F(ModelDrawGl, UnskinnedDrawSendsAttributesUnitsLightsAndExtras)
{
    ASSERT_NE(probe, 0u) << log;
    Model model;
    makeModel(model, 3, false);
    drawSkinnedModel(model, 0, static_cast<int>(probe));
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    expectClosingState(model, 4);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textures[3]) << "unit 3 holds the specular map";

    const char* samplers[] = {"colorMap", "normalMap", "lightMap", "specularMap"};
    for (int unit = 0; unit < 4; ++unit)
        EXPECT_EQ(drawtest::uniformInt(probe, samplers[unit]), unit) << samplers[unit];
    for (int k = 0; k < 15; ++k)
        for (int i = 0; i < LIGHT_COUNT; i += 13) {
            std::string name = std::string(LIGHT_ARRAY_NAMES[k]) + "[" + std::to_string(i) + "]";
            EXPECT_EQ(drawtest::uniformFloats(probe, name, 1)[0], lightArray(k)[i]) << name;
        }
    std::vector<float> colour = drawtest::uniformFloats(probe, "glColor", 4);
    EXPECT_EQ(colour, (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
    std::vector<float> mvp = drawtest::uniformFloats(probe, "depthMVP", 16);
    EXPECT_EQ(0, std::memcmp(mvp.data(), depthMVP, sizeof depthMVP));
    EXPECT_EQ(drawtest::uniformInt(probe, "hasAnim"), 0);

    // The model's own vertex array object holds attributes 0 to 4 in buffers 0 to 4.
    glBindVertexArray(model.vao);
    const int components[] = {3, 3, 2, 3, 1};
    for (int i = 0; i < 5; ++i) {
        GLint buffer = 0, size = 0, enabled = 0;
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(static_cast<GLuint>(buffer), model.buffers[i]);
        EXPECT_EQ(size, components[i]);
        EXPECT_EQ(enabled, GL_TRUE);
        GLint bytes = 0;
        glBindBuffer(GL_ARRAY_BUFFER, model.buffers[i]);
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
        EXPECT_EQ(bytes, 12 * components[i] * model.triangleCount) << "attribute " << i;
    }
    glBindVertexArray(0);
    deleteModelBuffers(model);
}

TEST_F(ModelDrawGl, DrawModelOfASkinnedModelIsUnskinnedAndFrameOneIsPosed)
{
    ASSERT_NE(probe, 0u) << log;
    Model model;
    makeModel(model, 2, true);
    size_t slot1Bone1 = (1 * 2 + 1) * 3;
    model.eulerRel[slot1Bone1 + 2] = 90.0f;
    model.relPos[slot1Bone1] = 1.5f;

    uint64_t uploads = modelDrawStats.arrayUploads;
    drawSkinnedModel(model, 0, static_cast<int>(probe));
    EXPECT_EQ(modelDrawStats.arrayUploads - uploads, 5u) << "no bone arrays for an unskinned draw";
    EXPECT_EQ(drawtest::uniformInt(probe, "hasAnim"), 0);
    EXPECT_EQ(*model.animFlag, 1);
    glBindVertexArray(model.vao);
    for (int i = 5; i < 7; ++i) {
        GLint enabled = 1;
        glGetVertexAttribiv(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        EXPECT_EQ(enabled, GL_FALSE) << "attribute " << i;
    }
    glBindVertexArray(0);

    uploads = modelDrawStats.arrayUploads;
    drawSkinnedModel(model, 1, static_cast<int>(probe));
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(modelDrawStats.arrayUploads - uploads, 2u) << "only the bone arrays are new";
    expectClosingState(model, 6);
    EXPECT_EQ(drawtest::uniformInt(probe, "hasAnim"), 1);
    EXPECT_EQ(*model.animFlag, 1);
    std::vector<float> rot = drawtest::uniformFloats(probe, "boneRot[1]", 16);
    std::vector<float> rpos = drawtest::uniformFloats(probe, "boneRPos[1]", 16);
    const float* expectedRot = boneMatrix(model.boneRotMatrices, 1);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(rot[k], expectedRot[k]) << "sent without transpose, element " << k;
        EXPECT_EQ(rpos[k], boneMatrix(model.boneRPosMatrices, 1)[k]) << "element " << k;
    }
    EXPECT_NEAR(expectedRot[2], -1.0f, 1e-6f) << "RotY(-90) from the stored third component";
    EXPECT_EQ(rpos[3], 1.5f);
    deleteModelBuffers(model);
}

TEST_F(ModelDrawGl, UnchangedModelsAreUploadedOnce)
{
    ASSERT_NE(probe, 0u) << log;
    Model model;
    const int n = 10;
    makeModel(model, n, false);
    uint64_t uploads = modelDrawStats.arrayUploads, bytes = modelDrawStats.uploadedBytes;
    uint64_t draws = modelDrawStats.drawCalls;
    for (int i = 0; i < 3; ++i)
        drawSkinnedModel(model, 0, static_cast<int>(probe));
    EXPECT_EQ(modelDrawStats.arrayUploads - uploads, 5u);
    EXPECT_EQ(modelDrawStats.uploadedBytes - bytes, static_cast<uint64_t>((36 + 36 + 24 + 36 + 12) * n));
    EXPECT_EQ(modelDrawStats.drawCalls - draws, 3u);

    // A rewrite of the arrays is sent with the next draw, and drawn from.
    model.positions[0] = 0.5f;
    markModelVertexDataChanged(model);
    uploads = modelDrawStats.arrayUploads;
    drawSkinnedModel(model, 0, static_cast<int>(probe));
    EXPECT_EQ(modelDrawStats.arrayUploads - uploads, 5u);
    float first = 0;
    glBindBuffer(GL_ARRAY_BUFFER, model.buffers[0]);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof first, &first);
    EXPECT_EQ(first, 0.5f);
    deleteModelBuffers(model);
}

// One glDrawArrays of 3n vertices, counted by GL; arrays shorter than the triangle count draw
// only the triangles they hold; a set index the table lacks binds no texture.
TEST_F(ModelDrawGl, OneDrawCallOfEveryTriangleTheArraysHold)
{
    ASSERT_NE(probe, 0u) << log;
    struct Case {
        const char* what;
        int triangles;
        size_t keepTexcoordFloats;  // 0 keeps the whole array
        int32_t textureSet;
        GLuint expectedPrimitives;
    } cases[] = {
        {"whole model", 7, 0, 0, 7},
        {"texture coordinates for 4.5 triangles", 7, 27, 0, 4},
        {"a texture set the table lacks", 3, 0, 999, 3},
    };
    GLuint query = 0;
    glGenQueries(1, &query);
    for (const Case& c : cases) {
        Model model;
        makeModel(model, c.triangles, false);
        if (c.keepTexcoordFloats)
            model.texcoords.resize(c.keepTexcoordFloats);
        if (c.textureSet == 999)
            model.textureSet = textureSetCount + 5;
        uint64_t draws = modelDrawStats.drawCalls;
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        drawSkinnedModel(model, 0, static_cast<int>(probe));
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint primitives = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
        EXPECT_EQ(primitives, c.expectedPrimitives) << c.what;
        EXPECT_EQ(modelDrawStats.drawCalls - draws, 1u) << c.what;
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << c.what;
        if (c.textureSet == 999) {
            GLint bound = -1;
            glActiveTexture(GL_TEXTURE0);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            EXPECT_EQ(bound, 0) << c.what;
        }
        deleteModelBuffers(model);
    }
    glDeleteQueries(1, &query);
}

class ModelDrawShadowGl : public ModelDrawGl {
protected:
    void SetUp() override
    {
        ModelDrawGl::SetUp();
        if (HasFatalFailure())
            return;
        if (shadowLitProgram == 0 || shadowDepthProgram == 0) {
            testing::internal::CaptureStdout();
            initShadowPrograms();
            testing::internal::GetCapturedStdout();
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
        }
        if (vboShaderProgram == 0) {
            testing::internal::CaptureStdout();
            initLegacyShaders();
            testing::internal::GetCapturedStdout();
        }
    }
};

TEST_F(ModelDrawShadowGl, StaticShadowedDrawUsesTheLitProgramAndAllThreeLightValues)
{
    ASSERT_NE(shadowLitProgram, 0u);
    Model model;
    makeModel(model, 2, true);
    const float sentinel[16] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    std::memcpy(depthMVP, sentinel, sizeof sentinel);
    std::memcpy(depthBiasMVP, sentinel, sizeof sentinel);
    lightVector[0] = 9;
    fogZFactor = 0.5f;
    drawStaticModelShadowed(model, -1);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    expectClosingState(model, 4);
    GLint shadowBound = 0, depthWrites = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &shadowBound);
    EXPECT_EQ(static_cast<GLuint>(shadowBound), shadowTarget.colorTexture) << "unit 3 holds the shadow map";
    glGetIntegerv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_NE(depthMVP[0], 9.0f);
    EXPECT_NE(depthBiasMVP[0], 9.0f);
    EXPECT_EQ(lightVector[0], xsc);
    const uint32_t drawn = drawtest::drawnBuild(shadowLitProgram, 0);
    EXPECT_EQ(glGetUniformLocation(drawn, "boneRot"), -1) << "static whatever the model: the build without bones";
    EXPECT_EQ(drawtest::uniformInt(drawn, "shadowMap"), 3);
    EXPECT_EQ(drawtest::uniformFloats(shadowLitProgram, "bias", 1)[0], shadowBias);
    std::vector<float> light = drawtest::uniformFloats(shadowLitProgram, "Light", 4);
    EXPECT_EQ(light, (std::vector<float>{xsc, ysc, zsc, 1.0f}));
    std::vector<float> bias = drawtest::uniformFloats(shadowLitProgram, "depthBiasMVP", 16);
    EXPECT_EQ(0, std::memcmp(bias.data(), depthBiasMVP, sizeof depthBiasMVP));
    std::vector<float> colour = drawtest::uniformFloats(shadowLitProgram, "glColor", 4);
    EXPECT_EQ(colour, (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
    fogZFactor = 0.0f;

    // The legacy draw recomputes depthMVP and lightVector only.
    std::memcpy(depthMVP, sentinel, sizeof sentinel);
    std::memcpy(depthBiasMVP, sentinel, sizeof sentinel);
    lightVector[0] = 9;
    drawModel(model);
    EXPECT_NE(depthMVP[0], 9.0f);
    EXPECT_EQ(depthBiasMVP[0], 9.0f);
    EXPECT_EQ(lightVector[0], xsc);
    float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(depthBiasMVP, identity, sizeof identity);
    deleteModelBuffers(model);
}

// ---------------------------------------------------------------------------------------------
// Pictures.

using ViewSetup = drawtest::PerspectiveView;

void onlyLight0(float x, float y, float z, float invRadius)
{
    for (int i = 0; i < LIGHT_COUNT; ++i)
        lightTable.enabledF[i] = 0.0f;
    lightTable.enabledF[0] = 1.0f;
    lightTable.posX[0] = x;
    lightTable.posY[0] = y;
    lightTable.posZ[0] = z;
    lightTable.invRadius[0] = invRadius;
    lightTable.mapSelect[0] = 0.5f;
    lightTable.ambR[0] = lightTable.ambG[0] = lightTable.ambB[0] = 0.1f;
    lightTable.diffR[0] = lightTable.diffG[0] = lightTable.diffB[0] = 0.9f;
    lightTable.specR[0] = lightTable.specG[0] = lightTable.specB[0] = 0.0f;
}

TEST_F(ModelDrawShadowGl, LegacyProgramLightsTheSideFacingTheLight)
{
    ASSERT_TRUE(drawtest::programLinked(vboShaderProgram));
    // Two quads facing the camera; the left one's normals face the light, the right one's away.
    std::vector<float> p, n, t, tan;
    drawtest::addQuad(p, n, t, tan, 2, 0.0f, 1.0f, -2.0f, -0.5f, -1.0f, 1.0f);
    drawtest::addQuad(p, n, t, tan, 2, 0.0f, 1.0f, 0.5f, 2.0f, -1.0f, 1.0f);
    for (size_t v = 6; v < 12; ++v)
        n[v * 3 + 2] = -1.0f;
    Model model;
    drawtest::fillModel(model, p, n, t, tan);
    model.textureSet = set->index;
    onlyLight0(0, 0, 5, 0.02f);
    {
        ViewSetup view(0, 0, 6);
        drawModel(model);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
        int lit = ViewSetup::brightness(-1.25, 0, 0);
        int away = ViewSetup::brightness(1.25, 0, 0);
        int background = ViewSetup::brightness(0, 0, 0);
        EXPECT_GT(lit, away + 300) << "lit " << lit << ", away " << away;
        EXPECT_GT(away, background) << "ambient still reaches the far side";
    }
    deleteModelBuffers(model);
}

// A bar along +x on bone 0; slot 1 turns the bone by 90 degrees about z (the stored second
// component), which puts the bar along +y, and moves it by its relative position.
TEST_F(ModelDrawShadowGl, LegacyProgramSkinsWithTheUploadedBonePose)
{
    ASSERT_TRUE(drawtest::programLinked(vboShaderProgram));
    std::vector<float> p, n, t, tan;
    drawtest::addQuad(p, n, t, tan, 2, 0.0f, 1.0f, 0.5f, 1.5f, -0.25f, 0.25f);
    Model model;
    drawtest::fillModel(model, p, n, t, tan);
    drawtest::addSkeleton(model, 1, 2);
    model.textureSet = set->index;
    model.eulerRel[3 + 1] = 90.0f;  // slot 1, bone 0
    model.relPos[3 + 2] = -0.5f;    // and half a unit away from the camera
    onlyLight0(0, 0, 5, 0.02f);
    struct Case {
        const char* what;
        int frame;
        double drawnAt[3];
        double emptyAt[3];
    } cases[] = {
        {"frame 0 draws the bind pose", 0, {1.0, 0, 0}, {0, 1.0, 0}},
        {"frame 1 turns the bar onto +y", 1, {0, 1.0, -0.5}, {1.0, 0, 0}},
        {"and not onto -y", 1, {0, 1.0, -0.5}, {0, -1.0, -0.5}},
    };
    for (const Case& c : cases) {
        ViewSetup view(0, 0, 6);
        drawModelFrame(model, c.frame);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << c.what;
        EXPECT_GT(ViewSetup::brightness(c.drawnAt[0], c.drawnAt[1], c.drawnAt[2]), 300) << c.what;
        EXPECT_EQ(ViewSetup::brightness(c.emptyAt[0], c.emptyAt[1], c.emptyAt[2]), 0) << c.what;
    }
    deleteModelBuffers(model);
}

TEST_F(ModelDrawShadowGl, ShadowMapDarkensTheGroundUnderABlocker)
{
    ASSERT_NE(shadowDepthProgram, 0u);
    ASSERT_NE(shadowLitProgram, 0u);
    std::vector<float> p, n, t, tan;
    drawtest::addQuad(p, n, t, tan, 1, 0.0f, 1.0f, -3.0f, 3.0f, -3.0f, 3.0f);
    Model ground;
    drawtest::fillModel(ground, p, n, t, tan);
    ground.textureSet = set->index;
    p.clear(), n.clear(), t.clear(), tan.clear();
    drawtest::addQuad(p, n, t, tan, 1, 1.0f, 1.0f, -0.5f, 0.5f, -0.5f, 0.5f);
    Model blocker;
    drawtest::fillModel(blocker, p, n, t, tan);
    blocker.textureSet = set->index;
    onlyLight0(0, 0, 0, 1.0f);
    lightTable.enabledF[0] = 0.0f;  // only the shadow light

    const float keep[5] = {sf, sfz, xsc, ysc, zsc};
    sf = 0.05f, sfz = 0.015f, xsc = 1, ysc = 2, zsc = 2;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glViewport(0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawModelDepth(ground, -1, static_cast<int>(shadowDepthProgram));
    drawModelDepth(blocker, -1, static_cast<int>(shadowDepthProgram));
    {
        ViewSetup view(0, 8, -6);
        drawStaticModelShadowed(ground, -1);
        drawStaticModelShadowed(blocker, -1);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
        // The blocker at height 1 over the origin throws its shadow along -(1, 2, 2) onto
        // (-0.5, 0, -1).
        int shadowed = ViewSetup::brightness(-0.5, 0, -1);
        int lit = ViewSetup::brightness(2, 0, 2);
        int litNear = ViewSetup::brightness(0.6, 0, -1);
        EXPECT_GT(lit, 60) << "the ground is lit";
        EXPECT_LT(shadowed, lit - 60) << "shadowed " << shadowed << ", lit " << lit;
        EXPECT_LT(shadowed, litNear - 60) << "shadowed " << shadowed << ", lit nearby " << litNear;
    }
    sf = keep[0], sfz = keep[1], xsc = keep[2], ysc = keep[3], zsc = keep[4];
    deleteModelBuffers(ground);
    deleteModelBuffers(blocker);
}

}  // namespace
