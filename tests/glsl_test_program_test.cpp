// The GLSL test program: before a successful init the quad draw only clears (no GL error from
// location -1 or object 0); after it the middle half of the viewport is white and the rest
// keeps the clear colour.
#include "render/glsl_test_program.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

namespace {

constexpr int W = 1920;
constexpr int H = 1080;

struct Counts {
    int white = 0, black = 0, other = 0;
};

// Samples every 8th pixel; `inQuad` says which of them the quad should cover.
template <typename InQuad>
void classify(const std::vector<uint8_t>& pixels, InQuad inQuad, Counts& quad, Counts& rest)
{
    for (int y = 4; y < H; y += 8)
        for (int x = 4; x < W; x += 8) {
            const uint8_t* p = &pixels[(static_cast<size_t>(y) * W + x) * 4];
            Counts& c = inQuad(x, y) ? quad : rest;
            if (p[0] == 255 && p[1] == 255 && p[2] == 255)
                ++c.white;
            else if (p[0] == 0 && p[1] == 0 && p[2] == 0)
                ++c.black;
            else
                ++c.other;
        }
}

TEST(GlslTestProgram, ClearsBeforeInitAndDrawsTheWhiteQuadAfter)
{
    REQUIRE_GL_CONTEXT();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, W, H);
    while (glGetError() != GL_NO_ERROR) {
    }

    // Before init: a clear in the clear colour, nothing drawn, no error.
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    renderTestQuad();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<uint8_t> cleared = readPixelsRgba(0, 0, W, H);
    int blue = 0;
    for (size_t i = 0; i < cleared.size(); i += 4)
        blue += cleared[i] == 0 && cleared[i + 1] == 0 && cleared[i + 2] == 255;
    EXPECT_EQ(blue, W * H);

    ASSERT_TRUE(initTestProgram());
    EXPECT_NE(testProgram, 0u);
    EXPECT_GE(testVertexPosAttrib, 0);
    renderTestQuad();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);

    // Pixels a sample's width from the quad's border are left out.
    Counts quad, rest;
    classify(readPixelsRgba(0, 0, W, H),
        [](int x, int y) {
            return x > W / 4 + 2 && x < 3 * W / 4 - 2 && y > H / 4 + 2 && y < 3 * H / 4 - 2;
        },
        quad, rest);
    EXPECT_GT(quad.white, 0);
    EXPECT_EQ(quad.black + quad.other, 0);
    // Outside the quad: black, except the thin band right at its border.
    Counts outside, edge;
    classify(readPixelsRgba(0, 0, W, H),
        [](int x, int y) { return x < W / 4 - 2 || x > 3 * W / 4 + 2 || y < H / 4 - 2 || y > 3 * H / 4 + 2; },
        outside, edge);
    EXPECT_GT(outside.black, 0);
    EXPECT_EQ(outside.white + outside.other, 0);
}

}  // namespace
