#include "game/game.h"

#include "render/lights.h"

// The start-up's light set-up, kept with the game's assets.
void initDefaultLights()
{
    presetRandomOrbitLights();
    applyLightPreset(6);
}

// Placeholders until the game lands; the demo's timeline never enters the game state.
void initEditor() {}
void restartGame() {}
void gameFrame() {}
