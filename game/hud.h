// The heads-up display: the bar with the weapon panel, health, lives, score, orbs left and the
// frame-rate counter.
#pragma once

void loadHudTextures();
void drawHudDigits(const char* text, float x, float y);
void drawHud();
