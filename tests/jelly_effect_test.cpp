// The jelly's atlases, in a test program of their own that runs alone (the two atlases take
// over a gigabyte on llvmpipe): every checked cell holds its frame as a fresh render shows it,
// frames 239 and 240 sit at the end of atlas A and the start of atlas B, and a size limit
// below the atlas gives the failure message and 0 before anything large is made.
#include "render/camera.h"
#include "render/legacy_programs.h"
#include "scenes/jelly.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(JellyEffect, CellsHoldTheirFramesAsAFreshRenderShowsThem)
{
    REQUIRE_GL_CONTEXT();
    initLegacyShaders();
    mainCamera.set(-3.0f, 2.0f, 4.0f, -2.5f, 1.5f, 0.5f, 0.0f, 1.0f, 0.0f);
    ASSERT_NE(initJelly(), 0u);

    int x = -1, y = -1;
    EXPECT_EQ(&jellyCellOf(239, &x, &y), &jellyAtlasA);
    EXPECT_EQ(x, 15 * 960);
    EXPECT_EQ(y, 14 * 1080);
    EXPECT_EQ(&jellyCellOf(240, &x, &y), &jellyAtlasB);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    for (int frame : {0, 1, 77, 239, 240, 299}) {
        renderJellyStep(frame);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, jellyFrameTarget.framebuffer);
        const std::vector<uint8_t> fresh = readPixelsRgba(480, 0, 960, 1080);
        const JellyTarget& atlas = jellyCellOf(frame, &x, &y);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, atlas.framebuffer);
        const std::vector<uint8_t> cell = readPixelsRgba(x, y, 960, 1080);
        int differ = 0, star = 0;
        for (size_t i = 0; i < cell.size(); i += 4) {
            for (int c = 0; c < 3; ++c)
                if (std::abs(cell[i + c] - fresh[i + c]) > 2) {
                    ++differ;
                    break;
                }
            star += !(fresh[i] == 0 && fresh[i + 1] == 255 && fresh[i + 2] == 0);
        }
        EXPECT_EQ(differ, 0) << "frame " << frame;
        EXPECT_GT(star, 10000) << "the star is in view in frame " << frame;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(JellyEffect, ASizeLimitBelowTheAtlasFailsWithTheMessage)
{
    REQUIRE_GL_CONTEXT();
    jellySizeLimitOverride = 16199;
    testing::internal::CaptureStdout();
    const uint32_t program = initJelly();
    const std::string output = testing::internal::GetCapturedStdout();
    jellySizeLimitOverride = 0;
    EXPECT_EQ(program, 0u);
    EXPECT_EQ(output, "can't create framebuffer for render to texture");
    EXPECT_NE(jellyFrameTarget.framebuffer, 0u) << "the frame target made before stays";
    EXPECT_EQ(jellyAtlasA.colorTexture, 0u) << "nothing allocated for the atlas";
}

}  // namespace
