// demo-bench [--frames N] [--csv FILE] [--quiet]
// Times the real start-up (startup_ms, and loadstep <name> <ms> per loading step), then N
// frames of each scene on the virtual clock:
//   scene <state> <name> frames <n> wall_p50_ms .. wall_p95_ms .. wall_p99_ms .. wall_max_ms ..
//         wall_longest_frame <i> cpu_p50_ms .. cpu_p95_ms .. cpu_p99_ms .. cpu_max_ms ..
//         cpu_longest_frame <i> first_ms <z>
// (wall: the frame's wall time up to glFinish; cpu: this thread's processor time; first_ms the
// first frame's wall time, where a hitch at the cut would show). With GALLIUM_NOOP=1 the
// figures are the CPU cost of a frame.
// demo-bench --game FILE ...: the game frame on a level instead (game_mode.cpp).
// demo-bench --game-scenarios: the game frame in six drawing situations (game_scenarios.cpp).
// --csv FILE writes one row a frame of every mode: scene,frame,cpu_ms,wall_ms.
// The start-up's loader lines go to stderr (or nowhere with --quiet): stdout holds the results.
#include "app/frame.h"
#include "app/offline_driver.h"
#include "app/run_directory.h"
#include "app/run_faults.h"
#include "gfx/pass_timer.h"
#include "app/startup.h"
#include "app/tool_cli.h"
#include "bench/bench_options.h"
#include "bench/frame_stats.h"
#include "bench/game_mode.h"
#include "bench/game_scenarios.h"
#include "core/program_exit.h"
#include "gfx/shaders.h"  // shaderBuildFailures
#include "platform/gl_api.h"

#include <SDL.h>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Longer runs grow the software driver's memory past what a machine spares.
constexpr long long MAX_FRAMES = 100000;
constexpr int DEFAULT_SCENE_FRAMES = 60;

using BenchClock = std::chrono::steady_clock;

BenchClock::time_point stepStart;

double millisecondsSince(BenchClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(BenchClock::now() - start).count();
}

void reportLoadStep(const char* step, bool finished)
{
    if (!finished)
        stepStart = BenchClock::now();
    else
        std::fprintf(resultStream(), "loadstep %s %.3f\n", step, millisecondsSince(stepStart));
}

const int SCENE_ORDER[] = {STATE_PICTURE, STATE_PALETTE_LOGO, STATE_RADIAL_BLUR, STATE_DISCO_BALL, STATE_TUNNEL,
                           STATE_RINGS,   STATE_PLASMA,       STATE_FLYOVER,     STATE_LOGO_GLOW};

int runSceneBench(const BenchOptions& options, FrameCsv& csv)
{
    const int frames = options.frames > 0 ? options.frames : DEFAULT_SCENE_FRAMES;
    loadStepObserver = reportLoadStep;
    BenchClock::time_point start = BenchClock::now();
    if (!startBenchOffline(options.quiet))
        return exitStatus(ExitCode::TOOL_FAILED);
    if (shaderBuildFailures > 0) {
        std::fprintf(stderr, "demo-bench: %d shader build failures (logs above)\n", shaderBuildFailures);
        return exitStatus(ExitCode::TOOL_SHADER_FAILURE);
    }
    std::printf("startup_ms %.3f\n", millisecondsSince(start));
    if (options.passes)
        enablePassTimer();

    const double stepMs = 1000.0 / 60.0;
    const int sceneCount = static_cast<int>(sizeof SCENE_ORDER / sizeof SCENE_ORDER[0]);
    ProgressLine progress("demo-bench", sceneCount * frames);
    int framesDriven = 0;
    for (int state : SCENE_ORDER) {
        double beginMs = stateStartSeconds(state) * 1000.0;
        seekMusicTimeMs(beginMs, stepMs);
        std::vector<double> wallTimes, cpuTimes;
        StdoutToStderr chatter(options.quiet);
        for (int f = 0; f < frames; ++f) {
            progress.update(++framesDriven, (beginMs + f * stepMs) / 1000.0);
            BenchClock::time_point frameStart = BenchClock::now();
            const double cpuStart = threadCpuMs();
            beginPass("frame");
            driveFrameAt(beginMs + f * stepMs, stepMs);
            endPass();
            passTimerFrameDone();
            glFinish();
            wallTimes.push_back(millisecondsSince(frameStart));
            cpuTimes.push_back(threadCpuMs() - cpuStart);
        }
        progress.finish();
        csv.addFrames(stateSceneName(state), cpuTimes, wallTimes);
        std::fprintf(resultStream(), "scene %d %s frames %d %s %s first_ms %.3f\n", state, stateSceneName(state), frames,
                    frameFigures("wall_", wallTimes).c_str(), frameFigures("cpu_", cpuTimes).c_str(),
                    wallTimes.front());
        char prefix[64];
        std::snprintf(prefix, sizeof(prefix), "scene %d %s", state, stateSceneName(state));
        printPassTimes(resultStream(), prefix, takePassTimes());
        std::fflush(resultStream());
    }
    return toolRunStatus("demo-bench");
}

}  // namespace

bool startBenchOffline(bool quiet)
{
    bool started = false;
    {
        StdoutToStderr chatter(quiet);
        started = startDemoOffline();
    }
    if (!started)
        std::fprintf(stderr, "demo-bench: start-up failed\n");
    return started;
}

int main(int argc, char** argv)
{
    CLI::App app{"Times the start-up and the frames of the show's nine scenes, of the game on a level (--game)\n"
                 "or of the game in six drawing situations (--game-scenarios), on a virtual clock.\n"
                 "Result lines go to stdout, the start-up's lines to stderr. Under GALLIUM_NOOP=1 the\n"
                 "figures are the CPU cost of a frame.",
                 "demo-bench"};
    useToolRules(app);
    BenchOptions options;
    bool scenarios = false;
    app.add_option("--frames", options.frames, "frames per scene (60), of the game (600) or per scenario (120)")
        ->type_name("N")
        ->check(wholeNumberFrom(1, MAX_FRAMES));
    app.add_option("--csv", options.csvPath, "also write one row a frame: scene,frame,cpu_ms,wall_ms")
        ->type_name("FILE");
    app.add_flag("--quiet", options.quiet, "drop the start-up's loader lines instead of sending them to stderr");
    app.add_flag("--passes", options.passes, "also print each pass's GPU time (GL timer queries), in every mode");
    const std::string modes = "Modes (the nine scenes unless one is given)";
    CLI::Option* gameOption =
        app.add_option("--game", options.levelPath, "time the game on this level (e.g. level1.level)")
            ->type_name("FILE")
            ->group(modes);
    CLI::Option* keysOption =
        app.add_option("--keys", options.keysPath, "with --game: the key script (a walk with jumps unless given)")
            ->type_name("FILE")
            ->group(modes);
    CLI::Option* scenariosOption =
        app.add_flag("--game-scenarios", scenarios, "time the game in six drawing situations")->group(modes);

    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;
    if (firstGiven({gameOption}) && firstGiven({scenariosOption}))
        return refuseCommandLine(app, "--game and --game-scenarios are two modes: give one");
    if (firstGiven({keysOption}) && !firstGiven({gameOption}))
        return refuseCommandLine(app, "--keys is an option of --game");

    // Paths typed here keep naming the same place once the tool has changed to its run directory.
    if (!options.levelPath.empty())
        options.levelPath = inputPathFromHere(options.levelPath);
    if (!options.keysPath.empty())
        options.keysPath = inputPathFromHere(options.keysPath);
    if (!options.csvPath.empty())
        options.csvPath = outputPathFromHere(options.csvPath);
    FrameCsv csv;
    std::string error;
    if (!csv.open(options.csvPath, error)) {
        std::fprintf(stderr, "demo-bench: %s\n", error.c_str());
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    enterRunDirectoryIfNoData("demo-bench");

    int status = !options.levelPath.empty() ? runGameBench(options, csv)
                 : scenarios                ? runGameScenarios(options, csv)
                                            : runSceneBench(options, csv);
    if (status == 0 && !csv.close(error)) {
        std::fprintf(stderr, "demo-bench: %s\n", error.c_str());
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    return status;
}
