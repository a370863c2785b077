// The frame routine and the music-driven scene timeline. Times: musicTime/timelineT in 32-row
// units; the per-frame values the scenes read are in core/frame_values.h.
#pragma once

#include "core/frame_values.h"

// Timeline states.
constexpr int STATE_GAME = -1;
constexpr int STATE_RINGS = 16;
constexpr int STATE_TUNNEL = 17;
constexpr int STATE_LOGO_GLOW = 18;
constexpr int STATE_PICTURE = 19;
constexpr int STATE_FLYOVER = 20;
constexpr int STATE_PLASMA = 21;
constexpr int STATE_PALETTE_LOGO = 22;
constexpr int STATE_RADIAL_BLUR = 23;
constexpr int STATE_DISCO_BALL = 24;
// The legacy environment state (app/legacy_states.h), which the timeline never assigns.
constexpr int STATE_LEGACY_MODELS = 25;

// Timeline position past which the demo ends (175.01 s after the music start).
constexpr float TIMELINE_END = 49.5f;
// musicTime runs this far ahead of the timeline.
constexpr double TIMELINE_OFFSET = 0.45;

extern float timelineT;
extern int demoState;
extern int prevDemoState;
extern float fpsAverage;
extern int shadowDebugView;
extern unsigned char gameFirstFrame;
// 1 (the demo): the timeline assigns demoState every frame and ends the program after its last
// scene. 0 (the game's way in): both are skipped, so demoState keeps its value; at its initial
// -1 the frame routine runs the game.
extern unsigned char timelineDrivesState;

int renderFrame();
// The timeline state for position t (every t maps to a scene state).
int timelineStateAt(float t);
// The position the state's scene follows on from (the previous scene's end; -infinity for the
// first scene and the game state).
float timelineStateBeginT(int state);
// The state the frame routine picks at a music time (milliseconds after the music start).
int timelineStateAtMusicMs(double musicMs);
// Music time in seconds at which a state begins (0 for the first; -1 for the game state).
double stateStartSeconds(int state);
const char* stateSceneName(int state);

void rotateCameraUp(float* v, float angleX, float angleY, float angleZ);
void clearScreen();
void drawInwardBox();
