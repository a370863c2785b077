// Model-list drawing: every entry of a list drawn in order by its member of the family, the
// list scale, the background tints from their fixed seed (as drawn pixels), and the fading prop.
#include "gfx/model.h"
#include "gfx/scene_file.h"
#include "platform/crt_random.h"
#include "render/model_draw.h"
#include "render/model_list_draw.h"
#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using drawtest::takeGlError;

// A unit square from (x, 0) to (x + 1, 1) in the z = 0 plane, facing +z.
void makeSquare(Model& model, float x)
{
    std::vector<float> p, n, t, tan;
    drawtest::addQuad(p, n, t, tan, 2, 0.0f, 1.0f, x, x + 1.0f, 0.0f, 1.0f);
    drawtest::fillModel(model, p, n, t, tan);
}

// Half the "glColor" uniform as the colour, so tints above 1 stay readable.
const char* const TINT_VERTEX = R"(#version 330 compatibility
layout(location = 0) in vec3 vertexPosition;
uniform int hasAnim;
void main() { gl_Position = gl_ModelViewProjectionMatrix * vec4(vertexPosition, 1.0 + 1e-9 * float(hasAnim)); }
)";
const char* const TINT_FRAGMENT = R"(#version 330 compatibility
uniform vec4 glColor;
void main() { gl_FragColor = 0.5 * glColor; }
)";

class ModelListDrawGl : public testing::Test {
protected:
    static const int MODELS = 4;

    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        program = drawtest::buildProgram(TINT_VERTEX, TINT_FRAGMENT, &log);
        for (int i = 0; i < MODELS; ++i) {
            makeSquare(models[i], static_cast<float>(i));
            list.items[i] = &models[i];
        }
        list.count = MODELS;
        pushWindowView(MODELS, 1);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        takeGlError();
    }
    void TearDown() override
    {
        popMatrices();
        glColor4f(1, 1, 1, 1);
        glActiveTexture(GL_TEXTURE0);
        for (Model& model : models)
            deleteModelBuffers(model);
        if (program)
            drawtest::deleteTestProgram(program);
    }

    // The red, green and blue of the middle of square i.
    std::vector<int> squareColour(int i)
    {
        int x = static_cast<int>((i + 0.5) * 1920 / MODELS);
        std::vector<uint8_t> p = readPixelsRgba(x, 540, 1, 1);
        return {p[0], p[1], p[2]};
    }

    std::vector<float> currentColour()
    {
        std::vector<float> colour(4);
        glGetFloatv(GL_CURRENT_COLOR, colour.data());
        return colour;
    }

    Model models[MODELS];
    ModelList list;
    uint32_t program = 0;
    std::string log;
};

TEST_F(ModelListDrawGl, EveryMemberVisitsEachEntryOnce)
{
    ASSERT_NE(program, 0u) << log;
    drawtest::addSkeleton(models[MODELS - 1], 2, 3);
    ModelList empty;
    ModelList overfull = list;
    overfull.count = 5000;  // past the capacity: only the entries that exist are drawn
    struct Case {
        const char* what;
        const ModelList* list;
        void (*draw)(const ModelList&, int);
        uint64_t draws;
    } cases[] = {
        {"plain", &list, [](const ModelList& l, int) { drawModelList(l); }, MODELS},
        {"depth", &list, drawModelListDepth, MODELS},
        {"static shadowed", &list, drawStaticModelList, MODELS},
        {"tinted", &list, drawStaticModelListTinted, MODELS},
        {"an empty list", &empty, drawStaticModelListTinted, 0},
        {"a count past the capacity", &overfull, drawModelListDepth, MODELS},
    };
    for (const Case& c : cases) {
        uint64_t before = modelDrawStats.drawCalls;
        c.draw(*c.list, static_cast<int>(program));
        EXPECT_EQ(modelDrawStats.drawCalls - before, c.draws) << c.what;
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR)) << c.what;
    }
    // The depth list draws a skinned model unskinned.
    drawModelListDepth(list, static_cast<int>(program));
    EXPECT_EQ(drawtest::uniformInt(program, "hasAnim"), 0);
    EXPECT_EQ(*models[MODELS - 1].animFlag, 1);
}

TEST_F(ModelListDrawGl, ScalingTheListScalesEveryModel)
{
    scaleModelList(list, 1.1f);
    for (int i = 0; i < MODELS; ++i)
        EXPECT_FLOAT_EQ(models[i].positions[3], (i + 1.0f) * 1.1f) << "model " << i;
}

TEST_F(ModelListDrawGl, TintsComeFromTheFixedSeedOnEveryCall)
{
    ASSERT_NE(program, 0u) << log;
    crtSrand(TINT_SEED);
    std::vector<std::vector<int>> expected;
    for (int i = 0; i < MODELS; ++i) {
        float tint[3];
        for (int k = 0; k < 3; ++k)
            tint[k] = (k == 0 ? 1.05f : 1.15f) + static_cast<float>(crtRand() % 5) / 100.0f;
        std::vector<int> bytes;
        for (float t : tint)
            bytes.push_back(static_cast<int>(std::lround(0.5f * t * 255.0f)));
        expected.push_back(bytes);
    }

    for (int call = 0; call < 2; ++call) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        crtRand();  // draws in between do not shift the tints
        glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
        drawStaticModelListTinted(list, static_cast<int>(program));
        EXPECT_EQ(currentColour(), (std::vector<float>{1, 1, 1, 1})) << "call " << call;
        for (int i = 0; i < MODELS; ++i) {
            std::vector<int> got = squareColour(i);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(got[k], expected[i][k], 1) << "call " << call << ", model " << i << ", channel " << k;
        }
    }

    // A second list starts from the same seed: its first model gets the first tint.
    ModelList other;
    other.items[0] = &models[2];
    other.count = 1;
    glClear(GL_COLOR_BUFFER_BIT);
    drawStaticModelListTinted(other, static_cast<int>(program));
    std::vector<int> got = squareColour(2);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(got[k], expected[0][k], 1) << "channel " << k;

    ModelList empty;
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    drawStaticModelListTinted(empty, static_cast<int>(program));
    EXPECT_EQ(currentColour(), (std::vector<float>{1, 1, 1, 1})) << "an empty list still leaves white";

    // Taking the tints without drawing leaves the generator where the draw leaves it, holes
    // in the list included.
    ModelList holed = list;
    holed.items[1] = nullptr;
    drawStaticModelListTinted(holed, static_cast<int>(program));
    const auto afterDraw = crtRandStateValue();
    crtRand();
    takeModelListTints(holed);
    EXPECT_EQ(crtRandStateValue(), afterDraw);
}

TEST_F(ModelListDrawGl, FadingDrawsWithTheTimerBeforeItsAdvance)
{
    ASSERT_NE(program, 0u) << log;
    const float keepSubstep = substepFactor;
    substepFactor = 0.048f;  // a 16 ms frame
    const double step = std::pow(static_cast<double>(8.333333f * 0.048f * 30.0f), 1.7);
    ASSERT_NEAR(step, 68.3, 0.05);
    struct Case {
        float timer;
        float alpha;
        float after;
    } cases[] = {
        {0.0f, 2.0f, static_cast<float>(step)},
        {1000.0f, 1.0f, static_cast<float>(1000.0 + step)},
        {1990.0f, 0.01f, 0.0f},
    };
    for (const Case& c : cases) {
        float timer = c.timer;
        drawStaticModelFading(models[0], static_cast<int>(program), timer);
        EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_NEAR(drawtest::uniformFloats(program, "glColor", 4)[3], c.alpha, 1e-5f) << "timer " << c.timer;
        EXPECT_FLOAT_EQ(timer, c.after) << "timer " << c.timer;
        EXPECT_EQ(currentColour(), (std::vector<float>{1, 1, 1, 1}));
    }

    float timer = 0.0f;
    int calls = 0;
    do {
        drawStaticModelFading(models[0], static_cast<int>(program), timer);
        ++calls;
    } while (timer != 0.0f && calls < 100);
    EXPECT_EQ(calls, 30) << "one fade cycle";
    substepFactor = keepSubstep;
}

} // namespace
