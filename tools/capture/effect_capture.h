// demo-capture --effect NAME --out DIR --at S1,S2,... [--step-ms MS]
// The effects built beside the timeline, seen through the real start-up: the effect's init
// runs once, sceneStartMs is set to the moment after it, and frames are stepped on the virtual
// clock (MS milliseconds apart, 16.667 by default) up to each time S (seconds after the
// effect's start), where the window's framebuffer is written as DIR/frame_<milliseconds>.png.
#pragma once

// Whether the command line asks for an effect capture.
bool wantsEffectCapture(int argc, char** argv);
// Exit status: 0 on success, 2 for a bad command line, 1 when start-up, the effect's init or
// a file write fails, 4 when a quit event or SIGTERM stops the run.
int runEffectCapture(int argc, char** argv);
