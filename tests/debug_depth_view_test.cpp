#include "gfx/shadow_map.h"
#include "gl_test_context.h"
#include "scenes/debug_depth_view.h"
#include "render/particles.h"
#include "scenes/flyover_scene.h"
#include "scenes/tunnel_scene.h"

#include <gtest/gtest.h>

namespace {

// Without the scenes loaded it still runs cleanly and leaves the shadow target bound.
TEST(DebugDepthView, DrawsIntoTheShadowTargetAndLeavesItBound)
{
    REQUIRE_GL_CONTEXT();
    initShadowPrograms();
    ASSERT_NE(shadowTarget.framebuffer, 0u);
    ASSERT_EQ(tunnelSphereModel, nullptr);
    ASSERT_EQ(dustParticles, nullptr);
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindFramebuffer(GL_FRAMEBUFFER, shadowTarget.framebuffer);
    glViewport(0, 0, 4096, 4096);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    const uint8_t white[4] = {255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    dustTextures[0] = texture;

    debugDrawDepthView();

    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), shadowTarget.framebuffer);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    dustTextures[0] = 0;
    glDeleteTextures(1, &texture);
}

}  // namespace
