// The flyover scene: the camera path (the resting first segment and the cut between segments
// 2 and 3), the dust (ageing, respawns by scroll speed, the shadow stand-ins), and captures of
// the scene: sky above, lit landscape below, moving on.
#include "core/clock.h"
#include "app/frame.h"
#include "gfx/model.h"
#include "platform/crt_random.h"
#include "render/camera.h"
#include "render/particles.h"
#include "scenes/flyover_scene.h"
#include "scenes/flyover_terrain.h"
#include "scenes/scenes.h"

#include "gl_test_context.h"  // also the GL and GLU declarations
#include "png_read.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <unistd.h>  // getpid

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---- Camera path ----------------------------------------------------------------------------

void expectPoint(const float* actual, const float* expected, const char* what)
{
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(actual[k], expected[k], 1e-3f) << what << " component " << k;
}

class FlyoverCamera : public testing::Test {
protected:
    void SetUp() override
    {
        initClockFrequency();
        // The scene starts 112 s into the run; the path keys off the clock's distance from 0.
        startClock();
        clockState.clockStart -= static_cast<long long>(112.0 * static_cast<double>(clockState.frequency));
        savedCamera = mainCamera;
        flyoverSegmentIndex = 0;
        flyoverSegmentStartMs = 0.0f;
    }
    void TearDown() override
    {
        mainCamera = savedCamera;
        flyoverSegmentIndex = 0;
        flyoverSegmentStartMs = 0.0f;
        flyoverCameraSegment = 0.0f;
    }
    Camera savedCamera = {};
};

TEST_F(FlyoverCamera, EasingRunsFromZeroToOneThroughTheMiddle)
{
    EXPECT_EQ(flyoverEase(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(flyoverEase(1.0f), 1.0f);
    EXPECT_NEAR(flyoverEase(0.5f), 0.5f, 1e-6f);
    EXPECT_LT(flyoverEase(0.1f), 0.1f);  // slow start
    EXPECT_GT(flyoverEase(0.9f), 0.9f);  // slow end
}

TEST_F(FlyoverCamera, FirstSegmentRestsAtItsEndAndLaterSegmentsStartAtTheirBeginning)
{
    // On entry the index is already 0: no start time is taken and the camera rests at the end
    // of segment 0.
    flyoverCameraSegment = 0.3f;
    updateFlyoverCamera();
    expectPoint(mainCamera.eye, bcPos[0][3], "segment 0 eye");
    expectPoint(mainCamera.centre, bcView[0][3], "segment 0 centre");

    // Segment 1 starts where segment 0 rests.
    flyoverCameraSegment = 1.0f;
    updateFlyoverCamera();
    expectPoint(mainCamera.eye, bcPos[1][0], "segment 1 eye");
    EXPECT_EQ(flyoverSegmentIndex, 1);

    // Segment 2 ends five seconds in; segment 3 then cuts to its own first point.
    flyoverCameraSegment = 2.5f;
    updateFlyoverCamera();
    flyoverSegmentStartMs -= 5000.0f;
    updateFlyoverCamera();
    expectPoint(mainCamera.eye, bcPos[2][3], "segment 2 end");
    flyoverCameraSegment = 3.0f;
    updateFlyoverCamera();
    expectPoint(mainCamera.eye, bcPos[3][0], "segment 3 start");
    EXPECT_GT(std::fabs(mainCamera.eye[2] - bcPos[2][3][2]), 100.0f);

    // A segment past the table keeps the last one.
    flyoverCameraSegment = 9.0f;
    updateFlyoverCamera();
    EXPECT_EQ(flyoverSegmentIndex, FLYOVER_CAMERA_SEGMENTS - 1);
}

// ---- Dust -----------------------------------------------------------------------------------

class FlyoverDust : public testing::Test {
protected:
    void SetUp() override
    {
        if (!glTestContext().ready)
            return;  // each case fails on REQUIRE_GL_CONTEXT
        if (!dustParticles)
            initDustParticles();
        ASSERT_NE(dustParticles, nullptr);
        for (int i = 0; i < DUST_PARTICLE_COUNT; ++i) {
            dustLife[i] = 0.0f;
            dustRandom[i] = 0;
        }
        savedDt = frameDt;
        frameDt = 1.0f;
        flyoverRow = dustPrevRow = 100;
        flyoverOffset = dustPrevOffset = 10.0f;
    }
    void TearDown() override { frameDt = savedDt; }
    int liveCount() const
    {
        int live = 0;
        for (int i = 0; i < DUST_PARTICLE_COUNT; ++i)
            live += dustLife[i] > 0.0f ? 1 : 0;
        return live;
    }
    float savedDt = 0.0f;
};

TEST_F(FlyoverDust, AgesGrowsAndFades)
{
    REQUIRE_GL_CONTEXT();
    dustLife[7] = 97.0f;
    dustAlphaFactor[7] = 0.5f;
    updateDustParticles();  // no scroll: nothing is born
    EXPECT_FLOAT_EQ(dustLife[7], 94.0f);
    EXPECT_FLOAT_EQ(dustParticles->colours[7][3], 0.094f * 0.5f);
    EXPECT_FLOAT_EQ(dustParticles->sizes[7], 1.3f);
    EXPECT_EQ(liveCount(), 1);

    dustLife[7] = 2.0f;
    updateDustParticles();
    EXPECT_EQ(dustLife[7], 0.0f);  // a life running below 0 ends at 0
}

TEST_F(FlyoverDust, RespawnsFiveParticlesPerUnitOfScroll)
{
    REQUIRE_GL_CONTEXT();
    const struct {
        const char* what;
        int row;
        float offset;
        int born;
    } cases[] = {
        {"still", 100, 10.0f, 0},
        {"below one unit", 100, 9.5f, 0},       // speed 0.5
        {"one frame's scroll", 100, 15.0f, 25},  // speed -5 (the offset counts against the row)
        {"crossing a row", 101, 0.0f, 5 * 30},   // speed 20 - (0 - 10) = 30
    };
    for (const auto& c : cases) {
        SetUp();
        crtSrand(1);
        flyoverRow = c.row;
        flyoverOffset = c.offset;
        updateDustParticles();
        EXPECT_EQ(liveCount(), c.born) << c.what;
        EXPECT_EQ(dustPrevRow, c.row) << c.what;
        EXPECT_EQ(dustPrevOffset, c.offset) << c.what;
        for (int i = 0; i < DUST_PARTICLE_COUNT; ++i) {
            if (!(dustLife[i] > 0.0f))
                continue;
            EXPECT_FLOAT_EQ(dustLife[i], 97.0f) << c.what;
            EXPECT_GE(dustRandom[i], 0);
            EXPECT_LT(dustRandom[i], 100);
            EXPECT_GE(dustAlphaFactor[i], 0.0f);
            EXPECT_LE(dustAlphaFactor[i], 0.99f);
        }
    }
}

TEST_F(FlyoverDust, OnlyPuffsAbove70CastShadowsAsTheirOwnTransformedStandIn)
{
    REQUIRE_GL_CONTEXT();
    if (!dustModel) {
        dustModel = loadModel("dustparticle.3dm");
        scaleModel(*dustModel, 2.0f);
    }
    if (!dustShadowBatch)
        makeDustShadowBatch();
    ASSERT_NE(dustShadowBatch, nullptr);
    const float base[3] = {1.5f, -20.0f, 4.0f};
    dustLife[3] = 50.0f;
    dustRandom[3] = 70;  // not above 70
    dustLife[5] = 50.0f;
    dustRandom[5] = 71;
    dustLife[6] = 0.0f;
    dustRandom[6] = 99;  // dead
    dustLife[9] = 50.0f;
    dustRandom[9] = 95;
    for (int k : {3, 5, 9})
        for (int c = 0; c < 3; ++c)
            dustParticles->basePositions[k][c] = base[c] + k;
    dustParticles->sizes[5] = 5.0f;   // scaled 0.6 (the least)
    dustParticles->sizes[9] = 30.0f;  // scaled 1.5
    EXPECT_EQ(fillDustShadowBatch(), 2);
    EXPECT_EQ(dustShadowBatch->triangleCount, 2 * dustModel->triangleCount);

    // Each stand-in is where the modelview of the per-puff draw would put it.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    size_t vertex = 0;
    for (int k : {5, 9}) {
        const float* p = dustParticles->basePositions[k];
        const float scale = std::max(0.6f, dustParticles->sizes[k] / 20.0f);
        glLoadIdentity();
        glTranslatef(p[0], p[1], p[2]);
        glRotatef(45.0f, 1.0f, 0.0f, 0.0f);
        glScalef(scale, scale, scale);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int v = 0; v < 3 * dustModel->triangleCount; ++v, ++vertex) {
            const float* q = &dustModel->positions[3 * v];
            for (int r = 0; r < 3; ++r) {
                const float expected = m[r] * q[0] + m[4 + r] * q[1] + m[8 + r] * q[2] + m[12 + r];
                EXPECT_NEAR(dustShadowBatch->positions[3 * vertex + r], expected, 1e-4f) << k << " " << v;
            }
        }
    }
    glPopMatrix();
}

// ---- Captures -------------------------------------------------------------------------------

struct Region {
    int x0, y0, x1, y1;  // y from the bottom, end exclusive
};

float luminance(const uint8_t* p)
{
    return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
}

// Mean luminance and mean luminance step between neighbouring pixels of a region.
void measure(const RgbaPicture& picture, const Region& r, float& mean, float& roughness)
{
    double sum = 0.0, steps = 0.0;
    long count = 0;
    for (int y = r.y0; y + 1 < r.y1; ++y) {
        for (int x = r.x0; x + 1 < r.x1; ++x) {
            const float l = luminance(picture.at(x, y));
            sum += l;
            steps += std::fabs(luminance(picture.at(x + 1, y)) - l) + std::fabs(luminance(picture.at(x, y + 1)) - l);
            ++count;
        }
    }
    mean = static_cast<float>(sum / count);
    roughness = static_cast<float>(steps / count);
}

TEST(FlyoverCapture, SkyAboveLitLandscapeBelowAndTheLandscapeMovesOn)
{
    // A folder of this process's own: two checkouts may run their suites at once.
    std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("mornglow-flyover-test-" + std::to_string(getpid()));
    std::filesystem::remove_all(out);
    // The cut's own frame too: the scene's entry draws run before it without rasterising.
    const long long cutMs = std::llround(stateStartSeconds(STATE_FLYOVER) * 1000.0);
    char at[64];
    std::snprintf(at, sizeof(at), "%lld.%03lld,113,114", cutMs / 1000, cutMs % 1000);
    ProgramRun run = runProgram("LP_NUM_THREADS=2 " BINARY_DIR "/demo-capture --step-ms 250 --out '" + out.string() +
                                "' --at " + at);
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    RgbaPicture cut, first, second;
    ASSERT_TRUE(readPng((out / ("frame_" + std::to_string(cutMs) + ".png")).string(), cut));
    ASSERT_TRUE(readPng((out / "frame_113000.png").string(), first));
    ASSERT_TRUE(readPng((out / "frame_114000.png").string(), second));
    EXPECT_NE(run.output.find("capture " + std::to_string(cutMs) + " state 20"), std::string::npos) << run.output;

    // The overlay sits in the lower right corner: the regions leave it out.
    const Region sky = {0, 980, 1920, 1080};
    const Region ground = {0, 0, 1400, 480};
    for (const RgbaPicture* picture : {&cut, &first, &second}) {
        float skyMean, skyRough, groundMean, groundRough;
        measure(*picture, sky, skyMean, skyRough);
        measure(*picture, ground, groundMean, groundRough);
        SCOPED_TRACE("sky " + std::to_string(skyMean) + " / " + std::to_string(skyRough) + ", ground " +
                     std::to_string(groundMean) + " / " + std::to_string(groundRough));
        // A bright, smooth sky; a lit (not black, not fogged flat) landscape with relief,
        // rougher than the sky (the sky box's floor alone would be smooth and dark).
        EXPECT_GT(skyMean, 110.0f);
        EXPECT_LT(skyRough, 3.0f);
        EXPECT_GT(groundMean, 45.0f);
        EXPECT_GT(groundRough, 2.0f * skyRough);
        EXPECT_GT(groundRough, 1.2f);
    }

    long changed = 0, total = 0;
    for (int y = ground.y0; y < ground.y1; ++y)
        for (int x = ground.x0; x < ground.x1; ++x, ++total) {
            const uint8_t* a = first.at(x, y);
            const uint8_t* b = second.at(x, y);
            if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 24)
                ++changed;
        }
    EXPECT_GT(changed, total / 5) << changed << " of " << total << " ground pixels changed in a second";
}

}  // namespace
