// Burst particles: the heading and activation rules without GL, and the streamed-mesh path
// against the immediate path: the same picture where their fades agree, and every vertex of
// the mesh faded like the ribbon.
#include "scenes/bursts.h"
#include "gfx/model.h"
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

// The trails as a dozen frames at ages across the life leave them, kept to restart each draw
// from.
struct GrownTrails {
    float points[BURST_COUNT][BURST_PARTICLES][BURST_TRAIL_POINTS][3];
};

void growTrails(GrownTrails& grown)
{
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
    std::memcpy(grown.points, burstTrails, sizeof grown.points);
}

std::vector<uint8_t> drawnBy(void (*draw)(), const GrownTrails& grown)
{
    std::memcpy(burstTrails, grown.points, sizeof grown.points);
    clearForBursts();
    draw();
    return readPixelsRgba(0, 0, 1920, 1080);
}

void drawBuffered()
{
    fillBurstMesh(burstMesh);
}

int litPixels(const std::vector<uint8_t>& pixels)
{
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        lit += !isBlack(&pixels[i], 20);
    return lit;
}

// The buffer path writes every vertex of a particle, its head sprite included, with the
// ribbon's fade (120 - g^1.06) A / 120; the immediate path fades the head by (120 - g) / 120.
TEST(BurstEffect, BufferPathFadesEveryVertexLikeTheRibbon)
{
    REQUIRE_GL_CONTEXT();
    initBursts();
    ASSERT_NE(burstProgram, 0u);
    ASSERT_NE(burstMesh, nullptr);
    static GrownTrails grown;
    growTrails(grown);

    // At age 1 the two fades agree (1^1.06 = 1): the paths draw the same picture.
    for (float& age : burstAges)
        age = 1.0f;
    const std::vector<uint8_t> immediate = drawnBy(drawBursts, grown);
    const std::vector<uint8_t> buffered = drawnBy(drawBuffered, grown);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    int differ = 0;
    for (size_t i = 0; i < immediate.size(); i += 4)
        differ += levelDifference(&immediate[i], &buffered[i]) > 2;
    EXPECT_GT(litPixels(immediate), 20000) << "the bursts are drawn";
    EXPECT_EQ(differ, 0);

    // Past age 91.5 the ribbon's fade is below 0: the buffer path draws nothing at all, while
    // the immediate path still shows the heads.
    for (int b = 0; b < BURST_COUNT; ++b)
        burstActive[b] = b == 3;
    burstAges[3] = 100.0f;
    EXPECT_GT(litPixels(drawnBy(drawBursts, grown)), 100) << "the immediate heads";
    EXPECT_EQ(litPixels(drawnBy(drawBuffered, grown)), 0);

    // Mid-life, what the mesh holds: each written slot the particle's colour and the ribbon's
    // fade, the slots between the ribbon segments alpha 0.
    burstAges[3] = 60.0f;
    burstColours[3][7][3] = 0.5f;  // a particle of its own alpha
    drawnBy(drawBuffered, grown);
    const float fade = (120.0f - std::pow(60.0f, 1.06f)) / 120.0f;
    for (int p : {0, 7, BURST_PARTICLES - 1}) {
        const float* colour = burstColours[3][p];
        for (int slot = 0; slot < BURST_SLOTS_PER_PARTICLE; ++slot) {
            const int at = BURST_SLOTS_PER_PARTICLE * p + slot;
            // Six head slots, then the segment from trail point k at slots 6 + 6k .. 11 + 6k.
            const bool written = slot < 6 || (slot < 6 + 6 * 40 && (slot - 6) % 30 < 6);
            SCOPED_TRACE(testing::Message() << "particle " << p << " slot " << slot);
            ASSERT_NEAR(burstMesh->handedness[at], written ? fade * colour[3] : 0.0f, 1e-5f);
            if (written) {
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(burstMesh->tangents[at * 3 + c], colour[c]);
            }
        }
    }
}

}  // namespace
