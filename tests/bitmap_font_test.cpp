// The bitmap font: its character map, the quads of drawText read back from the test window
// (through a probe texture whose cells carry their own number as colour), the glyphs of
// "demofont.tga" itself, the state a draw leaves, and where and when the three texts appear.
#include "core/clock.h"
#include "app/frame.h"
#include "gfx/shaders.h"
#include "platform/os_services.h"
#include "scenes/text.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

constexpr int WINDOW_WIDTH = 1920;
constexpr int WINDOW_HEIGHT = 1080;
constexpr int BACKGROUND = -1;  // a pixel no glyph covers
constexpr int PROBE_TEXELS_PER_CELL = 4;
constexpr int PROBE_CELL_STEP = 8;  // red level per cell number

// A glyph quad as pixel columns x0..x1-1 and rows y0..y1-1 (y up), and the cell it shows.
struct GlyphBox {
    int x0, x1, y0, y1;
    int cell;
};

struct Frame {
    std::vector<uint8_t> pixels = readPixelsRgba(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
    std::array<int, 3> at(int x, int y) const
    {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * WINDOW_WIDTH + x) * 4];
        return {p[0], p[1], p[2]};
    }
    bool lit(int x, int y) const
    {
        const std::array<int, 3> c = at(x, y);
        return c[0] + c[1] + c[2] > 0;
    }
    // The probe cell a pixel shows, or BACKGROUND.
    int cellAt(int x, int y) const { return lit(x, y) ? (at(x, y)[0] + PROBE_CELL_STEP / 2) / PROBE_CELL_STEP : BACKGROUND; }
    // Whether a probe pixel shows the top texel row (v = 1) of its cell.
    bool showsTopRow(int x, int y) const { return at(x, y)[2] > 128; }
};

struct Extent {
    int left = WINDOW_WIDTH, right = -1, bottom = WINDOW_HEIGHT, top = -1;  // inclusive
    bool empty() const { return right < 0; }
};

Extent litExtent(const Frame& frame)
{
    Extent e;
    for (int y = 0; y < WINDOW_HEIGHT; ++y)
        for (int x = 0; x < WINDOW_WIDTH; ++x)
            if (frame.lit(x, y)) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.bottom = std::min(e.bottom, y);
                e.top = std::max(e.top, y);
            }
    return e;
}

// 32 cells of 4 x 2 texels: cell c is red c x 8, green 255 - c x 8 (so cell 0 is not black),
// blue 0 in the bottom texel row and 255 in the top one.
uint32_t makeProbeFont()
{
    const int width = FONT_CELL_COUNT * PROBE_TEXELS_PER_CELL;
    std::vector<uint8_t> texels(static_cast<size_t>(width) * 2 * 4);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < width; ++x) {
            const int cell = x / PROBE_TEXELS_PER_CELL;
            uint8_t* t = &texels[(static_cast<size_t>(row) * width + x) * 4];
            t[0] = static_cast<uint8_t>(cell * PROBE_CELL_STEP);
            t[1] = static_cast<uint8_t>(255 - cell * PROBE_CELL_STEP);
            t[2] = row == 0 ? 0 : 255;
            t[3] = 255;
        }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texture;
}

uint32_t makeFlatFont(uint8_t alpha)
{
    const std::vector<uint8_t> texels(FONT_CELL_COUNT * 4, 255);
    std::vector<uint8_t> withAlpha = texels;
    for (size_t i = 3; i < withAlpha.size(); i += 4)
        withAlpha[i] = alpha;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, FONT_CELL_COUNT, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, withAlpha.data());
    return texture;
}

class BitmapFont : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        static uint32_t loadedFont = 0;
        if (loadedFont == 0) {
            initFont();
            loadedFont = fontTexture;
        }
        realFont = loadedFont;
        fontTexture = realFont;
        useVirtualCounter(true);
        setVirtualCounter(0);
        initClockFrequency();
        startClock();

        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT);
        glUseProgram(0);
        for (int unit = 3; unit >= 0; --unit) {
            glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
            glDisable(GL_TEXTURE_2D);
        }
        glEnable(GL_TEXTURE_2D);  // unit 0: the texturing the frame routine leaves on
        glDisable(GL_BLEND);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        // The caller's camera, which the text must not see.
        setCallersCamera(true);
    }
    void TearDown() override
    {
        fontTexture = realFont;
        useVirtualCounter(false);
        for (GLuint texture : madeTextures)
            glDeleteTextures(1, &texture);
        glDisable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ZERO);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    void useProbeFont()
    {
        fontTexture = makeProbeFont();
        madeTextures.push_back(fontTexture);
    }
    static void atMs(double ms) { setVirtualCounter(static_cast<long long>(ms * 1.0e6)); }

    uint32_t realFont = 0;
    std::vector<GLuint> madeTextures;
};

TEST(BitmapFontMap, LettersFoldCaseAndOnlyTheTwoMarksHaveCells)
{
    REQUIRE_GL_CONTEXT();
    initFont();
    const struct {
        char c;
        int cell;
    } cases[] = {
        {'A', 1}, {'a', 1}, {'M', 13}, {'m', 13}, {'Z', 26}, {'z', 26}, {'{', 27}, {'|', 28},
        {' ', 0}, {'@', 0}, {'[', 0}, {'`', 0}, {'}', 0}, {'0', 0}, {'.', 0}, {'\0', 0}, {'\x7f', 0},
        // Codes of 128 and above (negative as char) draw the blank.
        {'\x80', 0}, {'\xc3', 0}, {'\xfe', 0}, {'\xff', 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c.c)));
        EXPECT_EQ(fontCellOf(c.c), c.cell);
    }
}

TEST_F(BitmapFont, GlyphQuadsSitOnWholePixelsOneCellApart)
{
    const struct {
        const char* text;
        float x, y, scale;
        std::vector<GlyphBox> boxes;
    } cases[] = {
        // Scale 0.5: 64 px squares, the n-th 64 n right of x; the space draws cell 0.
        {"Az {|", 100.0f, 200.0f, 0.5f,
         {{100, 164, 816, 880, 1}, {164, 228, 816, 880, 26}, {228, 292, 816, 880, 0},
          {292, 356, 816, 880, 27}, {356, 420, 816, 880, 28}}},
        // Every corner truncated on its own: 38.4 px glyphs come out 38 px wide, with a gap
        // column where the truncations fall apart.
        {"MID", 10.3f, 20.2f, 0.3f, {{10, 48, 1021, 1059, 13}, {48, 86, 1021, 1059, 9}, {87, 125, 1021, 1059, 4}}},
        // Codes outside the letters, including bytes of 128 and above, draw cell 0 at full advance.
        {"\xc3\xa9\xff~}", 0.0f, 0.0f, 1.0f,
         {{0, 128, 952, 1080, 0}, {128, 256, 952, 1080, 0}, {256, 384, 952, 1080, 0}, {384, 512, 952, 1080, 0},
          {512, 640, 952, 1080, 0}}},
    };
    useProbeFont();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        glClear(GL_COLOR_BUFFER_BIT);
        drawText(c.text, c.x, c.y, c.scale);
        const Frame frame;
        const int bandRow = (c.boxes[0].y0 + c.boxes[0].y1) / 2;
        std::vector<int> expectedRow(WINDOW_WIDTH, BACKGROUND);
        for (const GlyphBox& box : c.boxes)
            for (int x = box.x0; x < box.x1; ++x)
                expectedRow[x] = box.cell;
        for (int x = 0; x < WINDOW_WIDTH; ++x)
            ASSERT_EQ(frame.cellAt(x, bandRow), expectedRow[x]) << "column " << x;
        for (const GlyphBox& box : c.boxes) {
            const int column = (box.x0 + box.x1) / 2;
            for (int y = 0; y < WINDOW_HEIGHT; ++y)
                ASSERT_EQ(frame.cellAt(column, y), y >= box.y0 && y < box.y1 ? box.cell : BACKGROUND)
                    << "column " << column << " row " << y;
            // v = 1 at the top edge, 0 at the bottom.
            EXPECT_TRUE(frame.showsTopRow(column, box.y1 - 1));
            EXPECT_FALSE(frame.showsTopRow(column, box.y0));
        }
    }
}

TEST_F(BitmapFont, SwappedCaseDrawsTheSameGlyphs)
{
    glClear(GL_COLOR_BUFFER_BIT);
    drawText("Hello World {|}", 40.0f, 300.0f, 0.7f);
    const Frame original;
    glClear(GL_COLOR_BUFFER_BIT);
    drawText("hELLO wORLD {|}", 40.0f, 300.0f, 0.7f);
    const Frame swapped;
    EXPECT_FALSE(litExtent(original).empty());
    EXPECT_TRUE(original.pixels == swapped.pixels);
}

TEST_F(BitmapFont, GlyphTakesTheCurrentColourAndBlendsByItsAlpha)
{
    fontTexture = makeFlatFont(128);
    madeTextures.push_back(fontTexture);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    drawText("A", 0.0f, 0.0f, 1.0f);
    const Frame frame;
    const std::array<int, 3> glyph = frame.at(64, 1000);
    EXPECT_NEAR(glyph[0], 128, 2);
    EXPECT_NEAR(glyph[1], 0, 2);
    EXPECT_NEAR(glyph[2], 127, 2);
    EXPECT_EQ(frame.at(200, 1000), (std::array<int, 3>{0, 0, 255}));
}

// The artwork: the blank cell is empty, every used cell holds ink, and none reaches the edge
// of its square (so neighbouring cells never show at a glyph's border).
TEST_F(BitmapFont, DemoFontCellsAreBlankOrInkedInsideTheirSquare)
{
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, FONT_CELL_COUNT * FONT_CELL_PIXELS);
    EXPECT_EQ(height, FONT_CELL_PIXELS);

    const std::string drawn = " ABCDEFGHIJKLMNOPQRSTUVWXYZ{|";
    constexpr int EDGE = 2;
    for (char c : drawn) {
        SCOPED_TRACE(std::string(1, c));
        glClear(GL_COLOR_BUFFER_BIT);
        drawText(std::string(1, c).c_str(), 0.0f, 0.0f, 1.0f);  // the square 0..127 x 952..1079
        const Frame frame;
        const Extent ink = litExtent(frame);
        if (c == ' ') {
            EXPECT_TRUE(ink.empty());
            continue;
        }
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.left, EDGE);
        EXPECT_LE(ink.right, FONT_CELL_PIXELS - 1 - EDGE);
        EXPECT_GE(ink.bottom, WINDOW_HEIGHT - FONT_CELL_PIXELS + EDGE);
        EXPECT_LE(ink.top, WINDOW_HEIGHT - 1 - EDGE);
        // White glyphs: the ink carries no tint of its own.
        const std::array<int, 3> centre = frame.at((ink.left + ink.right) / 2, (ink.bottom + ink.top) / 2);
        EXPECT_EQ(centre[0], centre[1]);
        EXPECT_EQ(centre[1], centre[2]);
    }
}

TEST_F(BitmapFont, DrawRestoresTheMatricesAndLeavesItsState)
{
    for (const char* text : {"", "AB"}) {
        SCOPED_TRACE(std::string("text \"") + text + "\"");
        glEnable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, 0);
        GLfloat projection[16], modelview[16];
        GLint projectionDepth = 0, modelviewDepth = 0;
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
        glClear(GL_COLOR_BUFFER_BIT);
        while (glGetError() != GL_NO_ERROR) {
        }

        drawText(text, 10.0f, 10.0f, 0.5f);

        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        GLfloat projectionAfter[16], modelviewAfter[16];
        GLint depth = 0, matrixMode = 0, program = -1, bound = 0, activeUnit = 0;
        glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(projectionAfter[i], projection[i]);
            EXPECT_EQ(modelviewAfter[i], modelview[i]);
        }
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, projectionDepth);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, modelviewDepth);
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_EQ(matrixMode, GL_MODELVIEW);
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        EXPECT_EQ(program, 0);
        EXPECT_EQ(currentShaderProgram, 0);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
        EXPECT_EQ(activeUnit, GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<uint32_t>(bound), fontTexture);
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(litExtent(Frame()).empty(), text[0] == '\0');
    }
    glDisable(GL_LIGHTING);
}

TEST_F(BitmapFont, PulsingTextSwingsItsScaleAndStaysCentred)
{
    // The scale on absolute clock time: 0.1 -> 0.5 in 1.2 s, then back.
    const struct {
        double clockMs;
        float scale;
    } cases[] = {{0, 0.1f}, {600, 0.3f}, {1200, 0.5f}, {1800, 0.3f}, {2400, 0.1f}};
    useProbeFont();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clockMs);
        atMs(c.clockMs);
        glClear(GL_COLOR_BUFFER_BIT);
        drawPulsingText();
        const Extent e = litExtent(Frame());
        const double glyph = FONT_CELL_PIXELS * c.scale;
        EXPECT_NEAR(e.top - e.bottom + 1, glyph, 1.0);
        EXPECT_NEAR(e.right - e.left + 1, glyph * 30, 2.0);  // both ends truncate on their own
        EXPECT_NEAR(e.left, (WINDOW_WIDTH - glyph * 30) / 2, 1.0);
        EXPECT_NEAR(e.bottom, (WINDOW_HEIGHT - glyph) / 2, 1.0);
    }
}

TEST_F(BitmapFont, CreditsAndClosingTextsAppearOnTimeInPlace)
{
    const struct {
        const char* text;
        void (*draw)();
        int sceneAgeMs;
        bool drawn;
        Extent box;  // inclusive pixels, y up
    } cases[] = {
        // 29 glyphs of 64 px along the bottom, from the ninth second.
        {"credits", drawCreditsText, 8900, false, {}},
        {"credits", drawCreditsText, 9100, true, {32, 1887, 64, 127}},
        {"credits", drawCreditsText, 60000, true, {32, 1887, 64, 127}},
        // From the fifth second, growing for pi seconds, bottom edge 128 px up.
        {"closing", drawClosingText, 4900, false, {}},
        {"closing", drawClosingText, 6570, true, {672, 1247, 128, 159}},  // a quarter of the way: scale 0.25
        {"closing", drawClosingText, 9000, true, {384, 1535, 128, 191}},  // full size: scale 0.5
        {"closing", drawClosingText, 60000, true, {384, 1535, 128, 191}},
    };
    useProbeFont();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.sceneAgeMs) + " ms");
        atMs(100000.0);
        sceneStartMs = 100000 - c.sceneAgeMs;
        glClear(GL_COLOR_BUFFER_BIT);
        c.draw();
        const Extent e = litExtent(Frame());
        ASSERT_EQ(!e.empty(), c.drawn);
        if (!c.drawn)
            continue;
        EXPECT_NEAR(e.left, c.box.left, 1);
        EXPECT_NEAR(e.right, c.box.right, 1);
        EXPECT_NEAR(e.bottom, c.box.bottom, 1);
        EXPECT_NEAR(e.top, c.box.top, 1);
    }
    sceneStartMs = 0;
}

}  // namespace
