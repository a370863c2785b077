// The main loop's window and switches that the routines it calls read back: the frame routine
// (frameRoutineEnabled, quitRequested) and the start-up sequence (mainWindow, to present the
// loading screen). Kept below all three so the loop only calls down.
#pragma once

#include <SDL.h>

extern SDL_Window* mainWindow;
extern SDL_GLContext glContext;
extern int quitRequested;
// Set once start-up is done; the frame routine draws nothing before.
extern unsigned char frameRoutineEnabled;
