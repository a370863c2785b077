#include "scenes/sky.h"

// Placeholder until the sky programs land.
void initSkyShaders() {}
