#pragma once

#include <set>
#include <string>

struct GameCaptureOptions {
    std::string keysPath;
    std::string outDir;         // made by the command line's checks
    int frames = 600;           // game frames; frame 1 is the first
    std::set<int> captureFrames;  // none past `frames`
    std::set<int> dumpFrames;     // none past `frames`
    int hashEvery = 0;          // 0: no hash lines
    bool realTime = false;
    bool printSounds = false;
    bool drawCapturesOnly = false;
    bool quiet = false;         // the start-up's loader lines dropped rather than sent to stderr
};

// demo-capture --game ...: the game on the virtual clock under a key script. Returns the exit
// status.
int runGameCapture(const GameCaptureOptions& options);
