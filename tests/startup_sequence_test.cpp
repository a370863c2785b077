#include "app/startup.h"

#include <gtest/gtest.h>

namespace {

TEST(StartupSequence, LoadingBarGrowsInNineSteps)
{
    const int widths[] = {24, 48, 73, 97, 122, 146, 171, 195, 220};
    for (int step = 1; step <= 9; ++step)
        EXPECT_EQ(loadingBarWidth(static_cast<float>(step)), widths[step - 1]) << "step " << step;
}

}  // namespace

#include "app/main_window.h"
#include "gfx/textures.h"
#include "gl_test_context.h"
#include "render/overlay.h"

namespace {

// Redraws the loading screen on the test window and measures the bar on the back buffer.
TEST(StartupSequence, LoadingBarIsDrawnAtItsNineWidths)
{
    REQUIRE_GL_CONTEXT();
    mainWindow = glTestContext().window;
    loadingTexture = loadTexture("loading.tga");
    whitePixelTexture = loadTexture("whitepixel.tga");
    // Earlier tests in this process may leave their matrices and units behind; start-up has none.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    loadingProgress = 0.0f;
    const int widths[] = {24, 48, 73, 97, 122, 146, 171, 195, 220};
    for (int expected : widths) {
        advanceLoadingBar();
        glReadBuffer(GL_BACK);
        std::vector<uint8_t> row = readPixelsRgba(0, LOADING_BAR_Y + 1, SCREEN_WIDTH, 1);
        auto isBar = [&](int x) {
            const uint8_t* p = &row[static_cast<size_t>(x) * 4];
            return p[0] == 255 && p[1] == 255 && p[2] == 255;
        };
        int left = LOADING_BAR_X;
        int right = left;
        while (right < SCREEN_WIDTH && isBar(right))
            ++right;
        EXPECT_EQ(right - left, expected);
        EXPECT_FALSE(isBar(left - 1));
        std::vector<uint8_t> above = readPixelsRgba(LOADING_BAR_X, LOADING_BAR_Y + LOADING_BAR_HEIGHT, 1, 1);
        EXPECT_FALSE(above[0] == 255 && above[1] == 255 && above[2] == 255) << "bar is 3 pixels high";
    }
    mainWindow = nullptr;
}

}  // namespace
