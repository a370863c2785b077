// The game's one entry point: either an editor frame or a game frame of 20 equal substeps whose
// size follows the elapsed time (at most 80 ms per frame), one render, the view-restart wipe
// after a death, the HUD and the keyboard refresh.
#pragma once

#include "game/game_state.h"  // the frame's timing and mode

#include <cstdint>

constexpr int MAX_GAME_FRAME_MS_PER_SUBSTEP = 4;   // the cap is 4 x substepCount ms
constexpr float WIPE_SPEED = 384.0f;               // pixels per 60 Hz frame

// The substep factor of a frame that took elapsedMs (capped, and 0 for a negative time).
float substepFactorFor(int32_t elapsedMs);

void gameFrame();
// Called by gameFrame right before (false) and after (true) its world update; the benchmark
// times the world step apart from the frame through it. Null: nobody listens.
extern void (*worldStepObserver)(bool finished);
// The world update of one game frame without any drawing: the timing, the substeps and the
// camera (what gameFrame does before it renders).
void stepGameWorld();

// One step of the view-restart wipe (the old view blends to the start view).
void runViewRestartWipeStep();
