// The game's 2D layer drawn into the test window and read back: the batched picture equals the
// one-call-per-primitive picture in far fewer calls, the GL state after a flush is the state
// the last primitive's own call leaves, and the dot loops draw only what lands on screen. The
// sprite drawn in place lands where the caller's matrices put it, adds to what is there and
// leaves the caller's frame alone; the two spare hero placements leave only their GL state.
#include "game/draw_2d.h"
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

constexpr int W = 1920;
constexpr int H = 1080;

struct LayerFixture : ::testing::Test {
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, W, H);
        glEnable(GL_TEXTURE_2D);
        gameWhitePixelTexture = loadTexture("whitepixel.tga");
        laserTexture = loadTexture("laser.tga");
        explosionParticleTexture = loadTexture("explosionparticle.tga");
        explosionRampTexture = loadTexture("explosion_color.tga");
        explosionRampSmallTexture = loadTexture("explosion_color_small.tga");
        if (std::filesystem::exists("data/expl.frag"))
            explosionProgram = shaderLoader.load("passthroughvertexshader.vert", "expl.frag");
        sparkTexture = loadTexture("particle5x5.tga");
        batching2D = true;
    }
    void TearDown() override { batching2D = true; }

    uint32_t sparkTexture = 0;

    // The picture of `draw` on black, drawn batched or one call per primitive.
    std::vector<uint8_t> render(const std::function<void()>& draw, bool batched, Draw2DStats& stats)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        batching2D = batched;
        draw2DStats = Draw2DStats{0, 0, 0.0};
        draw();
        flush2D();
        stats = draw2DStats;
        glFinish();
        return readPixelsRgba(0, 0, W, H);
    }
};

void drawMixedLayer(uint32_t spark)
{
    // Sparks and shots (additive), an explosion burst mixing both ramps, dots and dotted lines,
    // free alpha and additive quads, in an interleaved order.
    for (int i = 0; i < 60; ++i) {
        setDrawColor(i % 2 ? 1.0f : 0.0f, 0.6f + 0.005f * i, 0.9f, 0.4f + 0.01f * i);
        drawRotatedQuad(100.0f + 13 * i, 200.0f + 3 * i, 105.0f + 13 * i, 205.0f + 3 * i, 0.0f, spark);
    }
    setDrawColor(0.5f, 1.0f, 0.9f, 1.0f);
    drawLaserQuad(900.0f, 600.0f, 750.0f, 616.0f, 0.0f);   // mirrored
    drawLaserQuad(900.0f, 650.0f, 1000.0f, 666.0f, 45.0f);  // turned
    for (int i = 0; i < 80; ++i)
        drawExplosionSprite(400.0f + 7 * (i % 10), 700.0f + 9 * (i / 10), 20.0f + i % 7, 0.1f + 0.007f * i, i % 9 == 0,
            (i % 5) / 5.0f);
    setDrawColor(1.0f, 0.5f, 0.5f, 1.0f);
    for (int i = 0; i < 200; ++i)
        drawDot(1200.0f + (i % 50) * 2.0f, 300.0f + (i / 50) * 5.0f);
    setDrawColor(1.0f, 1.0f, 1.0f, 1.0f);
    drawDottedLine(50.0f, 1000.0f, 600.0f, 900.0f);
    drawDottedLine(1500.0f, 100.0f, 1550.0f, 600.0f);
    const Corner2D quad[4] = {{1400, 800, 0, 0}, {1600, 820, 1, 0}, {1580, 1000, 1, 1}, {1390, 990, 0, 1}};
    setDrawColor(0.2f, 0.8f, 1.0f, 0.6f);
    drawQuad2D(quad, spark, Blend2D::Alpha);
    drawQuad2D(quad, spark, Blend2D::Additive);
}

TEST_F(LayerFixture, BatchedLayerDrawsTheSamePictureInFewerCalls)
{
    Draw2DStats direct{}, batched{};
    const std::vector<uint8_t> reference = render([&] { drawMixedLayer(sparkTexture); }, false, direct);
    const std::vector<uint8_t> picture = render([&] { drawMixedLayer(sparkTexture); }, true, batched);
    EXPECT_EQ(direct.primitives, batched.primitives);
    EXPECT_EQ(direct.drawCalls, direct.primitives);
    EXPECT_LT(batched.drawCalls * 4, direct.drawCalls);
    int lit = 0, differing = 0, maxDiff = 0;
    for (size_t i = 0; i < picture.size(); i += 4) {
        int d = 0;
        for (int c = 0; c < 3; ++c)
            d = std::max(d, std::abs(picture[i + c] - reference[i + c]));
        lit += reference[i] + reference[i + 1] + reference[i + 2] > 0;
        differing += d > 2;
        maxDiff = std::max(maxDiff, d);
    }
    EXPECT_GT(lit, 5000);
    // Corners turned on the CPU may round a pixel centre the other way along an edge.
    EXPECT_LT(differing, 60) << "max difference " << maxDiff;
}

TEST_F(LayerFixture, ExplosionSpritesGoOutInOneCallPerRampWithTheSamePicture)
{
    ASSERT_NE(explosionProgram, 0u) << "expl.frag";
    // Overlapping sprites alternating between the ramps, as an explosion's smoke and sparks: the
    // batches reorder them by ramp, which only additive blending leaves unseen.
    const auto draw = [] {
        for (int i = 0; i < 300; ++i)
            drawExplosionSprite(200.0f + i, 300.0f, 30.0f, 0.5f, 0, i / 300.0f);
        for (int i = 0; i < 40; ++i)
            drawExplosionSprite(200.0f + 3 * i, 600.0f, 60.0f, 0.2f + 0.01f * i, i % 2 == 0 || i % 7 == 0, 0.5f);
    };
    Draw2DStats direct{}, batched{};
    const std::vector<uint8_t> reference = render(draw, false, direct);
    const std::vector<uint8_t> picture = render(draw, true, batched);
    EXPECT_EQ(batched.primitives, 340);
    EXPECT_EQ(batched.drawCalls, 2);  // the first of the alternating ones joins the 300
    EXPECT_TRUE(picture == reference);
}

TEST_F(LayerFixture, FlushLeavesTheStateOfTheLastPrimitivesOwnCall)
{
    struct Case {
        const char* name;
        std::function<void()> draw;
    };
    const Case cases[] = {
        {"rotated quad", [] { drawRotatedQuad(300, 200, 310, 215, 30.0f, laserTexture); }},
        {"dot", [] { drawDot(40, 50); }},
        {"quad", [] {
             const Corner2D q[4] = {{0, 0, 0, 0}, {10, 0, 1, 0}, {10, 10, 1, 1}, {0, 10, 0, 1}};
             drawQuad2D(q, laserTexture, Blend2D::Additive);
         }},
    };
    for (const Case& c : cases) {
        struct State {
            GLint matrixMode, blendDst, texture, program;
            GLboolean depth, cull, blend;
            GLfloat projection[16], colour[4];
        };
        auto capture = [](bool batched, const std::function<void()>& draw) {
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            batching2D = batched;
            setDrawColor(0.25f, 0.5f, 0.75f, 1.0f);
            draw();
            flush2D();
            State s{};
            glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
            glGetIntegerv(GL_BLEND_DST_RGB, &s.blendDst);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture);
            glGetIntegerv(GL_CURRENT_PROGRAM, &s.program);
            s.depth = glIsEnabled(GL_DEPTH_TEST);
            s.cull = glIsEnabled(GL_CULL_FACE);
            s.blend = glIsEnabled(GL_BLEND);
            glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
            glGetFloatv(GL_CURRENT_COLOR, s.colour);
            return s;
        };
        const State direct = capture(false, c.draw);
        const State batched = capture(true, c.draw);
        EXPECT_EQ(direct.matrixMode, batched.matrixMode) << c.name;
        EXPECT_EQ(direct.blendDst, batched.blendDst) << c.name;
        EXPECT_EQ(direct.texture, batched.texture) << c.name;
        EXPECT_EQ(direct.program, batched.program) << c.name;
        EXPECT_EQ(direct.depth, batched.depth) << c.name;
        EXPECT_EQ(direct.cull, batched.cull) << c.name;
        EXPECT_EQ(direct.blend, batched.blend) << c.name;
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(direct.projection[i], batched.projection[i], 1e-5f) << c.name << " projection " << i;
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(direct.colour[i], batched.colour[i]) << c.name << " colour " << i;
    }
}

// The screen frame the in-place sprite is drawn in: the orthographic projection, and a
// modelview moved by (dx, dy).
void loadScreenFrameMovedBy(float dx, float dy)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, W, 0.0, H, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(dx, dy, 0.0f);
}

TEST_F(LayerFixture, ExplosionSpriteInPlaceTakesTheCurrentMatricesAndAdds)
{
    ASSERT_NE(explosionProgram, 0u) << "expl.frag";
    Draw2DStats stats{};
    // The screen-frame sprite at (500, 400) is the reference.
    const std::vector<uint8_t> reference = render([] { drawExplosionSprite(500, 400, 160, 0.4f, 0, 0.3f); }, false, stats);
    long lit = 0;
    for (size_t i = 0; i < reference.size(); i += 4)
        lit += reference[i] > 8;
    ASSERT_GT(lit, 2000) << "the reference sprite shows";

    // Drawn in place at (200, 300) under a modelview moved by (300, 100): the same pixels. The
    // caller turns culling off, as the screen frame's own sprite does (its second triangle is
    // wound clockwise).
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadScreenFrameMovedBy(300, 100);
    drawExplosionSpriteInPlace(200, 300, 160, 0.4f, 0, 0.3f);
    glFinish();
    const std::vector<uint8_t> moved = readPixelsRgba(0, 0, W, H);
    int worst = 0;
    for (size_t i = 0; i < moved.size(); i += 4)
        for (int k = 0; k < 3; ++k)
            worst = std::max(worst, std::abs(int(moved[i + k]) - int(reference[i + k])));
    EXPECT_LE(worst, 1);

    // Over grey it adds: each channel is the grey plus the sprite's own colour.
    const float grey = 80.0f / 255.0f;
    glClearColor(grey, grey, grey, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    loadScreenFrameMovedBy(0, 0);
    drawExplosionSpriteInPlace(500, 400, 160, 0.4f, 0, 0.3f);
    glFinish();
    const std::vector<uint8_t> over = readPixelsRgba(0, 0, W, H);
    worst = 0;
    for (size_t i = 0; i < over.size(); i += 4)
        for (int k = 0; k < 3; ++k)
            worst = std::max(worst, std::abs(int(over[i + k]) - std::min(255, 80 + int(reference[i + k]))));
    EXPECT_LE(worst, 2);
}

TEST_F(LayerFixture, ExplosionSpriteInPlaceLeavesTheCallersFrame)
{
    ASSERT_NE(explosionProgram, 0u) << "expl.frag";
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // A quad still queued when the sprite comes is drawn first, as it was given first.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    batching2D = true;
    setDrawColor(1, 1, 1, 1);
    const Corner2D quad[4] = {{1500, 100, 0, 0}, {1600, 100, 1, 0}, {1600, 200, 1, 1}, {1500, 200, 0, 1}};
    drawQuad2D(quad, gameWhitePixelTexture, Blend2D::Alpha);

    loadScreenFrameMovedBy(10, 20);
    GLfloat projectionBefore[16], modelviewBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    drawExplosionSpriteInPlace(500, 400, 100, 0.5f, 1, 0.5f);
    glFinish();
    const std::vector<uint8_t> quadPixel = readPixelsRgba(1550, 150, 1, 1);
    EXPECT_EQ(quadPixel[0], 255) << "the queued quad went out before the sprite";

    GLint mode = 0, program = 0, src = 0, dst = 0, texture1 = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_BLEND_SRC_RGB, &src);
    glGetIntegerv(GL_BLEND_DST_RGB, &dst);
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture1);
    glActiveTexture(GL_TEXTURE0);
    GLfloat projection[16], modelview[16], colour[4];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(mode, GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(projection[i], projectionBefore[i]) << "projection " << i;
        EXPECT_EQ(modelview[i], modelviewBefore[i]) << "modelview " << i;
    }
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE);
    EXPECT_EQ(program, static_cast<GLint>(explosionProgram)) << "the program stays in use";
    EXPECT_EQ(texture1, static_cast<GLint>(explosionRampSmallTexture)) << "the small ramp for small sprites";
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 0.0f);
    EXPECT_EQ(colour[2], 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LayerFixture, SpareHeroPlacementsLeaveOnlyTheirGlState)
{
    spareLitProgram = shaderLoader.load("shmappass2.vert", "shmappass2.frag");
    ASSERT_NE(spareLitProgram, 0u);
    struct Case {
        const char* name;
        void (*place)();
    };
    const Case cases[] = {
        {"A", [] { setHeroTransformCopyA(640.0f, 300.0f); }},
        {"B", [] { setHeroTransformCopyB(); }},
    };
    for (const Case& c : cases) {
        // A caller's 3D frame: perspective, a moved modelview current, culling on with
        // counter-clockwise fronts, a tint and no program.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1.0f, 2.0f, -20.0f);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
        glUseProgram(0);
        c.place();
        GLint mode = 0, program = 0, front = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        glGetIntegerv(GL_FRONT_FACE, &front);
        GLfloat projection[16], modelview[16], colour[4];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(mode, GL_PROJECTION) << c.name;
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(projection[i], i % 5 == 0 ? 1.0f : 0.0f) << c.name << " projection " << i;
            EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f) << c.name << " modelview " << i;
        }
        EXPECT_EQ(program, static_cast<GLint>(spareLitProgram)) << c.name;
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << c.name;
        EXPECT_EQ(front, GL_CW) << c.name;
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(colour[k], 1.0f) << c.name << " colour " << k;
    }
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glUseProgram(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LayerFixture, DottedLinesDrawOneDotPerUnitAndOnlyOnScreen)
{
    struct Case {
        float x0, y0, x1, y1;
        int dots;  // primitives queued
    };
    const Case cases[] = {
        {0, 0, 10, 3, 10},             // x = 0 .. 9, the end excluded
        {0, 0, 0, 0, 0},               // a point draws nothing
        {5, 5, 5, -20, 7},             // downward: y = 5 .. -1, the rest below the screen
        {-5000, 500, 5000, 500, 1921},  // only the stretch over the screen, x = -1 .. 1919
        {1919.5f, 10, 1e6f, 10, 1},     // starting at the right edge, leaving at once
        {3000, 200, 4000, 900, 0},      // wholly off screen
    };
    for (const Case& c : cases) {
        draw2DStats = Draw2DStats{0, 0, 0.0};
        drawDottedLine(c.x0, c.y0, c.x1, c.y1);
        EXPECT_EQ(draw2DStats.primitives, c.dots) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
        flush2D();
    }
    // The culled long line still covers its whole screen row.
    Draw2DStats stats{};
    const std::vector<uint8_t> picture = render([] { drawDottedLine(-5000, 500, 5000, 500); }, true, stats);
    int covered = 0;
    for (int x = 0; x < W; ++x)
        covered += picture[(static_cast<size_t>(500) * W + x) * 4] > 200;
    EXPECT_EQ(covered, W);
}

TEST_F(LayerFixture, DotsOffScreenOrNotFiniteAreSkipped)
{
    const float spots[][2] = {{-2, 5}, {1920, 5}, {5, -2}, {5, 1080}, {NAN, 5}, {5, INFINITY}, {1e30f, 0}};
    for (const auto& s : spots) {
        draw2DStats = Draw2DStats{0, 0, 0.0};
        drawDot(s[0], s[1]);
        EXPECT_EQ(draw2DStats.primitives, 0) << s[0] << "," << s[1];
    }
    const float edges[][2] = {{-1.5f, 5}, {1919, 5}, {5, -1}, {5, 1079}};
    for (const auto& s : edges) {
        draw2DStats = Draw2DStats{0, 0, 0.0};
        drawDot(s[0], s[1]);
        EXPECT_EQ(draw2DStats.primitives, 1) << s[0] << "," << s[1];
    }
    flush2D();
}

}  // namespace
