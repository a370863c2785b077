// Module values of the scenes that other subsystems write.
#include "scenes/scenes.h"

unsigned char pictureHoldDone = 0;
float flyoverCameraSegment = 0.0f;
int flyoverFrameCount = 0;
float pathCameraHistory[12] = {};
