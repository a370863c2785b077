// Burst particles: the heading and activation rules without GL, and the streamed-mesh path
// drawn through demo-capture equal to the immediate path within 2 levels.
#include "scenes/bursts.h"
#include "tests/effect_capture_support.h"
#include "tests/gl_test_context.h"

#include <cstring>

#include <cmath>

namespace {

TEST(BurstRules, HeadingMeasuresCounterClockwiseFromUp)
{
    const struct {
        float dx, dy, angle;
    } cases[] = {{0, 1, 0.0f}, {-1, 0, 1.57f}, {0, -1, 3.14f}, {1, 0, 4.71f}, {-1, 1, 0.785f}, {1, 1, 5.495f}};
    for (const auto& c : cases) {
        burstHeadingInput[0] = c.dx;
        burstHeadingInput[1] = c.dy;
        burstHeading();
        EXPECT_NEAR(burstHeadingAngle, c.angle, 0.002f) << c.dx << ", " << c.dy;
    }
}

TEST(BurstRules, DelayCountsUpdatesAndHeadsStartAtTheCentre)
{
    fillBurstSinCos();
    burstSeeded = 1;  // keep the generator where it is
    for (int b = 0; b < BURST_COUNT; ++b) {
        burstActive[b] = 1;
        burstAges[b] = 0.0f;
    }
    burstActive[0] = 0;
    burstDelays[0] = 20;
    for (int update = 1; update <= 20; ++update) {
        updateBursts();
        EXPECT_EQ(burstActive[0], update == 20 ? 1 : 0) << "after update " << update;
    }
    // Age 0 travels nowhere: the rotated head offset is 0; at 120 it is 40 sqrt(sin 1.5).
    burstRotation = {17, 300, 511, 0.0f, 0.0f, 0.0f, 0, 0, 0};
    rotateBurstPointB();
    EXPECT_EQ(burstRotation.rx, 0.0f);
    EXPECT_EQ(burstRotation.ry, 0.0f);
    EXPECT_EQ(burstRotation.rz, 0.0f);
    const float far = std::sqrt(std::sin(1.5f)) * 40.0f;
    burstRotation = {17, 300, 511, 0.0f, 0.0f, far, 0, 0, 0};
    rotateBurstPointB();
    EXPECT_NEAR(std::sqrt(burstRotation.rx * burstRotation.rx + burstRotation.ry * burstRotation.ry +
                          burstRotation.rz * burstRotation.rz),
        39.95f, 0.01f);
    EXPECT_FLOAT_EQ(mulFloat(3.0f, 0.5f), 1.5f);
}

// Clears to black under the frame's perspective (the bursts sit in eye space).
void clearForBursts()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST(BurstEffect, BufferPathDrawsWhatTheImmediatePathDraws)
{
    REQUIRE_GL_CONTEXT();
    initBursts();
    ASSERT_NE(burstProgram, 0u);
    ASSERT_NE(burstMesh, nullptr);
    // Every burst up, at ages across its life (the late ones with faded ribbons), with
    // trails grown over a dozen frames.
    for (int b = 0; b < BURST_COUNT; ++b) {
        burstActive[b] = 1;
        burstAges[b] = 8.0f + 20.0f * b;
    }
    for (int frame = 0; frame < 12; ++frame) {
        clearForBursts();
        drawBursts();
        for (float& age : burstAges)
            age += 1.0f;
    }
    static float trails[BURST_COUNT][BURST_PARTICLES][BURST_TRAIL_POINTS][3];
    std::memcpy(trails, burstTrails, sizeof trails);
    clearForBursts();
    drawBursts();
    const std::vector<uint8_t> immediate = readPixelsRgba(0, 0, 1920, 1080);
    std::memcpy(burstTrails, trails, sizeof trails);
    clearForBursts();
    fillBurstMesh(burstMesh);
    const std::vector<uint8_t> buffered = readPixelsRgba(0, 0, 1920, 1080);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    int differ = 0, lit = 0;
    for (size_t i = 0; i < immediate.size(); i += 4) {
        differ += levelDifference(&immediate[i], &buffered[i]) > 2;
        lit += !isBlack(&immediate[i], 20);
    }
    EXPECT_GT(lit, 20000) << "the bursts are drawn";
    EXPECT_EQ(differ, 0);
}

}  // namespace
