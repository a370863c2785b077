// The 14-light table, its presets and flash lights.
#pragma once

void initLightGlowParticles();
void presetRandomOrbitLights();
