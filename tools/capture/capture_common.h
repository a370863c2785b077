// What the capture modes share: the timeline and effect modes' --out DIR, --at S1,S2,... and
// --step-ms MS, and the start-up every mode runs.
#pragma once

#include <string>
#include <vector>

struct TimedCaptureOptions {
    std::string outDir;
    std::vector<double> timesSeconds;  // seconds, none negative
    double stepMs = 16.667;
};

// Appends the comma-separated times (seconds, none negative) of `text`; false when an item is
// empty or not a number, or the list is empty.
bool parseTimeList(const char* text, std::vector<double>& times);

enum class OptionMatch { TAKEN, NOT_SHARED, BAD };
// Reads argv[i] (and its value, moving i past it) when it is one of the shared options.
// BAD when it is one whose value is missing or unusable.
OptionMatch readTimedCaptureOption(int argc, char** argv, int& i, TimedCaptureOptions& options);

// Runs the real start-up offline: 0 when the capture can go on, else the exit status, said on
// stderr (start-up failed, or a shader program failed to build).
int startCaptureRun();
