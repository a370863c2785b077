#include "core/clock.h"
#include "app/frame.h"
#include "app/main_window.h"
#include "core/keyboard.h"
#include "gl_test_context.h"
#include "platform/os_services.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<int> framePasses;
int passNumber = 0;
int quitAtPass = -1;

int recordFrame()
{
    framePasses.push_back(passNumber);
    if (passNumber == quitAtPass)
        quitRequested = 1;
    return 1;
}

// Main-loop passes on the shared test window, a virtual clock and a recording frame routine.
class MainLoopPasses : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        mainWindow = glTestContext().window;
        mainLoopFrameRoutine = recordFrame;
        framePasses.clear();
        passNumber = 0;
        quitAtPass = -1;
        quitRequested = 0;
        frameCounter = 0;
        presentCounter = 0;
        nowMs = prevMs = 0;
        useVirtualCounter(true);
        setVirtualCounter(0);
        initClockFrequency();
        startClock();
    }
    void TearDown() override
    {
        mainLoopFrameRoutine = renderFrame;
        mainWindow = nullptr;
        useVirtualCounter(false);
    }
    static bool pass(double advanceMs = 16.0)
    {
        ++passNumber;
        setVirtualCounter(static_cast<long long>((nowMs + advanceMs) * 1.0e6));
        return runMainLoopPass();
    }
};

TEST_F(MainLoopPasses, FirstFourPassesOnlyClear)
{
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(pass());
    EXPECT_EQ(framePasses, (std::vector<int>{5, 6}));
    EXPECT_EQ(presentCounter, 6);
}

TEST_F(MainLoopPasses, FrameDtIsTheLengthOfThePreviousPassInSixtiethsOfASecond)
{
    pass(16.0);
    EXPECT_FLOAT_EQ(frameDt, 0.06f * 16.0f);
    pass(1000.0);  // a one-second stall
    EXPECT_FLOAT_EQ(frameDt, 60.0f);
}

TEST_F(MainLoopPasses, QuitFromTheFrameRoutineEndsAtTheNextPass)
{
    quitAtPass = 7;
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(pass());
    EXPECT_EQ(quitRequested, 1);
    EXPECT_EQ(presentCounter, 7);  // the quitting frame was still presented and timed
    EXPECT_FALSE(pass());
    EXPECT_EQ(framePasses.back(), 7);
}

TEST_F(MainLoopPasses, QuitEventsAreAllConsumed)
{
    for (int i = 0; i < 3; ++i) {
        SDL_Event quit = {};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    EXPECT_TRUE(pass());  // the pass that sees them still runs
    EXPECT_EQ(quitRequested, 1);
    SDL_Event left;
    EXPECT_EQ(SDL_PeepEvents(&left, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 0);
    EXPECT_FALSE(pass());
}

void pushKey(Uint32 type, SDL_Scancode scancode)
{
    SDL_Event event = {};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
}

TEST_F(MainLoopPasses, KeyTapsOverBeforeThePassStillCount)
{
    // Down and up again while the previous frame ran: SDL's key array shows nothing by now.
    pushKey(SDL_KEYDOWN, SDL_SCANCODE_F1);
    pushKey(SDL_KEYUP, SDL_SCANCODE_F1);
    keyboardState = {};
    EXPECT_TRUE(pass());
    EXPECT_EQ(quitRequested, 0);
    updateKeyboardState();
    EXPECT_EQ(keyboardState.pressed[SDL_SCANCODE_F1], 1);
    updateKeyboardState();
    EXPECT_EQ(keyboardState.held[SDL_SCANCODE_F1], 0);

    pushKey(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE);
    pushKey(SDL_KEYUP, SDL_SCANCODE_ESCAPE);
    EXPECT_TRUE(pass());  // the pass that sees it still runs
    EXPECT_EQ(quitRequested, 1);
    EXPECT_FALSE(pass());
    keyboardState = {};
}

TEST_F(MainLoopPasses, CountersCycleWithoutEverStopping)
{
    frameCounter = 10000;
    presentCounter = 100;
    ASSERT_TRUE(pass());
    EXPECT_EQ(frameCounter, 1000);
    EXPECT_EQ(framePasses.size(), 1u);
    EXPECT_EQ(presentCounter, 10);
}

}  // namespace
