// The sky and cloud passes: their programs and textures from the data folder, the time each
// pass uploads (always the value the call before computed), full-screen animated pictures read
// back from the window or the bound framebuffer, and the bindings and state a pass leaves.
#include "core/clock.h"
#include "app/frame.h"
#include "gfx/shaders.h"
#include "platform/os_services.h"
#include "scenes/sky.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int WINDOW_WIDTH = 1920;
constexpr int WINDOW_HEIGHT = 1080;
constexpr size_t PIXEL_COUNT = static_cast<size_t>(WINDOW_WIDTH) * WINDOW_HEIGHT;

float uploadedTime(uint32_t program)
{
    float value = -1.0f;
    glGetUniformfv(program, glGetUniformLocation(program, "iGlobalTime"), &value);
    return value;
}

struct PictureStats {
    size_t black = 0;    // pixels left at the clear colour
    double meanLevel = 0;
};

PictureStats measure(const std::vector<uint8_t>& rgba)
{
    PictureStats stats;
    double sum = 0;
    for (size_t i = 0; i < PIXEL_COUNT; ++i) {
        const int level = rgba[i * 4] + rgba[i * 4 + 1] + rgba[i * 4 + 2];
        stats.black += level == 0;
        sum += level / 3.0;
    }
    stats.meanLevel = sum / PIXEL_COUNT;
    return stats;
}

double changedFraction(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    size_t changed = 0;
    for (size_t i = 0; i < PIXEL_COUNT; ++i)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(a[i * 4 + c] - b[i * 4 + c]) > 8) {
                ++changed;
                break;
            }
    return static_cast<double>(changed) / PIXEL_COUNT;
}

// A colour target the size of the window, to see which framebuffer a pass draws into.
struct OffscreenTarget {
    GLuint framebuffer = 0;
    GLuint texture = 0;
    OffscreenTarget()
    {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, WINDOW_WIDTH, WINDOW_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    }
    ~OffscreenTarget()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &texture);
    }
};

std::vector<uint8_t> readFramebuffer(GLuint framebuffer)
{
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    std::vector<uint8_t> pixels = readPixelsRgba(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    return pixels;
}

void clearFramebuffer(GLuint framebuffer)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

class SkyPasses : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        static bool loaded = false;
        if (!loaded) {
            initSkyShaders();
            loaded = true;
        }
        useVirtualCounter(true);
        setVirtualCounter(0);
        initClockFrequency();
        startClock();
        sceneStartMs = 0;

        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The caller's camera, which the passes must not see.
        setCallersCamera(true);
    }
    void TearDown() override
    {
        useVirtualCounter(false);
        sceneStartMs = 0;
        shaderLoader.unuse();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_BLEND);
    }
    static void atMs(double ms) { setVirtualCounter(static_cast<long long>(ms * 1.0e6)); }
};

// Runs first in the program, before any other pass has advanced the time.
TEST_F(SkyPasses, FirstPassUploadsTheInitialTimeZero)
{
    ASSERT_EQ(skyTime, 0.0f);
    atMs(500.0);
    drawSkyOrClouds(0);
    EXPECT_EQ(uploadedTime(cloudProgram), 0.0f);
    EXPECT_NE(skyTime, 0.0f);
}

TEST_F(SkyPasses, ProgramsLinkWithTheirUniformsAndTexturesLoad)
{
    const struct {
        const char* name;
        uint32_t program;
        std::vector<const char*> uniforms;
    } programs[] = {
        {"cloudshader.frag", cloudProgram, {"iChannel0", "iChannel1", "iGlobalTime"}},
        {"sky.frag", skyProgram, {"iChannel0", "iChannel1", "colorAbber", "skyclouds", "iGlobalTime"}},
    };
    for (const auto& p : programs) {
        SCOPED_TRACE(p.name);
        ASSERT_NE(p.program, 0u);
        GLint linked = GL_FALSE;
        glGetProgramiv(p.program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);
        for (const char* uniform : p.uniforms)
            EXPECT_GE(glGetUniformLocation(p.program, uniform), 0) << uniform;
    }
    EXPECT_NE(cloudProgram, skyProgram);

    // Each texture is its own picture, not a stand-in default: power-of-two sides above 8.
    const std::vector<uint32_t> textures = {noiseTextureA, noiseTextureB, skyColorTexture, skyCloudsTexture};
    for (size_t i = 0; i < textures.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(textures[i], 0u);
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(textures[i], textures[j]);
        GLint width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_GT(width, 8);
        EXPECT_GT(height, 8);
        EXPECT_EQ(width & (width - 1), 0);
        EXPECT_EQ(height & (height - 1), 0);
    }
}

TEST_F(SkyPasses, EachPassUploadsTheTimeTheCallBeforeComputed)
{
    // 16.666666 ms per frame; the ping-pong turns at 10000.
    const double turnBackMs = 10.0 + 16.666666 * 237500.0;  // 9500 on the way past 10000
    const struct {
        const char* name;
        std::function<void()> draw;
        uint32_t program;
        int sceneStart;
        std::vector<std::pair<double, float>> clockAndTime;  // clock ms -> skyTime after the call
    } cases[] = {
        // From 10 ms on the clock, 0.04 per frame.
        {"clouds", [] { drawSkyOrClouds(0); }, cloudProgram, 0,
         {{10.0, 1000.0f}, {60010.0, 1144.0f}, {turnBackMs, 9500.0f}}},
        {"sky", [] { drawSkyOrClouds(1); }, skyProgram, 0, {{10.0, 1000.0f}, {60010.0, 1144.0f}}},
        // From 10 ms after the state's start, 0.1 per frame: at the very start just below 1000.
        {"background", drawSkyBackground, skyProgram, 50000,
         {{50000.0, 999.94f}, {110010.0, 1360.0f}, {50010.0 + 16.666666 * 95000.0, 9500.0f}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sceneStartMs = c.sceneStart;
        skyTime = 123.5f;  // whatever an earlier pass left
        float previous = skyTime;
        for (const auto& step : c.clockAndTime) {
            SCOPED_TRACE(step.first);
            atMs(step.first);
            c.draw();
            EXPECT_EQ(uploadedTime(c.program), previous);
            EXPECT_NEAR(skyTime, step.second, 0.01f);
            previous = skyTime;
        }
    }
}

TEST_F(SkyPasses, PassesCoverTheScreenWithAnAnimatedPicture)
{
    const struct {
        const char* name;
        std::function<void()> draw;
    } cases[] = {
        {"clouds", [] { drawSkyOrClouds(0); }},
        {"background", drawSkyBackground},
        // The sky through drawSkyOrClouds relies on the colour and cloud units the background set.
        {"sky after the background", [] { drawSkyOrClouds(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> pictures[2];
        const float times[2] = {1000.0f, 1300.0f};
        for (int i = 0; i < 2; ++i) {
            glClear(GL_COLOR_BUFFER_BIT);
            skyTime = times[i];
            c.draw();
            pictures[i] = readPixelsRgba(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
            const PictureStats stats = measure(pictures[i]);
            EXPECT_EQ(stats.black, 0u) << "pixels the pass left at the clear colour";
            EXPECT_GT(stats.meanLevel, 40.0);
        }
        EXPECT_GT(changedFraction(pictures[0], pictures[1]), 0.2);
    }
}

TEST_F(SkyPasses, PassesDrawIntoTheBoundFramebufferAndTheBackgroundIntoTheScreen)
{
    OffscreenTarget target;
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    for (int useSky : {0, 1}) {
        SCOPED_TRACE(useSky);
        clearFramebuffer(target.framebuffer);
        clearFramebuffer(0);
        glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
        drawSkyOrClouds(useSky);
        GLint bound = -1;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), target.framebuffer);
        EXPECT_EQ(measure(readFramebuffer(target.framebuffer)).black, 0u);
        EXPECT_EQ(measure(readFramebuffer(0)).black, PIXEL_COUNT);
    }
    clearFramebuffer(target.framebuffer);
    clearFramebuffer(0);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    drawSkyBackground();
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(measure(readFramebuffer(target.framebuffer)).black, PIXEL_COUNT);
    EXPECT_EQ(measure(readFramebuffer(0)).black, 0u);
}

TEST_F(SkyPasses, PassesBindTheirTexturesAndLeaveTheirState)
{
    struct Sampler {
        const char* name;
        int unit;
        uint32_t texture;
    };
    const struct {
        const char* name;
        std::function<void()> draw;
        uint32_t program;
        std::vector<Sampler> samplers;
    } cases[] = {
        {"clouds", [] { drawSkyOrClouds(0); }, cloudProgram,
         {{"iChannel0", 0, noiseTextureA}, {"iChannel1", 1, noiseTextureB}}},
        {"sky", [] { drawSkyOrClouds(1); }, skyProgram,
         {{"iChannel0", 0, noiseTextureA}, {"iChannel1", 1, noiseTextureB}}},
        {"background", drawSkyBackground, skyProgram,
         {{"iChannel0", 0, noiseTextureA}, {"iChannel1", 1, noiseTextureB}, {"colorAbber", 2, skyColorTexture},
          {"skyclouds", 3, skyCloudsTexture}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int unit = 0; unit < 4; ++unit) {
            glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        GLfloat projection[16], modelview[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        while (glGetError() != GL_NO_ERROR) {
        }

        c.draw();

        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        EXPECT_EQ(static_cast<uint32_t>(program), c.program);
        EXPECT_EQ(static_cast<uint32_t>(currentShaderProgram), c.program);
        for (const Sampler& s : c.samplers) {
            SCOPED_TRACE(s.name);
            GLint unit = -1, bound = 0;
            glGetUniformiv(c.program, glGetUniformLocation(c.program, s.name), &unit);
            EXPECT_EQ(unit, s.unit);
            glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + s.unit));
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            EXPECT_EQ(static_cast<uint32_t>(bound), s.texture);
        }
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        GLfloat projectionAfter[16], modelviewAfter[16];
        GLint matrixMode = 0;
        glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_MODELVIEW);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(projectionAfter[i], projection[i]);
            EXPECT_EQ(modelviewAfter[i], modelview[i]);
        }
    }
}

}  // namespace
