// The scenes' toolkit: the three-angle rotation, camera key blending and the key path, the
// frame-time angle step, the screen rectangles (coverage, corner texture coordinates, the state
// they leave) and the sky box (which face is seen where, no stray program or GL error).
#include "core/clock.h"
#include "app/frame.h"
#include "render/camera.h"
#include "scenes/scenes.h"
#include "scenes/toolkit.h"
#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using drawtest::takeGlError;

struct RotationCase {
    const char* what;
    RotationVector angles, input, output;
};

TEST(SceneToolkitRotation, RotatesAboutXThenYThenZ)
{
    const float quarter = static_cast<float>(2000.0 * M_PI / 2.0);  // 90 degrees in 1/2000 rad
    const RotationCase cases[] = {
        {"no angles", {0, 0, 0}, {1.5f, -2, 3}, {1.5f, -2, 3}},
        {"x by 90 turns y into z", {quarter, 0, 0}, {4, 1, 0}, {4, 0, 1}},
        {"y by 90 turns x into -z", {0, quarter, 0}, {1, 0, 0}, {0, 0, -1}},
        {"z by 90 turns x into y", {0, 0, quarter}, {1, 0, 0}, {0, 1, 0}},
        {"x then z: y goes to z, stays there", {quarter, 0, quarter}, {0, 1, 0}, {0, 0, 1}},
        {"y then z: z goes to x, then to y", {0, quarter, quarter}, {0, 0, 1}, {0, 1, 0}},
    };
    for (const RotationCase& c : cases) {
        rotationAngles = c.angles;
        rotationInput = c.input;
        rotateVectorByAngles();
        EXPECT_NEAR(rotationOutput.x, c.output.x, 1e-6f) << c.what;
        EXPECT_NEAR(rotationOutput.y, c.output.y, 1e-6f) << c.what;
        EXPECT_NEAR(rotationOutput.z, c.output.z, 1e-6f) << c.what;
    }

    // The input keeps the intermediate result: y after the x turn, x and z after the y turn.
    rotationAngles = {0, 0, 0};
    rotationInput = {1.5f, -2, 3};
    rotateVectorByAngles();
    EXPECT_EQ(rotationInput.x, 1.5f);
    EXPECT_EQ(rotationInput.y, -2.0f);
    EXPECT_EQ(rotationInput.z, 3.0f);
    rotationAngles = {quarter, 0, quarter};
    rotationInput = {0, 1, 0};
    rotateVectorByAngles();
    EXPECT_NEAR(rotationInput.y, 0.0f, 1e-6f);
    EXPECT_NEAR(rotationInput.z, 1.0f, 1e-6f);
    EXPECT_EQ(rotationOutput.z, rotationInput.z);
    // Only x: the output's x is the input's x.
    rotationAngles = {1234.0f, 0, 0};
    rotationInput = {0.7f, 0.2f, -0.4f};
    rotateVectorByAngles();
    EXPECT_EQ(rotationOutput.x, 0.7f);
}

TEST(SceneToolkitCameraKeys, BlendWeightsAndLimits)
{
    const CameraKey& a = cameraKeys[2];
    const CameraKey& b = cameraKeys[3];
    struct Case {
        const char* what;
        float elapsed, duration, wA, wB;
    } cases[] = {
        {"start", 0, 10, 1, 0},
        {"half way", 5, 10, 0.5f, 0.5f},
        {"past the end gives key B", 15, 10, 0, 1},
        {"before the start extrapolates beyond key A", -5, 10, 1.5f, -0.5f},
        {"a window of no length is at its end", 0, 0, 0, 1},
        {"and stays finite before it", -1, 0, 0, 1},
    };
    for (const Case& c : cases) {
        blendCameraKeys(2, 3, c.elapsed, c.duration);
        for (int i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(pathCamera[i], c.wA * a.eye[i] + c.wB * b.eye[i]) << c.what;
            EXPECT_FLOAT_EQ(pathCamera[3 + i], c.wA * a.centre[i] + c.wB * b.centre[i]) << c.what;
        }
        EXPECT_FLOAT_EQ(pathCamera[7], c.wA + c.wB) << c.what << ": up (0, 1, 0) in every key";
    }
    blendCameraKeys(0, 1, 20, 10);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pathCamera[i], cameraKeys[1].eye[i]) << "exactly key B";
    for (const CameraKey& key : cameraKeys) {
        EXPECT_EQ(key.up[0], 0.0f);
        EXPECT_EQ(key.up[1], 1.0f);
        EXPECT_EQ(key.up[2], 0.0f);
    }
}

TEST(SceneToolkitCameraKeys, AdvanceAngleWrapsOnce)
{
    const float keepDt = frameDt;
    frameDt = 2.0f;
    struct Case {
        const char* what;
        float start, to, speed, expected;
    } cases[] = {
        {"below the limit", 1, 360, 3, 7},
        {"past the limit wraps", 355, 360, 4, 3},
        {"more than a whole turn subtracts once", 10, 360, 400, 450},
        {"landing on the limit stays", 350, 360, 5, 360},
    };
    for (const Case& c : cases) {
        float value = c.start;
        advanceAngle(0, c.to, 0, c.speed, &value);
        EXPECT_FLOAT_EQ(value, c.expected) << c.what;
    }
    frameDt = keepDt;
}

class SceneToolkitGl : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        pushWindowView();
        glUseProgram(0);
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        takeGlError();
    }
    void TearDown() override
    {
        popMatrices();
        glDisable(GL_TEXTURE_2D);
        glUseProgram(0);
    }
    static uint8_t red(int x, int y) { return readPixelsRgba(x, y, 1, 1)[0]; }
};

TEST_F(SceneToolkitGl, ScreenRectCoversItsPixelsAndLeavesBlendDepthAndCullingOn)
{
    struct Switches {
        bool blend, depth, cull;
    } starts[] = {{false, false, false}, {true, true, true}};
    for (const Switches& s : starts) {
        glClear(GL_COLOR_BUFFER_BIT);
        s.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        s.depth ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        s.cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
        const float projection[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(projection);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(5, 0, 0);
        drawScreenRect(100, 200, 300, 260);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        float m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_EQ(m[5], 3.0f) << "projection restored";
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_EQ(m[12], 5.0f) << "modelview restored";

        EXPECT_EQ(red(100, 200), 255);
        EXPECT_EQ(red(299, 259), 255);
        EXPECT_EQ(red(200, 230), 255);
        EXPECT_EQ(red(99, 230), 0);
        EXPECT_EQ(red(300, 230), 0);
        EXPECT_EQ(red(200, 260), 0);
        EXPECT_EQ(red(200, 199), 0);
    }
}

// Texture coordinates through both routes a screen program may read them from.
const char* const UV_VERTEX = R"(#version 330 compatibility
layout(location = 2) in vec2 textureCoord;
out vec2 fixedUv;
out vec2 attributeUv;
void main() {
    fixedUv = gl_MultiTexCoord0.xy;
    attributeUv = textureCoord;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
)";
const char* const UV_FRAGMENT = R"(#version 330 compatibility
in vec2 fixedUv;
in vec2 attributeUv;
uniform int useAttribute;
void main() { gl_FragColor = vec4(useAttribute != 0 ? attributeUv : fixedUv, 0.0, 1.0); }
)";

TEST_F(SceneToolkitGl, ScreenRectUvPutsTheCornerCoordinatesAtTheirCorners)
{
    std::string log;
    uint32_t program = drawtest::buildProgram(UV_VERTEX, UV_FRAGMENT, &log);
    ASSERT_NE(program, 0u) << log;
    glUseProgram(program);
    for (int useAttribute = 0; useAttribute < 2; ++useAttribute) {
        glUniform1i(glGetUniformLocation(program, "useAttribute"), useAttribute);
        glClear(GL_COLOR_BUFFER_BIT);
        // (s0, t0) = (0.25, 0.75) at (0, 0); (s1, t1) = (0.75, 0.25) at (1000, 1000).
        drawScreenRectUv(0, 0, 1000, 1000, 0.25f, 0.75f, 0.75f, 0.25f);
        std::vector<uint8_t> low = readPixelsRgba(0, 0, 1, 1);
        std::vector<uint8_t> high = readPixelsRgba(999, 999, 1, 1);
        std::vector<uint8_t> right = readPixelsRgba(999, 0, 1, 1);
        EXPECT_NEAR(low[0], 64, 2) << useAttribute;
        EXPECT_NEAR(low[1], 191, 2) << useAttribute;
        EXPECT_NEAR(high[0], 191, 2) << useAttribute;
        EXPECT_NEAR(high[1], 64, 2) << useAttribute;
        EXPECT_NEAR(right[0], 191, 2) << useAttribute << ": (s1, t0) at (x1, y0)";
        EXPECT_NEAR(right[1], 191, 2) << useAttribute;
    }
    glUseProgram(0);
    drawtest::deleteTestProgram(program);
}

TEST_F(SceneToolkitGl, TexturedRectDrawsItsTextureWithNoProgram)
{
    std::string log;
    uint32_t program = drawtest::buildProgram(UV_VERTEX, UV_FRAGMENT, &log);
    ASSERT_NE(program, 0u) << log;
    glUseProgram(program);
    uint32_t texture = drawtest::solidTexture(10, 200, 30);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1, 1, 1, 1);
    drawTexturedRect(50, 60, 40, 30, static_cast<int>(texture));
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    std::vector<uint8_t> inside = readPixelsRgba(70, 75, 1, 1);
    EXPECT_EQ(inside[0], 10);
    EXPECT_EQ(inside[1], 200);
    EXPECT_EQ(red(49, 75), 0);
    EXPECT_EQ(red(90, 75), 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
    drawtest::deleteTestProgram(program);
}

// Each face in its own colour; the camera at the origin looks along a direction and sees the
// face the 180 degree turn about x puts there.
TEST_F(SceneToolkitGl, SkyBoxShowsItsFacesAroundTheCameraWithoutAProgram)
{
    const uint8_t colours[SKY_FACE_COUNT][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200},
                                                {200, 200, 0}, {0, 200, 200}, {200, 0, 200}};
    uint32_t keep[SKY_FACE_COUNT];
    std::copy(skyTextures, skyTextures + SKY_FACE_COUNT, keep);
    for (int i = 0; i < SKY_FACE_COUNT; ++i)
        skyTextures[i] = drawtest::solidTexture(colours[i][0], colours[i][1], colours[i][2]);
    const Camera keepCamera = mainCamera;
    const uint32_t keepHighpass = highpassProgram;
    highpassProgram = 0;

    struct View {
        const char* what;
        float centre[3];
        float up[3];
        int face;
    } views[] = {
        {"ahead (-z) shows the z = +5 face, slot 2", {0, 0, -1}, {0, 1, 0}, 2},
        {"behind (+z) shows slot 0", {0, 0, 1}, {0, 1, 0}, 0},
        {"right (+x) shows slot 1", {1, 0, 0}, {0, 1, 0}, 1},
        {"left (-x) shows slot 3", {-1, 0, 0}, {0, 1, 0}, 3},
        {"up shows slot 5, the zenith", {0, 1, 0}, {0, 0, 1}, 5},
        {"down shows slot 4, the floor", {0, -1, 0}, {0, 0, 1}, 4},
    };
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    for (const View& v : views) {
        mainCamera.set(0, 0, 0, v.centre[0], v.centre[1], v.centre[2], v.up[0], v.up[1], v.up[2]);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1920.0 / 1080.0, 0.1, 100.0);
        gluLookAt(0, 0, 0, v.centre[0], v.centre[1], v.centre[2], v.up[0], v.up[1], v.up[2]);
        glMatrixMode(GL_MODELVIEW);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT);
        drawSkyBox();
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << v.what;
        std::vector<uint8_t> centre = readPixelsRgba(960, 540, 1, 1);
        EXPECT_EQ(centre[0], colours[v.face][0]) << v.what;
        EXPECT_EQ(centre[1], colours[v.face][1]) << v.what;
        EXPECT_EQ(centre[2], colours[v.face][2]) << v.what;
        GLint current = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(current, 0) << v.what;
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_BLEND));
        float depth = 0;
        glReadPixels(960, 540, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth, 1.0f) << "depth cleared after the faces";
        // The modelview is left at the camera's look-at.
        float m[16], expected[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glPushMatrix();
        glLoadIdentity();
        gluLookAt(0, 0, 0, v.centre[0], v.centre[1], v.centre[2], v.up[0], v.up[1], v.up[2]);
        glGetFloatv(GL_MODELVIEW_MATRIX, expected);
        glPopMatrix();
        for (int i = 0; i < 16; ++i)
            EXPECT_FLOAT_EQ(m[i], expected[i]) << v.what;
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);

    // With a high-pass program its sampler is set to unit 0 on the way.
    uint32_t program = drawtest::buildProgram(UV_VERTEX, "#version 330 compatibility\n"
                                                         "uniform sampler2D colorMap;\n"
                                                         "void main() { gl_FragColor = texture(colorMap, vec2(0.5)); }\n");
    ASSERT_NE(program, 0u);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "colorMap"), 5);
    glUseProgram(0);
    highpassProgram = program;
    drawSkyBox();
    EXPECT_EQ(drawtest::uniformInt(program, "colorMap"), 0);
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    glDisable(GL_LIGHTING);

    highpassProgram = keepHighpass;
    drawtest::deleteTestProgram(program);
    for (uint32_t& t : skyTextures)
        glDeleteTextures(1, &t);
    std::copy(keep, keep + SKY_FACE_COUNT, skyTextures);
    mainCamera = keepCamera;
}

TEST_F(SceneToolkitGl, KeyPathFollowsTheSceneClockAndKeepsItsHistoryReversed)
{
    if (clockState.frequency == 0) {
        initClockFrequency();
        startClock();
    }
    const int keepStart = sceneStartMs;
    // 20 seconds into the scene: the second flight (keys 2 and 3), half way.
    sceneStartMs = clockNowMs() - 20000;
    glLoadIdentity();
    runCameraKeyPath();
    EXPECT_NEAR(keyPathTime, 20.0f, 0.1f);
    float f = (keyPathTime - 15.0f) / 10.0f;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(pathCamera[i], (1 - f) * cameraKeys[2].eye[i] + f * cameraKeys[3].eye[i], 1e-4f);
        EXPECT_NEAR(pathCamera[3 + i], (1 - f) * cameraKeys[2].centre[i] + f * cameraKeys[3].centre[i], 1e-4f);
    }
    // Centre z first, eye x last.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pathCameraHistory[6 + i], pathCamera[5 - i]) << i;
    // The frame's end hands this frame's values to the previous-frame half.
    endPathCameraFrame();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pathCameraHistory[i], pathCamera[5 - i]) << i;
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NE(m[14], 0.0f) << "the look-at is applied";

    // Past the last window the camera keeps its last value.
    float last[9];
    std::copy(pathCamera, pathCamera + 9, last);
    sceneStartMs = clockNowMs() - 80000;
    runCameraKeyPath();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(pathCamera[i], last[i]);
    sceneStartMs = keepStart;
}

}  // namespace
