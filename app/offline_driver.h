// Runs the real start-up and then the frame routine on the virtual counter, at chosen music
// times, for the capture and benchmark tools and the tests. Music times are milliseconds after
// the music start.
#pragma once

// Switches to the virtual counter (and SDL's dummy audio driver unless another is set), opens
// the window and runs the start-up; false when either fails.
bool startDemoOffline();
// Moves the virtual clock to the music time without drawing.
void setMusicTimeMs(double musicMs);
// Prepares the beat clock as if frames of `stepMs` had run up to `musicMs`.
void seekMusicTimeMs(double musicMs, double stepMs);
// One frame routine at the music time, with frameDt of one step.
void driveFrameAt(double musicMs, double stepMs);
