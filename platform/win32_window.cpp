#include "platform/win32_window.h"

bool win32Keys[WIN32_KEY_COUNT] = {};

// There is no Win32 window here, so nothing to tear down.
void destroyWin32GlWindow() {}
