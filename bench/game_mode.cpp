// demo-bench --game FILE [--keys SCRIPT] [--frames N]
// Starts the game on the level FILE and plays N frames (600 unless given) of the key script (a
// built-in walk with jumps unless given) on the virtual clock, timing each whole frame routine
// and, apart, the world step inside it (the 20 substeps). Prints
//   game <file> frames <n> world_p50_ms .. world_p95_ms .. world_p99_ms .. world_max_ms ..
//        world_longest_frame <i> wall_... cpu_... (the same five keys each)
// With GALLIUM_NOOP=1 the frame figures are the CPU cost of a frame.
#include "bench/game_mode.h"

#include "app/frame.h"
#include "app/key_script.h"
#include "app/offline_driver.h"
#include "app/tool_cli.h"  // ProgressLine, StdoutToStderr
#include "core/keyboard.h"
#include "game/game.h"
#include "game/game_frame.h"
#include "game/level_file.h"
#include "game/restart.h"
#include "gfx/pass_timer.h"
#include "platform/gl_api.h"
#include "render/lights.h"
#include "app/run_faults.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using BenchClock = std::chrono::steady_clock;

// Walks right, jumping every second and a half, with a stretch of walking back.
const char DEFAULT_SCRIPT[] = "1 +RIGHT\n"
                              "30 +SPACE\n40 -SPACE\n120 +SPACE\n130 -SPACE\n210 +SPACE\n220 -SPACE\n"
                              "300 -RIGHT\n300 +LEFT\n390 +SPACE\n400 -SPACE\n480 -LEFT\n480 +RIGHT\n"
                              "540 +SPACE\n550 -SPACE\n";

BenchClock::time_point worldStart;
std::vector<double> worldTimes;

void timeWorldStep(bool finished)
{
    if (!finished)
        worldStart = BenchClock::now();
    else
        worldTimes.push_back(std::chrono::duration<double, std::milli>(BenchClock::now() - worldStart).count());
}

}  // namespace

int runGameBench(const BenchOptions& options, FrameCsv& csv)
{
    const std::string& levelPath = options.levelPath;
    const int frames = options.frames > 0 ? options.frames : 600;
    std::vector<KeyEvent> events;
    std::string error;
    bool scriptOk = options.keysPath.empty() ? parseKeyScript(DEFAULT_SCRIPT, events, error)
                                             : readKeyScript(options.keysPath, events, error);
    if (!scriptOk) {
        std::fprintf(stderr, "demo-bench: %s\n", error.c_str());
        return 1;
    }
    // Checked before the start-up; a FIFO is refused here rather than waited on.
    if (!levelReadable(levelPath.c_str()))
        return 1;
    if (!startBenchOffline(options.quiet))
        return 1;
    if (options.passes)
        enablePassTimer();
    startGameOffline();
    {
        StdoutToStderr chatter(options.quiet);
        // The frame routine's first game frame, with the level read in place of the editor's.
        initEditor();
        if (!readLevel(levelPath.c_str())) {
            std::fprintf(stderr, "demo-bench: cannot read level %s\n", levelPath.c_str());
            return 1;
        }
        presetRandomOrbitLights();
        restartGame();
        gameFirstFrame = 0;
    }

    static unsigned char keys[KEY_SCRIPT_ARRAY_SIZE] = {};
    setKeySource(keys, KEY_SCRIPT_ARRAY_SIZE);
    worldStepObserver = timeWorldStep;
    std::vector<double> frameTimes, cpuTimes;
    ProgressLine progress("demo-bench", frames, "game");
    StdoutToStderr chatter(options.quiet);  // a frame that loads (the first, F1) says so
    for (int frame = 1; frame <= frames; ++frame) {
        progress.update(frame, frame * GAME_FRAME_MS / 1000.0);
        applyKeyEvents(events, frame, keys);
        BenchClock::time_point start = BenchClock::now();
        const double cpuStart = threadCpuMs();
        driveGameFrame(frame);
        passTimerFrameDone();
        glFinish();
        frameTimes.push_back(std::chrono::duration<double, std::milli>(BenchClock::now() - start).count());
        cpuTimes.push_back(threadCpuMs() - cpuStart);
    }
    progress.finish();
    worldStepObserver = nullptr;
    setKeySource(nullptr, 0);
    csv.addFrames("game", cpuTimes, frameTimes);
    std::fprintf(resultStream(), "game %s frames %d %s %s %s\n", levelPath.c_str(), frames, frameFigures("world_", worldTimes).c_str(),
                frameFigures("wall_", frameTimes).c_str(), frameFigures("cpu_", cpuTimes).c_str());
    printPassTimes(resultStream(), "game", takePassTimes());
    return toolRunStatus("demo-bench");
}
