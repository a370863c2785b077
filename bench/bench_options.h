// What demo-bench's command line gives its three modes (the scenes, --game FILE and
// --game-scenarios). A new option is a field here and one line in demo_bench.cpp's parser.
#pragma once

#include <string>

struct BenchOptions {
    int frames = 0;          // frames per scene or scenario; 0: the mode's own default
    std::string levelPath;   // --game: the level
    std::string keysPath;    // --game: the key script (empty: the built-in walk)
    std::string csvPath;     // one row a frame when not empty
    bool quiet = false;      // the start-up's loader lines dropped rather than sent to stderr
    bool passes = false;     // each pass's GPU time from timer queries
};

// The real start-up offline, its loader lines on stderr (nowhere when `quiet`); false, said on
// stderr, when it fails.
bool startBenchOffline(bool quiet);
