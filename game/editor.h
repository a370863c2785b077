// The level editor's state and its entry. The editor runs inside the game frame while
// editorMode is set.
#pragma once

#include "game/game_state.h"  // paletteMode, paletteCount

extern float cursorX;
extern float cursorY;
extern float cursorWidth;
extern float cursorHeight;
extern float stepX;
extern float stepY;
extern float gridSizeX;
extern float gridSizeY;
extern float frameStepX;
extern float frameStepY;
extern bool snapToGrid;
extern int selectedBoxType;
extern int selectedMeshId;
extern int selectedEnemyType;
extern bool liftDestinationPending;
extern bool flyerDestinationPending;
extern float startCursorX;
extern float startCursorY;
extern float savedCameraX;
extern float savedCameraY;

// Debug overlay on, cursor and camera restored, snapping on, "level1.level" read, enemies reset,
// console shown.
void initEditor();
// One frame of the editor's keys.
void editorInput();
// Keeps the cursor inside the middle third of the view by the step taken this frame.
void scrollEditorCamera();
// The first box (level 1..boxCount, or the palette's slots) / enemy (1..enemyCount) strictly
// overlapping the cursor; 0 / -1 when none.
int pickBoxAtCursor();
int findEnemyAtCursor();
// Border, box outlines, lift and flyer paths, enemy outlines and the cursor, over the game view.
void drawEditorOverlay();
void drawLiftPaths();
void drawFlyerPaths();
void drawEditorCursor();
