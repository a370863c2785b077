// demo-capture --effect NAME --out DIR --at S1,S2,... [--step-ms MS]
// The effects built beside the timeline, seen through the real start-up: the effect's init
// runs once, sceneStartMs is set to the moment after it, and frames are stepped on the virtual
// clock (MS milliseconds apart, 16.667 by default) up to each time S (seconds after the
// effect's start), where the window's framebuffer is written as DIR/frame_<milliseconds>.png.
#pragma once

#include "tools/capture/capture_common.h"

#include <string>
#include <vector>

struct EffectCaptureOptions {
    std::string name;
    TimedCaptureOptions timed;  // the folder made and the times checked by the command line
    bool quiet = false;         // the start-up's loader lines dropped rather than sent to stderr
};

// The effects' names, in table order.
std::vector<std::string> effectNames();
// Exit status: 0 on success, 2 for an unknown effect, 1 when start-up, the effect's init or a
// file write fails, 4 when a quit event or SIGTERM stops the run.
int runEffectCapture(const EffectCaptureOptions& options);
