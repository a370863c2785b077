// The palette-blur logo scene: the border kick and countdown, the title's timing on the
// virtual clock, and captures of the real scene in which the title settles.
#include "core/clock.h"
#include "app/frame.h"
#include "gfx/model.h"
#include "gfx/shaders.h"
#include "gfx/tga.h"
#include "gl_test_context.h"
#include "platform/os_services.h"
#include "png_read.h"
#include "program_runner.h"
#include "render/model_draw.h"
#include "scenes/logo_glow_scene.h"
#include "scenes/palette_logo_scene.h"
#include "scenes/toolkit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The shared values the step writes, put back after each case.
struct SharedValues {
    float border = radialBlurBorder;
    float countdown = beatCountdown;
    float dt = frameDt;
    ~SharedValues()
    {
        radialBlurBorder = border;
        beatCountdown = countdown;
        frameDt = dt;
    }
};

TEST(PaletteBorder, ShrinksOnlyWhileACountdownRunsAndNeverBelowTen)
{
    struct Case {
        const char* what;
        bool kick;
        float border, countdown, dt;
        float borderAfter, countdownAfter;
    };
    const Case cases[] = {
        {"rest stays at the floor", false, 10.0f, 0.0f, 1.0f, 10.0f, 0.0f},
        {"a wide border without countdown stays", false, 250.0f, 0.0f, 1.0f, 250.0f, 0.0f},
        {"a running countdown shrinks it", false, 100.0f, 5.0f, 1.0f, 65.0f, 4.0f},
        {"the shrink scales with the frame time", false, 100.0f, 5.0f, 2.0f, 30.0f, 3.0f},
        {"the floor holds", false, 20.0f, 3.0f, 1.0f, 10.0f, 2.0f},
        {"the countdown stops at zero", false, 300.0f, 0.5f, 1.0f, 265.0f, 0.0f},
        {"a kick raises it in the same frame", true, 10.0f, 0.0f, 1.0f, 365.0f, 24.0f},
        {"a kick restarts a running countdown", true, 50.0f, 3.0f, 0.5f, 382.5f, 24.5f},
        {"a kick after a long stall still ends at the floor", true, 10.0f, 0.0f, 30.0f, 10.0f, 0.0f},
    };
    SharedValues saved;
    for (const Case& c : cases) {
        radialBlurBorder = c.border;
        beatCountdown = c.countdown;
        frameDt = c.dt;
        stepPaletteBorder(c.kick);
        EXPECT_FLOAT_EQ(radialBlurBorder, c.borderAfter) << c.what;
        EXPECT_FLOAT_EQ(beatCountdown, c.countdownAfter) << c.what;
    }
}

TEST(PaletteBorder, AKickShrinksBackToTheFloorWithinItsCountdown)
{
    SharedValues saved;
    radialBlurBorder = 10.0f;
    beatCountdown = 0.0f;
    frameDt = 1.0f;
    stepPaletteBorder(true);
    std::vector<float> borders;
    for (int frame = 0; frame < 30; ++frame) {
        stepPaletteBorder(false);
        borders.push_back(radialBlurBorder);
    }
    EXPECT_FLOAT_EQ(borders[0], 330.0f);
    EXPECT_FLOAT_EQ(borders[9], 15.0f);
    EXPECT_FLOAT_EQ(borders[10], 10.0f);
    EXPECT_FLOAT_EQ(borders.back(), 10.0f);
    EXPECT_FLOAT_EQ(beatCountdown, 0.0f);
}

// The title on the virtual clock, the scene starting at 1000 ms.
class PaletteTitleClock : public ::testing::Test {
protected:
    int savedSceneStart = sceneStartMs;
    void SetUp() override
    {
        useVirtualCounter(true);
        setVirtualCounter(0);
        initClockFrequency();
        startClock();
        sceneStartMs = SCENE_START_MS;
    }
    void TearDown() override
    {
        useVirtualCounter(false);
        sceneStartMs = savedSceneStart;
    }
    static constexpr int SCENE_START_MS = 1000;
    static int titleXAt(int sceneMs)
    {
        setVirtualCounter(static_cast<long long>(SCENE_START_MS + sceneMs) * 1000000LL);
        return paletteTitleX();
    }
};

TEST_F(PaletteTitleClock, HiddenForThreeAndAHalfSecondsThenSwingsInAndSettlesAtEight)
{
    EXPECT_EQ(titleXAt(0), TITLE_HIDDEN_X);
    EXPECT_EQ(titleXAt(3499), TITLE_HIDDEN_X);
    // At 3500 ms the slide has not begun: the full swing amplitude, to the left.
    const double swing = static_cast<double>(static_cast<float>(3500.0 / static_cast<double>(16.666666f) *
                                                                0.01666666753590107));
    const int h = std::abs(static_cast<int>(1920.0 * std::sin(swing - 1.57)));
    EXPECT_EQ(titleXAt(3500), -h);
    EXPECT_LT(titleXAt(3500), -1500);
    // Still moving half way through the slide, in place from 8 s on.
    EXPECT_LT(titleXAt(6000), -300);
    EXPECT_EQ(titleXAt(8000), 0);
    EXPECT_EQ(titleXAt(8500), 0);
    EXPECT_EQ(titleXAt(15000), 0);
}

// The copies drawn the scene's way match 120 plain drawSkinnedModel calls, pixel for pixel.
TEST(PaletteLogoCopies, DrawTheSamePictureAsOneDrawPerCopy)
{
    REQUIRE_GL_CONTEXT();
    Model* model = loadModel("thinlogo.3dm");
    ASSERT_NE(model, nullptr);
    const uint32_t savedProgram = selfIllumProgram;
    selfIllumProgram = shaderLoader.load("passthroughvertexshader.vert", "selfillum.frag");
    ASSERT_NE(selfIllumProgram, 0u);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, 1.7777777910232544, 0.1, 100.0);
    gluLookAt(2.0388, 2.8107, 11.4284, 1.8934, 2.3867, 7.8959, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // Brighter copies than the scene's, so every overlap count shows in the bytes.
    const PaletteLogoPhases phases = {37.0f, 1.3f, 4.1f, 0.4f, 2.2f};

    std::vector<uint8_t> pictures[2];
    for (int way = 0; way < 2; ++way) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(0.02f, 0.02f, 0.02f, 1.0f);
        if (way == 0) {
            drawPaletteLogoCopies(*model, phases);
        } else {
            for (int i = 0; i < PALETTE_LOGO_COPIES; ++i) {
                loadPaletteLogoTransform(phases, i);
                drawSkinnedModel(*model, -1, static_cast<int>(selfIllumProgram));
            }
        }
        glFinish();
        pictures[way] = readPixelsRgba(0, 0, 1920, 1080);
    }
    int lit = 0, brightest = 0;
    for (size_t i = 0; i < pictures[0].size(); i += 4) {
        lit += pictures[0][i + 1] > 0 ? 1 : 0;
        brightest = std::max(brightest, static_cast<int>(pictures[0][i + 1]));
    }
    EXPECT_GT(lit, 5000);
    EXPECT_GT(brightest, 60);  // many copies overlap somewhere
    EXPECT_TRUE(pictures[0] == pictures[1]);

    shaderLoader.unuse();
    for (int unit = MODEL_TEXTURE_UNITS - 1; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glColor4f(1, 1, 1, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    selfIllumProgram = savedProgram;
}

// Screen pixels whose title texels (and their neighbours, for the filtering) are all opaque,
// or all transparent, sampled on a coarse grid; the corner tag of the frame is left out.
struct TitlePixels {
    std::vector<std::pair<int, int>> letters;
    std::vector<std::pair<int, int>> clear;
};

bool readTitlePixels(TitlePixels& pixels)
{
    TgaImage image;
    if (!loadTgaImage(image, "ovantra.tga") || image.bpp != 32)
        return false;
    const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
    auto alpha = [&](int tx, int ty) {
        tx = std::min(std::max(tx, 0), w - 1);
        ty = std::min(std::max(ty, 0), h - 1);
        return image.data[(static_cast<size_t>(ty) * w + tx) * 4 + 3];
    };
    constexpr int NEIGHBOURS = 2;
    for (int y = 2; y < 1080; y += 4) {
        for (int x = 2; x < 1920; x += 4) {
            if (x >= 1400 && y < 264)
                continue;
            const int tx = static_cast<int>((x + 0.5) * w / 1920.0);
            const int ty = static_cast<int>((y + 0.5) * h / 1080.0);
            bool opaque = true, transparent = true;
            for (int dy = -NEIGHBOURS; dy <= NEIGHBOURS; ++dy)
                for (int dx = -NEIGHBOURS; dx <= NEIGHBOURS; ++dx) {
                    const int a = alpha(tx + dx, ty + dy);
                    opaque = opaque && a == 255;
                    transparent = transparent && a == 0;
                }
            if (opaque)
                pixels.letters.emplace_back(x, y);
            else if (transparent)
                pixels.clear.emplace_back(x, y);
        }
    }
    releaseTgaImage(image);
    return true;
}

int largestChannelDifference(const RgbaPicture& a, const RgbaPicture& b, int x, int y)
{
    int largest = 0;
    for (int c = 0; c < 3; ++c)
        largest = std::max(largest, std::abs(static_cast<int>(a.at(x, y)[c]) - static_cast<int>(b.at(x, y)[c])));
    return largest;
}

double shareDiffering(const RgbaPicture& a, const RgbaPicture& b, const std::vector<std::pair<int, int>>& pixels,
                      int tolerance)
{
    int differing = 0;
    for (const auto& p : pixels)
        if (largestChannelDifference(a, b, p.first, p.second) > tolerance)
            ++differing;
    return pixels.empty() ? 0.0 : static_cast<double>(differing) / pixels.size();
}

TEST(PaletteLogoCapture, TheTitleIsInPlaceFromEightSecondsWhileTheTrailsMoveOn)
{
    TitlePixels title;
    ASSERT_TRUE(readTitlePixels(title));
    ASSERT_GT(title.letters.size(), 2000u);  // real lettering, not a sliver

    const double start = stateStartSeconds(STATE_PALETTE_LOGO);
    const double sceneSeconds[] = {6.0, 8.5, 10.0};
    std::filesystem::path out = scratchPath("mornglow-palette-title");
    std::filesystem::remove_all(out);
    std::string times;
    std::vector<long long> names;
    for (double s : sceneSeconds) {
        const double music = start + s;
        times += (times.empty() ? "" : ",") + std::to_string(music);
        names.push_back(std::llround(music * 1000.0));
    }
    // The title and the palette follow the clock alone, so long steps show the same frames.
    ProgramRun run = runProgram("LP_NUM_THREADS=2 " BINARY_DIR "/demo-capture --step-ms 500 --out '" + out.string() +
                                "' --at " + times);
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    RgbaPicture frames[3];
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(readPng((out / ("frame_" + std::to_string(names[i]) + ".png")).string(), frames[i]));

    // Settled: every letter pixel is the same at 8.5 s and at 10 s.
    EXPECT_EQ(shareDiffering(frames[1], frames[2], title.letters, 2), 0.0);
    // Meanwhile the trails and the palette behind the title have moved on...
    EXPECT_GT(shareDiffering(frames[1], frames[2], title.clear, 8), 0.3);
    // ...and at 6 s the title was still swinging.
    EXPECT_GT(shareDiffering(frames[0], frames[2], title.letters, 8), 0.3);
}

}  // namespace
