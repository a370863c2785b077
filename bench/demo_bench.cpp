// demo-bench [--frames N]
// Times the real start-up (startup_ms, and loadstep <name> <ms> per loading step), then N
// frames of each scene on the virtual clock: scene <state> <name> frames <n> median_ms <x>
// max_ms <y> first_ms <z> (its first frame, where a hitch at the cut would show). With
// GALLIUM_NOOP=1 the figures are the CPU cost of a frame.
// demo-bench --game FILE ...: the game frame on a level instead (game_mode.cpp).
// demo-bench --game-scenarios: the game frame in five drawing situations (game_scenarios.cpp).
#include "app/frame.h"
#include "app/offline_driver.h"
#include "app/run_directory.h"
#include "gfx/pass_timer.h"
#include "gfx/shaders.h"  // shaderBuildFailures
#include "app/startup.h"
#include "bench/game_mode.h"
#include "bench/game_scenarios.h"
#include "core/program_exit.h"
#include "platform/gl_api.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using BenchClock = std::chrono::steady_clock;

static BenchClock::time_point stepStart;

static double millisecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

static void reportLoadStep(const char* step, bool finished)
{
    if (!finished)
        stepStart = BenchClock::now();
    else
        std::printf("loadstep %s %.3f\n", step, millisecondsSince(stepStart));
}

static const int SCENE_ORDER[] = {STATE_PICTURE, STATE_PALETTE_LOGO, STATE_RADIAL_BLUR, STATE_DISCO_BALL,
                                  STATE_TUNNEL,  STATE_RINGS,        STATE_PLASMA,      STATE_FLYOVER,
                                  STATE_LOGO_GLOW};

int main(int argc, char** argv)
{
    anchorPathOptions(argc, argv, {"--game", "--keys"}, {});
    enterRunDirectoryIfNoData("demo-bench");
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--game"))
            return runGameBench(argc, argv);
        if (!std::strcmp(argv[i], "--game-scenarios"))
            return runGameScenarios(argc, argv);
    }
    int frames = 60;
    bool passes = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) {
            frames = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--passes")) {
            passes = true;
        } else {
            std::fprintf(stderr, "usage: demo-bench [--frames N] [--passes]\n");
            return 2;
        }
    }
    if (frames < 1)
        frames = 1;

    loadStepObserver = reportLoadStep;
    BenchClock::time_point start = BenchClock::now();
    if (!startDemoOffline()) {
        std::fprintf(stderr, "demo-bench: start-up failed\n");
        return 1;
    }
    if (shaderBuildFailures > 0) {
        std::fprintf(stderr, "demo-bench: %d shader build failures (logs above)\n", shaderBuildFailures);
        return exitStatus(ExitCode::TOOL_SHADER_FAILURE);
    }
    std::printf("startup_ms %.3f\n", millisecondsSince(start));
    if (passes)
        enablePassTimer();

    const double stepMs = 1000.0 / 60.0;
    for (int state : SCENE_ORDER) {
        double beginMs = stateStartSeconds(state) * 1000.0;
        seekMusicTimeMs(beginMs, stepMs);
        std::vector<double> times;
        for (int f = 0; f < frames; ++f) {
            BenchClock::time_point frameStart = BenchClock::now();
            beginPass("frame");
            driveFrameAt(beginMs + f * stepMs, stepMs);
            endPass();
            passTimerFrameDone();
            glFinish();
            times.push_back(millisecondsSince(frameStart));
        }
        const double firstMs = times.front();
        std::sort(times.begin(), times.end());
        std::printf("scene %d %s frames %d median_ms %.3f max_ms %.3f first_ms %.3f\n", state, stateSceneName(state),
                    frames, times[times.size() / 2], times.back(), firstMs);
        char prefix[64];
        std::snprintf(prefix, sizeof(prefix), "scene %d %s", state, stateSceneName(state));
        printPassTimes(prefix, takePassTimes());
        std::fflush(stdout);
    }
    return 0;
}
