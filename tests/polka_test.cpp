// The polka-dot effect over the waving flag, captured through demo-capture: the halftone's dot
// size follows its tween (12.8 pixels at the start, 36.8 a second later), and the zoom masks
// the screen's corners until its dots have shrunk, when the high-pass pass takes the screen.
#include "tests/effect_capture_support.h"

#include <cmath>

namespace {

// The dot grid's period along row y over x 0..x1: the period, in tenths of a pixel from 5 to
// 80, at which the row's brightness has its strongest Fourier component (a grid of dots has
// none at multiples of its period, and weaker ones at its fractions).
double dotPeriod(const RgbaPicture& f, int y, int x1)
{
    std::vector<double> row;
    double mean = 0;
    for (int x = 0; x < x1; ++x) {
        const uint8_t* p = f.at(x, y);
        row.push_back(p[0] + p[1] + p[2]);
        mean += row.back();
    }
    mean /= static_cast<double>(row.size());
    double bestPower = -1, bestPeriod = 0;
    for (int tenths = 50; tenths <= 800; ++tenths) {
        const double w = 2.0 * M_PI / (tenths / 10.0);
        double re = 0, im = 0;
        for (size_t x = 0; x < row.size(); ++x) {
            re += (row[x] - mean) * std::cos(w * x);
            im += (row[x] - mean) * std::sin(w * x);
        }
        if (re * re + im * im > bestPower) {
            bestPower = re * re + im * im;
            bestPeriod = tenths / 10.0;
        }
    }
    return bestPeriod;
}

TEST(PolkaEffect, DotSizeFollowsItsTween)
{
    std::vector<RgbaPicture> frames = captureEffect("polka", "0,1", 500.0);
    ASSERT_EQ(frames.size(), 2u);
    // Left of the overlays (x < 1015), through the flag's band and sun.
    const double expected[2] = {12.8, 8.0 + 0.4 * (1200.0 / 16.666666)};
    for (int f = 0; f < 2; ++f)
        for (int y : {500, 560}) {
            const double period = dotPeriod(frames[f], y, 1000);
            EXPECT_NEAR(period, expected[f], 0.3) << "frame " << f << " row " << y;
        }
}

double cornerLevel(const RgbaPicture& f)
{
    double sum = 0;
    int n = 0;
    for (int y : {5, 1074})
        for (int x : {5, 1914}) {
            for (int dy = -4; dy <= 4; ++dy)
                for (int dx = -4; dx <= 4; ++dx) {
                    const uint8_t* p = f.at(x + dx, y + dy);
                    sum += std::max({p[0], p[1], p[2]});
                    ++n;
                }
        }
    return sum / n;
}

TEST(PolkaEffect, ZoomEndsWithTheHighPassPass)
{
    // z reaches 128 after 826.7 frames (13.78 s): before it the screen mask blackens the
    // corners, from then on the high-pass of the scene target covers the whole screen.
    std::vector<RgbaPicture> frames = captureEffect("polkazoom", "13.5,14", 500.0);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_LT(cornerLevel(frames[0]), 3.0);
    EXPECT_GT(cornerLevel(frames[1]), 30.0);
    // Dots 7.5 pixels apart before the end.
    EXPECT_NEAR(dotPeriod(frames[0], 540, 1800), 132.0 - (4.0 + 0.15 * (13500.0 / 16.666666)), 0.3);
}

}  // namespace
