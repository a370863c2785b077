#include "platform/display_loss.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

static void exitHandlerThatMustNotRun()
{
    // Stands for the GL teardown of static objects; a distinct status shows that it ran.
    _exit(3);
}

TEST(DisplayLoss, EndsAtOnceWithStatusOneWithoutTheExitTeardown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::atexit(exitHandlerThatMustNotRun);
            endProcessOnDisplayLoss(":9");
        },
        testing::ExitedWithCode(1), "X connection to :9 lost");
}
