// The four screen targets and the passes over them: formats and completeness, separate depth
// buffers, the full-screen quads and their state, the threshold and blur passes on small known
// inputs, the bloom and the lens chain end to end, and the routines nothing calls.
#include "core/clock.h"
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "render/screen_passes.h"
#include "tests/gl_test_context.h"

#include "platform/os_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string creationOutput;
bool creationResult = false;

// The targets and programs are made once for all cases of this file.
void ensureScreenTargets()
{
    static bool created = false;
    if (created)
        return;
    created = true;
    testing::internal::CaptureStdout();
    creationResult = createScreenTargets();
    creationOutput = testing::internal::GetCapturedStdout();
}

#define REQUIRE_SCREEN_TARGETS()                                                                  \
    do {                                                                                          \
        REQUIRE_GL_CONTEXT();                                                                     \
        ensureScreenTargets();                                                                    \
        ASSERT_TRUE(creationResult) << creationOutput;                                            \
        glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);                                            \
    } while (0)

// A NEAREST, clamped RGB texture from bottom-row-first pixels.
GLuint makeTexture(int width, int height, const std::vector<uint8_t>& rgb)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

GLuint solidTexture(uint8_t r, uint8_t g, uint8_t b)
{
    return makeTexture(1, 1, {r, g, b});
}

void clearFramebuffer(GLuint framebuffer, float r, float g, float b)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

struct Rgb {
    int r, g, b;
};

Rgb pixelOf(GLuint framebuffer, int x, int y)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    std::vector<uint8_t> p = readPixelsRgba(x, y, 1, 1);
    return {p[0], p[1], p[2]};
}

// Red channel of one row of a framebuffer.
std::vector<int> redRow(GLuint framebuffer, int y)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    std::vector<uint8_t> p = readPixelsRgba(0, y, SCREEN_WIDTH, 1);
    std::vector<int> row(SCREEN_WIDTH);
    for (int x = 0; x < SCREEN_WIDTH; ++x)
        row[x] = p[4 * x];
    return row;
}

void drawWithProgram(uint32_t program, GLuint framebuffer, const std::vector<std::pair<const char*, GLuint>>& samplers)
{
    shaderLoader.use(program);
    for (size_t unit = 0; unit < samplers.size(); ++unit) {
        glUniform1i(glGetUniformLocation(program, samplers[unit].first), static_cast<GLint>(unit));
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, samplers[unit].second);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    drawFullScreenQuad();
}

GLint attachmentParameter(GLenum attachment, GLenum name)
{
    GLint value = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, name, &value);
    return value;
}

GLint renderbufferParameter(GLuint renderbuffer, GLenum name)
{
    GLint value = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, name, &value);
    return value;
}

GLint textureParameter(GLuint texture, GLenum name, bool level)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (level)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

TEST(RenderTargets, CreationBindsTheSceneTargetAndLoadsTheScreenPrograms)
{
    REQUIRE_SCREEN_TARGETS();
    EXPECT_NE(creationOutput.find("fb3 init " + std::to_string(screenTarget3.framebuffer) + ", " +
                                  std::to_string(screenTarget3.colorTexture) + "\n"),
              std::string::npos);
    EXPECT_NE(creationOutput.find("fb mask texture " + std::to_string(glowMaskTexture) + "\n"), std::string::npos);
    EXPECT_EQ(creationOutput.find("ERROR"), std::string::npos) << creationOutput;
    for (uint32_t program : {screenFxProgram, tresholdProgram, hblurProgram, screenBlendProgram, screenShadeProgram,
                             motionBlurProgram, screenPassthroughProgram, offsetXProgram, lensProgram,
                             colorGradientProgram})
        EXPECT_NE(program, 0u);
}

TEST(RenderTargets, CreationLeavesTheSceneTargetBoundWithAFullViewport)
{
    REQUIRE_GL_CONTEXT();
    testing::internal::CaptureStdout();
    RenderTarget saved[4] = {screenTarget1, screenTarget2, screenTarget3, screenTarget4};
    glViewport(0, 0, 10, 10);
    bool made = createScreenTargets();
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(made);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(bound, static_cast<GLint>(screenTarget1.framebuffer));
    EXPECT_EQ(viewport[2], 1920);
    EXPECT_EQ(viewport[3], 1080);
    screenTarget1 = saved[0];
    screenTarget2 = saved[1];
    screenTarget3 = saved[2];
    screenTarget4 = saved[3];
}

TEST(RenderTargets, AreCompleteWithTheirFormatsAndSizes)
{
    REQUIRE_SCREEN_TARGETS();
    const struct {
        const char* name;
        const RenderTarget& target;
        GLenum depthAttachment;
        bool stencil;
    } cases[] = {
        {"screenTarget1", screenTarget1, GL_DEPTH_ATTACHMENT, false},
        {"screenTarget2", screenTarget2, GL_DEPTH_STENCIL_ATTACHMENT, true},
        {"screenTarget3", screenTarget3, GL_DEPTH_ATTACHMENT, false},
        {"screenTarget4", screenTarget4, GL_DEPTH_ATTACHMENT, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        glBindFramebuffer(GL_FRAMEBUFFER, c.target.framebuffer);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        EXPECT_EQ(attachmentParameter(GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  static_cast<GLint>(c.target.colorTexture));
        GLint drawBuffer = 0;
        glGetIntegerv(GL_DRAW_BUFFER0, &drawBuffer);
        EXPECT_EQ(drawBuffer, GL_COLOR_ATTACHMENT0);
        EXPECT_EQ(textureParameter(c.target.colorTexture, GL_TEXTURE_WIDTH, true), 1920);
        EXPECT_EQ(textureParameter(c.target.colorTexture, GL_TEXTURE_HEIGHT, true), 1080);
        GLint format = textureParameter(c.target.colorTexture, GL_TEXTURE_INTERNAL_FORMAT, true);
        EXPECT_TRUE(format == GL_RGB || format == GL_RGB8) << std::hex << format;
        EXPECT_EQ(textureParameter(c.target.colorTexture, GL_TEXTURE_MIN_FILTER, false), GL_NEAREST);
        EXPECT_EQ(textureParameter(c.target.colorTexture, GL_TEXTURE_MAG_FILTER, false), GL_NEAREST);

        EXPECT_EQ(attachmentParameter(c.depthAttachment, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), GL_RENDERBUFFER);
        EXPECT_EQ(attachmentParameter(c.depthAttachment, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME),
                  static_cast<GLint>(c.target.renderbuffer));
        if (!c.stencil) {
            EXPECT_EQ(attachmentParameter(GL_STENCIL_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), GL_NONE);
        }
        EXPECT_EQ(renderbufferParameter(c.target.renderbuffer, GL_RENDERBUFFER_WIDTH), 1920);
        EXPECT_EQ(renderbufferParameter(c.target.renderbuffer, GL_RENDERBUFFER_HEIGHT), 1080);
        EXPECT_GE(renderbufferParameter(c.target.renderbuffer, GL_RENDERBUFFER_DEPTH_SIZE), 16);
        EXPECT_EQ(renderbufferParameter(c.target.renderbuffer, GL_RENDERBUFFER_STENCIL_SIZE), c.stencil ? 8 : 0);
    }
    EXPECT_NE(screenTarget1.framebuffer, screenTarget4.framebuffer);
    EXPECT_NE(screenTarget1.renderbuffer, screenTarget4.renderbuffer);
}

TEST(RenderTargets, FourthTargetDepthIsItsOwn)
{
    REQUIRE_SCREEN_TARGETS();
    const GLuint targets[] = {screenTarget1.framebuffer, screenTarget4.framebuffer};
    const double depths[] = {0.25, 1.0};
    for (int i = 0; i < 2; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, targets[i]);
        glClearDepth(depths[i]);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    glClearDepth(1.0);
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    float depth = 0.0f;
    glReadPixels(960, 540, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.25f, 1e-4f);
}

TEST(RenderTargets, FullScreenQuadShowsTheTextureUprightAndResetsItsState)
{
    REQUIRE_SCREEN_TARGETS();
    // Texels bottom row first: red, green / blue, white.
    GLuint texture = makeTexture(2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    glDisable(GL_BLEND);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3.0f, 0.0f, 0.0f);
    clearFramebuffer(screenTarget3.framebuffer, 0, 0, 0);
    drawWithProgram(screenPassthroughProgram, screenTarget3.framebuffer, {{"colorMap", texture}});

    const struct {
        int x, y;
        Rgb colour;
    } corners[] = {{0, 0, {255, 0, 0}}, {1919, 0, {0, 255, 0}}, {0, 1079, {0, 0, 255}}, {1919, 1079, {255, 255, 255}}};
    for (const auto& c : corners) {
        Rgb p = pixelOf(screenTarget3.framebuffer, c.x, c.y);
        EXPECT_EQ(p.r, c.colour.r) << c.x << "," << c.y;
        EXPECT_EQ(p.g, c.colour.g) << c.x << "," << c.y;
        EXPECT_EQ(p.b, c.colour.b) << c.x << "," << c.y;
    }
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    float modelview[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(modelview[12], 3.0f);
    glLoadIdentity();
    glDeleteTextures(1, &texture);
}

TEST(RenderTargets, CenteredQuadCoversTheMiddleHalfOnly)
{
    REQUIRE_SCREEN_TARGETS();
    GLuint white = solidTexture(255, 255, 255);
    clearFramebuffer(screenTarget3.framebuffer, 0, 0, 0);
    shaderLoader.use(screenPassthroughProgram);
    glUniform1i(glGetUniformLocation(screenPassthroughProgram, "colorMap"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, white);
    glDisable(GL_BLEND);
    drawCenteredScreenQuad();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    const struct {
        int x;
        int value;
    } columns[] = {{0, 0}, {479, 0}, {480, 255}, {960, 255}, {1439, 255}, {1440, 0}, {1919, 0}};
    for (const auto& c : columns)
        EXPECT_EQ(pixelOf(screenTarget3.framebuffer, c.x, 540).r, c.value) << c.x;
    glDeleteTextures(1, &white);
}

TEST(RenderTargets, ThresholdKeepsOnlyTheBrightPartThroughTheMask)
{
    REQUIRE_SCREEN_TARGETS();
    // Four columns of 480 pixels: grey 128, 153 (the threshold), 204 and 255.
    GLuint picture = makeTexture(4, 1, {128, 128, 128, 153, 153, 153, 204, 204, 204, 255, 255, 255});
    const struct {
        uint8_t mask;
        int expected[4];
    } cases[] = {{255, {0, 0, 128, 255}}, {128, {0, 0, 64, 128}}, {0, {0, 0, 0, 0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        GLuint mask = solidTexture(c.mask, c.mask, c.mask);
        drawWithProgram(tresholdProgram, screenTarget3.framebuffer, {{"colorMap", picture}, {"maskMap", mask}});
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(pixelOf(screenTarget3.framebuffer, 240 + 480 * column, 540).r, c.expected[column], 2) << column;
        glDeleteTextures(1, &mask);
    }
    glDeleteTextures(1, &picture);
}

TEST(RenderTargets, HorizontalBlurSpreadsARowSymmetricallyAndKeepsItsSum)
{
    REQUIRE_SCREEN_TARGETS();
    // One white pixel column at x 960, only in the upper half of the picture.
    std::vector<uint8_t> pixels(static_cast<size_t>(1920) * 1080 * 3, 0);
    for (int y = 540; y < 1080; ++y)
        for (int k = 0; k < 3; ++k)
            pixels[(static_cast<size_t>(y) * 1920 + 960) * 3 + k] = 255;
    GLuint picture = makeTexture(1920, 1080, pixels);
    drawWithProgram(hblurProgram, screenTarget3.framebuffer, {{"colorMap", picture}});

    std::vector<int> upper = redRow(screenTarget3.framebuffer, 800);
    int sum = 0;
    for (int value : upper)
        sum += value;
    EXPECT_NEAR(sum, 255, 8);
    EXPECT_GT(upper[960], upper[961]);
    EXPECT_GT(upper[963], upper[966]);
    EXPECT_GT(upper[967], 0);
    EXPECT_EQ(upper[968], 0);
    for (int d = 1; d <= 8; ++d)
        EXPECT_EQ(upper[960 - d], upper[960 + d]) << d;
    for (int value : redRow(screenTarget3.framebuffer, 300))
        ASSERT_EQ(value, 0) << "rows do not mix";
    glDeleteTextures(1, &picture);
}

TEST(RenderTargets, BloomGlowsAroundBrightPartsOntoTheWindow)
{
    REQUIRE_SCREEN_TARGETS();
    GLuint savedMask = glowMaskTexture;
    glowMaskTexture = solidTexture(255, 255, 255);
    // A white 20 x 20 square at the centre of an otherwise dark grey scene target.
    clearFramebuffer(screenTarget1.framebuffer, 0.2f, 0.2f, 0.2f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(950, 530, 20, 20);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    clearFramebuffer(0, 0, 0, 0);
    BloomMaskScroll before = bloomMaskScroll;

    applyBloom();

    EXPECT_FLOAT_EQ(bloomMaskScroll.maskx, before.maskx + 0.002f);
    EXPECT_FLOAT_EQ(bloomMaskScroll.masky, before.masky + 0.001f);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(screenTarget1.framebuffer));

    std::vector<int> row = redRow(0, 540);
    EXPECT_EQ(row[960], 255);
    EXPECT_GT(row[974], 51 + 10) << "glow right of the square";
    EXPECT_GT(row[945], 51 + 10) << "glow left of the square";
    EXPECT_GT(row[974], row[985]);
    EXPECT_NEAR(row[1100], 51, 1) << "the dark picture itself stays as it was";
    EXPECT_NEAR(pixelOf(0, 960, 580).r, 51, 1) << "the blur is horizontal only";
    glDeleteTextures(1, &glowMaskTexture);
    glowMaskTexture = savedMask;
}

// What a frame whose last pass covers the bloom relies on: leaving the passes out leaves the
// mask scroll and the GL state the code after them sees as the bloom would.
TEST(RenderTargets, SkippedCoveredBloomLeavesTheBloomsScrollAndState)
{
    REQUIRE_SCREEN_TARGETS();
    struct After {
        BloomMaskScroll scroll;
        GLint framebuffer, program, activeUnit, unit0Texture, blendSrc, blendDst, matrixMode;
        GLboolean blend, depthTest, cullFace, lighting;
        float modelview[16];
    };
    const auto run = [](void (*bloom)()) {
        // A state unlike the one either leaves: another program, unit, texture and matrix.
        bloomMaskScroll = {0.25f, 0.5f};
        glUseProgram(screenPassthroughProgram);
        glActiveTexture(GL_TEXTURE2);
        glBindTexture(GL_TEXTURE_2D, screenTarget3.colorTexture);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, screenTarget4.colorTexture);
        glEnable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(3.0f, 4.0f, 5.0f);
        glBindFramebuffer(GL_FRAMEBUFFER, screenTarget2.framebuffer);
        bloom();
        After a{};
        a.scroll = bloomMaskScroll;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &a.framebuffer);
        glGetIntegerv(GL_CURRENT_PROGRAM, &a.program);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &a.activeUnit);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &a.unit0Texture);
        glActiveTexture(static_cast<GLenum>(a.activeUnit));
        glGetIntegerv(GL_BLEND_SRC_RGB, &a.blendSrc);
        glGetIntegerv(GL_BLEND_DST_RGB, &a.blendDst);
        glGetIntegerv(GL_MATRIX_MODE, &a.matrixMode);
        a.blend = glIsEnabled(GL_BLEND);
        a.depthTest = glIsEnabled(GL_DEPTH_TEST);
        a.cullFace = glIsEnabled(GL_CULL_FACE);
        a.lighting = glIsEnabled(GL_LIGHTING);
        glGetFloatv(GL_MODELVIEW_MATRIX, a.modelview);
        return a;
    };
    const BloomMaskScroll kept = bloomMaskScroll;
    const After bloomed = run(applyBloom);
    const After skipped = run(skipCoveredBloom);
    bloomMaskScroll = kept;
    EXPECT_FLOAT_EQ(skipped.scroll.maskx, bloomed.scroll.maskx);
    EXPECT_FLOAT_EQ(skipped.scroll.masky, bloomed.scroll.masky);
    EXPECT_EQ(skipped.framebuffer, bloomed.framebuffer);
    EXPECT_EQ(skipped.program, bloomed.program);
    EXPECT_EQ(skipped.activeUnit, bloomed.activeUnit);
    EXPECT_EQ(skipped.unit0Texture, bloomed.unit0Texture);
    EXPECT_EQ(skipped.blendSrc, bloomed.blendSrc);
    EXPECT_EQ(skipped.blendDst, bloomed.blendDst);
    EXPECT_EQ(skipped.matrixMode, bloomed.matrixMode);
    EXPECT_EQ(skipped.blend, bloomed.blend);
    EXPECT_EQ(skipped.depthTest, bloomed.depthTest);
    EXPECT_EQ(skipped.cullFace, bloomed.cullFace);
    EXPECT_EQ(skipped.lighting, bloomed.lighting);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(skipped.modelview[i], bloomed.modelview[i]) << i;
}

TEST(RenderTargets, LensGradeKeepsAPictureThroughAnIdentityGradeAndServesTheClockRestart)
{
    REQUIRE_SCREEN_TARGETS();
    std::vector<uint8_t> ramp;
    for (int i = 0; i < 256; ++i)
        ramp.insert(ramp.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
    GLuint savedShade = blueShadeTexture;
    GLuint savedMask = glowMaskTexture;
    blueShadeTexture = makeTexture(256, 1, ramp);
    glowMaskTexture = solidTexture(255, 255, 255);
    // Below the bloom threshold everywhere: the chain must hand the picture through.
    clearFramebuffer(screenTarget1.framebuffer, 0.3f, 0.5f, 0.1f);
    clearFramebuffer(0, 0, 0, 0);
    useVirtualCounter(true);
    setVirtualCounter(0);
    initClockFrequency();
    startClock();
    setVirtualCounter(500000000);  // 500 ms later
    clockRestartRequest = 1;

    applyLensGrade();

    EXPECT_EQ(clockRestartRequest, 0);
    EXPECT_EQ(clockNowMs(), 0) << "the clock starts again from 0";
    useVirtualCounter(false);
    Rgb centre = pixelOf(0, 960, 540);
    EXPECT_NEAR(centre.r, 77, 2);
    EXPECT_NEAR(centre.g, 128, 2);
    EXPECT_NEAR(centre.b, 26, 2);
    glDeleteTextures(1, &blueShadeTexture);
    glDeleteTextures(1, &glowMaskTexture);
    blueShadeTexture = savedShade;
    glowMaskTexture = savedMask;
}

TEST(RenderTargets, PresentSceneTargetCopiesItToTheWindowAndRebindsIt)
{
    REQUIRE_SCREEN_TARGETS();
    clearFramebuffer(screenTarget1.framebuffer, 0.0f, 0.6f, 0.2f);
    clearFramebuffer(0, 1, 0, 0);
    presentSceneTarget();
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(screenTarget1.framebuffer));
    Rgb p = pixelOf(0, 700, 700);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(p.g, 153);
    EXPECT_EQ(p.b, 51);
}

TEST(RenderTargets, FramebufferStatusTexts)
{
    const struct {
        GLenum status;
        const char* text;
    } cases[] = {
        {GL_FRAMEBUFFER_COMPLETE, "Setup FBO Success."},
        {GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT, "Setup FBO failed. Duplicate attachment."},
        {GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT, "Setup FBO failed. Missing attachment."},
        {GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT, "Setup FBO failed. Attached images must have the same dimensions."},
        {GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT, "Setup FBO failed. Attached images must have the same format."},
        {GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER, "Setup FBO failed. Missing draw buffer."},
        {GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER, "Setup FBO failed. Missing read buffer."},
        {GL_FRAMEBUFFER_UNSUPPORTED, "Setup FBO failed. Unsupported framebuffer format."},
        {GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE, "Setup FBO failed. Attached images must have the same number of samples."},
        {GL_FRAMEBUFFER_UNDEFINED, "Setup FBO failed. Fatal error."},
        {0, "Setup FBO failed. Fatal error."},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(framebufferStatusText(c.status), c.text) << std::hex << c.status;
}

TEST(RenderTargets, MultisampleTargetIsCompleteOrReportedWithoutEndingTheProcess)
{
    REQUIRE_GL_CONTEXT();
    GLuint framebuffer = createMultisampleTarget(64, 32, 4);
    ASSERT_NE(framebuffer, 0u);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(attachmentParameter(GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE), GL_RENDERBUFFER);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_EQ(samples, 4);

    // More samples than the implementation has: no storage, an incomplete target, result 0.
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    {
        ExpectedGlErrors refusedStorage;
        testing::internal::CaptureStderr();
        EXPECT_EQ(createMultisampleTarget(64, 32, static_cast<short>(maxSamples * 4)), 0u);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("OpenGL Failed to create multi-sampled render target"),
                  std::string::npos);
        EXPECT_GT(ExpectedGlErrors::count(), 0) << "the driver refuses the storage";
    }
    while (glGetError() != GL_NO_ERROR) {
    }

    GLuint texture = createMultisampleTexture(4);
    glBindTexture(GL_TEXTURE_2D_MULTISAMPLE, texture);
    GLint width = 0, textureSamples = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D_MULTISAMPLE, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D_MULTISAMPLE, 0, GL_TEXTURE_SAMPLES, &textureSamples);
    EXPECT_EQ(width, 1920);
    EXPECT_EQ(textureSamples, 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST(RenderTargets, OffscreenTargetReplacesTheSecondTarget)
{
    REQUIRE_SCREEN_TARGETS();
    RenderTarget saved = screenTarget2;
    createOffscreenTarget(4);
    EXPECT_EQ(screenTarget2.framebuffer, offscreenMultisampleFramebuffer);
    EXPECT_EQ(screenTarget2.colorTexture, offscreenRectTexture);
    for (GLuint framebuffer : {offscreenRectFramebuffer, offscreenMultisampleFramebuffer}) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
    glBindTexture(GL_TEXTURE_RECTANGLE, offscreenRectTexture);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1920);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    screenTarget2 = saved;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace
