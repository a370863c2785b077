#include "game/game.h"

// Placeholders until the game lands; the demo's timeline never enters the game state.
void initDefaultLights() {}
void initEditor() {}
void restartGame() {}
void gameFrame() {}
