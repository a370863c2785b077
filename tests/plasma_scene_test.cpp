// The plasma scene: the plasma moves from frame to frame under the title picture, whose opaque
// pixels stay as they are drawn.
#include "gfx/tga.h"
#include "tests/effect_capture_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int SCREEN_W = 1920;
constexpr int SCREEN_H = 1080;
constexpr int SAMPLE_STEP = 8;  // screen pixels between samples, both ways

// The title picture as the scene lays it over the screen: the texel under a screen pixel,
// classified by the alpha of its whole neighbourhood, so filtering at shape edges does not
// count.
struct LogoCover {
    TgaImage image;
    ~LogoCover() { releaseTgaImage(image); }
    // 1 when every texel around is opaque, 0 when every one is clear, -1 otherwise.
    int coverAt(int x, int y) const
    {
        const int tx = static_cast<int>((x + 0.5) * image.width / SCREEN_W);
        const int ty = static_cast<int>((y + 0.5) * image.height / SCREEN_H);
        bool allOpaque = true, allClear = true;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int ux = tx + dx, uy = ty + dy;
                if (ux < 0 || uy < 0 || ux >= static_cast<int>(image.width) || uy >= static_cast<int>(image.height))
                    return -1;
                const uint8_t alpha = image.data[(static_cast<size_t>(uy) * image.width + ux) * 4 + 3];
                allOpaque = allOpaque && alpha == 255;
                allClear = allClear && alpha == 0;
            }
        return allOpaque ? 1 : allClear ? 0 : -1;
    }
};

std::vector<RgbaPicture> capturePlasma(const std::string& times)
{
    return capturePictures("mornglow-plasma", "--step-ms 100 --at " + times, 21);
}

int difference(const uint8_t* a, const uint8_t* b)
{
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

TEST(PlasmaScene, PlasmaMovesWhileTheTitleStays)
{
    LogoCover logo;
    ASSERT_TRUE(loadTgaImage(logo.image, "plasmalogo.tga"));
    ASSERT_EQ(logo.image.bpp, 32u) << "the title needs its alpha";

    // Two frames a fifth of a second apart, and one near the end of the scene.
    std::vector<RgbaPicture> frames = capturePlasma("105.5,105.7,111.5");
    ASSERT_EQ(frames.size(), 3u);

    int opaque = 0, opaqueKept = 0, clear = 0, clearMoved = 0, clearMovedLate = 0;
    for (int y = SAMPLE_STEP / 2; y < SCREEN_H; y += SAMPLE_STEP)
        for (int x = SAMPLE_STEP / 2; x < SCREEN_W; x += SAMPLE_STEP) {
            const int cover = logo.coverAt(x, y);
            if (cover == 1) {
                ++opaque;
                // The same pixel in all three frames.
                opaqueKept += difference(frames[0].at(x, y), frames[1].at(x, y)) <= 6 &&
                              difference(frames[0].at(x, y), frames[2].at(x, y)) <= 6;
            } else if (cover == 0) {
                ++clear;
                clearMoved += difference(frames[0].at(x, y), frames[1].at(x, y)) > 12;
                clearMovedLate += difference(frames[0].at(x, y), frames[2].at(x, y)) > 12;
            }
        }
    ASSERT_GT(opaque, 200) << "the title has opaque letters";
    ASSERT_GT(clear, 10000) << "the plasma shows around it";
    EXPECT_EQ(opaqueKept, opaque) << "opaque title pixels changed";
    EXPECT_GT(clearMoved, clear / 3) << clearMoved << " of " << clear << " plasma samples changed";
    EXPECT_GT(clearMovedLate, clear / 2) << clearMovedLate << " of " << clear << " plasma samples changed";
}

}  // namespace
