// What the process does when the display server goes away under it.
#pragma once

// Installs the handler Xlib calls when the X connection breaks (the server quit or was killed).
// Xlib's own handler calls exit(), whose teardown releases GL objects from inside the driver
// call that found the connection gone, and that crashes.
void installDisplayLossHandler();

// What the handler does: says which display was lost on stderr, flushes the standard streams
// and ends the process with status 1 at once, running no exit handlers or destructors.
[[noreturn]] void endProcessOnDisplayLoss(const char* displayName);
