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

// The game on the virtual clock, after startDemoOffline: switches the timeline off (the frame
// routine stays in the game state) and notes the clock as the game's time zero.
void startGameOffline();
// Game frame `frame` (1 is the first) at GAME_FRAME_MS x frame after time zero: one frame
// routine with frameDt of one frame.
void driveGameFrame(int frame);
constexpr double GAME_FRAME_MS = 1000.0 / 60.0;
// Drains the window events; true once a quit event has come (the window closed, or SIGTERM or
// SIGINT, which SDL turns into one).
bool offlineQuitRequested();
