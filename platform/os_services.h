// Stand-ins for the Windows services the engine expects: the high-resolution performance
// counter, message boxes and the mouse cursor.
#pragma once

#include <cstdint>

// Counter ticks and ticks per second. The program always reads SDL's counter; tests and tools
// may switch to a virtual counter they advance themselves (same frequency, ticks = ns).
int64_t readPerformanceCounter();
int64_t readPerformanceFrequency();
void useVirtualCounter(bool enabled);
void setVirtualCounter(int64_t ticks);
bool virtualCounterInUse();

// Icon flags as the engine passes them.
constexpr unsigned MESSAGE_BOX_ICON_WARNING = 0x30;

// The text always goes to stderr; a dialog opens only when a person at this terminal can
// answer it, so automated runs (no terminal, Xvfb) never block.
void showMessageBox(const char* text, const char* caption, unsigned flags);

void showMouseCursor(bool visible);
