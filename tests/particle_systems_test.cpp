// Billboard particle systems: the cloud's random layout and draw count, the rotation, the
// back-to-front order of the sorted draw and the index order of the plain draw, and sprites on
// the screen where the particles are.
#include "gl_test_context.h"
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "platform/crt_random.h"
#include "render/camera.h"
#include "render/particles.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace {

constexpr float HALF_PI = 1.57079633f;

// A system built in the test (no texture set lookup), released after the case.
struct ParticleFixture {
    ParticleSystem system = {};
    std::vector<float> base, positions, colours, sizes, views;
    std::vector<int> order;

    explicit ParticleFixture(int count)
    {
        base.assign(count * 3, 0.0f);
        positions.assign(count * 3, 0.0f);
        colours.assign(count * 4, 1.0f);
        sizes.assign(count, 1.0f);
        views.assign(count * 3, 0.0f);
        order.assign(count, 0);
        system.count = count;
        system.textureSet = -1;
        system.basePositions = reinterpret_cast<float(*)[3]>(base.data());
        system.positions = reinterpret_cast<float(*)[3]>(positions.data());
        system.colours = reinterpret_cast<float(*)[4]>(colours.data());
        system.sizes = sizes.data();
        system.viewPositions = reinterpret_cast<float(*)[3]>(views.data());
        system.order = order.data();
    }
    void place(int i, float x, float y, float z)
    {
        base[3 * i] = x;
        base[3 * i + 1] = y;
        base[3 * i + 2] = z;
    }
};

TEST(ParticleRotation, TurnsBasePositionsAboutXThenYThenZ)
{
    struct Case {
        float ax, ay, az;
        float in[3];
        float out[3];
    };
    const Case cases[] = {
        {0, 0, 0, {1.5f, -2.0f, 3.0f}, {1.5f, -2.0f, 3.0f}},
        {HALF_PI, 0, 0, {0, 1, 0}, {0, 0, 1}},
        {0, HALF_PI, 0, {1, 0, 0}, {0, 0, -1}},
        {0, 0, HALF_PI, {1, 0, 0}, {0, 1, 0}},
        {HALF_PI, 0, HALF_PI, {0, 1, 0}, {0, 0, 1}},  // x first: the point leaves the z axis' plane
    };
    for (const Case& c : cases) {
        ParticleFixture f(1);
        f.place(0, c.in[0], c.in[1], c.in[2]);
        rotateParticles(&f.system, c.ax, c.ay, c.az);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(f.positions[k], c.out[k], 1e-6) << c.ax << " " << c.ay << " " << c.az << " axis " << k;
        EXPECT_EQ(f.base[0], c.in[0]);  // the base stays
    }
    EXPECT_FLOAT_EQ(particleRotation.sinX, std::sin(HALF_PI));
    EXPECT_FLOAT_EQ(particleRotation.cosZ, std::cos(HALF_PI));
}

TEST(ParticleSorting, OrdersByNonIncreasingDepthKey)
{
    struct Case {
        std::vector<float> keys;
        std::vector<int> order;
    };
    const Case cases[] = {
        {{4.0f}, {0}},
        {{2.0f, 2.0f}, {1, 0}},                 // equal keys are swapped as they are met
        {{1.0f, 3.0f, 2.0f}, {1, 2, 0}},
        {{3.0f, 2.0f, 1.0f}, {0, 1, 2}},
        {{-1.0f, 0.0f, 5.0f, 0.5f}, {2, 3, 1, 0}},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.keys.size());
        std::vector<float> views(3 * n, 0.0f);
        for (int i = 0; i < n; ++i)
            views[3 * i + 2] = c.keys[i];
        std::vector<int> order(n);
        std::iota(order.begin(), order.end(), 0);
        sortParticleOrder(reinterpret_cast<const float(*)[3]>(views.data()), order.data(), n);
        EXPECT_EQ(order, c.order);
    }

    // A cloud-sized case: a permutation, back (largest key) to front.
    crtSrand(77);
    const int n = 1000;
    std::vector<float> views(3 * n);
    for (int i = 0; i < n; ++i)
        views[3 * i + 2] = static_cast<float>(crtRand() % 500) / 10.0f;
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    sortParticleOrder(reinterpret_cast<const float(*)[3]>(views.data()), order.data(), n);
    for (int i = 1; i < n; ++i)
        ASSERT_GE(views[3 * order[i - 1] + 2], views[3 * order[i] + 2]) << i;
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(sorted[i], i);
}

TEST(ParticleMath, MultipliesRowsOfTheMatrixByTheVector)
{
    float m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = static_cast<float>(i + 1);
    const float v[4] = {1, 0, -1, 2};
    float out[4];
    multiplyMatVec4(out, m, v);
    EXPECT_FLOAT_EQ(out[0], 1 - 3 + 8);
    EXPECT_FLOAT_EQ(out[1], 5 - 7 + 16);
    EXPECT_FLOAT_EQ(out[3], 13 - 15 + 32);
}

class ParticleSystemsGl : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
    void TearDown() override { restoreGlDefaults(); }
};

TEST_F(ParticleSystemsGl, CloudFillsItsCubeAndTakesFourDrawsPerParticle)
{
    crtSrand(1234);
    ParticleSystem* cloud = createParticleSystem("particle", 1000, 40.0f);
    const int after = crtRand();
    crtSrand(1234);
    for (int i = 0; i < 4000; ++i)
        crtRand();
    EXPECT_EQ(after, crtRand());

    ASSERT_NE(cloud, nullptr);
    ASSERT_EQ(cloud->count, 1000);
    EXPECT_EQ(std::string(textureSets[cloud->textureSet].name), "particle");
    int boosted[3] = {0, 0, 0};
    for (int i = 0; i < cloud->count; ++i) {
        for (int k = 0; k < 3; ++k) {
            const float v = cloud->basePositions[i][k];
            EXPECT_GT(v, -20.0f);
            EXPECT_LE(v, 20.0f);
            EXPECT_NEAR(v * 100.0f, std::round(v * 100.0f), 1e-2);  // steps of 0.01
        }
        EXPECT_EQ(cloud->sizes[i], 1.0f);
        EXPECT_EQ(cloud->colours[i][3], 1.0f);
        int raised = 0;
        for (int k = 0; k < 3; ++k) {
            const float want = k == 2 ? 0.95f : 0.75f;
            if (std::fabs(cloud->colours[i][k] - (want + 0.15f)) < 1e-6f) {
                ++raised;
                ++boosted[k];
            } else {
                EXPECT_FLOAT_EQ(cloud->colours[i][k], want);
            }
        }
        EXPECT_EQ(raised, 1);
    }
    for (int k = 0; k < 3; ++k)
        EXPECT_GT(boosted[k], 250);  // each channel about a third of the time
}

TEST_F(ParticleSystemsGl, DegenerateSizesAndCountsGiveSafeSystems)
{
    crtSrand(5);
    ParticleSystem* tiny = createParticleSystem("particle", 3, 0.004f);
    ASSERT_NE(tiny, nullptr);
    ASSERT_EQ(tiny->count, 3);
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_FLOAT_EQ(tiny->basePositions[i][k], 0.002f);  // the centre of the cube
    const int after = crtRand();
    crtSrand(5);
    for (int i = 0; i < 12; ++i)
        crtRand();
    EXPECT_EQ(after, crtRand());  // the draws still happen

    for (int count : {0, -4}) {
        crtSrand(9);
        ParticleSystem* empty = createParticleSystem("particle", count, 40.0f);
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(empty->count, 0);
        const int next = crtRand();
        crtSrand(9);
        EXPECT_EQ(next, crtRand());
        drawParticles(empty);  // draws nothing and does not touch the arrays
        drawParticlesSorted(empty);
    }
}

TEST_F(ParticleSystemsGl, LensGlowIsOneFixedParticleWithoutRandomDraws)
{
    crtSrand(42);
    initBurstLens();
    const int next = crtRand();
    crtSrand(42);
    EXPECT_EQ(next, crtRand());
    ASSERT_NE(burstLens, nullptr);
    ASSERT_EQ(burstLens->count, 1);
    EXPECT_EQ(burstLens->sizes[0], 1.5f);
    EXPECT_EQ(burstLens->basePositions[0][0], 0.0f);
    EXPECT_EQ(burstLens->basePositions[0][2], 0.0f);
    EXPECT_FLOAT_EQ(burstLens->colours[0][2], 0.95f);
    EXPECT_NE(burstLensProgram, 0u);
    EXPECT_GE(burstLensLocations.particleCenterLoc, 0);

    ParticleSystem* pair = createBurstLensPair("burstlens", 2);
    ASSERT_EQ(pair->count, 2);
    EXPECT_EQ(pair->basePositions[0][1], 1.0f);
    EXPECT_EQ(pair->basePositions[1][2], -2.0f);
}

// The frame routine's projection with the camera the sorted draw sets.
void prepareParticleFrame()
{
    if (!particleProgram) {
        particleProgram = shaderLoader.load("particles.vert", "particles.frag");
        particleLocations = fetchParticleLocations(particleProgram);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
    gluLookAt(0, 0, 10, 0, 0, -1, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
}

std::vector<uint8_t> pixelAt(int x, int y)
{
    return readPixelsRgba(x, y, 1, 1);
}

// Window position of a point under the projection above and the sorted draw's look-at.
void sortedScreenPosition(float x, float y, float z, float& wx, float& wy)
{
    GLdouble model[16], proj[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    GLdouble sx = 0, sy = 0, sz = 0;
    gluProject(x, y, z, model, proj, view, &sx, &sy, &sz);
    wx = static_cast<float>(sx);
    wy = static_cast<float>(sy);
}

TEST_F(ParticleSystemsGl, SortedDrawPutsBrightSpritesWhereTheParticlesAre)
{
    prepareParticleFrame();
    ASSERT_NE(particleProgram, 0u);
    ParticleFixture f(2);
    f.system.textureSet = loadTextureSet("particle");
    f.place(0, -3.0f, 0.0f, 0.0f);
    f.place(1, 2.0f, 1.5f, 0.0f);
    f.sizes[0] = f.sizes[1] = 1.0f;
    rotateParticles(&f.system, 0, 0, 0);
    drawParticlesSorted(&f.system);
    EXPECT_FLOAT_EQ(mainCamera.eye[2], 10.0f);
    for (int i = 0; i < 2; ++i) {
        float wx = 0, wy = 0;
        sortedScreenPosition(f.positions[3 * i], f.positions[3 * i + 1], f.positions[3 * i + 2], wx, wy);
        std::vector<uint8_t> centre = pixelAt(static_cast<int>(wx), static_cast<int>(wy));
        EXPECT_GT(centre[0], 200) << "particle " << i << " at " << wx << "," << wy;
        // Near the quad's edge (0.5 size units out) the round sprite has faded out.
        float ex = 0, ey = 0;
        sortedScreenPosition(f.positions[3 * i] + 0.47f, f.positions[3 * i + 1], f.positions[3 * i + 2], ex, ey);
        EXPECT_LT(pixelAt(static_cast<int>(ex), static_cast<int>(ey))[0], 40) << "particle " << i;
    }
    EXPECT_LT(pixelAt(960, 1000)[0], 10);  // empty sky between them
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
}

TEST_F(ParticleSystemsGl, SortedDrawPaintsBackToFrontAndPlainDrawInIndexOrder)
{
    prepareParticleFrame();
    // Particle 0 near the camera in green, particle 1 behind it in red, both over the centre;
    // depth writes are off while they draw, so the last one drawn shows.
    ParticleFixture f(2);
    f.system.textureSet = loadTextureSet("particle");
    f.place(0, 0.0f, 0.0f, 4.0f);
    f.place(1, 0.0f, 0.0f, -4.0f);
    const float green[4] = {0, 1, 0, 1}, red[4] = {1, 0, 0, 1};
    std::copy(green, green + 4, f.colours.begin());
    std::copy(red, red + 4, f.colours.begin() + 4);
    rotateParticles(&f.system, 0, 0, 0);

    drawParticlesSorted(&f.system);
    EXPECT_EQ(f.order, (std::vector<int>{1, 0}));  // the far one first
    float wx = 0, wy = 0;
    sortedScreenPosition(0, 0, 0, wx, wy);
    std::vector<uint8_t> p = pixelAt(static_cast<int>(wx), static_cast<int>(wy));
    EXPECT_GT(p[1], 200);
    EXPECT_LT(p[0], 10);

    // The plain draw keeps the current matrix (the look-at the sorted draw left) and paints in
    // index order: the far red one last.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawParticles(&f.system);
    p = pixelAt(static_cast<int>(wx), static_cast<int>(wy));
    EXPECT_GT(p[0], 200);
    EXPECT_LT(p[1], 10);
}

}  // namespace
