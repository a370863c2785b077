// The frame routine's legacy environment state: its program takes the names the
// environment-mapped draw uploads, its studio picture is stored by direction as the program
// reads it, and its frame shows two chrome models that turn, between black bands, with the
// lights of preset 4 uploaded; the effect capture shows the same after the real start-up.
#include "app/legacy_states.h"
#include "core/clock.h"
#include "core/frame_values.h"
#include "platform/gl_api.h"
#include "platform/os_services.h"  // useVirtualCounter
#include "render/legacy_programs.h"
#include "render/lights.h"
#include "scenes/raster_scroller.h"

#include "tests/effect_capture_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int W = 1920, H = 1080;

class LegacyState : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!glTestContext().ready || envProgram != 0)
            return;
        initClockFrequency();
        startClock();
        initLegacyShaders();
        initEnvShader();
        initRasterBars();
        loadLegacyModels();
    }
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        useVirtualCounter(true);
    }
    void TearDown() override { useVirtualCounter(false); }

    // The state's frame `elapsedMs` after it began.
    static std::vector<uint8_t> frameAt(int elapsedMs)
    {
        sceneStartMs = clockNowMs() - elapsedMs;
        drawLegacyState();
        glFinish();
        return readPixelsRgba(0, 0, W, H);
    }
    static const uint8_t* at(const std::vector<uint8_t>& p, int x, int y) { return &p[(static_cast<size_t>(y) * W + x) * 4]; }
    // Pixels brighter than the backdrop inside the rectangle.
    static int litIn(const std::vector<uint8_t>& p, int x0, int y0, int x1, int y1)
    {
        int lit = 0;
        for (int y = y0; y < y1; y += 2)
            for (int x = x0; x < x1; x += 2) {
                const uint8_t* q = at(p, x, y);
                lit += q[0] + q[1] + q[2] > 60;
            }
        return lit;
    }
};

TEST_F(LegacyState, EnvProgramTakesTheEnvironmentDrawsNames)
{
    ASSERT_NE(envProgram, 0u) << "env.vert / env.frag";
    for (const char* name : {"envMap", "normalMap", "lightMap", "angerLight", "scroll", "lightsEnabled",
                             "lightsinvRadius", "lightMapSelect", "lightsPosx", "lightsSpecularb", "hasAnim"})
        EXPECT_GE(glGetUniformLocation(envProgram, name), 0) << name;
    for (const char* name : {"vertexPosition", "vertexNormal", "textureCoord", "vertexTangent"})
        EXPECT_GE(glGetAttribLocation(envProgram, name), 0) << name;
    EXPECT_EQ(glGetAttribLocation(envProgram, "vertexPosition"), 0);
}

TEST_F(LegacyState, StudioPictureIsStoredByDirection)
{
    ASSERT_NE(envCubeTexture, 0u);
    glBindTexture(GL_TEXTURE_2D, envCubeTexture);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    ASSERT_EQ(w, 2 * h) << "a full turn across, half a turn up";
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    auto texel = [&](float u, float v) {
        return &p[(static_cast<size_t>(v * (h - 1)) * w + static_cast<size_t>(u * (w - 1))) * 4];
    };
    // A quarter turn from -z is +x (the warm window), three quarters -x (the cool one); the
    // window stands above eye height; straight up is the bright ceiling, straight down the
    // dark floor.
    const float windowV = 0.5f + std::asin(0.15f / std::sqrt(1.0f + 0.15f * 0.15f)) / 3.1415927f;
    const uint8_t* warm = texel(0.25f, windowV);
    const uint8_t* cool = texel(0.75f, windowV);
    EXPECT_GT(warm[0], warm[2] + 60);
    EXPECT_GT(cool[2], cool[0] + 60);
    const uint8_t* up = texel(0.1f, 1.0f);
    const uint8_t* down = texel(0.1f, 0.0f);
    EXPECT_GT(up[0] + up[1] + up[2], 3 * 200);
    EXPECT_LT(down[0] + down[1] + down[2], 3 * 90);
}

TEST_F(LegacyState, FrameShowsTwoTurningChromeModelsBetweenBlackBands)
{
    ASSERT_NE(blankingTexture, 0u);
    ASSERT_TRUE(legacyModels[0] && legacyModels[1] && legacyRingModels[0] && legacyRingModels[1]);
    const std::vector<uint8_t> first = frameAt(1000);
    for (int y : {0, 60, LEGACY_BAND_HEIGHT - 1, H - LEGACY_BAND_HEIGHT, H - 1})
        for (int x = 0; x < W; x += 7) {
            const uint8_t* q = at(first, x, y);
            ASSERT_EQ(q[0] + q[1] + q[2], 0) << "band pixel " << x << ", " << y;
        }
    // One model (with its ring) on either side of the middle, nothing in the gap between them.
    EXPECT_GT(litIn(first, 250, 300, 860, 780), 10000);
    EXPECT_GT(litIn(first, 1060, 300, 1700, 780), 10000);
    EXPECT_EQ(litIn(first, 920, 200, 1000, 880), 0);
    // The gold model is warm, as its tint and the studio's light make it.
    long red = 0, blue = 0;
    for (int y = 400; y < 680; ++y)
        for (int x = 420; x < 700; ++x) {
            red += at(first, x, y)[0];
            blue += at(first, x, y)[2];
        }
    EXPECT_GT(red, blue * 11 / 10);

    // Preset 4 made visible by the state's upload: the orbiting lights 1 to 13 are on, with
    // their uniform copies written.
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        EXPECT_EQ(lightTable.enabledF[i], 1.0f) << i;
        EXPECT_EQ(lightTable.posX[i], lightTable.position[i][0]) << i;
        EXPECT_EQ(lightTable.posZ[i], lightTable.position[i][2]) << i;
    }

    // Two seconds on, both have turned.
    const std::vector<uint8_t> later = frameAt(3000);
    long changed[2] = {0, 0};
    for (int y = LEGACY_BAND_HEIGHT; y < H - LEGACY_BAND_HEIGHT; y += 2)
        for (int x = 0; x < W; x += 2)
            if (std::abs(int(at(first, x, y)[1]) - int(at(later, x, y)[1])) > 24)
                ++changed[x < W / 2 ? 0 : 1];
    EXPECT_GT(changed[0], 2000);
    EXPECT_GT(changed[1], 2000);
    // The same moment draws the same picture.
    const std::vector<uint8_t> again = frameAt(1000);
    long differing = 0;
    int worst = 0;
    for (size_t i = 0; i < again.size(); ++i)
        if (again[i] != first[i]) {
            ++differing;
            worst = std::max(worst, std::abs(int(again[i]) - int(first[i])));
        }
    EXPECT_EQ(differing, 0) << "worst " << worst;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LegacyState, EmptyModelSlotsLeaveOnlyTheBackdrop)
{
    Model* models[LEGACY_MODEL_COUNT];
    Model* rings[LEGACY_MODEL_COUNT];
    std::copy(legacyModels, legacyModels + LEGACY_MODEL_COUNT, models);
    std::copy(legacyRingModels, legacyRingModels + LEGACY_MODEL_COUNT, rings);
    std::fill(legacyModels, legacyModels + LEGACY_MODEL_COUNT, nullptr);
    std::fill(legacyRingModels, legacyRingModels + LEGACY_MODEL_COUNT, nullptr);
    const std::vector<uint8_t> empty = frameAt(1000);
    std::copy(models, models + LEGACY_MODEL_COUNT, legacyModels);
    std::copy(rings, rings + LEGACY_MODEL_COUNT, legacyRingModels);
    EXPECT_EQ(litIn(empty, 0, 0, W, H), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(LegacyStateCapture, ShowsTheStateAfterTheStartUp)
{
    std::vector<RgbaPicture> frames = captureEffect("legacy-models", "1", 500.0);
    ASSERT_EQ(frames.size(), 1u);
    const RgbaPicture& f = frames[0];
    EXPECT_TRUE(isBlack(f.at(960, 40)));
    EXPECT_TRUE(isBlack(f.at(960, 1040)));
    int lit[2] = {0, 0};
    for (int y = 300; y < 780; y += 4)
        for (int x = 0; x < W; x += 4) {
            const uint8_t* q = f.at(x, y);
            lit[x < W / 2] += q[0] + q[1] + q[2] > 60;
        }
    EXPECT_GT(lit[0], 1500);
    EXPECT_GT(lit[1], 1500);
}

}  // namespace
