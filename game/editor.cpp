#include "game/editor.h"

#include "core/data_files.h"     // debugLog
#include "core/frame_values.h"   // consoleVisible
#include "core/keyboard.h"
#include "game/enemies.h"
#include "game/game_camera.h"
#include "game/game_frame.h"     // editorMode, gameHasGlContext
#include "game/game_scene.h"     // debugOverlay
#include "game/level_file.h"
#include "game/player.h"
#include "game/restart.h"
#include "platform/gl_api.h"

#include <SDL_scancode.h>

float cursorX = 0.0f;
float cursorY = 0.0f;
float cursorWidth = 50.0f;
float cursorHeight = 50.0f;
float stepX = 1.0f;
float stepY = 1.0f;
float gridSizeX = 10.0f;
float gridSizeY = 10.0f;
float frameStepX = 0.0f;
float frameStepY = 0.0f;
bool snapToGrid = false;
int selectedBoxType = 0;
int selectedMeshId = 0;
int selectedEnemyType = 0;
bool paletteMode = false;
int paletteCount = 0;
bool liftDestinationPending = false;
bool flyerDestinationPending = false;
float startCursorX = 960.0f;
float startCursorY = 540.0f;
float savedCameraX = 0.0f;
float savedCameraY = 0.0f;

static constexpr int EDITOR_BLANK_LINES = 80;

static const char* glString(GLenum name)
{
    if (!gameHasGlContext())
        return "";
    const GLubyte* s = glGetString(name);
    return s ? reinterpret_cast<const char*>(s) : "";
}

void initEditor()
{
    debugOverlay = 1;
    cursorX = startCursorX;
    cursorY = startCursorY;
    gameCameraX = savedCameraX;
    gameCameraY = savedCameraY;
    snapToGrid = true;
    readLevel(LEVEL_FILE_NAME);
    resetEnemies();
    consoleVisible = 1;
    for (int i = 0; i < EDITOR_BLANK_LINES; ++i)
        debugLog("\n");
    debugLog("editor initialized\n");
    debugLog("opengl version >>>%s<<<\n", glString(GL_VERSION));
    debugLog("glsl version >>>%s<<<\n", glString(GL_SHADING_LANGUAGE_VERSION));
}

// Of the editor's keys only F1 (back to the game) is served so far, so the game is never stuck
// in the editor; the others and the overlay come with the editor itself.
void editorInput()
{
    pollKeyboardState();
    if (keyboardState.pressed[SDL_SCANCODE_F1]) {
        editorMode = !editorMode;
        playerX = cursorX;
        playerY = cursorY;
        startCursorX = cursorX;
        startCursorY = cursorY;
        savedCameraX = gameCameraX;
        savedCameraY = gameCameraY;
        writeLevel(LEVEL_FILE_NAME);
        restartGame();
    }
}

void drawEditorOverlay() {}
