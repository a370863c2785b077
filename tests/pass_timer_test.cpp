// The GPU pass timer: nothing while off; frames counted per pass name with nested and repeated
// passes; a frame's table overflowing or a pass left open; figures taken once.
#include "gfx/pass_timer.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Something for the GPU to do inside a pass.
void clearScreen()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

const PassTime* find(const std::vector<PassTime>& times, const std::string& name)
{
    for (const PassTime& t : times)
        if (t.name == name)
            return &t;
    return nullptr;
}

struct PassTimerOn {
    PassTimerOn() { enablePassTimer(); }
    ~PassTimerOn()
    {
        takePassTimes();
        disablePassTimer();
    }
};

}  // namespace

TEST(PassTimer, OffRecordsNothing)
{
    ASSERT_FALSE(passTimerEnabled());
    beginPass("scene");
    endPass();
    passTimerFrameDone();
    EXPECT_TRUE(takePassTimes().empty());
}

TEST(PassTimer, CountsFramesPerPassInFirstRunOrder)
{
    REQUIRE_GL_CONTEXT();
    PassTimerOn on;
    const int frames = 10;   // more than the frames kept in flight
    for (int f = 0; f < frames; ++f) {
        beginPass("outer");
        clearScreen();
        beginPass("inner");
        clearScreen();
        endPass();
        endPass();
        if (f % 2 == 0) {   // every other frame, twice in the frame
            beginPass("odd");
            clearScreen();
            endPass();
            beginPass("odd");
            endPass();
        }
        passTimerFrameDone();
    }
    const std::vector<PassTime> times = takePassTimes();
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(times[0].name, "outer");
    EXPECT_EQ(times[1].name, "inner");
    EXPECT_EQ(times[2].name, "odd");
    EXPECT_EQ(times[0].frames, frames);
    EXPECT_EQ(times[1].frames, frames);
    EXPECT_EQ(times[2].frames, frames / 2);
    for (const PassTime& t : times) {
        EXPECT_GE(t.medianMs, 0.0) << t.name;
        EXPECT_GE(t.maxMs, t.medianMs) << t.name;
    }
    // The outer pass holds the inner one.
    EXPECT_GE(times[0].maxMs, times[1].maxMs);
    // Taken once: the next take starts afresh.
    EXPECT_TRUE(takePassTimes().empty());
}

TEST(PassTimer, OverflowAndOpenPassesKeepTheOuterPassWhole)
{
    REQUIRE_GL_CONTEXT();
    PassTimerOn on;
    beginPass("frame");
    for (int i = 0; i < 100; ++i) {   // beyond the passes one frame holds
        beginPass("many");
        endPass();
    }
    beginPass("left open");
    clearScreen();
    passTimerFrameDone();
    // The next frame starts with nothing open: this end closes nothing.
    endPass();
    beginPass("frame");
    endPass();
    passTimerFrameDone();
    const std::vector<PassTime> times = takePassTimes();
    const PassTime* frame = find(times, "frame");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->frames, 2);
    ASSERT_NE(find(times, "many"), nullptr);
    EXPECT_EQ(find(times, "many")->frames, 1);
    // No room was left for it in the first frame.
    EXPECT_EQ(find(times, "left open"), nullptr);
}
