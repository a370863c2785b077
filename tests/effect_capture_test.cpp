// demo-capture --effect: a bad command line or effect name is refused with status 2 before
// anything starts, and a named effect is captured after the real start-up (the test quad:
// white in the middle half, black around it).
#include "tests/effect_capture_support.h"

namespace {

TEST(EffectCapture, RefusesBadRequests)
{
    const char* const requests[] = {
        "--effect nosuch --out /tmp/unused --at 1",
        "--effect flag --out /tmp/unused",
        "--effect flag --at 1",
        "--effect flag --out /tmp/unused --at -1",
        "--effect flag --out /tmp/unused --at 1 --step-ms 0",
    };
    for (const char* request : requests) {
        ProgramRun run = runProgram(std::string(BINARY_DIR) + "/demo-capture " + request + " 2>/dev/null");
        EXPECT_EQ(run.exitStatus, 2) << request;
        EXPECT_EQ(run.output.find("capture "), std::string::npos) << request;
    }
}

TEST(EffectCapture, CapturesTheTestQuadAfterTheStartUp)
{
    std::vector<RgbaPicture> frames = captureEffect("testquad", "0.5", 500.0);
    ASSERT_EQ(frames.size(), 1u);
    const uint8_t* centre = frames[0].at(960, 540);
    EXPECT_EQ(centre[0] + centre[1] + centre[2], 3 * 255);
    EXPECT_TRUE(isBlack(frames[0].at(100, 100)));
    EXPECT_TRUE(isBlack(frames[0].at(1800, 1000)));
}

}  // namespace
