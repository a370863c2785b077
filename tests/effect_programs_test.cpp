// Every GLSL pair of the effects beside the timeline compiles and links from the data folder,
// and the pass-through pair still copies opaque while the streamed particles' pair modulates.
#include "gfx/shaders.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

TEST(EffectPrograms, EveryPairCompilesAndLinks)
{
    REQUIRE_GL_CONTEXT();
    const struct {
        const char* vertex;
        const char* fragment;
    } pairs[] = {
        {"passthroughvertexshader.vert", "flag.frag"},
        {"passthroughvertexshader.vert", "passthroughfragmentshader.frag"},
        {"Passthroughvertexshader.vert", "passthroughfragmentshader.frag"},
        {"passthroughvertexshader2.vert", "passthroughfragmentshader.frag"},
        {"Passthroughvertexshader.vert", "jelly.frag"},
        {"Passthroughvertexshader.vert", "polkadot.frag"},
        {"Passthroughvertexshader.vert", "polka2.frag"},
        {"Passthroughvertexshader.vert", "mask.frag"},
        {"Passthroughvertexshader.vert", "highpass.frag"},
    };
    for (const auto& pair : pairs) {
        const uint32_t program = shaderLoader.load(pair.vertex, pair.fragment);
        ASSERT_NE(program, 0u) << pair.vertex << " + " << pair.fragment;
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << pair.vertex << " + " << pair.fragment << ": " << programInfoLog(program);
    }
    // The particles' attributes sit where the streamed buffers put them.
    const uint32_t particles = shaderLoader.load("passthroughvertexshader2.vert", "passthroughfragmentshader.frag");
    const char* const names[4] = {"vertexPosition", "textureCoord", "vertexColor", "vertexAlpha"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(glGetAttribLocation(particles, names[i]), i) << names[i];
}

// One pixel of a half-transparent red texture through a pass-through pair.
std::array<uint8_t, 4> drawThrough(uint32_t program, bool particlePath)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    const uint8_t texel[4] = {255, 0, 0, 128};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "colorMap"), 0);
    glBegin(GL_TRIANGLES);
    const float corners[3][2] = {{-1, -1}, {3, -1}, {-1, 3}};
    for (const auto& c : corners) {
        if (particlePath) {
            glVertexAttrib2f(1, 0.5f, 0.5f);
            glVertexAttrib3f(2, 0.5f, 1.0f, 1.0f);
            glVertexAttrib1f(3, 0.5f);
            glVertexAttrib3f(0, c[0], c[1], 0.0f);
        } else {
            glTexCoord2f(0.5f, 0.5f);
            glVertex3f(c[0], c[1], 0.0f);
        }
    }
    glEnd();
    glUseProgram(0);
    glDeleteTextures(1, &texture);
    std::vector<uint8_t> p = readPixelsRgba(960, 540, 1, 1);
    return {p[0], p[1], p[2], p[3]};
}

TEST(EffectPrograms, PassThroughCopiesOpaqueAndParticlesModulate)
{
    REQUIRE_GL_CONTEXT();
    const uint32_t screen = shaderLoader.load("Passthroughvertexshader.vert", "passthroughfragmentshader.frag");
    const uint32_t particles = shaderLoader.load("passthroughvertexshader2.vert", "passthroughfragmentshader.frag");
    std::array<uint8_t, 4> copied = drawThrough(screen, false);
    EXPECT_EQ(copied[0], 255);
    EXPECT_EQ(copied[1], 0);
    std::array<uint8_t, 4> tinted = drawThrough(particles, true);
    EXPECT_NEAR(tinted[0], 128, 2) << "red times the vertex colour's 0.5";
    EXPECT_EQ(tinted[1], 0);
}

}  // namespace
