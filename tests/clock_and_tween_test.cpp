#include "core/clock.h"
#include "platform/os_services.h"

#include <gtest/gtest.h>

namespace {

// The clock on a virtual counter at 1e9 ticks per second, zeroed at tick 0.
class VirtualClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        useVirtualCounter(true);
        setVirtualCounter(0);
        initClockFrequency();
        startClock();
    }
    void TearDown() override { useVirtualCounter(false); }
    static void atMs(double ms) { setVirtualCounter(static_cast<long long>(ms * 1.0e6)); }
    static void atFrames(double frames) { atMs(frames * static_cast<double>(16.666666f)); }
};

TEST_F(VirtualClock, MillisecondsTruncateTowardZero)
{
    atMs(1.999);
    EXPECT_EQ(clockNowMs(), 1);
    atMs(1000.0);
    EXPECT_EQ(clockNowMs(), 1000);
    atMs(-0.5);
    EXPECT_EQ(clockNowMs(), 0);
}

TEST_F(VirtualClock, StopwatchesCountFromTheirOwnStart)
{
    atMs(250.0);
    startStopwatchA();
    atMs(400.0);
    startStopwatchB();
    atMs(1000.0);
    EXPECT_EQ(readStopwatchA(), 750);
    EXPECT_EQ(readStopwatchB(), 600);
    EXPECT_EQ(clockNowMs(), 1000);
}

struct TweenCase {
    TweenMode mode;
    double from, to, speed, frames;
    float expected;
};

TEST_F(VirtualClock, TweenModesPastTheEnd)
{
    const TweenCase cases[] = {
        {TWEEN_PING_PONG, 0, 360, 1, 400, 320.0f},    // bounces back down
        {TWEEN_WRAP, 0, 360, 1, 400, 40.0f},          // wraps to the start
        {TWEEN_CLAMP, 0, 360, 1, 400, 360.0f},        // clamps
        {TWEEN_PING_PONG, 5, 9, 0, 1000, 5.0f},       // speed 0 stays at from
        {TWEEN_PING_PONG, 0, 100, 1, 150, 50.0f},     // on the way down
        {TWEEN_PING_PONG, 0, 100, 1, 250, 50.0f},     // on the way up again
        {TWEEN_WRAP, 0, 100, 1, 150, 50.0f},
        {TWEEN_WRAP, 0, 100, 1, 250, 50.0f},
        {TWEEN_PING_PONG, 0, 100, -1, 500, -500.0f},  // a negative speed is not bounded below
    };
    for (const TweenCase& c : cases) {
        atFrames(c.frames);
        float value = -1.0f;
        tween(0.0, c.from, c.to, c.mode, c.speed, &value);
        // The clock has whole milliseconds: 0.06 frames of slack.
        EXPECT_NEAR(value, c.expected, 0.061f) << "mode " << c.mode << " frames " << c.frames;
    }
}

TEST_F(VirtualClock, TweenExactlyAtTheEndKeepsTheEnd)
{
    atMs(6000.0);
    const double to = 6000.0 / static_cast<double>(16.666666f);
    for (TweenMode mode : {TWEEN_PING_PONG, TWEEN_WRAP, TWEEN_CLAMP}) {
        float value = 0.0f;
        tween(0.0, 0.0, to, mode, 1.0, &value);
        EXPECT_EQ(value, static_cast<float>(to)) << "mode " << mode;
    }
}

TEST_F(VirtualClock, TweenBeforeItsStartRunsBelowFrom)
{
    atMs(1000.0);
    float value = 0.0f;
    tween(2000.0, 10.0, 20.0, TWEEN_CLAMP, 1.0, &value);
    EXPECT_LT(value, 10.0f);
    EXPECT_NEAR(value, 10.0 - 1000.0 / static_cast<double>(16.666666f), 1e-3);
}

TEST(PingPongAndWrap, ThousandthsAndSpans)
{
    EXPECT_EQ(toThousandths(0.0019), 1);
    EXPECT_EQ(toThousandths(-0.0019), -1);
    EXPECT_DOUBLE_EQ(pingPong(2.5, 7.5, 0.0019), 2.501);
    EXPECT_EQ(pingPongInt(0, 100, 150), 50);
    EXPECT_EQ(pingPongInt(0, 100, 250), 50);
    EXPECT_EQ(pingPongInt(0, 100, 200), 0);
    EXPECT_EQ(pingPongInt(0, 100, 100), 100);
    EXPECT_EQ(wrapInt(10, 20, 25), 15);
    EXPECT_DOUBLE_EQ(wrapRange(0.0, 1.0, 2.25), 0.25);
    // A zero span has nowhere to bounce or wrap: it stays put instead of dividing by zero.
    EXPECT_EQ(pingPongInt(5, 5, 17), 5);
    EXPECT_EQ(wrapInt(5, 5, 17), 5);
}

}  // namespace
