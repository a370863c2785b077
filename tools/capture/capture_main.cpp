// demo-capture --out DIR --at S1,S2,... [--step-ms MS] [--from-start]
// Runs the real start-up, then drives the frame routine on the virtual clock and writes the
// window's framebuffer at each music time S (seconds after the music start) as
// DIR/frame_<milliseconds>.png. Each time starts at the beginning of its scene (or at music
// time 0 with --from-start) and steps frames of MS milliseconds up to S.
// With --effect NAME it captures one of the effects beside the timeline instead (effect_capture.h).
// With --game it plays the game under a key script instead (game_capture.h).
#include "app/frame.h"
#include "app/main_window.h"
#include "app/offline_driver.h"
#include "app/run_directory.h"
#include "gfx/shaders.h"  // shaderBuildFailures
#include "platform/gl_api.h"
#include "png_write.h"
#include "tools/capture/effect_capture.h"
#include "tools/capture/time_list.h"
#include "tools/capture/game_capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

// Exit statuses besides 0, 1 (start-up or a write failed) and 2 (usage).
static constexpr int EXIT_SHADER_FAILURE = 3;
static constexpr int EXIT_INTERRUPTED = 4;

struct CaptureOptions {
    std::string outDir;
    std::vector<double> timesSeconds;
    double stepMs = 16.667;
    bool fromStart = false;
};


static bool parseOptions(int argc, char** argv, CaptureOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--out") && hasValue)
            options.outDir = argv[++i];
        else if (!std::strcmp(argv[i], "--at") && hasValue) {
            if (!parseTimeList(argv[++i], options.timesSeconds))
                return false;
        } else if (!std::strcmp(argv[i], "--step-ms") && hasValue) {
            options.stepMs = std::atof(argv[++i]);
            if (!(options.stepMs > 0.0))
                return false;
        } else if (!std::strcmp(argv[i], "--from-start"))
            options.fromStart = true;
        else
            return false;
    }
    return !options.outDir.empty() && !options.timesSeconds.empty();
}

static bool writeFrame(const std::string& path)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
    return writePngBottomUp(path, SCREEN_WIDTH, SCREEN_HEIGHT, pixels.data());
}

static bool hasFlag(int argc, char** argv, const char* flag)
{
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], flag))
            return true;
    return false;
}

// Output folders named relative to where the tool was started, before it may change to the
// run directory.
static void makeOutputFoldersAbsolute(int argc, char** argv)
{
    static std::vector<std::string> absolutePaths;
    absolutePaths.reserve(static_cast<size_t>(argc));
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--out") != 0)
            continue;
        absolutePaths.push_back(std::filesystem::absolute(argv[i + 1]).string());
        argv[++i] = &absolutePaths.back()[0];
    }
}

int main(int argc, char** argv)
{
    makeOutputFoldersAbsolute(argc, argv);
    enterRunDirectoryIfNoData("demo-capture");
    if (wantsEffectCapture(argc, argv))
        return runEffectCapture(argc, argv);
    if (hasFlag(argc, argv, "--game"))
        return runGameCapture(argc, argv);
    CaptureOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: demo-capture --out DIR --at S1,S2,... [--step-ms MS] [--from-start]\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(options.outDir, error);
    if (!startDemoOffline()) {
        std::fprintf(stderr, "demo-capture: start-up failed\n");
        return 1;
    }
    if (shaderBuildFailures > 0) {
        std::fprintf(stderr, "demo-capture: %d shader build failures (logs above)\n", shaderBuildFailures);
        return EXIT_SHADER_FAILURE;
    }
    std::sort(options.timesSeconds.begin(), options.timesSeconds.end());

    double nextMs = 0.0;  // --from-start: where the running walk stands
    for (double seconds : options.timesSeconds) {
        double targetMs = seconds * 1000.0;
        double beginMs = options.fromStart ? nextMs
                                           : stateStartSeconds(timelineStateAtMusicMs(targetMs)) * 1000.0;
        if (!options.fromStart || nextMs == 0.0)
            seekMusicTimeMs(beginMs, options.stepMs);
        for (double ms = beginMs; ms < targetMs; ms += options.stepMs) {
            if (offlineQuitRequested()) {
                std::fprintf(stderr, "demo-capture: quit requested, stopping\n");
                return EXIT_INTERRUPTED;
            }
            driveFrameAt(ms, options.stepMs);
        }
        driveFrameAt(targetMs, options.stepMs);
        nextMs = targetMs + options.stepMs;

        long long milliseconds = std::llround(targetMs);
        std::string path = options.outDir + "/frame_" + std::to_string(milliseconds) + ".png";
        if (!writeFrame(path)) {
            std::fprintf(stderr, "demo-capture: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("capture %lld state %d %s\n", milliseconds, demoState, path.c_str());
        std::fflush(stdout);
        SDL_GL_SwapWindow(mainWindow);
    }
    closeMainWindow();
    return 0;
}
