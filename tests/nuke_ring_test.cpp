// The nuke's rings in the test window: the textures load once however often the game restarts,
// and the ring lies on screen from its radius outward, around its centre minus the camera.
#include "game/draw_2d.h"
#include "game/game_camera.h"
#include "game/nuke.h"
#include "game/orb_tables.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

namespace {

TEST(NukeRing, RestartsLoadTheTexturesOnce)
{
    REQUIRE_GL_CONTEXT();
    initNuke();
    const uint32_t ring = nukePaintTexture;
    const uint32_t effect = nukePaintFxTexture;
    ASSERT_NE(ring, 0u);
    GLuint before = 0, after = 0;
    glGenTextures(1, &before);
    for (int substep = 0; substep < 60 * 20; ++substep)  // F2 held for 60 frames
        initNuke();
    glGenTextures(1, &after);
    EXPECT_EQ(after, before + 1);
    EXPECT_EQ(nukePaintTexture, ring);
    EXPECT_EQ(nukePaintFxTexture, effect);
    glDeleteTextures(1, &before);
    glDeleteTextures(1, &after);
}

TEST(NukeRing, RingStartsAtItsRadiusAroundTheCentreOnScreen)
{
    REQUIRE_GL_CONTEXT();
    initNuke();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gameCameraX = 1000;
    gameCameraY = 2000;
    setDrawColor(1, 1, 1, 1);
    drawNukeRing(1960, 2540, 300, 1);  // the effect ring: its profile is strong near the front
    flush2D();
    glFinish();
    auto brightness = [](int x, int y) {
        const std::vector<uint8_t> p = readPixelsRgba(x, y, 1, 1);
        return p[0] + p[1] + p[2];
    };
    // Screen centre (960, 540); the front at radius 300.
    EXPECT_EQ(brightness(960, 540), 0);
    EXPECT_EQ(brightness(960 + 250, 540), 0);
    EXPECT_GT(brightness(960 + 340, 540), 200);
    EXPECT_GT(brightness(960, 540 - 340), 200);
    EXPECT_EQ(brightness(960 + 700, 540), 0);  // beyond the 320 band
    gameCameraX = 0;
    gameCameraY = 0;
}

}  // namespace
