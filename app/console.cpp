#include "app/console.h"

// Placeholder until the console lands; it is hidden in the demo.
void drawConsole() {}
