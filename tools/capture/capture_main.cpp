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
#include "app/run_faults.h"
#include "core/program_exit.h"
#include "platform/gl_api.h"  // glErrorSink
#include "tools/capture/capture_common.h"
#include "tools/capture/effect_capture.h"
#include "tools/capture/frame_grab.h"
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

struct CaptureOptions {
    TimedCaptureOptions timed;
    bool fromStart = false;
};

static bool parseOptions(int argc, char** argv, CaptureOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        OptionMatch match = readTimedCaptureOption(argc, argv, i, options.timed);
        if (match == OptionMatch::BAD)
            return false;
        if (match == OptionMatch::TAKEN)
            continue;
        if (!std::strcmp(argv[i], "--from-start"))
            options.fromStart = true;
        else
            return false;
    }
    return !options.timed.outDir.empty() && !options.timed.timesSeconds.empty();
}

static bool hasFlag(int argc, char** argv, const char* flag)
{
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], flag))
            return true;
    return false;
}

int main(int argc, char** argv)
{
    anchorPathOptions(argc, argv, {"--keys"}, {"--out"});
    enterRunDirectoryIfNoData("demo-capture");
    glErrorSink = printGlError;
    if (wantsEffectCapture(argc, argv))
        return runEffectCapture(argc, argv);
    if (hasFlag(argc, argv, "--game"))
        return runGameCapture(argc, argv);
    CaptureOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: demo-capture --out DIR --at S1,S2,... [--step-ms MS] [--from-start]\n");
        return exitStatus(ExitCode::TOOL_USAGE);
    }
    TimedCaptureOptions& timed = options.timed;
    std::error_code error;
    std::filesystem::create_directories(timed.outDir, error);
    if (int status = startCaptureRun())
        return status;
    std::sort(timed.timesSeconds.begin(), timed.timesSeconds.end());

    double nextMs = 0.0;  // --from-start: where the running walk stands
    for (double seconds : timed.timesSeconds) {
        double targetMs = seconds * 1000.0;
        double beginMs = options.fromStart ? nextMs
                                           : stateStartSeconds(timelineStateAtMusicMs(targetMs)) * 1000.0;
        if (!options.fromStart || nextMs == 0.0)
            seekMusicTimeMs(beginMs, timed.stepMs);
        for (double ms = beginMs; ms < targetMs; ms += timed.stepMs) {
            if (offlineQuitRequested()) {
                std::fprintf(stderr, "demo-capture: quit requested, stopping\n");
                return exitStatus(ExitCode::TOOL_INTERRUPTED);
            }
            driveFrameAt(ms, timed.stepMs);
        }
        driveFrameAt(targetMs, timed.stepMs);
        nextMs = targetMs + timed.stepMs;

        long long milliseconds = std::llround(targetMs);
        std::string path = timed.outDir + "/frame_" + std::to_string(milliseconds) + ".png";
        if (!writeWindowPng(path)) {
            std::fprintf(stderr, "demo-capture: cannot write %s\n", path.c_str());
            return exitStatus(ExitCode::TOOL_FAILED);
        }
        std::printf("capture %lld state %d %s\n", milliseconds, demoState, path.c_str());
        std::fflush(stdout);
        SDL_GL_SwapWindow(mainWindow);
    }
    closeMainWindow();
    return toolRunStatus("demo-capture");
}
