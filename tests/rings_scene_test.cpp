// The spheres-and-rings scene: the beat and angle steps, the generated sphere and ring models,
// the shadow map and the lit frame it draws, and its captures over the background.
#include "app/frame.h"
#include "core/keyboard.h"
#include "gfx/model.h"
#include "gfx/model_3dm.h"
#include "gfx/shadow_map.h"
#include "gfx/tga.h"
#include "render/camera.h"
#include "render/light_space.h"
#include "render/overlay.h"
#include "scenes/rings_scene.h"
#include "scenes/scenes.h"
#include "scenes/toolkit.h"

#include "gl_test_context.h"  // also the GL and GLU declarations
#include "png_read.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---- The beat and the ring angles -------------------------------------------------------

class RingsStep : public testing::Test {
protected:
    void SetUp() override
    {
        savedCountdown = beatCountdown;
        for (int i = 0; i < RING_COUNT; ++i) {
            savedX[i] = ringAnglesX[i];
            savedZ[i] = ringAnglesZ[i];
        }
    }
    void TearDown() override
    {
        beatCountdown = savedCountdown;
        for (int i = 0; i < RING_COUNT; ++i) {
            ringAnglesX[i] = savedX[i];
            ringAnglesZ[i] = savedZ[i];
        }
    }
    float savedCountdown = 0;
    float savedX[RING_COUNT] = {};
    float savedZ[RING_COUNT] = {};
};

struct BeatCase {
    const char* what;
    float countdown;
    bool beat;
    float dt;
    float speed;
    float countdownAfter;
};

TEST_F(RingsStep, BeatSetsTheSpeedAndCountsDown)
{
    const BeatCase cases[] = {
        {"calm", 0.0f, false, 1.0f, 0.4f, 0.0f},
        {"countdown running", 5.0f, false, 1.0f, 2.0f, 4.0f},
        {"last part of the countdown", 0.5f, false, 1.0f, 2.0f, 0.0f},
        {"beat", 0.0f, true, 1.0f, 2.0f, 9.0f},
        {"beat restarts a running countdown", 3.0f, true, 1.5f, 2.0f, 8.5f},
        {"beat in a frame longer than the countdown", 0.0f, true, 12.0f, 2.0f, 0.0f},
    };
    for (const BeatCase& c : cases) {
        beatCountdown = c.countdown;
        EXPECT_FLOAT_EQ(stepRingsBeat(c.beat, c.dt), c.speed) << c.what;
        EXPECT_FLOAT_EQ(beatCountdown, c.countdownAfter) << c.what;
    }
}

TEST_F(RingsStep, ABeatGivesTenFastFramesAt60Hz)
{
    beatCountdown = 0.0f;
    std::vector<float> speeds;
    speeds.push_back(stepRingsBeat(true, 1.0f));
    for (int frame = 0; frame < 12; ++frame)
        speeds.push_back(stepRingsBeat(false, 1.0f));
    for (size_t i = 0; i < speeds.size(); ++i)
        EXPECT_FLOAT_EQ(speeds[i], i < 10 ? 2.0f : 0.4f) << "frame " << i;
}

TEST_F(RingsStep, AnglesGrowByTheirRatesAndWrapOnce)
{
    const float startX[RING_COUNT] = {0.0f, 35.0f, 70.0f, 105.0f};
    for (int i = 0; i < RING_COUNT; ++i) {
        ringAnglesX[i] = startX[i];
        ringAnglesZ[i] = 0.0f;
    }
    advanceRingAngles(0.4f, 1.0f);
    const float stepZ[RING_COUNT] = {0.4f, 0.44f, 0.48f, 0.52f};
    for (int i = 0; i < RING_COUNT; ++i) {
        EXPECT_NEAR(ringAnglesX[i], startX[i] + stepZ[i], 1e-5f) << "ring " << i + 1;
        EXPECT_NEAR(ringAnglesZ[i], stepZ[i], 1e-5f) << "ring " << i + 1;
    }

    struct WrapCase {
        const char* what;
        float angle, speed, dt, after;  // ring 1 (rate 1)
    };
    const WrapCase wraps[] = {
        {"passes 360", 359.8f, 0.4f, 1.0f, 0.2f},
        {"ends on 360 exactly", 359.5f, 0.5f, 1.0f, 360.0f},
        {"a very long frame subtracts 360 once", 300.0f, 2.0f, 250.0f, 440.0f},
    };
    for (const WrapCase& w : wraps) {
        ringAnglesX[0] = w.angle;
        ringAnglesZ[0] = w.angle;
        advanceRingAngles(w.speed, w.dt);
        EXPECT_NEAR(ringAnglesX[0], w.after, 1e-3f) << w.what;
        EXPECT_NEAR(ringAnglesZ[0], w.after, 1e-3f) << w.what;
    }
}

// ---- The generated models ----------------------------------------------------------------

constexpr float SCENE_MODEL_SCALE = 0.05f * 0.5f;  // load scale times the scene's own

struct Point {
    float x, y, z;
};

bool readModelFile(const std::string& name, Model3dmFile& file, std::string& error)
{
    std::ifstream in(std::string(RUN_DIR) + "/data/" + name, std::ios::binary);
    if (!in) {
        error = "cannot open " + name;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string bytes = text.str();
    return parse3dm(bytes.data(), bytes.size(), name.c_str(), READ_3DM_MODEL, file, error);
}

Point vertexOf(const std::vector<float>& array, size_t v, float scale)
{
    return Point{array[3 * v] * scale, array[3 * v + 1] * scale, array[3 * v + 2] * scale};
}

// A triangle's corners as text, rounded, starting at the smallest corner so that the same
// triangle in the same winding gives the same key.
std::string triangleKey(const Model3dmFile& file, size_t t, bool reversed)
{
    std::array<std::string, 3> corners;
    for (int k = 0; k < 3; ++k) {
        const Point p = vertexOf(file.positions, 3 * t + k, 1.0f);
        char text[96];
        std::snprintf(text, sizeof text, "%.3f,%.3f,%.3f", static_cast<double>(p.x), static_cast<double>(p.y),
                      static_cast<double>(p.z));
        corners[reversed ? (3 - k) % 3 : k] = text;
    }
    int first = 0;
    for (int k = 1; k < 3; ++k)
        if (corners[k] < corners[first])
            first = k;
    return corners[first] + "|" + corners[(first + 1) % 3] + "|" + corners[(first + 2) % 3];
}

struct ModelExpectation {
    const char* file;
    float radius;  // centre line of a ring; 0 for the sphere
};

const ModelExpectation RINGS_MODELS[RINGS_MODEL_COUNT] = {
    {"sphere1.3dm", 0.0f}, {"ring1.3dm", 0.8f}, {"ring2.3dm", 1.1f}, {"ring3.3dm", 1.4f}, {"ring4.3dm", 1.7f},
};

TEST(RingsModels, AreNestedStaticDoubleSidedShellsWithTheirTextureSets)
{
    float previousOuter = 0.0f;
    for (const ModelExpectation& expected : RINGS_MODELS) {
        SCOPED_TRACE(expected.file);
        Model3dmFile file;
        std::string error;
        ASSERT_TRUE(readModelFile(expected.file, file, error)) << error;
        EXPECT_FALSE(file.hasSkeleton);
        ASSERT_GT(file.triangleCount, 0);

        const std::string key = file.objectName.substr(0, file.objectName.find('_'));
        for (const char* suffix : {".tga", "_normal.tga", "_chraber.tga", "_specular.tga"})
            EXPECT_TRUE(std::filesystem::exists(std::string(RUN_DIR) + "/data/" + key + suffix)) << key << suffix;

        // Size after the scene's scaling, and normals pointing out of the surface.
        float nearest = 1e9f, farthest = 0.0f;
        int inward = 0;
        const size_t vertices = 3 * static_cast<size_t>(file.triangleCount);
        for (size_t v = 0; v < vertices; ++v) {
            const Point p = vertexOf(file.positions, v, SCENE_MODEL_SCALE);
            const Point n = vertexOf(file.normals, v, 1.0f);
            const float distance = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
            nearest = std::fmin(nearest, distance);
            farthest = std::fmax(farthest, distance);
            Point centre{0, 0, 0};
            const float across = std::sqrt(p.x * p.x + p.z * p.z);
            if (expected.radius > 0.0f && across > 0.0f)
                centre = Point{p.x / across * expected.radius, 0.0f, p.z / across * expected.radius};
            if (n.x * (p.x - centre.x) + n.y * (p.y - centre.y) + n.z * (p.z - centre.z) <= 0.0f)
                ++inward;
        }
        EXPECT_EQ(inward, 0);
        if (expected.radius > 0.0f) {
            EXPECT_NEAR((nearest + farthest) / 2, expected.radius, 0.05f);
            EXPECT_LT(farthest - nearest, 0.25f) << "a thin ring";
        } else {
            EXPECT_GT(nearest, 0.3f);
            EXPECT_NEAR(farthest - nearest, 0.0f, 0.01f) << "a sphere";
        }
        EXPECT_GT(nearest, previousOuter) << "clear of the model inside it, whatever their turns";
        previousOuter = farthest;

        // Front faces are culled: every triangle must also be there in the other winding.
        std::map<std::string, int> windings;
        for (size_t t = 0; t < static_cast<size_t>(file.triangleCount); ++t)
            ++windings[triangleKey(file, t, false)];
        int unpaired = 0;
        for (size_t t = 0; t < static_cast<size_t>(file.triangleCount); ++t)
            if (windings[triangleKey(file, t, true)] != windings[triangleKey(file, t, false)])
                ++unpaired;
        EXPECT_EQ(unpaired, 0);
    }
}

// ---- The scene drawn in-process ----------------------------------------------------------

constexpr int SHADOW_CORNER_TEXEL = 4;
constexpr int CHANGED_LEVEL = 24;  // a pixel differs when a channel moves by more than this

class RingsSceneGl : public testing::Test {
protected:
    static std::string& initOutput()
    {
        static std::string output;
        return output;
    }

    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        if (shadowLitProgram == 0 || shadowDepthProgram == 0) {
            testing::internal::CaptureStdout();
            initShadowPrograms();
            testing::internal::GetCapturedStdout();
        }
        if (backgroundTexture == 0) {
            testing::internal::CaptureStdout();
            loadOverlayTextures();
            testing::internal::GetCapturedStdout();
        }
        if (!ringsModels[0]) {
            std::fflush(stdout);  // nothing printed earlier may land in the capture
            testing::internal::CaptureStdout();
            initRingsScene();
            initOutput() = testing::internal::GetCapturedStdout();
        }
        savedCountdown = beatCountdown;
        savedDt = frameDt;
        savedFlags = beatFlags;
        savedCamera = mainCamera;
        beatCountdown = 0.0f;
        frameDt = 1.0f;
        beatFlags = 0;
        keyboardState.pressed[RINGS_BEAT_KEY] = 0;
    }

    void TearDown() override
    {
        beatCountdown = savedCountdown;
        frameDt = savedDt;
        beatFlags = savedFlags;
        mainCamera = savedCamera;
        // The scene leaves a ring's transform in the modelview and its own camera in the
        // projection: later cases of the program start from a new context's state.
        restoreGlDefaults();
    }

    // One frame as the frame routine runs it: its perspective and the look-at of mainCamera in
    // the projection, the modelview current. The scene sets the camera it is seen with from the
    // next frame on, so each case draws a first frame to put it in place.
    static void drawFrame()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
        mainCamera.applyLookAt();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        drawRingsScene();
    }

    static std::vector<uint8_t> screen()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glFinish();
        return readPixelsRgba(0, 0, 1920, 1080);
    }

    float savedCountdown = 0, savedDt = 0;
    int savedFlags = 0;
    Camera savedCamera{};
};

int changedPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int changed = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            if (std::abs(a[i + c] - b[i + c]) > CHANGED_LEVEL) {
                ++changed;
                break;
            }
    return changed;
}

TEST_F(RingsSceneGl, InitReportsEachModelLoadInOrder)
{
    const std::string& out = initOutput();
    ASSERT_FALSE(out.empty()) << "the scene was initialised before this test program ran it";
    const char* const marks[] = {"is1",       "sphere1.3dm\n", "is11\n", "is2\n", "ring1.3dm\n", "is3\n",
                                 "ring2.3dm\n", "is4\n",       "ring3.3dm\n", "is5\n", "ring4.3dm\n", "is6\n"};
    size_t at = 0;
    for (const char* mark : marks) {
        const size_t found = out.find(mark, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << mark;
        at = found + 1;
    }
    EXPECT_EQ(out.rfind("is1sphere1.3dm\n", 0), 0u) << out.substr(0, 40);
    for (Model* model : ringsModels)
        ASSERT_NE(model, nullptr);
}

TEST_F(RingsSceneGl, ShadowMapHoldsTheModelsAndLeavesTheRestWhite)
{
    drawFrame();
    frameDt = 0.0f;  // keep the rings where they are
    drawFrame();

    // Where the sphere's centre falls in the light's view, something nearer the light than the
    // centre (the sphere's surface, or a ring in front of it) was written.
    const float centre[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1.5f, 0.9f, -3.5f, 1};
    const float light[3] = {1.0f, 2.5f, 2.0f};
    float mvp[16], bias[16];
    lightSpaceMatrices(centre, light, 0.04f, 0.022f, mvp, bias);
    const float s = bias[12], t = bias[13], centreDepth = bias[14];
    ASSERT_GT(s, 0.0f);
    ASSERT_LT(s, 1.0f);
    ASSERT_GT(t, 0.0f);
    ASSERT_LT(t, 1.0f);

    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    const int x = static_cast<int>(s * SHADOW_MAP_SIZE), y = static_cast<int>(t * SHADOW_MAP_SIZE);
    const std::vector<uint8_t> under = readPixelsRgba(x, y, 1, 1);
    const double stored = (under[0] * 65536.0 + under[1] * 256.0 + under[2]) / 16777215.0;
    EXPECT_LT(under[0], 255) << "the texel under the models is darker than white";
    EXPECT_LT(stored, centreDepth - 0.01);
    const std::vector<uint8_t> corner = readPixelsRgba(SHADOW_CORNER_TEXEL, SHADOW_CORNER_TEXEL, 1, 1);
    EXPECT_EQ(corner[0], 255);
    EXPECT_EQ(corner[1], 255);
    EXPECT_EQ(corner[2], 255);
}

TEST_F(RingsSceneGl, ShadowsOnlyDarkenAndDoDarkenPartsOfTheModels)
{
    drawFrame();
    frameDt = 0.0f;
    drawFrame();
    const std::vector<uint8_t> shadowed = screen();

    // The same lit pass over an empty (white) shadow map: nothing is in shadow any more.
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glCullFace(GL_FRONT);  // as the scene has it between its two passes
    drawRingsLitPass();
    glCullFace(GL_BACK);
    const std::vector<uint8_t> unshadowed = screen();

    int darker = 0, brighter = 0;
    for (size_t i = 0; i + 3 < shadowed.size(); i += 4) {
        const int a = shadowed[i] + shadowed[i + 1] + shadowed[i + 2];
        const int b = unshadowed[i] + unshadowed[i + 1] + unshadowed[i + 2];
        if (a < b - 12)
            ++darker;
        else if (a > b + 12)
            ++brighter;
    }
    EXPECT_GT(darker, 2000) << "shadowed parts of the sphere and rings";
    EXPECT_LT(brighter, darker / 100) << "a shadow never brightens";
}

TEST_F(RingsSceneGl, ABeatMakesTheRingsJumpFurtherThanACalmFrame)
{
    drawFrame();
    drawFrame();
    const std::vector<uint8_t> first = screen();
    drawFrame();
    const std::vector<uint8_t> calm = screen();
    beatFlags = 1;
    drawFrame();
    const std::vector<uint8_t> afterBeat = screen();
    beatFlags = 0;
    drawFrame();
    const std::vector<uint8_t> stillFast = screen();

    const int calmChange = changedPixels(first, calm);
    const int beatChange = changedPixels(calm, afterBeat);
    const int fastChange = changedPixels(afterBeat, stillFast);
    EXPECT_GT(calmChange, 0);
    EXPECT_GT(beatChange, 2 * calmChange) << calmChange << " " << beatChange;
    EXPECT_GT(fastChange, 2 * calmChange) << "the countdown keeps them fast";
}

TEST_F(RingsSceneGl, LeavesBackFaceCullingAndTheScreenViewport)
{
    drawFrame();
    GLint cullMode = 0, viewport[4] = {};
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(cullMode, GL_BACK) << "the scenes after this one draw for back-face culling";
    EXPECT_EQ(viewport[2], 1920);
    EXPECT_EQ(viewport[3], 1080);
    EXPECT_EQ(mainCamera.eye[0], -3.0f);
    EXPECT_EQ(mainCamera.centre[2], 0.526f);
}

// ---- Captures of the demo ----------------------------------------------------------------

struct ScreenPoint {
    const char* where;
    int x, y;  // y from the bottom
};

// Near three corners, clear of the picture's wrapped edge texels; the bottom-right one holds
// the corner overlay.
const ScreenPoint CORNER_POINTS[] = {{"top left", 40, 1040}, {"top right", 1880, 1040}, {"bottom left", 40, 40}};

// The background picture as drawn over the 1920 x 1080 frame: bilinear between texel centres.
std::array<double, 3> backgroundColourAt(const TgaImage& image, int x, int y)
{
    const double u = (x + 0.5) / 1920.0 * image.width - 0.5;
    const double v = (y + 0.5) / 1080.0 * image.height - 0.5;
    const int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
    const double fu = u - u0, fv = v - v0;
    const int bytes = static_cast<int>(image.bpp / 8);
    std::array<double, 3> colour{};
    for (int c = 0; c < 3; ++c) {
        auto texel = [&](int tu, int tv) {
            return static_cast<double>(image.data[(static_cast<size_t>(tv) * image.width + tu) * bytes + c]);
        };
        colour[c] = (1 - fv) * ((1 - fu) * texel(u0, v0) + fu * texel(u0 + 1, v0)) +
                    fv * ((1 - fu) * texel(u0, v0 + 1) + fu * texel(u0 + 1, v0 + 1));
    }
    return colour;
}

TEST(RingsCapture, CornersShowTheSteadyBackgroundPicture)
{
    std::filesystem::path out = scratchPath("mornglow-rings-capture");
    std::filesystem::remove_all(out);
    ProgramRun run = runProgram("LP_NUM_THREADS=2 " BINARY_DIR "/demo-capture --step-ms 250 --out '" + out.string() +
                                "' --at 86.0,90.0");
    ASSERT_EQ(run.exitStatus, 0) << run.output;

    TgaImage background;
    ASSERT_TRUE(loadTgaImage(background, "background.tga"));  // the run directory's data folder

    std::vector<RgbaPicture> pictures;
    for (const char* name : {"frame_86000.png", "frame_90000.png"}) {
        RgbaPicture picture;
        ASSERT_TRUE(readPng((out / name).string(), picture)) << name;
        pictures.push_back(picture);
    }
    for (const ScreenPoint& point : CORNER_POINTS) {
        SCOPED_TRACE(point.where);
        const std::array<double, 3> expected = backgroundColourAt(background, point.x, point.y);
        const uint8_t* early = pictures[0].at(point.x, point.y);
        const uint8_t* late = pictures[1].at(point.x, point.y);
        EXPECT_GT(early[0] + early[1] + early[2], 0) << "not black";
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(early[c], expected[c], 3.0) << "channel " << c;
            EXPECT_EQ(early[c], late[c]) << "channel " << c << " stays put";
        }
    }
    releaseTgaImage(background);
}

}  // namespace
