// Raster bars, the blanking quad and the scroller, captured through demo-capture: each bar
// shows its band of "raster21.tga" scrolled by the clock, blanked rows are black, and the
// scroller's first glyph enters at the right edge and bounces on the sine.
#include "gfx/tga.h"
#include "tests/effect_capture_support.h"

#include <cmath>

namespace {

constexpr int W = 1920;
constexpr int H = 1080;

// A bilinear sample of an RGB(A) picture with repeating edges, as GL's linear filter takes it.
void sampleRepeat(const TgaImage& image, float u, float v, float out[3])
{
    const int bytes = static_cast<int>(image.bpp / 8);
    const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
    const float x = u * w - 0.5f, y = v * h - 0.5f;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    auto texel = [&](int tx, int ty, int c) {
        tx = ((tx % w) + w) % w;
        ty = ((ty % h) + h) % h;
        return static_cast<float>(image.data[(static_cast<size_t>(ty) * w + tx) * bytes + c]);
    };
    for (int c = 0; c < 3; ++c)
        out[c] = (texel(x0, y0, c) * (1 - fx) + texel(x0 + 1, y0, c) * fx) * (1 - fy) +
                 (texel(x0, y0 + 1, c) * (1 - fx) + texel(x0 + 1, y0 + 1, c) * fx) * fy;
}

struct Picture {
    TgaImage image;
    ~Picture() { releaseTgaImage(image); }
};

TEST(RasterBars, EachBarShowsItsScrolledBand)
{
    Picture raster;
    ASSERT_TRUE(loadTgaImage(raster.image, "raster21.tga"));
    const double times[2] = {0.5, 3.0};
    std::vector<RgbaPicture> frames = captureEffect("rasterbars", "0.5,3", 500.0);
    ASSERT_EQ(frames.size(), 2u);
    for (int f = 0; f < 2; ++f) {
        const float v = static_cast<float>(-0.001 * times[f] * 1000.0 / 16.666666);
        int far = 0;
        for (int y = 0; y < H; ++y) {
            // At the left edge u is 0 on both triangles of a bar, so v alone varies.
            const int bar = y / 54;
            const float along = (static_cast<float>(y) + 0.5f - 54.0f * bar) / 54.0f;
            float want[3];
            sampleRepeat(raster.image, 0.5f / W, v + 0.005f * bar + 0.03f * along, want);
            const uint8_t* got = frames[f].at(0, y);
            for (int c = 0; c < 3; ++c)
                far += std::fabs(got[c] - want[c]) > 3.0f;
        }
        EXPECT_EQ(far, 0) << "left column rows off their band at " << times[f] << " s";
    }
}

TEST(BlankingQuad, BlanksItsRowsAndLeavesTheBars)
{
    std::vector<RgbaPicture> bars = captureEffect("rasterbars", "2", 1000.0);
    std::vector<RgbaPicture> blanked = captureEffect("blanking", "2", 1000.0);
    ASSERT_EQ(bars.size(), 1u);
    ASSERT_EQ(blanked.size(), 1u);
    int wrong = 0;
    for (int y = 0; y < H; y += 3)
        for (int x = 1; x < W; x += 17) {
            const uint8_t* b = blanked[0].at(x, y);
            if (y < 162 || y >= 918)
                wrong += !isBlack(b);
            else
                wrong += levelDifference(b, bars[0].at(x, y)) > 0;
        }
    EXPECT_EQ(wrong, 0);
}

// Columns of the frame that hold any lit pixel, and the lit rows' range within x0..x1.
struct Lit {
    bool any = false;
    int lowY = H, highY = -1;
};

Lit litIn(const RgbaPicture& f, int x0, int x1)
{
    Lit lit;
    for (int x = std::max(x0, 0); x < std::min(x1, W); ++x)
        for (int y = 0; y < H; ++y)
            if (!isBlack(f.at(x, y), 8)) {
                lit.any = true;
                lit.lowY = std::min(lit.lowY, y);
                lit.highY = std::max(lit.highY, y);
            }
    return lit;
}

TEST(Scroller, FirstGlyphEntersAtTheRightEdgeAndBounces)
{
    // 4 frames: x = 1824, only the first glyph's cell (its letter in the middle) is on
    // screen; 20 frames: x = 1440, glyphs
    // "i", "t", a blank, then "i" again from 1824.
    std::vector<RgbaPicture> frames = captureEffect("scroller", "0.0666668,0.3333334", 1000.0);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_FALSE(litIn(frames[0], 0, 1824).any) << "nothing left of the first glyph";
    EXPECT_TRUE(litIn(frames[0], 1824, W).any) << "the first glyph enters at the right edge";

    const RgbaPicture& later = frames[1];
    EXPECT_FALSE(litIn(later, 0, 1440).any);
    const Lit first = litIn(later, 1440, 1568);
    EXPECT_TRUE(first.any);
    EXPECT_TRUE(litIn(later, 1568, 1696).any);
    EXPECT_FALSE(litIn(later, 1696, 1824).any) << "the blank draws an empty cell";
    EXPECT_TRUE(litIn(later, 1824, W).any);
    // Glyph 0 at phase w = 2: its top is 730 - trunc(128 sin 2) = 614 below the top edge, so
    // its cell covers rows 338..465 counted from the bottom.
    EXPECT_GE(first.lowY, 338);
    EXPECT_LE(first.highY, 465);
}

}  // namespace
