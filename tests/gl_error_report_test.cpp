#include "gl_test_context.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

// A bad call fails the test it is made in, with the driver's message; good calls do not.
TEST(GlErrorReport, BadCallFailsTheRunningTest)
{
    REQUIRE_GL_CONTEXT();
    EXPECT_NONFATAL_FAILURE(glEnable(0x1234), "GL error: ");
    EXPECT_NONFATAL_FAILURE(glViewport(0, 0, -1, -1), "GL error: ");
    while (glGetError() != GL_NO_ERROR) {
    }
    glEnable(GL_BLEND);
    glDisable(GL_BLEND);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
