// The opening scene: the quad arithmetic over small picture fixtures, the read-back guard, the
// GPU placement against the immediate-mode loop, and captures of the real scene.
#include "gl_test_context.h"
#include "gfx/shaders.h"
#include "gfx/tga.h"
#include "gfx/textures.h"
#include "png_read.h"
#include "program_runner.h"
#include "scenes/picture_scene.h"
#include "scenes/scenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int SIDE = PICTURE_SIDE;

// Three picture arrays of the test's own, put in place of the scene's for one case.
struct PictureFixture {
    std::array<std::vector<uint8_t>, PICTURE_IMAGE_COUNT> images;
    uint8_t* saved[PICTURE_IMAGE_COUNT] = {};

    PictureFixture()
    {
        for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i) {
            images[i].assign(PICTURE_BYTES, 0);
            saved[i] = picturePixels[i];
            picturePixels[i] = images[i].data();
        }
    }
    ~PictureFixture()
    {
        for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i)
            picturePixels[i] = saved[i];
    }
    void set(int image, int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
    {
        uint8_t* p = &images[image][4 * (x + SIDE * y)];
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = a;
    }
};

PictureAnimation animation(float push, float mapBlend, float columnShift)
{
    PictureAnimation a = pictureHoldAnimation();
    a.push = push;
    a.mapBlend = mapBlend;
    a.columnShift = columnShift;
    return a;
}

TEST(PictureQuads, HoldFramePutsEveryQuadOnTheGridWithSaturatedColours)
{
    PictureFixture f;
    f.set(0, 10, 20, 200, 3, 0);     // picture
    f.set(1, 10, 20, 128, 128, 64);  // first map
    f.set(2, 10, 20, 255, 255, 255); // second map: drift is 0 in the hold
    f.set(1, 11, 20, 250, 0, 0);     // the right-hand neighbour's red
    PictureQuad q;
    computePictureQuad(pictureHoldAnimation(), 10, 20, q);
    EXPECT_FLOAT_EQ(q.left, 10 * 0.020833334f);
    EXPECT_FLOAT_EQ(q.right, 11 * 0.020833334f);
    EXPECT_FLOAT_EQ(q.bottom, 20 * 0.009259259f);
    EXPECT_FLOAT_EQ(q.top, 21 * 0.009259259f);
    EXPECT_EQ(q.zLeft, 0.0f);
    EXPECT_EQ(q.zRight, 0.0f);
    // Bytes count as /256 and the push floor is 0.01; red is halved.
    EXPECT_NEAR(q.colour[0], 200.0 / 256 * 128.0 / 256 / 0.01 * 0.5, 1e-3);
    EXPECT_NEAR(q.colour[1], 3.0 / 256 * 128.0 / 256 / 0.01, 1e-4);
    EXPECT_EQ(q.colour[2], 0.0f);
    EXPECT_FLOAT_EQ(q.colour[3], 255.0f / 256.0f);
}

TEST(PictureQuads, PushDriftAndBlendMoveTheCorners)
{
    PictureFixture f;
    f.set(1, 3, 4, 64, 128, 192);  // M1 at (3, 4)
    f.set(1, 4, 4, 32, 0, 0);      // M1n
    f.set(2, 3, 4, 0, 64, 32);     // M2 green/blue drift
    f.set(2, 13, 4, 128, 0, 0);    // M2k with a shift of 10
    f.set(2, 14, 4, 16, 0, 0);     // M2kn
    PictureAnimation a = animation(0.5f, 0.25f, 10.7f);
    a.driftX = 0.8f;
    a.driftY = 0.4f;
    PictureQuad q;
    computePictureQuad(a, 3, 4, q);
    const float gx = 0.75f * (3 + 0.8f * 0.5f) + 0.25f * (3 + 0.8f * 1.5f * 0.25f);
    const float gy = 0.75f * (4 + 0.4f * 0.75f) + 0.25f * (4 + 0.4f * 1.5f * 0.125f);
    EXPECT_FLOAT_EQ(q.left, gx * 0.020833334f);
    EXPECT_FLOAT_EQ(q.right, (gx + 1) * 0.020833334f);
    EXPECT_FLOAT_EQ(q.bottom, gy * 0.009259259f);
    EXPECT_FLOAT_EQ(q.top, (gy + 1) * 0.009259259f);
    EXPECT_FLOAT_EQ(q.zLeft, 0.75f * 0.5f * 2 * 0.25f + 0.25f * 0.5f * 2 * 0.5f);
    EXPECT_FLOAT_EQ(q.zRight, 0.75f * 0.5f * 2 * 0.125f + 0.25f * 0.5f * 2 * 0.0625f);
}

TEST(PictureQuads, ShiftedColumnsAndNeighboursStayInsideTheArrays)
{
    struct Case {
        int x;
        float shift;
        int column;
    };
    const Case cases[] = {
        {7, 0.0f, 7},      {7, 0.99f, 7},    // below one no shift
        {2, 254.5f, 1},    {0, 254.9f, 254}, // 2 + 254 - 255: the wrap takes 255, not 256
        {1, 254.0f, 255},  {255, 254.0f, 254}, {255, 255.0f, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shiftedPictureColumn(c.x, c.shift), c.column) << c.x << " " << c.shift;

    EXPECT_EQ(nextPictureIndex(0), 1);
    EXPECT_EQ(nextPictureIndex(255), 256);  // the last column runs on into the next row
    EXPECT_EQ(nextPictureIndex(PICTURE_PIXEL_COUNT - 1), PICTURE_PIXEL_COUNT - 1);

    PictureFixture f;
    f.set(1, 255, 255, 128, 0, 0);
    f.set(2, 255, 255, 64, 0, 0);
    f.set(1, 0, 100, 192, 0, 0);  // follows (255, 99) in row order
    PictureQuad q;
    computePictureQuad(animation(1.0f, 0.0f, 0.0f), 255, 255, q);
    EXPECT_FLOAT_EQ(q.zRight, q.zLeft);  // the very last pixel is its own neighbour
    EXPECT_FLOAT_EQ(q.zRight, 2 * 0.5f);
    computePictureQuad(animation(1.0f, 1.0f, 0.0f), 255, 255, q);
    EXPECT_FLOAT_EQ(q.zRight, 2 * 0.25f);
    computePictureQuad(animation(1.0f, 0.0f, 0.0f), 255, 99, q);
    EXPECT_FLOAT_EQ(q.zRight, 2 * 0.75f);
}

class PictureSceneGl : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        if (!picturePixels[0])
            initPictureScene();
    }
    void TearDown() override { restoreGlDefaults(); }
};

TEST_F(PictureSceneGl, ReadBackRefusesPicturesOfAnotherSize)
{
    std::vector<uint8_t> source(128 * 128 * 4, 77);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 128, 128, 0, GL_RGBA, GL_UNSIGNED_BYTE, source.data());
    std::vector<uint8_t> pixels(PICTURE_BYTES + 16, 5);
    EXPECT_FALSE(readBackPicture(texture, "small.tga", pixels.data()));
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](uint8_t v) { return v == 5; }));

    source.assign(PICTURE_BYTES, 0);
    for (int i = 0; i < PICTURE_BYTES; ++i)
        source[i] = static_cast<uint8_t>(i * 7);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, SIDE, SIDE, 0, GL_RGBA, GL_UNSIGNED_BYTE, source.data());
    EXPECT_TRUE(readBackPicture(texture, "right.tga", pixels.data()));
    EXPECT_TRUE(std::equal(source.begin(), source.end(), pixels.begin()));
    EXPECT_EQ(pixels[PICTURE_BYTES], 5);  // nothing past the array
    glDeleteTextures(1, &texture);
}

TEST_F(PictureSceneGl, StartUpReadsTheThreePicturesBack)
{
    const char* files[] = {"r.tga", "r_displace.tga", "r_displace2.tga"};
    for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i) {
        TgaImage image;
        ASSERT_TRUE(loadTgaImage(image, files[i])) << files[i];
        ASSERT_EQ(image.width, static_cast<uint32_t>(SIDE));
        ASSERT_EQ(image.height, static_cast<uint32_t>(SIDE));
        ASSERT_EQ(image.bpp, 32u);
        EXPECT_TRUE(std::equal(image.data, image.data + PICTURE_BYTES, picturePixels[i])) << files[i];
        releaseTgaImage(image);
    }
}

// The scene's matrices with the picture camera, the white pixel bound and a black frame.
void preparePictureFrame()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
    gluLookAt(1.0312, 0.7703, 6.3657, 0.9001, 0.5483, 2.8327, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluPerspective(35.0, 1.7777777910232544, 0.10000000149011612, 1.0);
    gluLookAt(1.0312, 0.7703, 6.3657, 0.9001, 0.5483, 2.8327, 0, 1, 0);
    glRotatef(-20.0f, 0.0f, 1.0f, 0.0f);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pictureTextures[3]);
    glColor4f(1, 1, 1, 1);
}

TEST_F(PictureSceneGl, GpuQuadsDrawTheSamePictureAsTheImmediateLoop)
{
    ASSERT_NE(pictureQuadProgram, 0u) << "picturequads program did not build";
    PictureAnimation a = animation(0.4f, 0.6f, 100.5f);
    a.driftX = 0.7f;
    a.driftY = 0.5f;
    a.brightness = 0.8f;
    preparePictureFrame();
    drawPictureQuadsImmediate(a);
    std::vector<uint8_t> reference = readPixelsRgba(0, 0, 1920, 1080);
    preparePictureFrame();
    drawPictureQuads(a);
    std::vector<uint8_t> gpu = readPixelsRgba(0, 0, 1920, 1080);
    glEnable(GL_CULL_FACE);

    size_t lit = 0;
    size_t differing = 0;
    for (size_t i = 0; i < reference.size(); i += 4) {
        int d = 0;
        for (int c = 0; c < 3; ++c)
            d = std::max(d, std::abs(reference[i + c] - gpu[i + c]));
        lit += reference[i] + reference[i + 1] + reference[i + 2] > 30;
        differing += d > 2;
    }
    EXPECT_GT(lit, 100000u);             // the picture covers a good part of the frame
    EXPECT_LT(differing, lit / 2000);    // edge pixels of a few quads at most
}

// --- Captures of the real scene -------------------------------------------------------------

constexpr double HOLD_A = 0.5;
constexpr double HOLD_B = 1.5;
constexpr double DISSOLVING = 6.0;
constexpr double NEAR_END = 11.9;
// The corner overlay covers this rectangle of the frame (from the lower-left corner).
constexpr int OVERLAY_LEFT = 1408;
constexpr int OVERLAY_TOP = 256;

struct PictureCaptures {
    bool ok = false;
    std::string failure;
    RgbaPicture holdA, holdB, dissolving, nearEnd;
};

const PictureCaptures& pictureCaptures()
{
    static PictureCaptures c;
    static bool done = false;
    if (done)
        return c;
    done = true;
    std::filesystem::path out = scratchPath("mornglow-picture-scene-test");
    std::filesystem::remove_all(out);
    ProgramRun run = runProgram("LP_NUM_THREADS=2 " + std::string(BINARY_DIR) + "/demo-capture --step-ms 100 --out '" +
                                out.string() + "' --at 0.5,1.5,6,11.9");
    if (run.exitStatus != 0) {
        c.failure = "demo-capture failed: " + run.output;
        return c;
    }
    auto read = [&](double s, RgbaPicture& p) {
        std::string file = (out / ("frame_" + std::to_string(static_cast<int>(s * 1000 + 0.5)) + ".png")).string();
        if (!readPng(file, p))
            c.failure += "unreadable " + file + "\n";
    };
    read(HOLD_A, c.holdA);
    read(HOLD_B, c.holdB);
    read(DISSOLVING, c.dissolving);
    read(NEAR_END, c.nearEnd);
    c.ok = c.failure.empty();
    return c;
}

// Mean of the largest channel difference per pixel, and the share of pixels over `threshold`.
void compareFrames(const RgbaPicture& a, const RgbaPicture& b, int threshold, double& mean, double& share)
{
    double sum = 0;
    size_t over = 0;
    const size_t n = a.pixels.size() / 4;
    for (size_t i = 0; i < n; ++i) {
        int d = 0;
        for (int c = 0; c < 3; ++c)
            d = std::max(d, std::abs(a.pixels[4 * i + c] - b.pixels[4 * i + c]));
        sum += d;
        over += d > threshold;
    }
    mean = sum / static_cast<double>(n);
    share = static_cast<double>(over) / static_cast<double>(n);
}

// Window position of the centre of picture pixel (x, y) in the hold: the frame routine's
// perspective and look-at in the projection, the scene's own in the modelview.
glm::dvec2 holdScreenPosition(int x, int y)
{
    const glm::dvec3 eye(1.0312f, 0.7703f, 6.3657f), centre(0.9001f, 0.5483f, 2.8327f), up(0, 1, 0);
    const glm::dmat4 projection =
        glm::perspective(glm::radians(35.0), static_cast<double>(16.0f / 9.0f), 0.1, 500.0) * glm::lookAt(eye, centre, up);
    const glm::dmat4 modelview =
        glm::perspective(glm::radians(35.0), 1.7777777910232544, 0.10000000149011612, 1.0) * glm::lookAt(eye, centre, up);
    const glm::dvec4 clip = projection * modelview * glm::dvec4((x + 0.5) / 48.0, (y + 0.5) / 108.0, 0.0, 1.0);
    return {(clip.x / clip.w * 0.5 + 0.5) * 1920.0, (clip.y / clip.w * 0.5 + 0.5) * 1080.0};
}

// The hold's colour of one pixel: picture x first map / 0.01, red halved, clamped.
std::array<int, 3> holdColour(const uint8_t* picture, const uint8_t* map, int i)
{
    std::array<int, 3> c{};
    for (int k = 0; k < 3; ++k) {
        double v = picture[4 * i + k] / 256.0 * (map[4 * i + k] / 256.0) / 0.01 * (k == 0 ? 0.5 : 1.0);
        c[k] = static_cast<int>(std::lround(std::min(v, 1.0) * 255.0));
    }
    return c;
}

// The displacement maps keep neighbouring quads together: a map value that grows from a quad to
// the next opens a gap between them, which shows as black lines crawling through the picture.
// Green drifts along x, blue along y; red pushes rows towards the camera, so it may only grow
// towards the eye's row (0.7703 x 108 = row 83.2), where a nearer row overlaps its neighbour.
TEST(PictureData, DisplacementMapsNeverPullNeighbouringQuadsApart)
{
    for (const char* file : {"r_displace.tga", "r_displace2.tga"}) {
        TgaImage map;
        ASSERT_TRUE(loadTgaImage(map, file)) << file;
        ASSERT_EQ(map.width, static_cast<uint32_t>(SIDE));
        auto at = [&](int x, int y, int k) { return static_cast<int>(map.data[4 * (x + SIDE * y) + k]); };
        int opened = 0;
        for (int y = 0; y < SIDE; ++y)
            for (int x = 0; x < SIDE; ++x) {
                if (x + 1 < SIDE && at(x + 1, y, 1) > at(x, y, 1))
                    ++opened;
                if (y + 1 < SIDE && at(x, y + 1, 2) > at(x, y, 2))
                    ++opened;
                if (y + 1 < SIDE && y < 83 && at(x, y + 1, 0) < at(x, y, 0))
                    ++opened;
                if (y + 1 < SIDE && y > 83 && at(x, y + 1, 0) > at(x, y, 0))
                    ++opened;
            }
        EXPECT_EQ(opened, 0) << file;
        releaseTgaImage(map);
    }
}

TEST(PictureSceneCapture, HoldsStillForTwoSecondsWithThePicturesRegions)
{
    const PictureCaptures& c = pictureCaptures();
    ASSERT_TRUE(c.ok) << c.failure;
    double mean = 0, share = 0;
    compareFrames(c.holdA, c.holdB, 2, mean, share);
    EXPECT_LT(share, 1e-4) << "the hold frame moved";

    TgaImage picture, map;
    ASSERT_TRUE(loadTgaImage(picture, "r.tga"));
    ASSERT_TRUE(loadTgaImage(map, "r_displace.tga"));
    // Sample a grid of picture pixels whose 5 x 5 neighbourhood has one hold colour (away
    // from region edges) at their place on the screen.
    int sampled = 0;
    std::vector<std::array<int, 3>> seen;
    for (int y = 8; y < SIDE - 8; y += 12) {
        for (int x = 8; x < SIDE - 8; x += 12) {
            const std::array<int, 3> want = holdColour(picture.data, map.data, x + SIDE * y);
            bool uniform = true;
            for (int dy = -2; dy <= 2 && uniform; ++dy)
                for (int dx = -2; dx <= 2 && uniform; ++dx) {
                    std::array<int, 3> n = holdColour(picture.data, map.data, x + dx + SIDE * (y + dy));
                    for (int k = 0; k < 3; ++k)
                        uniform = uniform && std::abs(n[k] - want[k]) <= 8;
                }
            if (!uniform)
                continue;
            const glm::dvec2 s = holdScreenPosition(x, y);
            const uint8_t* got = c.holdB.at(static_cast<int>(s.x), static_cast<int>(s.y));
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(got[k], want[k], 10) << "picture pixel " << x << "," << y << " channel " << k;
            ++sampled;
            // Regions by colour class (four levels a channel), not by the maps' fine shading.
            const std::array<int, 3> cls = {want[0] / 64, want[1] / 64, want[2] / 64};
            if (std::find(seen.begin(), seen.end(), cls) == seen.end())
                seen.push_back(cls);
        }
    }
    releaseTgaImage(picture);
    releaseTgaImage(map);
    EXPECT_GT(sampled, 100);
    EXPECT_GE(seen.size(), 5u) << "the picture shows too few regions";
}

TEST(PictureSceneCapture, DissolvesAndEndsInBlack)
{
    const PictureCaptures& c = pictureCaptures();
    ASSERT_TRUE(c.ok) << c.failure;
    double mean = 0, share = 0;
    compareFrames(c.holdB, c.dissolving, 24, mean, share);
    EXPECT_GT(share, 0.05) << "no dissolve after the hold (mean difference " << mean << ")";

    int brightest = 0;
    for (int y = 0; y < c.nearEnd.height; ++y)
        for (int x = 0; x < c.nearEnd.width; ++x) {
            if (x >= OVERLAY_LEFT && y < OVERLAY_TOP)
                continue;
            const uint8_t* p = c.nearEnd.at(x, y);
            brightest = std::max({brightest, static_cast<int>(p[0]), static_cast<int>(p[1]), static_cast<int>(p[2])});
        }
    EXPECT_LE(brightest, 3);
}

}  // namespace
