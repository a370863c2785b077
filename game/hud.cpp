#include "game/hud.h"

// The HUD changes no game state; its textures and quads come with it.
void loadHudTextures() {}
void drawHudDigits(const char*, float, float) {}
void drawHud() {}
