#include "render/lights.h"

// Placeholders until the light table lands.
void initLightGlowParticles() {}
void presetRandomOrbitLights() {}
