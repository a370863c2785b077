// BMP screenshots of the frame, written when requested.
#pragma once

extern unsigned char screenshotRequested;

void takeScreenshot();
