// GPU time of a frame's passes, by GL timestamp queries. Off unless a tool turns it on, and then
// each beginPass/endPass pair writes two timestamps; a frame's results are read back when its
// slot comes round again, several frames later, so timing never waits for the GPU. Passes may
// nest; a name met twice in one frame adds up.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Creates the queries (needs a current context). Until it runs, every call below does nothing.
void enablePassTimer();
void disablePassTimer();
bool passTimerEnabled();

// name: a string that outlives the timer (a literal).
void beginPass(const char* name);
void endPass();

// Closes the frame's passes: once per frame, after the frame is submitted.
void passTimerFrameDone();

struct PassTime {
    std::string name;
    int frames;        // frames in which the pass ran
    double medianMs;   // over those frames
    double maxMs;
};

// Waits for every frame still in flight, then returns each pass's figures since the last take
// (in the order the passes first ran) and starts counting afresh.
std::vector<PassTime> takePassTimes();

// Writes one line "<prefix> pass <name> frames <n> gpu_median_ms <x> gpu_max_ms <y>" per pass.
void printPassTimes(std::FILE* out, const char* prefix, const std::vector<PassTime>& times);
