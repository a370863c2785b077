// The Win32/WGL window path kept beside the SDL window; on this system only its state and its
// teardown exist.
#pragma once

constexpr int WIN32_KEY_COUNT = 512;
constexpr int WIN32_KEY_ESCAPE = 27;

extern bool win32Keys[WIN32_KEY_COUNT];

void destroyWin32GlWindow();
