// The shadowed, volumetric and environment-mapped model draws: which program and textures
// each one uses, what it uploads, the state it leaves, and pictures read back from the window
// (a posed shadowed model, additive volumetric layers, the chrome reflection and its flash).
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "render/camera.h"
#include "render/legacy_programs.h"
#include "render/light_space.h"
#include "render/lights.h"
#include "render/model_draw.h"
#include "render/shadowed_draw.h"
#include "scenes/tunnel_scene.h"
#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using drawtest::takeGlError;

using View = drawtest::PerspectiveView;

// Light 0 alone, at `x, y, z`, white, reaching everything the tests draw.
void onlyLight0(float x, float y, float z, float ambient, float diffuse)
{
    for (int i = 0; i < LIGHT_COUNT; ++i)
        lightTable.enabledF[i] = 0.0f;
    lightTable.enabledF[0] = 1.0f;
    lightTable.posX[0] = x;
    lightTable.posY[0] = y;
    lightTable.posZ[0] = z;
    lightTable.invRadius[0] = 0.02f;
    lightTable.mapSelect[0] = 0.5f;
    lightTable.ambR[0] = lightTable.ambG[0] = lightTable.ambB[0] = ambient;
    lightTable.diffR[0] = lightTable.diffG[0] = lightTable.diffB[0] = diffuse;
    lightTable.specR[0] = lightTable.specG[0] = lightTable.specB[0] = 0.0f;
}

GLint integerState(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLuint textureOnUnit(int unit)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glActiveTexture(GL_TEXTURE3);
    return static_cast<GLuint>(bound);
}

std::vector<float> matrixUniform(uint32_t program, const std::string& name)
{
    return drawtest::uniformFloats(program, name, 16);
}

std::vector<float> asVector(const float* m)
{
    return std::vector<float>(m, m + 16);
}

class ShadowedDrawGl : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        savedLights = lightTable;
        savedCamera = mainCamera;
        savedTunnel[0] = tunnelProgram;
        savedTunnel[1] = tunnelTexture;
        savedScroll = tunnelScroll;
        textures[0] = drawtest::solidTexture(255, 255, 255);
        textures[1] = drawtest::solidTexture(128, 128, 255);
        textures[2] = drawtest::solidTexture(255, 255, 255);
        textures[3] = drawtest::solidTexture(0, 0, 0);
        textures[4] = drawtest::solidTexture(200, 40, 40);
        set = std::make_unique<drawtest::ScratchTextureSet>(textures[0], textures[1], textures[2], textures[3]);
        testing::internal::CaptureStdout();
        if (shadowLitProgram == 0)
            initShadowPrograms();
        if (volumetricProgram == 0)
            initLegacyShaders();
        if (chromeProgram == 0)
            chromeProgram = shaderLoader.load("env2.vert", "env2.frag");
        testing::internal::GetCapturedStdout();
        tunnelProgram = chromeProgram;
        tunnelTexture = textures[4];
        // A white shadow map: nothing is in shadow.
        glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
        glViewport(0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        takeGlError();
    }
    void TearDown() override
    {
        glActiveTexture(GL_TEXTURE0);
        glColor4f(1, 1, 1, 1);
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glDeleteTextures(5, textures);
        set.reset();
        lightTable = savedLights;
        mainCamera = savedCamera;
        tunnelProgram = savedTunnel[0];
        tunnelTexture = savedTunnel[1];
        tunnelScroll = savedScroll;
    }

    // A flat quad of `halfSize` at z = 0 facing +z, centred on (x, y), on the scratch set.
    void makeQuad(Model& model, float x, float y, float halfSize)
    {
        std::vector<float> p, n, t, tan;
        drawtest::addQuad(p, n, t, tan, 2, 0.0f, 1.0f, x - halfSize, x + halfSize, y - halfSize, y + halfSize);
        drawtest::fillModel(model, p, n, t, tan);
        model.textureSet = set->index;
    }

    static uint32_t chromeProgram;
    LightTable savedLights{};
    Camera savedCamera{};
    uint32_t savedTunnel[2] = {};
    float savedScroll = 0.0f;
    GLuint textures[5] = {};
    std::unique_ptr<drawtest::ScratchTextureSet> set;
};

uint32_t ShadowedDrawGl::chromeProgram = 0;

// ---------------------------------------------------------------------------------------------
// The shadowed draw.

// A quad on bone 0; slot 1 moves the bone up by one unit. Frame 0 draws the bind pose, frame 1
// the pose, each lit through the (empty) shadow map, with the shadow extras in place.
TEST_F(ShadowedDrawGl, ShadowedDrawPosesAtTheFrameAndUploadsTheShadowExtras)
{
    ASSERT_NE(shadowLitProgram, 0u);
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.3f);
    drawtest::addSkeleton(model, 1, 3);
    model.relPos[3 * 1 + 1] = 1.0f;  // slot 1, bone 0: up by one
    onlyLight0(0, 0, 5, 0.4f, 0.8f);
    struct Case {
        const char* what;
        int frame;
        double drawnY, emptyY;
        int hasAnim;
    } cases[] = {
        {"frame 0 is the bind pose, unskinned", 0, 0.0, 1.0, 0},
        {"frame 1 is posed from slot 1", 1, 1.0, 0.0, 1},
    };
    for (const Case& c : cases) {
        View view(0, 0, 5);
        std::memset(depthBiasMVP, 0, sizeof depthBiasMVP);
        drawModelShadowed(model, -1, c.frame);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << c.what;
        EXPECT_GT(View::brightness(0, c.drawnY, 0), 150) << c.what;
        EXPECT_EQ(View::brightness(0, c.emptyY, 0), 0) << c.what;
        const uint32_t drawn = drawtest::drawnBuild(shadowLitProgram, c.hasAnim ? model.boneCount : 0);
        if (c.hasAnim) {
            EXPECT_EQ(drawtest::uniformInt(drawn, "hasAnim"), 1) << c.what;
        } else {
            EXPECT_EQ(glGetUniformLocation(drawn, "hasAnim"), -1) << c.what << ": the build without bones";
        }
        EXPECT_EQ(drawtest::uniformInt(drawn, "shadowMap"), 3) << c.what;
        EXPECT_EQ(textureOnUnit(3), shadowTarget.colorTexture) << c.what;
        EXPECT_EQ(drawtest::uniformFloats(shadowLitProgram, "Light", 4), (std::vector<float>{xsc, ysc, zsc, 1.0f}))
            << c.what;
        EXPECT_EQ(matrixUniform(shadowLitProgram, "depthBiasMVP"), asVector(depthBiasMVP)) << c.what;
        EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0) << c.what;
        EXPECT_EQ(integerState(GL_DEPTH_WRITEMASK), GL_TRUE) << c.what;
        // The light matrices were recomputed for the modelview of the call.
        const std::vector<float> bias = asVector(depthBiasMVP);
        computeLightMatrices();
        EXPECT_EQ(bias, asVector(depthBiasMVP)) << c.what;
    }
    deleteModelBuffers(model);
}

// Every uniform of the shadowed draw's extras is active here, so each upload can be read back.
const char* const EXTRAS_PROBE_VERTEX = R"(#version 330 compatibility
layout(location = 0) in vec3 vertexPosition;
uniform mat4 depthBiasMVP;
uniform float bias;
uniform float fogzfactor;
uniform vec4 glColor;
uniform vec4 Light;
out vec4 probe;
void main() {
    probe = glColor * (bias + fogzfactor + Light.x + depthBiasMVP[0][0]);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(vertexPosition, 1.0);
}
)";
const char* const EXTRAS_PROBE_FRAGMENT = R"(#version 330 compatibility
in vec4 probe;
void main() { gl_FragColor = probe; }
)";

// A program of the caller gets the same extras as the lit program: the fog factor of the
// moment, the shadow bias and the current colour.
TEST_F(ShadowedDrawGl, ShadowedDrawWithItsOwnProgramGetsTheExtras)
{
    std::string log;
    const uint32_t probe = drawtest::buildProgram(EXTRAS_PROBE_VERTEX, EXTRAS_PROBE_FRAGMENT, &log);
    ASSERT_NE(probe, 0u) << log;
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.3f);
    const float keepFog = fogZFactor;
    fogZFactor = 0.375f;
    {
        View view(0, 0, 5);
        glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
        drawModelShadowed(model, static_cast<int>(probe), 0);
    }
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(drawtest::uniformFloats(probe, "fogzfactor", 1)[0], 0.375f);
    EXPECT_EQ(drawtest::uniformFloats(probe, "bias", 1)[0], shadowBias);
    EXPECT_EQ(drawtest::uniformFloats(probe, "glColor", 4), (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(drawtest::uniformFloats(probe, "Light", 4), (std::vector<float>{xsc, ysc, zsc, 1.0f}));
    EXPECT_EQ(matrixUniform(probe, "depthBiasMVP"), asVector(depthBiasMVP));
    fogZFactor = keepFog;
    drawtest::deleteTestProgram(probe);
    deleteModelBuffers(model);
}

// submitModelShadowed uses the light matrices as they stand; only drawModelShadowed computes.
TEST_F(ShadowedDrawGl, SubmitShadowedLeavesTheLightMatricesAlone)
{
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.3f);
    const float sentinel[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
    std::memcpy(depthMVP, sentinel, sizeof sentinel);
    std::memcpy(depthBiasMVP, sentinel, sizeof sentinel);
    {
        View view(0, 0, 5);
        submitModelShadowed(model, 0, -1);
    }
    EXPECT_EQ(asVector(depthMVP), asVector(sentinel));
    EXPECT_EQ(asVector(depthBiasMVP), asVector(sentinel));
    EXPECT_EQ(matrixUniform(shadowLitProgram, "depthBiasMVP"), asVector(sentinel));
    computeLightMatrices();
    deleteModelBuffers(model);
}

// ---------------------------------------------------------------------------------------------
// The volumetric draw.

TEST_F(ShadowedDrawGl, VolumetricDrawIsAdditiveWritesNoDepthAndLeavesThatOn)
{
    ASSERT_NE(volumetricProgram, 0u);
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.5f);
    mainCamera.set(0, 0, 10, 0, 0, -1, 0, 1, 0);
    View view(0, 0, 5);
    glColor4f(0.2f, 0.3f, 0.4f, 1.0f);
    drawModelVolumetric(model, 0);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    const int once = View::brightness(0, 0, 0);
    EXPECT_GT(once, 20);
    EXPECT_LT(once, 500) << "room for a second layer";

    EXPECT_EQ(drawtest::uniformFloats(drawtest::drawnBuild(volumetricProgram, 0), "cameyevector", 3),
              (std::vector<float>{0, 0, -11}));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integerState(GL_BLEND_SRC_RGB), GL_SRC_ALPHA);
    EXPECT_EQ(integerState(GL_BLEND_DST_RGB), GL_ONE);
    EXPECT_EQ(integerState(GL_DEPTH_WRITEMASK), GL_FALSE);
    EXPECT_EQ(integerState(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), (std::vector<float>{1, 1, 1, 1}));

    // The program argument is not used: the volumetric program draws the second layer too.
    submitModelVolumetric(model, 0, 12345);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    const int twice = View::brightness(0, 0, 0);
    EXPECT_GT(twice, once + 15) << "once " << once << ", twice " << twice;

    // No depth was written, so a fixed-function quad behind the layers still lands, added.
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.2f, 0.2f, 0.2f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-0.2f, -0.2f, -0.5f);
    glVertex3f(0.2f, -0.2f, -0.5f);
    glVertex3f(0.2f, 0.2f, -0.5f);
    glVertex3f(-0.2f, 0.2f, -0.5f);
    glEnd();
    EXPECT_GT(View::brightness(0, 0, 0), twice + 60);
    deleteModelBuffers(model);
}

// A skinned volumetric draw sends the bone matrices as they are: the model moves by what its
// arrays hold, not by the pose its slot would give.
TEST_F(ShadowedDrawGl, SkinnedVolumetricDrawUploadsTheBoneMatricesAsTheyStand)
{
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.3f);
    drawtest::addSkeleton(model, 1, 3);
    model.relPos[3 * 1 + 0] = -1.0f;  // the pose of slot 1 would move it left
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (std::vector<float>* m : {&model.bonePosMatrices, &model.boneRotMatrices, &model.boneRPosMatrices})
        std::memcpy(m->data(), identity, sizeof identity);
    model.boneRPosMatrices[7] = 1.0f;  // but the arrays say: up by one
    mainCamera.set(0, 0, 5, 0, 0, 0, 0, 1, 0);
    View view(0, 0, 5);
    drawModelVolumetric(model, 1);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_GT(View::brightness(0, 1, 0), 20);
    EXPECT_EQ(View::brightness(0, 0, 0), 0);
    EXPECT_EQ(View::brightness(-1, 0, 0), 0);
    EXPECT_EQ(model.boneRPosMatrices[3], 0.0f) << "no pose was computed";
    EXPECT_EQ(drawtest::uniformInt(drawtest::drawnBuild(volumetricProgram, model.boneCount), "hasAnim"), 1);
    deleteModelBuffers(model);
}

// ---------------------------------------------------------------------------------------------
// The environment-mapped draw.

TEST_F(ShadowedDrawGl, EnvMappedDrawUsesTheTunnelProgramTextureAndScroll)
{
    ASSERT_NE(tunnelProgram, 0u);
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.3f);
    const float mvp[16] = {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1};
    const float bias[16] = {4, 0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1};
    std::memcpy(depthMVP, mvp, sizeof mvp);
    std::memcpy(depthBiasMVP, bias, sizeof bias);
    tunnelScroll = 0.625f;
    {
        View view(0, 0, 5);
        drawModelEnvMapped(model, 0, -1, {tunnelProgram, tunnelTexture, tunnelScroll});
    }
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(textureOnUnit(0), tunnelTexture) << "colour map";
    EXPECT_EQ(textureOnUnit(1), textures[1]) << "the set's normal map";
    EXPECT_EQ(textureOnUnit(2), textures[2]) << "the set's light ramp";
    EXPECT_EQ(textureOnUnit(3), tunnelTexture) << "environment map";
    EXPECT_EQ(drawtest::uniformInt(tunnelProgram, "envMap"), 3);
    EXPECT_EQ(drawtest::uniformInt(tunnelProgram, "colorMap"), 0);
    EXPECT_EQ(drawtest::uniformFloats(tunnelProgram, "scroll", 1)[0], 0.625f);
    EXPECT_EQ(integerState(GL_DEPTH_WRITEMASK), GL_TRUE);
    EXPECT_EQ(integerState(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);
    // The light matrices are sent as they hold and not recomputed.
    EXPECT_EQ(asVector(depthMVP), asVector(mvp));
    EXPECT_EQ(asVector(depthBiasMVP), asVector(bias));
    computeLightMatrices();
    deleteModelBuffers(model);
}

// Frame 2 of a skinned model: rotations and positions of slot 2 by the pose step, scales from
// the poses of slot 1.
TEST_F(ShadowedDrawGl, SkinnedEnvMappedDrawTakesScalesFromThePoseSlotBefore)
{
    ASSERT_NE(tunnelProgram, 0u);
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.3f);
    const int bones = 2;
    drawtest::addSkeleton(model, bones, 3);
    for (int slot = 0; slot < 3; ++slot)
        for (int b = 0; b < bones; ++b) {
            BonePose& pose = model.poses[static_cast<size_t>(slot) * bones + b];
            const float k = static_cast<float>(10 * slot + b + 1);
            for (int i = 0; i < 16; ++i) {
                pose.translation[i] = -k;
                pose.rotation[i] = -k;
                pose.scale[i] = i % 5 == 0 ? k : 0.0f;
            }
        }
    const size_t slot2bone1 = (2 * bones + 1) * 3;
    model.eulerRel[slot2bone1 + 2] = 90.0f;  // stored third component: RotY(-90)
    model.bindPos[slot2bone1 + 0] = 0.5f;
    {
        View view(0, 0, 5);
        drawModelEnvMapped(model, 2, -1, {tunnelProgram, tunnelTexture, tunnelScroll});
    }
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    const float rotY90[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1};
    const float bind[16] = {1, 0, 0, 0.5f, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float* rot = &model.boneRotMatrices[16];
    const float* pos = &model.bonePosMatrices[16];
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(rot[i], rotY90[i], 1e-6) << "rotation of slot 2, element " << i;
        EXPECT_EQ(pos[i], bind[i]) << "bind position of slot 2, element " << i;
    }
    for (int b = 0; b < bones; ++b) {
        const BonePose& slot1 = model.poses[static_cast<size_t>(1) * bones + b];
        EXPECT_EQ(asVector(&model.boneSclMatrices[static_cast<size_t>(b) * 16]), asVector(slot1.scale)) << b;
        EXPECT_EQ(matrixUniform(tunnelProgram, "boneScl[" + std::to_string(b) + "]"), asVector(slot1.scale)) << b;
    }
    EXPECT_EQ(matrixUniform(tunnelProgram, "boneRot[1]"), asVector(rot));
    EXPECT_EQ(drawtest::uniformInt(tunnelProgram, "hasAnim"), 1);

    // A skeleton without pose entries (a model built in code) keeps its scales.
    model.poses.clear();
    std::vector<float> before = model.boneSclMatrices;
    {
        View view(0, 0, 5);
        drawModelEnvMapped(model, 2, -1, {tunnelProgram, tunnelTexture, tunnelScroll});
    }
    EXPECT_EQ(model.boneSclMatrices, before);
    deleteModelBuffers(model);
}

// The chrome: a quad turned 45 degrees about y mirrors the view sideways into the tube, so it
// shows the environment's colour; "glColor" adds the lit colour map on top.
TEST_F(ShadowedDrawGl, EnvMappedQuadMirrorsTheEnvironmentAndFlashesWithTheColour)
{
    ASSERT_NE(tunnelProgram, 0u);
    Model model;
    makeQuad(model, 0.0f, 0.0f, 0.5f);
    onlyLight0(0, 0, 5, 0.3f, 0.6f);
    struct Case {
        const char* what;
        float flash;
    } cases[] = {{"no flash", 0.0f}, {"half flash", 0.5f}};
    std::vector<int> seen[2];
    for (int i = 0; i < 2; ++i) {
        View view(0, 0, 3);
        glRotatef(45.0f, 0.0f, 1.0f, 0.0f);
        glUseProgram(tunnelProgram);
        const float colour[4] = {cases[i].flash, cases[i].flash, cases[i].flash, 1.0f};
        glUniform4fv(glGetUniformLocation(tunnelProgram, "glColor"), 1, colour);
        drawModelEnvMapped(model, 0, -1, {tunnelProgram, tunnelTexture, tunnelScroll});
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << cases[i].what;
        seen[i] = View::colourAt(0, 0, 0);
    }
    // The environment is a solid (200, 40, 40): the mirror is red.
    EXPECT_GT(seen[0][0], 80) << "no flash";
    EXPECT_GT(seen[0][0], 2 * seen[0][1]) << "no flash";
    EXPECT_GT(seen[0][0], 2 * seen[0][2]) << "no flash";
    EXPECT_GT(seen[1][0] + seen[1][1] + seen[1][2], seen[0][0] + seen[0][1] + seen[0][2] + 30) << "the flash adds";
    deleteModelBuffers(model);
}

}  // namespace
