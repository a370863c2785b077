#include "app/screenshot.h"

unsigned char screenshotRequested = 0;

// Placeholder until screenshots land; nothing requests one in the demo.
void takeScreenshot() {}
