// The disco-ball scene: the glow flash and its countdown, the spin and its angle range, the
// blur centre that follows the ball, and captures in which the ball's bright centre moves
// along its bob.
#include "app/frame.h"
#include "app/music.h"
#include "png_read.h"
#include "program_runner.h"
#include "scenes/disco_ball_scene.h"
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
    float glow = discoGlow;
    float spin = discoSpinCountdown;
    float angles[3] = {discoAngles[0], discoAngles[1], discoAngles[2]};
    ~SharedValues()
    {
        beatCountdown = countdown;
        frameDt = dt;
        discoGlow = glow;
        discoSpinCountdown = spin;
        for (int i = 0; i < 3; ++i)
            discoAngles[i] = angles[i];
    }
};

TEST(DiscoGlow, FlashesOnABeatEasesBackAndIsCutWhenTheCountdownEnds)
{
    struct Case {
        const char* what;
        bool beat;
        float glow, countdown, dt;
        float glowAfter, countdownAfter;
    };
    const Case cases[] = {
        {"a beat flashes less this frame's ease", true, 0.0f, 0.0f, 1.0f, -0.46f, 19.0f},
        {"a beat every frame holds the flash", true, -0.46f, 19.0f, 1.0f, -0.46f, 19.0f},
        {"the flash eases back while the countdown runs", false, -0.46f, 19.0f, 1.0f, -0.42f, 18.0f},
        {"it never passes rest", false, -0.01f, 10.0f, 1.0f, 0.0f, 9.0f},
        {"no countdown: rest in the same frame", false, -0.3f, 0.0f, 1.0f, 0.0f, 0.0f},
        {"the countdown's end cuts the glow", false, -0.3f, 0.5f, 1.0f, 0.0f, 0.0f},
        {"a long frame eases further", false, -0.5f, 19.0f, 5.0f, -0.3f, 14.0f},
    };
    SharedValues saved;
    for (const Case& c : cases) {
        discoGlow = c.glow;
        beatCountdown = c.countdown;
        frameDt = c.dt;
        stepDiscoGlow(c.beat);
        EXPECT_NEAR(discoGlow, c.glowAfter, 1e-6) << c.what;
        EXPECT_FLOAT_EQ(beatCountdown, c.countdownAfter) << c.what;
    }

    // One flash: back at rest after 12.5 frames of easing, cut when the 20 frames run out.
    discoGlow = 0.0f;
    beatCountdown = 0.0f;
    frameDt = 1.0f;
    stepDiscoGlow(true);
    int framesToRest = 0;
    while (discoGlow < 0.0f && framesToRest < 40) {
        stepDiscoGlow(false);
        ++framesToRest;
    }
    EXPECT_EQ(framesToRest, 12);
}

TEST(DiscoSpin, AccentsSpeedUpTheSpinAndAnglesStayWithinATurn)
{
    SharedValues saved;
    frameDt = 1.0f;

    discoSpinCountdown = 0.0f;
    discoAngles[0] = discoAngles[1] = discoAngles[2] = 0.0f;
    stepDiscoSpin(false);
    EXPECT_FLOAT_EQ(discoAngles[0], 0.4f);
    EXPECT_FLOAT_EQ(discoAngles[1], 0.44f);
    EXPECT_FLOAT_EQ(discoAngles[2], 0.52f);

    stepDiscoSpin(true);  // the accent's own frame is fast
    EXPECT_FLOAT_EQ(discoAngles[0], 2.4f);
    EXPECT_FLOAT_EQ(discoSpinCountdown, 19.0f);
    int fastFrames = 0;
    for (int frame = 0; frame < 30; ++frame) {
        const float before = discoAngles[0];
        stepDiscoSpin(false);
        fastFrames += discoAngles[0] - before > 1.0f ? 1 : 0;
    }
    EXPECT_EQ(fastFrames, 19);  // 20 fast frames with the accent's own
    EXPECT_FLOAT_EQ(discoSpinCountdown, 0.0f);

    // Passing 360 wraps; landing on 360 stays until the next step.
    discoSpinCountdown = 5.0f;
    discoAngles[0] = 359.0f;
    discoAngles[1] = 357.8f;
    stepDiscoSpin(false);
    EXPECT_NEAR(discoAngles[0], 1.0f, 1e-4);
    EXPECT_FLOAT_EQ(discoAngles[1], 360.0f);
    stepDiscoSpin(false);
    EXPECT_NEAR(discoAngles[1], 2.2f, 1e-4);

    // A stall of many seconds is one long step: the angles still end inside a turn.
    frameDt = 900.0f;
    stepDiscoSpin(false);
    for (float angle : discoAngles) {
        EXPECT_GE(angle, 0.0f);
        EXPECT_LE(angle, 360.0f);
    }
}

TEST(DiscoBlurCentre, FollowsTheBallAcrossTheScreen)
{
    struct Case {
        DiscoBob bob;
        int x, y;
    };
    const Case cases[] = {
        {{0.0f, 0.0f}, 960, 540},
        {{2.0f, 1.2f}, 590, 708},    // left and up: the camera looks down +z
        {{-2.0f, -1.2f}, 1330, 372},
        {{0.001f, -0.001f}, 959, 539},  // truncated toward zero
    };
    for (const Case& c : cases) {
        int x = 0, y = 0;
        discoBlurCentre(c.bob, x, y);
        EXPECT_EQ(x, c.x) << c.bob.x;
        EXPECT_EQ(y, c.y) << c.bob.y;
    }
}

// The ball's place on the screen for the bob at `sceneSeconds`: the camera at the origin looks
// down +z with up +y (65 degrees vertically, 16:9), the ball at depth 5.
void predictedBallCentre(double sceneSeconds, double& x, double& y)
{
    const double frames = sceneSeconds * 1000.0 / static_cast<double>(16.666666f);
    const double bx = 2.0 * std::sin(frames / 100.0);
    const double by = 1.2 * std::sin(frames * 1.2000000476837158 / 100.0);
    const double focal = 1.0 / std::tan(32.5 * M_PI / 180.0);
    x = 960.0 - 960.0 * focal / 1.7777777910232544 * bx / DISCO_BALL_DEPTH;
    y = 540.0 + 540.0 * focal * by / DISCO_BALL_DEPTH;
}

// Centre of the saturated red light. The ball glows warm; the logo's resting glow adds no red.
bool brightCentre(const RgbaPicture& picture, double& x, double& y)
{
    double sx = 0.0, sy = 0.0;
    int count = 0;
    for (int py = 0; py < picture.height; py += 2)
        for (int px = 0; px < picture.width; px += 2)
            if (picture.at(px, py)[0] >= 250) {
                sx += px;
                sy += py;
                ++count;
            }
    if (count < 200)
        return false;
    x = sx / count;
    y = sy / count;
    return true;
}

TEST(DiscoBallCapture, TheBrightCentreFollowsTheBob)
{
    const double sceneStart = stateStartSeconds(STATE_DISCO_BALL);
    // Two moments well after a bar start, so the logo rests (its flash would add red light).
    const double rowMs = 1.0 / static_cast<double>(MUSIC_ROWS_PER_MS);
    const double bars[] = {400.0, 448.0};  // bar rows about 1.9 s and 7.2 s into the scene
    double musicSeconds[2], expectedX[2], expectedY[2];
    std::string times;
    for (int i = 0; i < 2; ++i) {
        musicSeconds[i] = ((bars[i] - 1.0) * rowMs + 800.0) / 1000.0;
        ASSERT_GT(musicSeconds[i], sceneStart);
        predictedBallCentre(musicSeconds[i] - sceneStart, expectedX[i], expectedY[i]);
        times += (times.empty() ? "" : ",") + std::to_string(musicSeconds[i]);
    }
    ASSERT_GT(std::hypot(expectedX[1] - expectedX[0], expectedY[1] - expectedY[0]), 300.0);

    std::filesystem::path out = scratchPath("mornglow-disco-bob");
    std::filesystem::remove_all(out);
    ProgramRun run = runProgram("LP_NUM_THREADS=2 " BINARY_DIR "/demo-capture --step-ms 200 --out '" + out.string() +
                                "' --at " + times);
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    for (int i = 0; i < 2; ++i) {
        RgbaPicture frame;
        const long long ms = std::llround(std::stod(std::to_string(musicSeconds[i])) * 1000.0);
        ASSERT_TRUE(readPng((out / ("frame_" + std::to_string(ms) + ".png")).string(), frame));
        double x = 0.0, y = 0.0;
        ASSERT_TRUE(brightCentre(frame, x, y)) << "no bright light at " << musicSeconds[i];
        EXPECT_NEAR(x, expectedX[i], 60.0) << "at " << musicSeconds[i] << " s";
        EXPECT_NEAR(y, expectedY[i], 60.0) << "at " << musicSeconds[i] << " s";
    }
}

}  // namespace
