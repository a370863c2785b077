// demo-capture --game --keys FILE --out DIR [--frames N] [--at-frames F1,...] [--hash-every K]
//              [--dump-at-frames F1,...] [--real-time] [--sounds] [--draw-captures-only]
// The real start-up, then N game frames (frame 1 is the first; 600 unless given) on the
// virtual clock at 60 Hz with the keys of the script. Prints "hash <frame> <16 hex>" after
// every K-th frame, "state <frame> <name> <value>" lines after each dump frame, and writes the
// picture of each capture frame as DIR/game_<frame>.png with "capture <frame> state -1 <file>".
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

constexpr int DEFAULT_GAME_FRAMES = 600;

struct GameCaptureOptions {
    std::string keysPath;
    std::string outDir;
    int frames = DEFAULT_GAME_FRAMES;
    std::set<int> captureFrames;
    std::set<int> dumpFrames;
    int hashEvery = 0;
    bool realTime = false;
    bool printSounds = false;
    bool drawCapturesOnly = false;
};

int soundFrame = 0;

void printSound(int index)
{
    const char* file = index >= 0 && index < SOUND_COUNT ? soundFiles[index] : "?";
    std::printf("sound %d %d %s\n", soundFrame, index, file);
}

bool parsePositive(const char* text, int& value)
{
    char* end = nullptr;
    long parsed = std::strtol(text, &end, 10);
    if (!*text || *end != '\0' || parsed < 1 || parsed > INT_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseFrameList(const char* text, std::set<int>& frames)
{
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        int frame = 0;
        if (!parsePositive(item.c_str(), frame))
            return false;
        frames.insert(frame);
    }
    return !frames.empty();
}

bool parseOptions(int argc, char** argv, GameCaptureOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--game"))
            continue;
        if (!std::strcmp(arg, "--real-time")) {
            options.realTime = true;
            continue;
        }
        if (!std::strcmp(arg, "--sounds")) {
            options.printSounds = true;
            continue;
        }
        if (!std::strcmp(arg, "--draw-captures-only")) {
            options.drawCapturesOnly = true;
            continue;
        }
        if (!hasValue)
            return false;
        const char* value = argv[++i];
        bool ok = true;
        if (!std::strcmp(arg, "--keys"))
            options.keysPath = value;
        else if (!std::strcmp(arg, "--out"))
            options.outDir = value;
        else if (!std::strcmp(arg, "--frames"))
            ok = parsePositive(value, options.frames);
        else if (!std::strcmp(arg, "--at-frames"))
            ok = parseFrameList(value, options.captureFrames);
        else if (!std::strcmp(arg, "--hash-every"))
            ok = parsePositive(value, options.hashEvery);
        else if (!std::strcmp(arg, "--dump-at-frames"))
            ok = parseFrameList(value, options.dumpFrames);
        else
            ok = false;
        if (!ok)
            return false;
    }
    return !options.keysPath.empty() && !options.outDir.empty();
}

void printState(int frame)
{
    for (const GameStateValue& entry : listGameState())
        std::printf("state %d %s %s\n", frame, entry.name.c_str(), entry.value.c_str());
}

}  // namespace

int runGameCapture(int argc, char** argv)
{
    GameCaptureOptions options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: demo-capture --game --keys FILE --out DIR [--frames N] [--at-frames F1,...] "
                             "[--hash-every K] [--dump-at-frames F1,...] [--real-time] [--sounds] "
                             "[--draw-captures-only]\n");
        return exitStatus(ExitCode::TOOL_USAGE);
    }
    std::vector<KeyEvent> events;
    std::string error;
    if (!readKeyScript(options.keysPath, events, error)) {
        std::fprintf(stderr, "demo-capture: %s\n", error.c_str());
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    std::error_code ignored;
    std::filesystem::create_directories(options.outDir, ignored);
    // The editor's saves of a scripted run land below --out, never in the working directory.
    if (!useLevelFolder(options.outDir))
        return exitStatus(ExitCode::TOOL_FAILED);
    if (int status = startCaptureRun())
        return status;
    startGameOffline();
    static unsigned char keys[KEY_SCRIPT_ARRAY_SIZE] = {};
    setKeySource(keys, KEY_SCRIPT_ARRAY_SIZE);
    if (options.printSounds)
        soundObserver = printSound;
    SDL_GLContext context = SDL_GL_GetCurrentContext();

    const auto firstFrameTime = std::chrono::steady_clock::now();
    for (int frame = 1; frame <= options.frames; ++frame) {
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
        driveGameFrame(frame);
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
            std::printf("capture %d state %d %s\n", frame, demoState, path.c_str());
            SDL_GL_SwapWindow(mainWindow);
        }
        std::fflush(stdout);
    }
    setKeySource(nullptr, 0);
    soundObserver = nullptr;
    closeMainWindow();
    return toolRunStatus("demo-capture");
}
