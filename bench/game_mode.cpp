// demo-bench --game FILE [--keys SCRIPT] [--frames N]
// Starts the game on the level FILE and plays N frames (600 unless given) of the key script (a
// built-in walk with jumps unless given) on the virtual clock, timing each whole frame routine
// and, apart, the world step inside it (the 20 substeps). Prints
// "game <file> frames <n> world_median_ms <x> world_max_ms <y> frame_median_ms <z> frame_max_ms <w>".
// With GALLIUM_NOOP=1 the frame figures are the CPU cost of a frame.
#include "bench/game_mode.h"

#include "app/frame.h"
#include "app/key_script.h"
#include "app/offline_driver.h"
#include "core/keyboard.h"
#include "game/game.h"
#include "game/game_frame.h"
#include "game/level_file.h"
#include "game/restart.h"
#include "gfx/pass_timer.h"
#include "platform/gl_api.h"
#include "render/lights.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double maximum(const std::vector<double>& values)
{
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

}  // namespace

int runGameBench(int argc, char** argv)
{
    std::string levelPath;
    std::string keysPath;
    int frames = 600;
    bool passes = false;
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--game") && hasValue)
            levelPath = argv[++i];
        else if (!std::strcmp(argv[i], "--keys") && hasValue)
            keysPath = argv[++i];
        else if (!std::strcmp(argv[i], "--frames") && hasValue)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--passes"))
            passes = true;
        else
            levelPath.clear(), i = argc;
    }
    if (levelPath.empty()) {
        std::fprintf(stderr, "usage: demo-bench --game FILE [--keys SCRIPT] [--frames N] [--passes]\n");
        return 2;
    }
    std::vector<KeyEvent> events;
    std::string error;
    bool scriptOk = keysPath.empty() ? parseKeyScript(DEFAULT_SCRIPT, events, error)
                                     : readKeyScript(keysPath, events, error);
    if (!scriptOk) {
        std::fprintf(stderr, "demo-bench: %s\n", error.c_str());
        return 2;
    }
    if (!startDemoOffline()) {
        std::fprintf(stderr, "demo-bench: start-up failed\n");
        return 1;
    }
    if (passes)
        enablePassTimer();
    startGameOffline();
    // The frame routine's first game frame, with the level read in place of the editor's.
    initEditor();
    if (!readLevel(levelPath.c_str())) {
        std::fprintf(stderr, "demo-bench: cannot read level %s\n", levelPath.c_str());
        return 1;
    }
    presetRandomOrbitLights();
    restartGame();
    gameFirstFrame = 0;

    static unsigned char keys[KEY_SCRIPT_ARRAY_SIZE] = {};
    setKeySource(keys, KEY_SCRIPT_ARRAY_SIZE);
    worldStepObserver = timeWorldStep;
    std::vector<double> frameTimes;
    for (int frame = 1; frame <= frames; ++frame) {
        applyKeyEvents(events, frame, keys);
        BenchClock::time_point start = BenchClock::now();
        driveGameFrame(frame);
        passTimerFrameDone();
        glFinish();
        frameTimes.push_back(std::chrono::duration<double, std::milli>(BenchClock::now() - start).count());
    }
    worldStepObserver = nullptr;
    setKeySource(nullptr, 0);
    std::printf("game %s frames %d world_median_ms %.3f world_max_ms %.3f frame_median_ms %.3f frame_max_ms %.3f\n",
                levelPath.c_str(), frames, median(worldTimes), maximum(worldTimes), median(frameTimes),
                maximum(frameTimes));
    printPassTimes("game", takePassTimes());
    return 0;
}
