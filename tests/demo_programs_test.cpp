// The built programs themselves: the demo end to end, and the capture tool over the timeline.
#include "app/frame.h"
#include "gl_test_context.h"
#include "png_read.h"
#include "program_runner.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

TEST(GlContext, IsFourFiveCompatibilityAtFullHd)
{
    REQUIRE_GL_CONTEXT();
    GLint major = 0, minor = 0, profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_EQ(major * 10 + minor, 45);
    EXPECT_TRUE(profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT);
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(glTestContext().window, &w, &h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
}

TEST(DemoProgram, PlaysToTheEndAndExitsByItself)
{
    ProgramRun run = runProgram("SDL_AUDIODRIVER=dummy LP_NUM_THREADS=2 timeout 400 " BINARY_DIR "/demo </dev/null");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_GT(run.seconds, 174.0);
    EXPECT_LT(run.seconds, 240.0);
    EXPECT_EQ(run.output.rfind("a a1 b b1 b2 b3 b4 b5 c d e f g ", 0), 0u) << run.output.substr(0, 200);
    EXPECT_NE(run.output.find("a1\na2\na3\n"), std::string::npos);
}

// A scratch working directory for the demo, optionally with the real data folder linked in.
std::filesystem::path scratchRunDir(const char* name, bool withData)
{
    std::filesystem::path dir = scratchPath(name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (withData)
        std::filesystem::create_directory_symlink(std::filesystem::path(RUN_DIR) / "data", dir / "data");
    return dir;
}

TEST(DemoProgram, MissingSoundtrackLeavesASilentDemoOnItsClock)
{
    std::filesystem::path dir = scratchRunDir("mornglow-no-music", true);
    // A short run, ended early through the quit path (SIGTERM arrives as a quit event).
    ProgramRun run = runProgram("cd '" + dir.string() + "' && SDL_AUDIODRIVER=dummy timeout --preserve-status -s TERM 20 " BINARY_DIR
                                "/demo </dev/null");
    EXPECT_EQ(run.exitStatus, 0) << run.output;
    EXPECT_EQ(run.output.rfind("a a1 b b1 b2 b3 b4 b5 c d e f g ", 0), 0u);
    EXPECT_NE(run.output.find("a1\na2\na3\n"), std::string::npos);
}

TEST(DemoProgram, MissingDataFolderEndsWithTheLoadersMessages)
{
    std::filesystem::path dir = scratchRunDir("mornglow-no-data", false);
    // A copy of the program with no run directory beside it to fall back on.
    std::filesystem::copy_file(BINARY_DIR "/demo", dir / "demo");
    ProgramRun run = runProgram("cd '" + dir.string() + "' && SDL_AUDIODRIVER=dummy timeout 60 ./demo </dev/null 2>&1");
    // A missing model ends the program like the loaders say, never through a crash.
    EXPECT_EQ(run.exitStatus, 1) << run.output;
    EXPECT_NE(run.output.find("unreadable: built-in base texture used for loading.tga"), std::string::npos);
    EXPECT_NE(run.output.find("Either vertex shader or fragment shader file not found."), std::string::npos);
    EXPECT_NE(run.output.find("can't open file "), std::string::npos) << run.output;
}

struct SceneProbe {
    double seconds;
    int state;
};

// One time inside each scene window.
const SceneProbe SCENE_PROBES[] = {
    {6.0, STATE_PICTURE}, {20.0, STATE_PALETTE_LOGO}, {35.0, STATE_RADIAL_BLUR},
    {48.0, STATE_DISCO_BALL}, {70.0, STATE_TUNNEL}, {95.0, STATE_RINGS},
    {108.0, STATE_PLASMA}, {130.0, STATE_FLYOVER}, {168.0, STATE_LOGO_GLOW},
};

TEST(CaptureTool, WritesOnePictureOfTheRightStatePerTime)
{
    std::filesystem::path out = scratchPath("mornglow-capture-test");
    std::filesystem::remove_all(out);
    std::string times;
    for (const SceneProbe& probe : SCENE_PROBES)
        times += (times.empty() ? "" : ",") + std::to_string(probe.seconds);
    ProgramRun run = runProgram(std::string(BINARY_DIR) + "/demo-capture --step-ms 250 --out '" + out.string() +
                                "' --at " + times);
    ASSERT_EQ(run.exitStatus, 0) << run.output;

    std::istringstream lines(run.output);
    std::string line;
    std::vector<std::vector<uint8_t>> centres;
    size_t index = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("capture ", 0) != 0)
            continue;
        ASSERT_LT(index, std::size(SCENE_PROBES));
        const SceneProbe& probe = SCENE_PROBES[index++];
        long long ms = 0;
        int state = 0;
        char file[512] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "capture %lld state %d %511s", &ms, &state, file), 3) << line;
        EXPECT_EQ(ms, static_cast<long long>(probe.seconds * 1000.0));
        EXPECT_EQ(state, probe.state) << line;
        RgbaPicture picture;
        ASSERT_TRUE(readPng(file, picture)) << file;
        EXPECT_EQ(picture.width, 1920);
        EXPECT_EQ(picture.height, 1080);
        const uint8_t* centre = picture.at(960, 540);
        centres.push_back({centre[0], centre[1], centre[2]});
    }
    EXPECT_EQ(index, std::size(SCENE_PROBES));
    for (size_t a = 0; a < centres.size(); ++a)
        for (size_t b = a + 1; b < centres.size(); ++b)
            EXPECT_NE(centres[a], centres[b]) << "scenes " << a << " and " << b << " look the same";
}

// Mean luma of each 120 x 120 block: enough to tell a shifted or black picture from the scene's
// own, coarse enough that the tunnel's roll and scroll between two frames count little.
std::vector<float> blockLuma(const RgbaPicture& picture)
{
    constexpr int BLOCK = 120;
    std::vector<float> blocks;
    for (int by = 0; by + BLOCK <= picture.height; by += BLOCK)
        for (int bx = 0; bx + BLOCK <= picture.width; bx += BLOCK) {
            float sum = 0.0f;
            for (int y = by; y < by + BLOCK; ++y)
                for (int x = bx; x < bx + BLOCK; ++x) {
                    const uint8_t* p = picture.at(x, y);
                    sum += 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
                }
            blocks.push_back(sum / (BLOCK * BLOCK));
        }
    return blocks;
}

// A scene that sets its camera while it draws is seen through it from its very first frame:
// the first frame of the scene looks like the one after it, not like the previous scene's view.
TEST(CaptureTool, FirstFrameOfASceneIsSeenThroughItsOwnCamera)
{
    const int states[] = {STATE_TUNNEL, STATE_RINGS};
    std::filesystem::path out = scratchPath("mornglow-cut-frames");
    std::filesystem::remove_all(out);
    std::string times;
    std::vector<std::pair<long long, long long>> pairs;
    for (int state : states) {
        const long long first = std::llround(stateStartSeconds(state) * 1000.0);
        pairs.push_back({first, first + 50});
        times += (times.empty() ? "" : ",") + std::to_string(first / 1000.0) + "," + std::to_string((first + 50) / 1000.0);
    }
    ProgramRun run = runProgram(std::string(BINARY_DIR) + "/demo-capture --step-ms 50 --out '" + out.string() +
                                "' --at " + times);
    ASSERT_EQ(run.exitStatus, 0) << run.output;
    for (size_t i = 0; i < pairs.size(); ++i) {
        RgbaPicture first, next;
        ASSERT_TRUE(readPng((out / ("frame_" + std::to_string(pairs[i].first) + ".png")).string(), first));
        ASSERT_TRUE(readPng((out / ("frame_" + std::to_string(pairs[i].second) + ".png")).string(), next));
        const std::vector<float> a = blockLuma(first), b = blockLuma(next);
        float difference = 0.0f;
        for (size_t k = 0; k < a.size(); ++k)
            difference += std::fabs(a[k] - b[k]);
        difference /= static_cast<float>(a.size());
        // Measured: about 6 (tunnel) and 1 (rings) frame to frame, 43 and 17 through the old camera.
        EXPECT_LT(difference, 12.0f) << "state " << states[i] << " at " << pairs[i].first << " ms";
    }
}

}  // namespace
