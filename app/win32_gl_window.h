// Opening the GL window the Win32/WGL way, over the platform's window services (the path's
// state, window procedure and teardown are in platform/win32_window.h). It starts the clock's
// frequency on the way, so it sits above the clock. Nothing in the program calls it: the
// program opens its window through SDL.
#pragma once

// Opens a window of width x height (client area) with a current GL context; false after an
// error box. Full screen asks to fall back to a window when the display has no such mode.
bool createWin32GlWindow(const char* title, int width, int height, int colourBits, unsigned char fullscreen);
