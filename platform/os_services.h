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

// Button and icon flags as the engine passes them.
constexpr unsigned MESSAGE_BOX_BUTTONS_YES_NO = 0x04;
constexpr unsigned MESSAGE_BOX_ICON_STOP = 0x10;
constexpr unsigned MESSAGE_BOX_ICON_WARNING = 0x30;  // also the exclamation mark
constexpr unsigned MESSAGE_BOX_ICON_INFORMATION = 0x40;
constexpr unsigned MESSAGE_BOX_ICON_MASK = 0xF0;

// Who answers: a person (a dialog opens where one can answer), or nobody, with the answer
// given here for every question (tests set it; then no dialog opens at all).
enum class MessageBoxAnswer { PERSON, YES, NO };
void presetMessageBoxAnswer(MessageBoxAnswer answer);

// The text always goes to stderr; a dialog opens only when a person at this terminal can
// answer it, so automated runs (no terminal, Xvfb) never block.
void showMessageBox(const char* text, const char* caption, unsigned flags);
// A Yes/No question, true for Yes. Printed on stderr with its answer; where nobody can answer,
// the answer is Yes.
bool askYesNo(const char* text, const char* caption, unsigned flags);

void showMouseCursor(bool visible);
