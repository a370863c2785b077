// What the capture modes share: the timeline and effect modes' --out DIR, --at S1,S2,... and
// --step-ms MS, the start-up every mode runs, and the limits the command line checks.
#pragma once

#include <string>
#include <vector>

struct TimedCaptureOptions {
    std::string outDir;
    std::vector<double> timesSeconds;  // seconds, none negative
    double stepMs = 16.667;
};

// The show's length in music seconds: the timeline's last scene ends there, and no capture
// time lies past it.
double showEndSeconds();

// Runs the real start-up offline, its loader lines on stderr (nowhere when `quiet`): 0 when
// the capture can go on, else the exit status, said on stderr (start-up failed, or a shader
// program failed to build).
int startCaptureRun(bool quiet);
