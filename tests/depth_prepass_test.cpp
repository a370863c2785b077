// The depth pre-pass of the lit draws and the cover mark: a back-to-front scene of the real lit
// program drawn with and without the pre-pass gives the same pixels and depths to the byte
// (surfaces crossing, coplanar ties, a model covering itself), the state that allows it, what
// the cover mark keeps out and the state it leaves, and which colour maps count as opaque.
#include "gfx/shadow_map.h"
#include "render/depth_prepass.h"
#include "render/lights.h"
#include "render/model_draw.h"
#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using drawtest::takeGlError;

GLint integerState(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// A 2 x 2 texture of one colour, stored with or without an alpha channel.
GLuint colourTexture(uint8_t r, uint8_t g, uint8_t b, bool withAlpha)
{
    const uint8_t rgba[16] = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, withAlpha ? GL_RGBA : GL_RGB, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return id;
}

class DepthPrepassGl : public testing::Test {
protected:
    static constexpr int SETS = 4;

    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        savedLights = lightTable;
        testing::internal::CaptureStdout();
        if (shadowLitProgram == 0)
            initShadowPrograms();
        loadDepthPrepassProgram();
        testing::internal::GetCapturedStdout();
        flat[0] = drawtest::solidTexture(128, 128, 255);  // a normal map facing out
        flat[1] = drawtest::solidTexture(255, 255, 255);
        flat[2] = drawtest::solidTexture(0, 0, 0);
        const uint8_t colours[SETS][3] = {{200, 60, 40}, {40, 180, 60}, {60, 80, 220}, {230, 220, 90}};
        for (int i = 0; i < SETS; ++i) {
            base[i] = colourTexture(colours[i][0], colours[i][1], colours[i][2], false);
            sets.push_back(std::make_unique<drawtest::ScratchTextureSet>(base[i], flat[0], flat[1], flat[2]));
        }
        // Light 0 near the view and the key light: every surface lit, the crossing ones unevenly.
        for (int i = 0; i < LIGHT_COUNT; ++i)
            lightTable.enabledF[i] = 0.0f;
        lightTable.enabledF[0] = 1.0f;
        lightTable.posX[0] = 1.0f;
        lightTable.posY[0] = 2.0f;
        lightTable.posZ[0] = 4.0f;
        lightTable.invRadius[0] = 0.05f;
        lightTable.mapSelect[0] = 0.5f;
        lightTable.ambR[0] = lightTable.ambG[0] = lightTable.ambB[0] = 0.2f;
        lightTable.diffR[0] = lightTable.diffG[0] = lightTable.diffB[0] = 0.7f;
        lightTable.specR[0] = lightTable.specG[0] = lightTable.specB[0] = 0.3f;
        glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
        glViewport(0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        buildScene();
        takeGlError();
    }
    void TearDown() override
    {
        for (Model& model : models)
            deleteModelBuffers(model);
        sets.clear();
        glDeleteTextures(SETS, base);
        glDeleteTextures(3, flat);
        lightTable = savedLights;
        depthPrepassEnabled = true;
        restoreGlDefaults();
    }

    template <typename Build>
    void addModel(int set, Build build)
    {
        std::vector<float> p, n, t, tan;
        build(p, n, t, tan);
        models.emplace_back();
        drawtest::fillModel(models.back(), p, n, t, tan);
        models.back().textureSet = sets[static_cast<size_t>(set)]->index;
    }

    // Back to front: a far wall; a triangle tilted through it; a blue quad at z = 0.5 and then a
    // yellow copy of its first triangle, tied with it to the bit (the later one shows under
    // GL_LEQUAL); one model whose second, farther triangle is drawn after its first, nearer one.
    void buildScene()
    {
        addModel(0, [](auto& p, auto& n, auto& t, auto& tan) { drawtest::addQuad(p, n, t, tan, 2, -1.0f, 1.0f, -3, 3, -2, 2); });
        addModel(1, [](auto& p, auto& n, auto& t, auto& tan) {
            drawtest::addTriangle(p, n, t, tan, {-2.5f, -1.5f, -2.0f}, {0.5f, -1.5f, 0.0f}, {-1.0f, 1.5f, -1.0f},
                                  {0.55f, 0.0f, -0.83f});
        });
        addModel(2, [](auto& p, auto& n, auto& t, auto& tan) { drawtest::addQuad(p, n, t, tan, 2, 0.5f, 1.0f, -0.5f, 1.0f, -1, 0.5f); });
        addModel(3, [](auto& p, auto& n, auto& t, auto& tan) {
            drawtest::addTriangle(p, n, t, tan, {-0.5f, -1.0f, 0.5f}, {1.0f, -1.0f, 0.5f}, {1.0f, 0.5f, 0.5f}, {0, 0, 1});
        });
        addModel(1, [](auto& p, auto& n, auto& t, auto& tan) {
            drawtest::addTriangle(p, n, t, tan, {1.2f, -1.8f, 0.8f}, {2.6f, -1.8f, 0.8f}, {1.9f, -0.4f, 0.8f}, {0, 0, 1});
            drawtest::addTriangle(p, n, t, tan, {1.0f, -2.0f, 0.2f}, {2.8f, -2.0f, 0.2f}, {1.9f, 0.2f, 0.2f}, {0, 0, 1});
        });
    }

    // The scene as the game draws a lit pass: depth test GL_LEQUAL, blending as the cloud layer
    // leaves it, every draw white with alpha 1; with or without the pre-pass.
    struct Picture {
        std::vector<uint8_t> colour;
        std::vector<float> depth;
        bool prepassed = false;
        int tie[2] = {};   // a pixel of the tied triangle
        int blue[2] = {};  // a pixel of the blue quad's other triangle
    };
    Picture draw(bool withPrepass)
    {
        drawtest::PerspectiveView view(0.5, 0.3, 5);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        depthPrepassEnabled = withPrepass;
        Picture picture;
        picture.prepassed = depthPrepassKeepsPicture(true);
        GLdouble modelview[16], projection[16], x = 0, y = 0, z = 0;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(0.5, -0.5, 0.5, modelview, projection, viewport, &x, &y, &z);
        picture.tie[0] = static_cast<int>(x);
        picture.tie[1] = static_cast<int>(y);
        gluProject(-0.1, 0.1, 0.5, modelview, projection, viewport, &x, &y, &z);
        picture.blue[0] = static_cast<int>(x);
        picture.blue[1] = static_cast<int>(y);
        if (picture.prepassed) {
            beginDepthPrepass();
            for (Model& model : models)
                drawModelDepthPrepass(model);
            endDepthPrepass();
        }
        for (Model& model : models)
            drawStaticModelShadowed(model, static_cast<int>(shadowLitProgram));
        if (picture.prepassed)
            endPrepassedDraws();
        EXPECT_EQ(integerState(GL_DEPTH_FUNC), GL_LEQUAL);
        picture.colour = readPixelsRgba(0, 0, 1920, 1080);
        picture.depth.resize(1920u * 1080u);
        glReadPixels(0, 0, 1920, 1080, GL_DEPTH_COMPONENT, GL_FLOAT, picture.depth.data());
        return picture;
    }

    LightTable savedLights{};
    GLuint flat[3] = {};
    GLuint base[SETS] = {};
    std::vector<std::unique_ptr<drawtest::ScratchTextureSet>> sets;
    std::vector<Model> models;
};

size_t differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    size_t n = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return n;
}

const uint8_t* pixelAt(const std::vector<uint8_t>& picture, int x, int y)
{
    return &picture[(static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4];
}

TEST_F(DepthPrepassGl, ThePrepassedSceneIsThePlainOneToTheByte)
{
    ASSERT_NE(shadowLitProgram, 0u);
    const Picture plain = draw(false);
    const Picture prepassed = draw(true);
    ASSERT_FALSE(plain.prepassed);
    ASSERT_TRUE(prepassed.prepassed);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(differingPixels(plain.colour, prepassed.colour), 0u);
    EXPECT_TRUE(plain.depth == prepassed.depth) << "the pre-pass leaves the depths the plain pass leaves";

    // The scene holds what the claim is about: most of the view is drawn, and where the blue
    // quad and its yellow copy tie the later, yellow one shows.
    size_t drawn = 0;
    for (size_t i = 0; i + 3 < plain.colour.size(); i += 4)
        drawn += plain.colour[i] + plain.colour[i + 1] + plain.colour[i + 2] > 0;
    EXPECT_GT(drawn, 500000u);
    const uint8_t* tie = pixelAt(plain.colour, plain.tie[0], plain.tie[1]);
    const uint8_t* blue = pixelAt(plain.colour, plain.blue[0], plain.blue[1]);
    EXPECT_TRUE(tie[0] > 2 * tie[2] && tie[1] > 2 * tie[2]) << "the tied triangle is yellow";
    EXPECT_TRUE(blue[2] > 2 * blue[0] && blue[2] > 2 * blue[1]) << "the rest of the quad is blue";
}

TEST_F(DepthPrepassGl, ThePrepassRunsOnlyWhereItKeepsThePicture)
{
    struct Case {
        const char* what;
        bool depthTest;
        GLenum depthFunc;
        bool stencil;
        bool blend;
        GLenum src, dst, equation;
        bool opaque;
        bool expected;
    } cases[] = {
        {"the game's lit pass: blending over opaque fragments", true, GL_LEQUAL, false, true, GL_SRC_ALPHA,
         GL_ONE_MINUS_SRC_ALPHA, GL_FUNC_ADD, true, true},
        {"blending off, whatever the alpha", true, GL_LEQUAL, false, false, GL_ONE, GL_ONE, GL_FUNC_ADD, false, true},
        {"translucent fragments show what lies behind", true, GL_LEQUAL, false, true, GL_SRC_ALPHA,
         GL_ONE_MINUS_SRC_ALPHA, GL_FUNC_ADD, false, false},
        {"additive blending adds every layer", true, GL_LEQUAL, false, true, GL_SRC_ALPHA, GL_ONE, GL_FUNC_ADD, true,
         false},
        {"subtracting blends", true, GL_LEQUAL, false, true, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
         GL_FUNC_REVERSE_SUBTRACT, true, false},
        {"GL_LESS shows the first of tied fragments", true, GL_LESS, false, false, GL_ONE, GL_ZERO, GL_FUNC_ADD, true,
         false},
        {"no depth test", false, GL_LEQUAL, false, false, GL_ONE, GL_ZERO, GL_FUNC_ADD, true, false},
        {"a stencil test of the caller's", true, GL_LEQUAL, true, false, GL_ONE, GL_ZERO, GL_FUNC_ADD, true, false},
    };
    for (const Case& c : cases) {
        c.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        glDepthFunc(c.depthFunc);
        c.stencil ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
        c.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        glBlendFunc(c.src, c.dst);
        glBlendEquation(c.equation);
        EXPECT_EQ(depthPrepassKeepsPicture(c.opaque), c.expected) << c.what;
        depthPrepassEnabled = false;
        EXPECT_FALSE(depthPrepassKeepsPicture(c.opaque)) << c.what << ", switched off";
        depthPrepassEnabled = true;
    }
    glDisable(GL_STENCIL_TEST);
    glBlendEquation(GL_FUNC_ADD);
}

TEST_F(DepthPrepassGl, TheCoverMarkKeepsLaterDrawsOffItsPixelsAndLeavesDepthAndState)
{
    drawtest::PerspectiveView view(0.5, 0.3, 5);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glDepthFunc(GL_LEQUAL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    beginCoverMark();
    drawModelDepthPrepass(models[2]);  // the blue quad's pixels
    endCoverMark();
    std::vector<uint8_t> marked = readPixelsRgba(0, 0, 1920, 1080);
    std::vector<float> depth(1920u * 1080u);
    glReadPixels(0, 0, 1920, 1080, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    EXPECT_EQ(differingPixels(marked, std::vector<uint8_t>(marked.size(), 0)), 0u) << "the mark draws no colour";
    EXPECT_TRUE(depth == std::vector<float>(depth.size(), 1.0f)) << "the mark writes no depth";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integerState(GL_CURRENT_PROGRAM), 0);

    // The far wall, lit, now reaches only the pixels the blue quad does not cover.
    drawStaticModelShadowed(models[0], static_cast<int>(shadowLitProgram));
    const std::vector<uint8_t> wall = readPixelsRgba(0, 0, 1920, 1080);
    endCoverTest();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawStaticModelShadowed(models[2], static_cast<int>(shadowLitProgram));
    const std::vector<uint8_t> quad = readPixelsRgba(0, 0, 1920, 1080);
    size_t quadPixels = 0, wallUnderQuad = 0, wallElsewhere = 0;
    for (size_t i = 0; i + 3 < quad.size(); i += 4) {
        const bool underQuad = quad[i] + quad[i + 1] + quad[i + 2] > 0;
        const bool wallDrawn = wall[i] + wall[i + 1] + wall[i + 2] > 0;
        quadPixels += underQuad;
        wallUnderQuad += underQuad && wallDrawn;
        wallElsewhere += !underQuad && wallDrawn;
    }
    EXPECT_GT(quadPixels, 10000u);
    EXPECT_EQ(wallUnderQuad, 0u);
    EXPECT_GT(wallElsewhere, 100000u);

    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_EQ(integerState(GL_STENCIL_FUNC), GL_ALWAYS);
    EXPECT_EQ(integerState(GL_STENCIL_REF), 0);
    EXPECT_EQ(integerState(GL_STENCIL_VALUE_MASK) & 0xFF, 0xFF) << "every bit of the stencil tested";
    for (GLenum op : {GL_STENCIL_FAIL, GL_STENCIL_PASS_DEPTH_FAIL, GL_STENCIL_PASS_DEPTH_PASS})
        EXPECT_EQ(integerState(op), GL_KEEP);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DepthPrepassGl, TheColourMaskComesBackAfterThePrepass)
{
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE);
    beginDepthPrepass();
    GLboolean during[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, during);
    EXPECT_EQ(integerState(GL_DEPTH_WRITEMASK), GL_TRUE);
    endDepthPrepass();
    GLboolean after[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, after);
    EXPECT_EQ(std::vector<int>(during, during + 4), std::vector<int>(4, GL_FALSE));
    EXPECT_EQ(std::vector<int>(after, after + 4), (std::vector<int>{GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE}));
    EXPECT_EQ(integerState(GL_DEPTH_FUNC), GL_EQUAL);
    endPrepassedDraws();
    EXPECT_EQ(integerState(GL_DEPTH_FUNC), GL_LEQUAL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

TEST_F(DepthPrepassGl, OnlyColourMapsWithoutAlphaCountAsOpaque)
{
    const GLuint withAlpha = colourTexture(10, 20, 30, true);
    drawtest::ScratchTextureSet translucent(withAlpha, flat[0], flat[1], flat[2]);
    const GLuint unrelated = colourTexture(1, 2, 3, false);
    glBindTexture(GL_TEXTURE_2D, unrelated);
    Model model;
    struct Case {
        const char* what;
        int32_t set;
        bool opaque;
    } cases[] = {
        {"an RGB colour map", sets[0]->index, true},
        {"an RGBA colour map", translucent.index, false},
        {"no texture set", -1, true},
        {"a set past the table", translucent.index + 1, true},
    };
    for (const Case& c : cases) {
        model.textureSet = c.set;
        EXPECT_EQ(modelColourMapOpaque(model), c.opaque) << c.what;
        EXPECT_EQ(static_cast<GLuint>(integerState(GL_TEXTURE_BINDING_2D)), unrelated) << c.what << ": binding kept";
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &withAlpha);
    glDeleteTextures(1, &unrelated);
}

}  // namespace
