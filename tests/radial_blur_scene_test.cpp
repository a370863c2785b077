// The radial-blur cloud scene: the beat countdown that picks the blob look, and captures that
// show the blob look just after a bar start and the plain radial blur a second later.
#include "app/frame.h"
#include "app/music.h"
#include "png_read.h"
#include "program_runner.h"
#include "scenes/radial_blur_scene.h"
#include "scenes/toolkit.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

struct SharedValues {
    float countdown = beatCountdown;
    float dt = frameDt;
    ~SharedValues()
    {
        beatCountdown = countdown;
        frameDt = dt;
    }
};

TEST(RadialBlurBeat, ABeatChoosesTheBlobLookForTwentyFiveFrames)
{
    struct Case {
        const char* what;
        bool beat;
        float countdown, dt;
        bool blob;
        float countdownAfter;
    };
    const Case cases[] = {
        {"no beat and no countdown: plain from the first frame", false, 0.0f, 1.0f, false, 0.0f},
        {"a beat restarts the countdown less this frame", true, 0.0f, 1.0f, true, 24.0f},
        {"a beat while one runs holds it at 25 less the frame", true, 24.0f, 1.0f, true, 24.0f},
        {"a running countdown keeps the blob look", false, 3.0f, 1.0f, true, 2.0f},
        {"its last fraction still counts, and it stops at zero", false, 0.5f, 1.0f, true, 0.0f},
        {"a long frame scales the step", false, 20.0f, 6.0f, true, 14.0f},
        {"a beat in a frame longer than the countdown leaves none", true, 0.0f, 30.0f, true, 0.0f},
    };
    SharedValues saved;
    for (const Case& c : cases) {
        beatCountdown = c.countdown;
        frameDt = c.dt;
        EXPECT_EQ(stepRadialBlurBeat(c.beat), c.blob) << c.what;
        EXPECT_FLOAT_EQ(beatCountdown, c.countdownAfter) << c.what;
    }

    // One beat, then frames without: 25 frames of the blob look, then plain.
    beatCountdown = 0.0f;
    frameDt = 1.0f;
    int blobFrames = stepRadialBlurBeat(true) ? 1 : 0;
    for (int frame = 0; frame < 40; ++frame)
        blobFrames += stepRadialBlurBeat(false) ? 1 : 0;
    EXPECT_EQ(blobFrames, 25);
}

// Share of pixels with a hard step in brightness to the pixel two to the right: the blob look
// cuts the cloud into solid shapes with rims, the radial blur leaves soft streaks.
double hardEdgeShare(const RgbaPicture& picture)
{
    auto brightness = [&](int x, int y) {
        const uint8_t* p = picture.at(x, y);
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    };
    int hard = 0, total = 0;
    for (int y = 300; y < 1000; y += 2)
        for (int x = 0; x + 2 < 1400; x += 2) {
            ++total;
            if (std::fabs(brightness(x + 2, y) - brightness(x, y)) > 48.0)
                ++hard;
        }
    return static_cast<double>(hard) / total;
}

TEST(RadialBlurCapture, BlobLookAfterABarStartAndThePlainBlurASecondLater)
{
    // Bar starts fall on every 16th row; the row clock hands a row's flags over as the row
    // before it begins. Row 272 is the first bar start inside the scene.
    const double barRow = 272.0;
    const double flagMs = (barRow - 1.0) / static_cast<double>(MUSIC_ROWS_PER_MS);
    const double sceneStartMs = stateStartSeconds(STATE_RADIAL_BLUR) * 1000.0;
    ASSERT_GT(flagMs, sceneStartMs);
    const double blobMs = flagMs + 150.0;    // 9 frames into the 25-frame countdown
    const double plainMs = flagMs + 1150.0;  // well before the next bar start (1752 ms on)
    ASSERT_LT(plainMs, flagMs + 16.0 / static_cast<double>(MUSIC_ROWS_PER_MS));

    std::filesystem::path out = scratchPath("mornglow-radial-blob");
    std::filesystem::remove_all(out);
    const std::string times = std::to_string(blobMs / 1000.0) + "," + std::to_string(plainMs / 1000.0);
    ProgramRun run = runProgram("LP_NUM_THREADS=2 " BINARY_DIR "/demo-capture --step-ms 50 --out '" + out.string() +
                                "' --at " + times);
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    RgbaPicture blob, plain;
    ASSERT_TRUE(readPng((out / ("frame_" + std::to_string(std::llround(blobMs)) + ".png")).string(), blob));
    ASSERT_TRUE(readPng((out / ("frame_" + std::to_string(std::llround(plainMs)) + ".png")).string(), plain));

    const double blobEdges = hardEdgeShare(blob);
    const double plainEdges = hardEdgeShare(plain);
    EXPECT_GT(blobEdges, 0.005) << "blob " << blobEdges << " plain " << plainEdges;
    EXPECT_GT(blobEdges, 4.0 * plainEdges) << "blob " << blobEdges << " plain " << plainEdges;
}

}  // namespace
