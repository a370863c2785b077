// The shadow target and its programs: format and completeness, the depth packing of the depth
// pass and the shadow test of the lit pass, the on-screen view, and the light transforms.
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "render/screen_passes.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// The matrices as they stand before any test runs a shadowed draw.
const std::vector<float> initialDepthMVP(depthMVP, depthMVP + 16);
const std::vector<float> initialDepthBiasMVP(depthBiasMVP, depthBiasMVP + 16);

struct ShadowSetUp {
    std::string output;
    GLint framebufferAfter = 0;
    GLint programAfter = 0;
};

// The shadow programs need the screen passthrough program for the view: both are made once.
const ShadowSetUp& ensureShadowPrograms()
{
    static ShadowSetUp setUp;
    static bool made = false;
    if (!made) {
        made = true;
        testing::internal::CaptureStdout();
        createScreenTargets();
        testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        initShadowPrograms();
        setUp.output = testing::internal::GetCapturedStdout();
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &setUp.framebufferAfter);
        glGetIntegerv(GL_CURRENT_PROGRAM, &setUp.programAfter);
    }
    return setUp;
}

#define REQUIRE_SHADOW_PROGRAMS()                                                                 \
    do {                                                                                          \
        REQUIRE_GL_CONTEXT();                                                                     \
        ensureShadowPrograms();                                                                   \
    } while (0)

GLint rgbaAt(int x, int y, int channel)
{
    return readPixelsRgba(x, y, 1, 1)[channel];
}

double unpackDepth(const std::vector<uint8_t>& rgba)
{
    return (rgba[0] * 65536.0 + rgba[1] * 256.0 + rgba[2]) / 16777215.0;
}

void bindShadowTarget()
{
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glViewport(0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE);
}

void resetMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Identity matrices, depth test LESS with depth writes, no culling, the shadow target bound.
void startDepthDraws()
{
    resetMatrices();
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    bindShadowTarget();
}

// A quad in clip space from x0 to x1 (y over the whole view) at depth z, as immediate-mode
// vertices feeding attribute 0.
void drawClipQuad(float x0, float x1, float z)
{
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(x0, -1.0f, z);
    glVertex3f(x1, -1.0f, z);
    glVertex3f(x0, 1.0f, z);
    glVertex3f(x1, 1.0f, z);
    glEnd();
}

const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The depth pass with an identity depthMVP: clip coordinates straight from the vertices.
void drawDepthQuad(float x0, float x1, float z)
{
    glUseProgram(shadowDepthProgram);
    glUniformMatrix4fv(glGetUniformLocation(shadowDepthProgram, "depthMVP"), 1, GL_FALSE, IDENTITY);
    glUniform1i(glGetUniformLocation(shadowDepthProgram, "hasAnim"), 0);
    drawClipQuad(x0, x1, z);
    glUseProgram(0);
}

TEST(ShadowMap, TargetIsCompleteAt4096WithItsPrograms)
{
    REQUIRE_SHADOW_PROGRAMS();
    const ShadowSetUp& setUp = ensureShadowPrograms();
    EXPECT_NE(setUp.output.find("shmap init " + std::to_string(shadowTarget.framebuffer) + ", " +
                                std::to_string(shadowTarget.colorTexture) + "\nshadow mapping buffer created\n"),
              std::string::npos)
        << setUp.output;
    EXPECT_EQ(setUp.output.find("ERROR"), std::string::npos) << setUp.output;
    EXPECT_EQ(setUp.output.find("can't create framebuffer"), std::string::npos);
    EXPECT_EQ(setUp.framebufferAfter, static_cast<GLint>(shadowTarget.framebuffer));
    EXPECT_EQ(setUp.programAfter, static_cast<GLint>(shadowDepthProgram)) << "the depth program is made current";
    for (uint32_t program : {passthroughProgram, dofBlurProgram, nukeFxProgram, viewMixProgram, dofBlur1Program,
                             shadowDepthProgram, shadowLitProgram, shadowFogProgram, shadowSpecularProgram})
        EXPECT_NE(program, 0u);

    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(shadowTarget.drawBuffers[0], static_cast<uint32_t>(GL_COLOR_ATTACHMENT0));
    GLint value = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &value);
    EXPECT_EQ(value, static_cast<GLint>(shadowTarget.colorTexture));
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &value);
    EXPECT_EQ(value, static_cast<GLint>(shadowTarget.depthRenderbuffer));

    glBindTexture(GL_TEXTURE_2D, shadowTarget.colorTexture);
    const struct {
        GLenum name;
        GLint expected;
    } texture[] = {{GL_TEXTURE_WIDTH, 4096}, {GL_TEXTURE_HEIGHT, 4096}, {GL_TEXTURE_RED_SIZE, 8},
                   {GL_TEXTURE_GREEN_SIZE, 8}, {GL_TEXTURE_BLUE_SIZE, 8}};
    for (const auto& t : texture) {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, t.name, &value);
        EXPECT_EQ(value, t.expected) << std::hex << t.name;
    }
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);

    glBindRenderbuffer(GL_RENDERBUFFER, shadowTarget.depthRenderbuffer);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &value);
    EXPECT_EQ(value, 4096);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &value);
    EXPECT_EQ(value, 4096);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_DEPTH_SIZE, &value);
    EXPECT_GE(value, 16);
}

TEST(ShadowMap, LightMatricesAreIdentitiesBeforeTheFirstShadowedDraw)
{
    const std::vector<float> identity(IDENTITY, IDENTITY + 16);
    EXPECT_EQ(initialDepthMVP, identity);
    EXPECT_EQ(initialDepthBiasMVP, identity);
}

TEST(ShadowMap, DepthPassPacksTheWindowDepthIntoTwentyFourBits)
{
    REQUIRE_SHADOW_PROGRAMS();
    startDepthDraws();
    for (float z : {-0.9f, -0.2f, 0.3f, 0.99f}) {
        SCOPED_TRACE(z);
        glClearColor(1, 1, 1, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawDepthQuad(-1.0f, 1.0f, z);
        const double expected = 0.5 * z + 0.5;
        for (int x : {0, 2048, 4095})
            EXPECT_NEAR(unpackDepth(readPixelsRgba(x, 1000, 1, 1)), expected, 1e-6) << x;
    }
    // Cleared white reads as the far plane.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_DOUBLE_EQ(unpackDepth(readPixelsRgba(100, 100, 1, 1)), 1.0);
    glDepthFunc(GL_LEQUAL);
}

// A depth pass starts on the whole target at the far plane whatever the last pass left: an
// occluder in the target, another framebuffer and a small viewport bound.
TEST(ShadowMap, PassStartClearsTheWholeTargetToTheFarPlane)
{
    REQUIRE_SHADOW_PROGRAMS();
    startDepthDraws();
    drawDepthQuad(-1.0f, 1.0f, -0.9f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 16, 16);

    beginShadowTargetPass();
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), shadowTarget.framebuffer);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, SHADOW_MAP_SIZE, SHADOW_MAP_SIZE}));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    const int corners[][2] = {{0, 0}, {4095, 0}, {0, 4095}, {4095, 4095}};
    for (const auto& c : corners)
        EXPECT_DOUBLE_EQ(unpackDepth(readPixelsRgba(c[0], c[1], 1, 1)), 1.0) << c[0] << "," << c[1];
    // The depth was cleared too: a quad behind the old occluder covers the whole target.
    drawDepthQuad(-1.0f, 1.0f, 0.9f);
    for (const auto& c : corners)
        EXPECT_NEAR(unpackDepth(readPixelsRgba(c[0], c[1], 1, 1)), 0.95, 1e-6) << c[0] << "," << c[1];
    glDepthFunc(GL_LEQUAL);
}

// The lit pass over a plane that the depth-bias matrix maps at depth planeDepth onto a shadow
// map whose left half holds an occluder at window depth 0.3 and whose right half is empty.
TEST(ShadowMap, LitPassesDarkenWhatIsBehindTheStoredDepth)
{
    REQUIRE_SHADOW_PROGRAMS();
    resetMatrices();
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    bindShadowTarget();
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawDepthQuad(-1.0f, 0.0f, -0.4f);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_DEPTH_TEST);

    GLuint white = 0;
    glGenTextures(1, &white);
    glBindTexture(GL_TEXTURE_2D, white);
    const uint8_t texel[3] = {255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

    const float noLights[14] = {};
    const struct {
        float planeDepth;
        bool leftShadowed;
    } cases[] = {{0.6f, true}, {0.2f, false}};
    for (uint32_t program : {shadowLitProgram, shadowFogProgram, shadowSpecularProgram}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(program) + " at " + std::to_string(c.planeDepth));
            glBindFramebuffer(GL_FRAMEBUFFER, screenTarget3.framebuffer);
            glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glUseProgram(program);
            const float bias[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f, c.planeDepth, 1};
            glUniformMatrix4fv(glGetUniformLocation(program, "depthBiasMVP"), 1, GL_FALSE, bias);
            glUniform1f(glGetUniformLocation(program, "bias"), 0.0025f);
            glUniform1f(glGetUniformLocation(program, "fogzfactor"), 0.0f);
            glUniform4f(glGetUniformLocation(program, "glColor"), 1, 1, 1, 1);
            glUniform4f(glGetUniformLocation(program, "Light"), 0, 0, -1, 1);
            glUniform1i(glGetUniformLocation(program, "hasAnim"), 0);
            glUniform1fv(glGetUniformLocation(program, "lightsEnabled"), 14, noLights);
            const char* samplers[4] = {"colorMap", "normalMap", "lightMap", "shadowMap"};
            for (int unit = 0; unit < 4; ++unit) {
                glUniform1i(glGetUniformLocation(program, samplers[unit]), unit);
                glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
                glBindTexture(GL_TEXTURE_2D, unit == 3 ? shadowTarget.colorTexture : white);
            }
            glActiveTexture(GL_TEXTURE0);
            glVertexAttrib3f(1, 0.0f, 0.0f, -1.0f);  // facing the light and the viewer
            glVertexAttrib2f(2, 0.5f, 0.5f);
            glVertexAttrib3f(3, 0.0f, 0.0f, 0.0f);  // no tangent: the plain normal
            glVertexAttrib1f(4, 1.0f);
            drawClipQuad(-1.0f, 1.0f, 0.0f);
            glUseProgram(0);

            int left = rgbaAt(480, 540, 1);
            int right = rgbaAt(1440, 540, 1);
            EXPECT_GT(right, 100) << "lit";
            if (c.leftShadowed)
                EXPECT_LT(left, right / 4) << "shadowed";
            else
                EXPECT_NEAR(left, right, 1) << "in front of the occluder";
        }
    }
    glDeleteTextures(1, &white);
}

TEST(ShadowMapView, ShowsTheStretchedShadowTextureOnTheRightSquare)
{
    REQUIRE_SHADOW_PROGRAMS();
    // Left half of the shadow texture red-ish, right half blue-ish.
    bindShadowTarget();
    glClearColor(0.8f, 0.2f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(2048, 0, 2048, 4096);
    glClearColor(0.0f, 0.4f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);
    drawShadowMapView();

    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
    const struct {
        int x, y;
        int red, blue;
    } probes[] = {{839, 540, 0, 0},    {840, 540, 204, 0}, {840, 0, 204, 0},     {1379, 1079, 204, 0},
                  {1380, 540, 0, 255}, {1919, 0, 0, 255},  {1919, 1079, 0, 255}, {100, 100, 0, 0}};
    for (const auto& p : probes) {
        std::vector<uint8_t> rgba = readPixelsRgba(p.x, p.y, 1, 1);
        EXPECT_EQ(rgba[0], p.red) << p.x << "," << p.y;
        EXPECT_EQ(rgba[2], p.blue) << p.x << "," << p.y;
    }
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST(ShadowMap, LightTransformsFollowTheAnimationAngles)
{
    REQUIRE_GL_CONTEXT();
    lightAnimationAngles[0] = 9.0f;  // not used by the transforms
    lightAnimationAngles[1] = 0.5f;
    lightAnimationAngles[2] = 1.0f;
    lightAnimationAngles[3] = 1.5f;
    const float tx = static_cast<float>(std::sin(1.5));
    const float ty = static_cast<float>(3.0 * std::sin(0.5) + 8.0);
    const float tz = static_cast<float>(7.0 * std::sin(1.0));
    // 270 degrees about x sends y to -z and z to y (column-major).
    const float tilt[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    const struct {
        const char* name;
        void (*transform)();
        bool tilted;
        bool translated;
    } cases[] = {
        {"setLightTransformTilted", setLightTransformTilted, true, true},
        {"setLightTransform", setLightTransform, false, true},
        {"setTiltTransform", setTiltTransform, true, false},
        {"setIdentityTransform", setIdentityTransform, false, false},
    };
    glMatrixMode(GL_MODELVIEW);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        glLoadIdentity();
        glTranslatef(100.0f, 0.0f, 0.0f);  // every transform starts from the identity
        c.transform();
        float m[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 12; ++i)
            EXPECT_NEAR(m[i], c.tilted ? tilt[i] : IDENTITY[i], 1e-6f) << i;
        EXPECT_FLOAT_EQ(m[12], c.translated ? tx : 0.0f);
        EXPECT_FLOAT_EQ(m[13], c.translated ? ty : 0.0f);
        EXPECT_FLOAT_EQ(m[14], c.translated ? tz : 0.0f);
        EXPECT_EQ(m[15], 1.0f);
    }
    glLoadIdentity();
}

}  // namespace
