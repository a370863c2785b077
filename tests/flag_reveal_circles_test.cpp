// The flag, the reveal and the circles, captured through demo-capture at chosen times.
#include "platform/crt_random.h"
#include "tests/effect_capture_support.h"

#include <cmath>

namespace {

constexpr int W = 1920;
constexpr int H = 1080;

TEST(FlagEffect, CoversTheScreenAndWaves)
{
    std::vector<RgbaPicture> frames = captureEffect("flag", "1,1.5", 250.0);
    ASSERT_EQ(frames.size(), 2u);
    int black = 0, moved = 0, samples = 0;
    for (int y = 3; y < H; y += 6)
        for (int x = 3; x < W; x += 6) {
            ++samples;
            black += isBlack(frames[0].at(x, y), 4);
            moved += levelDifference(frames[0].at(x, y), frames[1].at(x, y)) > 6;
        }
    EXPECT_EQ(black, 0) << "the cloth covers the whole screen";
    EXPECT_GT(moved, samples / 10) << "the cloth moves in half a second";
}

TEST(RevealEffect, OpensFromTheCentreAtTheWrittenTimes)
{
    // 5 s: nothing yet; 8 s: half-width 300 showing the left 0.3125 of the picture; 11 s:
    // fully open.
    std::vector<RgbaPicture> frames = captureEffect("reveal", "5,8,11", 500.0);
    ASSERT_EQ(frames.size(), 3u);
    const RgbaPicture& early = frames[0];
    const RgbaPicture& half = frames[1];
    const RgbaPicture& open = frames[2];
    int lit = 0;
    for (int y = 0; y < H; y += 5)
        for (int x = 0; x < W; x += 5)
            lit += !isBlack(early.at(x, y));
    EXPECT_EQ(lit, 0) << "nothing is drawn before the seventh second";

    // Outside the band 268.5..811.5 nothing is drawn at any time.
    for (const RgbaPicture* f : {&half, &open})
        for (int x = 0; x < W; x += 7) {
            EXPECT_TRUE(isBlack(f->at(x, 265))) << x;
            EXPECT_TRUE(isBlack(f->at(x, 815))) << x;
        }
    // At 8 s the picture spans 660..1260 unstretched: the open picture's column x - 660.
    int compared = 0, equal = 0, outside = 0;
    for (int y = 275; y < 806; y += 9) {
        for (int x = 664; x < 1256; x += 9) {
            ++compared;
            equal += levelDifference(half.at(x, y), open.at(x - 660, y)) <= 24;
        }
        for (int x = 0; x < 655; x += 9)
            outside += !isBlack(half.at(x, y));
        for (int x = 1395; x < W; x += 9)
            outside += !isBlack(half.at(x, y));
    }
    EXPECT_GT(equal, compared * 9 / 10) << equal << " of " << compared;
    EXPECT_EQ(outside, 0);
    // The cursor strip right of the picture (1260..1388) glows.
    int cursorBright = 0;
    for (int x = 1262; x < 1386; ++x)
        cursorBright += half.at(x, 540)[0] > 200;
    EXPECT_GT(cursorBright, 0);
    // Fully open: the picture reaches both screen edges.
    EXPECT_FALSE(isBlack(open.at(2, 700)) && isBlack(open.at(2, 500)));
    EXPECT_FALSE(isBlack(open.at(W - 3, 700)) && isBlack(open.at(W - 3, 500)));
}

struct ExpectedCircle {
    float r, g, b, speed, start;
};

// The circle table as the generator seeded with 2016 deals it.
std::vector<ExpectedCircle> expectedCircles()
{
    crtSrand(2016);
    std::vector<ExpectedCircle> list(512);
    for (ExpectedCircle& c : list) {
        c.r = (crtRand() % 255) / 255.0f;
        c.g = (crtRand() % 255) / 255.0f;
        c.b = (crtRand() % 255) / 255.0f;
        crtRand();
        c.speed = (crtRand() % 255) / 255.0f * 200.0f + 60.0f;
        c.start = (crtRand() % 10000) / 10000.0f * 100.0f;
    }
    return list;
}

TEST(CirclesEffect, BandsHaveTheirDrawnColoursAndRadii)
{
    const std::vector<ExpectedCircle> table = expectedCircles();
    const double times[2] = {12.0, 40.0};
    std::vector<RgbaPicture> frames = captureEffect("circles", "12,40", 1000.0);
    ASSERT_EQ(frames.size(), 2u);
    const float angle = 0.3f;  // inside the band's arc of 0.628 radian
    for (int f = 0; f < 2; ++f) {
        int checked = 0;
        for (size_t i = 0; i < table.size(); ++i) {
            const float radius = static_cast<float>(times[f] - table[i].start) * table[i].speed;
            if (!(radius > 5.0f && radius < 900.0f))
                continue;
            // Only bands no other band comes within 3 pixels of.
            bool alone = true;
            for (size_t j = 0; j < table.size() && alone; ++j) {
                const float other = static_cast<float>(times[f] - table[j].start) * table[j].speed;
                alone = j == i || !(other > 5.0f) || other > radius + 10.0f || other + 10.0f < radius;
            }
            if (!alone)
                continue;
            const float mid = radius + 3.5f;
            const int x = static_cast<int>(960.0f + mid * std::cos(angle));
            const int y = static_cast<int>(540.0f + mid * std::sin(angle));
            const uint8_t* p = frames[f].at(x, y);
            const float want[3] = {table[i].r * 255.0f, table[i].g * 255.0f, table[i].b * 255.0f};
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(p[c], want[c], 2.0f) << "circle " << i << " at " << times[f] << " s";
            ++checked;
        }
        EXPECT_GT(checked, 3) << "bands on their own at " << times[f] << " s";
        // Outside the arc (below the centre line) the screen stays black.
        for (int x = 0; x < W; x += 11)
            EXPECT_TRUE(isBlack(frames[f].at(x, 520))) << x;
    }
}

}  // namespace
