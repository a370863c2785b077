// The action game and its editor, entered only from the frame routine's game state.
#pragma once

void initDefaultLights();
void initEditor();
void restartGame();
void gameFrame();
