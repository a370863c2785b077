// Screen quads drawn into the test window's 1920 x 1080 framebuffer and read back: placement in
// the virtual frame, the caller's modelview, other viewports, texture orientation, blending and
// tint, and the state the quads leave behind.
#include "gfx/shaders.h"
#include "render/overlay.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace {

constexpr int WINDOW_WIDTH = 1920;
constexpr int WINDOW_HEIGHT = 1080;

using Rgba = std::array<uint8_t, 4>;
const Rgba BLACK = {0, 0, 0, 255};
const Rgba RED = {255, 0, 0, 255};
const Rgba GREEN = {0, 255, 0, 255};
const Rgba BLUE = {0, 0, 255, 255};
const Rgba WHITE = {255, 255, 255, 255};

uint32_t makeTexture(int width, int height, const std::vector<Rgba>& texels)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return texture;
}

struct Rect {
    int x, y, w, h;
};

struct Frame {
    std::vector<uint8_t> pixels = readPixelsRgba(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    Rgba at(int x, int y) const
    {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * WINDOW_WIDTH + x) * 4];
        return {p[0], p[1], p[2], 255};
    }
};

bool near(const Rgba& a, const Rgba& b)
{
    for (size_t i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > 2)
            return false;
    return true;
}

// Every pixel of the frame: inside `rect` the quadrant of the 2 x 2 test texture it shows
// (row 0 at the bottom), black outside. Pixels next to the texel seam are left out.
size_t countWrongPixels(const Frame& frame, const Rect& rect, const std::array<Rgba, 4>& quadrants)
{
    size_t wrong = 0;
    for (int y = 0; y < WINDOW_HEIGHT; ++y)
        for (int x = 0; x < WINDOW_WIDTH; ++x) {
            const bool inside = x >= rect.x && x < rect.x + rect.w && y >= rect.y && y < rect.y + rect.h;
            Rgba expected = BLACK;
            if (inside) {
                const double u = (x + 0.5 - rect.x) / rect.w;
                const double v = (y + 0.5 - rect.y) / rect.h;
                if (std::abs(u - 0.5) * rect.w < 1.0 || std::abs(v - 0.5) * rect.h < 1.0)
                    continue;
                expected = quadrants[(v < 0.5 ? 0 : 2) + (u < 0.5 ? 0 : 1)];
            }
            wrong += !near(frame.at(x, y), expected);
        }
    return wrong;
}

class OverlayQuads : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
        glUseProgram(0);
        glDisable(GL_BLEND);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        // Any projection: the quads bring their own.
        setCallersCamera(false);
        // Row 0 (bottom): red, green; row 1 (top): blue, white.
        quadTexture = makeTexture(2, 2, {RED, GREEN, BLUE, WHITE});
    }
    void TearDown() override
    {
        glDeleteTextures(1, &quadTexture);
        glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ZERO);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glDisable(GL_TEXTURE_2D);
    }

    GLuint quadTexture = 0;
    const std::array<Rgba, 4> quadrants = {RED, GREEN, BLUE, WHITE};
};

TEST_F(OverlayQuads, QuadsLandInTheVirtualFrame)
{
    const struct {
        const char* what;
        std::function<void(uint32_t)> draw;
        Rect expected;  // window pixels; w or h 0 for nothing drawn
    } cases[] = {
        {"blended quad", [](uint32_t t) { drawQuad(100, 200, 300, 100, t); }, {100, 200, 300, 100}},
        {"opaque quad", [](uint32_t t) { drawQuadAdditive(100, 200, 300, 100, t); }, {100, 200, 300, 100}},
        {"caller's modelview shifts the quad",
         [](uint32_t t) {
             glTranslatef(50.0f, -20.0f, 0.0f);
             drawQuad(100, 200, 300, 100, t);
         },
         {150, 180, 300, 100}},
        {"zero width draws nothing", [](uint32_t t) { drawQuad(100, 200, 0, 100, t); }, {0, 0, 0, 0}},
        {"zero height draws nothing", [](uint32_t t) { drawQuadAdditive(100, 200, 300, 0, t); }, {0, 0, 0, 0}},
        {"half-size viewport halves the quad",
         [](uint32_t t) {
             glViewport(0, 0, WINDOW_WIDTH / 2, WINDOW_HEIGHT / 2);
             drawQuad(100, 200, 300, 100, t);
         },
         {50, 100, 150, 50}},
        {"corner overlay ignores the modelview",
         [](uint32_t t) {
             overlayTexture = t;
             glTranslatef(-300.0f, 200.0f, 0.0f);
             drawCornerOverlay();
         },
         {1408, 0, 512, 256}},
        {"background covers the frame",
         [](uint32_t t) {
             backgroundTexture = t;
             glTranslatef(10.0f, 10.0f, 0.0f);
             drawBackground();
         },
         {0, 0, 1920, 1080}},
        {"black screen covers the frame",
         [](uint32_t t) {
             blackTexture = t;
             drawBlackScreen();
         },
         {0, 0, 1920, 1080}},
    };
    const uint32_t savedOverlay = overlayTexture, savedBackground = backgroundTexture, savedBlack = blackTexture;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        c.draw(quadTexture);
        glFinish();
        EXPECT_EQ(countWrongPixels(Frame(), c.expected, quadrants), 0u);
    }
    overlayTexture = savedOverlay;
    backgroundTexture = savedBackground;
    blackTexture = savedBlack;
}

TEST_F(OverlayQuads, BlendingAndTint)
{
    const uint32_t halfWhite = makeTexture(1, 1, {{255, 255, 255, 128}});
    const struct {
        const char* what;
        bool additive;
        Rgba colour;  // current colour before the draw, alpha in [3]
        Rgba expected;
    } cases[] = {
        {"blended quad mixes by texture alpha", false, {255, 255, 255, 255}, {128, 128, 255, 255}},
        {"current colour tints the blended quad", false, {255, 0, 0, 255}, {128, 0, 127, 255}},
        {"opaque quad ignores alpha and colour", true, {255, 0, 0, 64}, WHITE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4ub(c.colour[0], c.colour[1], c.colour[2], c.colour[3]);
        if (c.additive)
            drawQuadAdditive(500, 500, 20, 20, halfWhite);
        else
            drawQuad(500, 500, 20, 20, halfWhite);
        glFinish();
        Frame frame;
        EXPECT_TRUE(near(frame.at(510, 510), c.expected))
            << int(frame.at(510, 510)[0]) << "," << int(frame.at(510, 510)[1]) << "," << int(frame.at(510, 510)[2]);
        EXPECT_TRUE(near(frame.at(499, 510), BLUE));
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDeleteTextures(1, &halfWhite);
}

GLuint buildGreenProgram()
{
    const char* vertex = "#version 120\nvoid main() { gl_Position = ftransform(); }\n";
    const char* fragment = "#version 120\nvoid main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n";
    GLuint program = glCreateProgram();
    for (auto [kind, source] : {std::pair{GL_VERTEX_SHADER, vertex}, std::pair{GL_FRAGMENT_SHADER, fragment}}) {
        GLuint shader = glCreateShader(kind);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

TEST_F(OverlayQuads, StateLeftBehind)
{
    const GLuint green = buildGreenProgram();
    const struct {
        const char* what;
        bool additive;
        bool blendEnabled;
        GLint blendSource, blendDestination;
    } cases[] = {
        {"blended quad", false, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
        {"opaque quad", true, false, GL_ONE, GL_ONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        glClear(GL_COLOR_BUFFER_BIT);
        glUseProgram(green);
        glEnable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glActiveTexture(GL_TEXTURE1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1.0f, 2.0f, 0.0f);
        GLint projectionDepth = 0, modelviewDepth = 0;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
        GLfloat projectionBefore[16], projectionAfter[16], modelview[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);

        if (c.additive)
            drawQuadAdditive(0, 0, 100, 100, quadTexture);
        else
            drawQuad(0, 0, 100, 100, quadTexture);
        glFinish();

        // The quad shows the texture, not the program's green.
        EXPECT_TRUE(near(Frame().at(25, 25), RED));
        GLint program = -1, activeUnit = 0, bound = 0, src = 0, dst = 0, depth = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        EXPECT_EQ(program, 0);
        EXPECT_EQ(currentShaderProgram, 0);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
        EXPECT_EQ(activeUnit, GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), quadTexture);
        EXPECT_EQ(glIsEnabled(GL_BLEND), c.blendEnabled ? GL_TRUE : GL_FALSE);
        glGetIntegerv(GL_BLEND_SRC_RGB, &src);
        glGetIntegerv(GL_BLEND_DST_RGB, &dst);
        EXPECT_EQ(src, c.blendSource);
        EXPECT_EQ(dst, c.blendDestination);
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        glGetIntegerv(GL_MATRIX_MODE, &depth);
        EXPECT_EQ(depth, GL_MODELVIEW);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, projectionDepth);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, modelviewDepth);
        glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_EQ(std::vector<GLfloat>(projectionAfter, projectionAfter + 16),
                  std::vector<GLfloat>(projectionBefore, projectionBefore + 16));
        EXPECT_FLOAT_EQ(modelview[12], 1.0f);
        EXPECT_FLOAT_EQ(modelview[13], 2.0f);
    }
    glDisable(GL_LIGHTING);
    glDeleteProgram(green);
}

TEST_F(OverlayQuads, PixelOrthoFollowsTheViewport)
{
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(300.0f, 300.0f, 0.0f);  // replaced by the identity inside
    GLint projectionDepth = 0, modelviewDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, quadTexture);

    beginPixelOrtho();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glColor3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_TRIANGLES);
    glVertex2i(10, 20);
    glVertex2i(110, 20);
    glVertex2i(110, 70);
    glVertex2i(10, 20);
    glVertex2i(110, 70);
    glVertex2i(10, 70);
    glEnd();
    endPixelOrtho();
    glFinish();

    Frame frame;
    EXPECT_TRUE(near(frame.at(10, 20), GREEN));
    EXPECT_TRUE(near(frame.at(109, 69), GREEN));
    EXPECT_TRUE(near(frame.at(9, 20), BLACK));
    EXPECT_TRUE(near(frame.at(110, 69), BLACK));
    EXPECT_TRUE(near(frame.at(50, 70), BLACK));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, modelviewDepth);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_FLOAT_EQ(modelview[12], 300.0f);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace
