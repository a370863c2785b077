#include "app/main_loop_state.h"

SDL_Window* mainWindow = nullptr;
SDL_GLContext glContext = nullptr;
int quitRequested = 0;
unsigned char frameRoutineEnabled = 0;
