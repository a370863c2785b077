#include "core/frame_values.h"

int sceneStartMs = 0;
int beatFlags = 0;
float frameDt = 0.0f;
