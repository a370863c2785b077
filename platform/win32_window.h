// The Win32/WGL window path, over the platform's window services: a window class "OpenGL" with
// its own window procedure, an optional display-mode change for full screen, a pixel format, a
// GL context, and the matching teardown (its creation, which also starts the clock, is
// app/win32_gl_window.h). The program opens its window through SDL instead; of this path the
// main loop reads windowActive and the Escape entry of win32Keys, and WinMain calls the
// teardown when start-up fails.
#pragma once

#include "platform/win32_services.h"

#include <cstdint>

constexpr int WIN32_KEY_COUNT = 512;
constexpr int WIN32_KEY_ESCAPE = 27;
// The class of the path's window.
constexpr char WIN32_WINDOW_CLASS[] = "OpenGL";

extern NativeModule* win32Instance;
extern NativeWindow* win32Window;
extern DrawingSurface* win32DeviceContext;
extern GlRenderContext* win32RenderContext;
// Full screen requested or active; initially set.
extern unsigned char win32Fullscreen;
// 1 while a virtual key is down, indexed by virtual-key code; set by the window procedure.
extern bool win32Keys[WIN32_KEY_COUNT];
// The window is not minimised; written by the window procedure, read by the main loop.
extern unsigned char windowActive;

// Releases what exists, in order, with a box for each step that fails, then restores the
// display mode (when full screen) and unregisters the class.
void destroyWin32GlWindow();
// The class's window procedure: activation into windowActive, close into a quit request, key
// codes into win32Keys (codes past the table are ignored), size into the viewport.
uint32_t win32WindowProc(NativeWindow* window, const WindowMessage& message);
// Viewport (0, 0, width, height) with a height of 0 taken as 1; projection and modelview reset.
void reshapeViewport(int width, int height);
