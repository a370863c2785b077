// demo-capture --game --keys FILE --out DIR [--frames N] [--at-frames F1,...] [--hash-every K]
//              [--dump-at-frames F1,...] [--real-time] [--sounds] [--draw-captures-only]
// The real start-up, then N game frames (frame 1 is the first; 600 unless given) on the
// virtual clock at 60 Hz with the keys of the script. Prints "hash <frame> <16 hex>" after
// every K-th frame, "state <frame> <name> <value>" lines after each dump frame, and writes the
// picture of each capture frame as DIR/game_<frame>.png with
// "capture <frame> state -1 <file> scene game".
// Long runs belong under GALLIUM_NOOP=1; pictures come from short runs on a real rasteriser.
// --real-time paces the frames at 60 a second of wall time, so the mixer's output keeps step
// with the game (a run without it plays its sounds as fast as the frames come).
// --sounds prints "sound <frame> <index> <file>" for every sound the game plays in a frame.
// --draw-captures-only runs the other frames with no GL context current: the world and the
// draw routines' own state changes run, nothing is rasterised, so a picture late in a script
// costs one drawn frame (the first frame, which loads the assets, is always drawn).
#include "tools/capture/game_capture.h"

#include "app/frame.h"
#include "app/key_script.h"
#include "app/main_window.h"
#include "app/run_faults.h"
#include "app/offline_driver.h"
#include "app/tool_cli.h"  // ProgressLine, StdoutToStderr
#include "core/keyboard.h"
#include "core/program_exit.h"
#include "core/sound.h"
#include "game/game_hash.h"
#include "game/level_file.h"  // useLevelFolder
#include "tools/capture/capture_common.h"
#include "tools/capture/frame_grab.h"

#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <thread>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

int soundFrame = 0;

void printSound(int index)
{
    const char* file = index >= 0 && index < SOUND_COUNT ? soundFiles[index] : "?";
    std::fprintf(resultStream(), "sound %d %d %s\n", soundFrame, index, file);
}

void printState(int frame)
{
    for (const GameStateValue& entry : listGameState())
        std::printf("state %d %s %s\n", frame, entry.name.c_str(), entry.value.c_str());
}

}  // namespace

int runGameCapture(const GameCaptureOptions& options)
{
    std::vector<KeyEvent> events;
    std::string error;
    if (!readKeyScript(options.keysPath, events, error)) {
        std::fprintf(stderr, "demo-capture: %s\n", error.c_str());
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    // The editor's saves of a scripted run land below --out, never in the working directory.
    if (!useLevelFolder(options.outDir))
        return exitStatus(ExitCode::TOOL_FAILED);
    if (int status = startCaptureRun(options.quiet))
        return status;
    startGameOffline();
    static unsigned char keys[KEY_SCRIPT_ARRAY_SIZE] = {};
    setKeySource(keys, KEY_SCRIPT_ARRAY_SIZE);
    if (options.printSounds)
        soundObserver = printSound;
    SDL_GLContext context = SDL_GL_GetCurrentContext();

    const auto firstFrameTime = std::chrono::steady_clock::now();
    ProgressLine progress("demo-capture", options.frames, "game");
    for (int frame = 1; frame <= options.frames; ++frame) {
        progress.update(frame, frame * GAME_FRAME_MS / 1000.0);
        if (offlineQuitRequested()) {
            std::fprintf(stderr, "demo-capture: quit requested, stopping\n");
            return exitStatus(ExitCode::TOOL_INTERRUPTED);
        }
        if (options.realTime)
            std::this_thread::sleep_until(firstFrameTime + std::chrono::microseconds(1000000LL * (frame - 1) / 60));
        applyKeyEvents(events, frame, keys);
        soundFrame = frame;
        const bool drawn = !options.drawCapturesOnly || frame == 1 || options.captureFrames.count(frame);
        if (!drawn)
            SDL_GL_MakeCurrent(mainWindow, nullptr);
        {
            StdoutToStderr chatter(options.quiet);  // a frame that loads (the first, F1) says so
            driveGameFrame(frame);
        }
        if (!drawn)
            SDL_GL_MakeCurrent(mainWindow, context);
        if (options.hashEvery > 0 && frame % options.hashEvery == 0)
            std::printf("hash %d %016" PRIx64 "\n", frame, hashGameState());
        if (options.dumpFrames.count(frame))
            printState(frame);
        if (options.captureFrames.count(frame)) {
            char name[32];
            std::snprintf(name, sizeof name, "game_%05d.png", frame);
            std::string path = options.outDir + "/" + name;
            if (!writeWindowPng(path)) {
                std::fprintf(stderr, "demo-capture: cannot write %s\n", path.c_str());
                return exitStatus(ExitCode::TOOL_FAILED);
            }
            std::printf("capture %d state %d %s scene %s\n", frame, demoState, path.c_str(), stateSceneName(demoState));
            SDL_GL_SwapWindow(mainWindow);
        }
        std::fflush(stdout);
    }
    progress.finish();
    setKeySource(nullptr, 0);
    soundObserver = nullptr;
    closeMainWindow();
    return toolRunStatus("demo-capture");
}
