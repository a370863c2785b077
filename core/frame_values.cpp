#include "core/frame_values.h"

// The console keeps only its switch so far; the overlay that reads it lives in app/.
unsigned char consoleVisible = 0;
