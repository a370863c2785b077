// Program entry, the full-screen window with its OpenGL context, and the main loop.
#pragma once

#include "app/main_loop_state.h"  // mainWindow, glContext, quitRequested, frameRoutineEnabled
#include "core/screen_frame.h"

#include <SDL.h>

extern int frameCounter;
extern int presentCounter;
extern int nowMs;
extern int prevMs;

// The routine a main-loop pass calls from its fifth pass on; tests swap it for a stand-in.
extern int (*mainLoopFrameRoutine)();

int WinMain(void* instance, void* previousInstance, char* commandLine, int showCommand);
bool createMainWindow();
// Deletes the GL context, destroys the window and quits SDL.
void closeMainWindow();
// One pass of the main loop; false once the loop is to end.
bool runMainLoopPass();
void shutdownHook();
void emptyCallback();
void handleCharKey(char c);
