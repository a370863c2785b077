// demo-capture: pictures of the show, of its effects and of the game, on the virtual clock.
// Three modes share one command line (--help lists them all):
//   demo-capture --out DIR --at S1,S2,... [--step-ms MS] [--from-start]
//     Runs the real start-up, then drives the frame routine and writes the window's
//     framebuffer at each music time S (seconds after the music start) as
//     DIR/frame_<milliseconds>.png. Each time starts at the beginning of its scene (or at music
//     time 0 with --from-start) and steps frames of MS milliseconds up to S.
//   demo-capture --effect NAME --out DIR --at S1,... [--step-ms MS]: an effect beside the
//     timeline (effect_capture.h).
//   demo-capture --game --keys FILE --out DIR ...: the game under a key script (game_capture.h).
// Every check of the command line, the output folder and the key script comes before the
// start-up; the start-up's loader lines go to stderr, so stdout holds only result lines.
#include "app/frame.h"
#include "app/main_window.h"
#include "app/offline_driver.h"
#include "app/run_directory.h"
#include "app/run_faults.h"
#include "app/tool_cli.h"
#include "core/program_exit.h"
#include "platform/gl_api.h"  // glErrorSink
#include "tools/capture/capture_common.h"
#include "tools/capture/effect_capture.h"
#include "tools/capture/frame_grab.h"
#include "tools/capture/game_capture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// Longer runs grow the software driver's memory past what a machine spares.
constexpr long long MAX_GAME_FRAMES = 100000;
constexpr double MIN_STEP_MS = 1.0;
constexpr double MAX_STEP_MS = 1000.0;

struct TimelineOptions {
    TimedCaptureOptions timed;
    bool fromStart = false;
    bool quiet = false;
};

int runTimelineCapture(TimelineOptions options)
{
    TimedCaptureOptions& timed = options.timed;
    if (int status = startCaptureRun(options.quiet))
        return status;
    std::sort(timed.timesSeconds.begin(), timed.timesSeconds.end());

    // The frames stepped: from music time 0 to the last time, or from each time's scene start.
    double steppedMs = options.fromStart ? timed.timesSeconds.back() * 1000.0 : 0.0;
    for (double seconds : timed.timesSeconds)
        if (!options.fromStart)
            steppedMs += (seconds - stateStartSeconds(timelineStateAtMusicMs(seconds * 1000.0))) * 1000.0;
    ProgressLine progress("demo-capture", static_cast<int>(std::ceil(steppedMs / timed.stepMs)));
    int framesDriven = 0;
    double nextMs = 0.0;  // --from-start: where the running walk stands
    for (double seconds : timed.timesSeconds) {
        double targetMs = seconds * 1000.0;
        double beginMs = options.fromStart ? nextMs
                                           : stateStartSeconds(timelineStateAtMusicMs(targetMs)) * 1000.0;
        {
            StdoutToStderr chatter(options.quiet);
            if (!options.fromStart || nextMs == 0.0)
                seekMusicTimeMs(beginMs, timed.stepMs);
            for (double ms = beginMs; ms < targetMs; ms += timed.stepMs) {
                if (offlineQuitRequested()) {
                    std::fprintf(stderr, "demo-capture: quit requested, stopping\n");
                    return exitStatus(ExitCode::TOOL_INTERRUPTED);
                }
                progress.update(++framesDriven, ms / 1000.0);
                driveFrameAt(ms, timed.stepMs);
            }
            driveFrameAt(targetMs, timed.stepMs);
        }
        nextMs = targetMs + timed.stepMs;

        long long milliseconds = std::llround(targetMs);
        std::string path = timed.outDir + "/frame_" + std::to_string(milliseconds) + ".png";
        if (!writeWindowPng(path)) {
            std::fprintf(stderr, "demo-capture: cannot write %s\n", path.c_str());
            return exitStatus(ExitCode::TOOL_FAILED);
        }
        std::printf("capture %lld state %d %s scene %s\n", milliseconds, demoState, path.c_str(),
                    stateSceneName(demoState));
        std::fflush(stdout);
        SDL_GL_SwapWindow(mainWindow);
    }
    progress.finish();
    closeMainWindow();
    return toolRunStatus("demo-capture");
}

std::string joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : ", ") + word;
    return text;
}

std::set<int> frameSet(const std::string& list)
{
    std::set<int> frames;
    for (double frame : splitNumberList(list))
        frames.insert(static_cast<int>(frame));
    return frames;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Pictures of the show, of the effects beside it and of the game, on a virtual clock.\n"
                 "Result lines go to stdout, the start-up's lines to stderr. Three modes:\n"
                 "  demo-capture --out DIR --at S1,S2,... [--step-ms MS] [--from-start]\n"
                 "  demo-capture --effect NAME --out DIR --at S1,S2,... [--step-ms MS]\n"
                 "  demo-capture --game --keys FILE --out DIR [--frames N] [--at-frames F1,...] ...",
                 "demo-capture"};
    useToolRules(app);
    const double showEnd = showEndSeconds();
    const std::vector<std::string> effects = effectNames();

    std::string out, times, keys, atFrames, dumpFrames, effect;
    TimelineOptions timeline;
    GameCaptureOptions game;
    bool quiet = false;
    bool gameMode = false;
    app.add_option("--out", out, "folder the pictures are written to (made when missing)")->type_name("DIR");
    app.add_flag("--quiet", quiet, "drop the start-up's loader lines instead of sending them to stderr");

    const std::string timedGroup = "Timeline and effect captures";
    CLI::Option* atOption =
        app.add_option("--at", times, "times to capture, in seconds of music time\n(or after the effect's start)")
            ->type_name("S1,S2,...")
            ->check(numberListFromTo(0.0, showEnd, "s", "the show's end"))
            ->group(timedGroup);
    CLI::Option* stepOption = app.add_option("--step-ms", timeline.timed.stepMs, "frame step in milliseconds")
                                  ->type_name("MS")
                                  ->check(numberFromTo(MIN_STEP_MS, MAX_STEP_MS, "ms"))
                                  ->capture_default_str()
                                  ->group(timedGroup);
    CLI::Option* fromStartOption =
        app.add_flag("--from-start", timeline.fromStart,
                     "timeline: walk every frame from music time 0\ninstead of from each time's scene start")
            ->group(timedGroup);
    CLI::Option* effectOption =
        app.add_option("--effect", effect, "capture this effect instead of the timeline:\n" + joined(effects))
            ->type_name("NAME")
            ->check(CLI::Validator(
                [&](std::string& name) {
                    return std::find(effects.begin(), effects.end(), name) == effects.end()
                               ? "no effect named " + name
                               : std::string();
                },
                ""))
            ->group(timedGroup);

    const std::string gameGroup = "Game capture (--game)";
    app.add_flag("--game", gameMode, "play the game under a key script instead of the timeline")->group(gameGroup);
    CLI::Option* keysOption =
        app.add_option("--keys", keys, "the key script (lines '<frame> +KEY' or '<frame> -KEY')")
            ->type_name("FILE")
            ->group(gameGroup);
    CLI::Option* framesOption = app.add_option("--frames", game.frames, "game frames to play, 60 a second")
                                    ->type_name("N")
                                    ->check(wholeNumberFrom(1, MAX_GAME_FRAMES))
                                    ->capture_default_str()
                                    ->group(gameGroup);
    CLI::Option* atFramesOption =
        app.add_option("--at-frames", atFrames, "write DIR/game_<frame>.png after these frames")
            ->type_name("F1,F2,...")
            ->check(wholeNumberListFrom(1, MAX_GAME_FRAMES))
            ->group(gameGroup);
    CLI::Option* hashOption = app.add_option("--hash-every", game.hashEvery, "print the state's hash every K frames")
                                  ->type_name("K")
                                  ->check(wholeNumberFrom(1, MAX_GAME_FRAMES))
                                  ->group(gameGroup);
    CLI::Option* dumpOption =
        app.add_option("--dump-at-frames", dumpFrames, "print the game's state values after these frames")
            ->type_name("F1,F2,...")
            ->check(wholeNumberListFrom(1, MAX_GAME_FRAMES))
            ->group(gameGroup);
    CLI::Option* realTimeOption =
        app.add_flag("--real-time", game.realTime, "pace the frames at 60 a second of wall time")->group(gameGroup);
    CLI::Option* soundsOption =
        app.add_flag("--sounds", game.printSounds, "print a line for every sound the game plays")->group(gameGroup);
    CLI::Option* drawOption =
        app.add_flag("--draw-captures-only", game.drawCapturesOnly,
                     "rasterise only frame 1 and the capture frames")
            ->group(gameGroup);

    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;

    // Each mode refuses the options of the others.
    const CLI::Option* stray = nullptr;
    if (gameMode)
        stray = firstGiven({atOption, stepOption, fromStartOption, effectOption});
    else
        stray = firstGiven({keysOption, framesOption, atFramesOption, hashOption, dumpOption, realTimeOption,
                            soundsOption, drawOption, effect.empty() ? nullptr : fromStartOption});
    if (stray) {
        const char* mode = gameMode ? "--game" : !effect.empty() ? "--effect" : "the timeline";
        return refuseCommandLine(app, stray->get_name() + " is not an option of " + mode);
    }
    if (out.empty())
        return refuseCommandLine(app, "--out is required");
    if (gameMode && keys.empty())
        return refuseCommandLine(app, "--game needs --keys");
    if (!gameMode && times.empty())
        return refuseCommandLine(app, "--at is required");
    game.captureFrames = frameSet(atFrames);
    game.dumpFrames = frameSet(dumpFrames);
    for (const std::set<int>* frames : {&game.captureFrames, &game.dumpFrames}) {
        if (!frames->empty() && *frames->rbegin() > game.frames)
            return refuseCommandLine(app, (frames == &game.captureFrames ? "--at-frames " : "--dump-at-frames ") +
                                              std::to_string(*frames->rbegin()) + " is past --frames " +
                                              std::to_string(game.frames));
    }

    // Paths typed here keep naming the same place once the tool has changed to its run directory.
    const std::string keysHere = keys.empty() ? keys : inputPathFromHere(keys);
    const std::string outHere = outputPathFromHere(out);
    std::string error;
    if (!prepareOutputFolder(outHere, error)) {
        std::fprintf(stderr, "demo-capture: %s\n", error.c_str());
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    enterRunDirectoryIfNoData("demo-capture");
    glErrorSink = printGlError;

    if (gameMode) {
        game.keysPath = keysHere;
        game.outDir = outHere;
        game.quiet = quiet;
        int status = runGameCapture(game);
        // A run that printed nothing else says what it did.
        if (status == 0 && game.captureFrames.empty() && game.dumpFrames.empty() && game.hashEvery == 0 &&
            !game.printSounds)
            std::printf("played %d frames of %s\n", game.frames, game.keysPath.c_str());
        return status;
    }
    timeline.timed.outDir = outHere;
    timeline.timed.timesSeconds = splitNumberList(times);
    if (!effect.empty())
        return runEffectCapture(EffectCaptureOptions{effect, timeline.timed, quiet});
    timeline.quiet = quiet;
    return runTimelineCapture(timeline);
}
