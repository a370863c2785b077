#include "core/clock.h"
#include "app/frame.h"
#include "app/music.h"
#include "app/offline_driver.h"
#include "platform/os_services.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Timeline, BoundsBelongToTheEarlierState)
{
    const struct {
        float t;
        int state;
    } cases[] = {
        {-0.45f, STATE_PICTURE}, {3.0f, STATE_PICTURE},         {3.001f, STATE_PALETTE_LOGO},
        {8.0f, STATE_PALETTE_LOGO}, {8.001f, STATE_RADIAL_BLUR}, {11.5f, STATE_RADIAL_BLUR},
        {11.51f, STATE_DISCO_BALL}, {15.5f, STATE_DISCO_BALL},  {15.51f, STATE_TUNNEL},
        {23.75f, STATE_TUNNEL},     {23.76f, STATE_RINGS},      {29.5f, STATE_RINGS},
        {29.51f, STATE_PLASMA},     {31.5f, STATE_PLASMA},      {31.51f, STATE_FLYOVER},
        {45.49f, STATE_FLYOVER},    {45.5f, STATE_LOGO_GLOW},   {60.0f, STATE_LOGO_GLOW},
    };
    for (const auto& c : cases)
        EXPECT_EQ(timelineStateAt(c.t), c.state) << "t " << c.t;
}

// Just below, at and just above every cut. The flyover alone gives way at its bound itself.
TEST(Timeline, EveryCutComparesAsItAlwaysHas)
{
    const struct {
        float bound;
        int below;
        int at;
        int above;
    } cuts[] = {
        {3.0f, STATE_PICTURE, STATE_PICTURE, STATE_PALETTE_LOGO},
        {8.0f, STATE_PALETTE_LOGO, STATE_PALETTE_LOGO, STATE_RADIAL_BLUR},
        {11.5f, STATE_RADIAL_BLUR, STATE_RADIAL_BLUR, STATE_DISCO_BALL},
        {15.5f, STATE_DISCO_BALL, STATE_DISCO_BALL, STATE_TUNNEL},
        {23.75f, STATE_TUNNEL, STATE_TUNNEL, STATE_RINGS},
        {29.5f, STATE_RINGS, STATE_RINGS, STATE_PLASMA},
        {31.5f, STATE_PLASMA, STATE_PLASMA, STATE_FLYOVER},
        {45.5f, STATE_FLYOVER, STATE_LOGO_GLOW, STATE_LOGO_GLOW},
    };
    for (const auto& c : cuts) {
        EXPECT_EQ(timelineStateAt(std::nextafter(c.bound, -INFINITY)), c.below) << "below " << c.bound;
        EXPECT_EQ(timelineStateAt(c.bound), c.at) << "at " << c.bound;
        EXPECT_EQ(timelineStateAt(std::nextafter(c.bound, INFINITY)), c.above) << "above " << c.bound;
        EXPECT_EQ(timelineStateBeginT(c.above), c.bound) << stateSceneName(c.above) << " follows on from the cut";
    }
    EXPECT_EQ(timelineStateAt(-INFINITY), STATE_PICTURE);
    EXPECT_EQ(timelineStateAt(INFINITY), STATE_LOGO_GLOW);
    EXPECT_EQ(timelineStateBeginT(STATE_PICTURE), -INFINITY);
}

TEST(Timeline, SceneStartTimesOpenTheirStates)
{
    const int states[] = {STATE_PICTURE, STATE_PALETTE_LOGO, STATE_RADIAL_BLUR, STATE_DISCO_BALL, STATE_TUNNEL,
                          STATE_RINGS,   STATE_PLASMA,       STATE_FLYOVER,     STATE_LOGO_GLOW};
    int previous = STATE_GAME;
    for (int state : states) {
        double startMs = stateStartSeconds(state) * 1000.0;
        EXPECT_EQ(timelineStateAtMusicMs(startMs), state) << stateSceneName(state);
        if (previous != STATE_GAME) {
            EXPECT_EQ(timelineStateAtMusicMs(startMs - 1.0), previous) << stateSceneName(state) << ": the first ms";
            EXPECT_EQ(timelineStateAtMusicMs(startMs - 20.0), previous) << stateSceneName(state);
        }
        previous = state;
    }
}

// The beat clock on a virtual counter: music started at clock 0.
class BeatClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        useVirtualCounter(true);
        setVirtualCounter(0);
        initClockFrequency();
        startClock();
        resetMusicRowClock();
        timelineT = 0.0f;
    }
    void TearDown() override { useVirtualCounter(false); }
    static int pollAtRow(double row)
    {
        setVirtualCounter(static_cast<long long>(row / static_cast<double>(MUSIC_ROWS_PER_MS) * 1.0e6));
        return pollMusicRowClock();
    }
};

TEST_F(BeatClock, FirstPollVisitsOnlyRowOne)
{
    EXPECT_EQ(pollAtRow(0.0), 0);
    EXPECT_EQ(musicRow, 1);
    EXPECT_EQ(lastPolledRow, 1);
}

TEST_F(BeatClock, FlagsOfRowsPassedSincePreviousPoll)
{
    pollAtRow(14.5);                 // musicRow 15
    EXPECT_EQ(pollAtRow(16.5), 0x09);  // passes row 16 (delivered one row early: musicRow 17)
    EXPECT_EQ(pollAtRow(16.7), 0);     // same row again: nothing
    pollAtRow(30.5);
    EXPECT_EQ(pollAtRow(63.5), 0x0F | 0x09);  // rows 32, 48 and row 0 of the next turn
}

TEST_F(BeatClock, PatternComesFromThePreviousTimelinePosition)
{
    timelineT = 23.2f;  // pattern 23 has extra accents on rows 52, 56 and 60
    pollAtRow(50.5);
    EXPECT_EQ(pollAtRow(52.5), 0x02);
    timelineT = 11.0f;  // pattern 11: row 16 holds only bit 0
    pollAtRow(14.5);
    EXPECT_EQ(pollAtRow(15.5), 0x01);
}

TEST_F(BeatClock, LongStallCoversLessThanOneTurn)
{
    pollAtRow(10.5);                       // musicRow 11
    // 72 rows later musicRow is 19: the walk covers rows 12 to 19 only, not the bar starts of the
    // full turn in between.
    EXPECT_EQ(pollAtRow(10.5 + 72.0), 0x09);
}

TEST_F(BeatClock, MusicTimeCountsThirtyTwoRowUnits)
{
    pollAtRow(64.0);
    EXPECT_NEAR(musicTime, 2.0f, 1e-3f);
}

}  // namespace
