#include "game/editor.h"

#include "core/data_files.h"     // debugLog
#include "core/frame_values.h"   // consoleVisible
#include "core/keyboard.h"
#include "game/enemies.h"
#include "game/game_state.h"  // gameHasGlContext, debugOverlay, gameCameraX, gameCameraY, ...
#include "game/level_file.h"
#include "game/restart.h"
#include "game/boxes.h"
#include "game/game_resources.h"  // tileModelFor
#include "gfx/model.h"
#include "gfx/textures.h"
#include "platform/crt_random.h"
#include "platform/gl_api.h"

#include <SDL_scancode.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

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

namespace {

constexpr float CURSOR_DEFAULT_SIZE = 50.0f;
constexpr float CURSOR_MIN_SIZE = 3.0f;
constexpr float CURSOR_MAX_SIZE = 400.0f;
constexpr float GRID_MIN = 10.0f;
constexpr float GRID_MAX = 400.0f;
constexpr float GRID_STEP = 10.0f;
constexpr float FAST_STEP = 100.0f;       // RCTRL with an arrow
constexpr float SCROLL_MARGIN_X = VIEW_WIDTH / 3.0f;
constexpr float SCROLL_MARGIN_Y = VIEW_HEIGHT / 3.0f;
constexpr float NEW_LIFT_SPEED = 5.0f;
constexpr float NEW_PATH_SPEED = 4.0f;

// The view each of the two editor views had when the other was shown.
float levelCameraX = 0.0f, levelCameraY = 0.0f, levelCursorX = 0.0f, levelCursorY = 0.0f;
float paletteCameraX = 0.0f, paletteCameraY = 0.0f, paletteCursorX = 0.0f, paletteCursorY = 0.0f;

bool pressed(SDL_Scancode key)
{
    return keyboardState.pressed[key] != 0;
}

bool held(SDL_Scancode key)
{
    return keyboardState.held[key] != 0;
}

bool withShift()
{
    return held(SDL_SCANCODE_LSHIFT) || held(SDL_SCANCODE_RSHIFT);
}

// Names for the log: never past the tables, never from a tile model that is not loaded.
const char* boxTypeName(int type)
{
    return type >= 0 && type < BOX_TYPE_COUNT ? boxTypeNames[type] : "unknown";
}

const char* enemyTypeName(int type)
{
    return type >= 0 && type < ENEMY_TYPE_COUNT ? enemyTypeNames[type] : "unknown";
}

const char* tileModelName(int meshId)
{
    const Model* model = tileModelFor(meshId);
    if (!model)
        return "not loaded";
    return model->textureSet >= 0 && model->textureSet < textureSetCount ? textureSets[model->textureSet].name
                                                                           : "no texture set";
}

void logSelectedMesh()
{
    if (selectedMeshId < 0)
        debugLog("selected mesh id - void (none)\n");
    else
        debugLog("selected mesh id - %d (%s)\n", selectedMeshId, tileModelName(selectedMeshId));
}

// The two views trade places: the game camera and cursor of the one left are kept, the other's
// come back. Turning the palette on parks the level in "temp.level" first; when that cannot
// be written the level view stays, or its unsaved work would be lost on the way back.
void togglePaletteView()
{
    if (!paletteMode) {
        if (!writeLevel(TEMP_LEVEL_FILE_NAME)) {
            std::fprintf(stderr, "editor: the level could not be parked in %s; the palette stays hidden\n",
                TEMP_LEVEL_FILE_NAME);
            return;
        }
        paletteMode = true;
        levelCameraX = gameCameraX;
        levelCameraY = gameCameraY;
        gameCameraX = paletteCameraX;
        gameCameraY = paletteCameraY;
        readPalette();
        levelCursorX = cursorX;
        levelCursorY = cursorY;
        cursorX = paletteCursorX;
        cursorY = paletteCursorY;
    } else {
        paletteMode = false;
        paletteCameraX = gameCameraX;
        paletteCameraY = gameCameraY;
        gameCameraX = levelCameraX;
        gameCameraY = levelCameraY;
        writePalette();
        readLevel(TEMP_LEVEL_FILE_NAME);
        paletteCursorX = cursorX;
        paletteCursorY = cursorY;
        cursorX = levelCursorX;
        cursorY = levelCursorY;
    }
}

void moveCursor()
{
    const bool resize = held(SDL_SCANCODE_RSHIFT);
    const bool fast = held(SDL_SCANCODE_RCTRL);
    if (held(SDL_SCANCODE_UP)) {
        if (resize)
            cursorHeight = std::min(cursorHeight + stepY, CURSOR_MAX_SIZE);
        else if (fast) {
            cursorY += FAST_STEP;
            frameStepY = FAST_STEP;
        } else
            cursorY += stepY;
    }
    if (held(SDL_SCANCODE_DOWN)) {
        if (resize)
            cursorHeight = std::max(cursorHeight - stepY, CURSOR_MIN_SIZE);
        else if (fast) {
            cursorY -= FAST_STEP;
            frameStepY = FAST_STEP;
        } else
            cursorY -= stepY;
    }
    if (held(SDL_SCANCODE_LEFT)) {
        if (resize)
            cursorWidth = std::max(cursorWidth - stepX, CURSOR_MIN_SIZE);
        else if (fast) {
            cursorX -= FAST_STEP;
            frameStepX = FAST_STEP;
        } else
            cursorX -= stepX;
    }
    if (held(SDL_SCANCODE_RIGHT)) {
        if (resize)
            cursorWidth = std::min(cursorWidth + stepX, CURSOR_MAX_SIZE);
        else if (fast) {
            cursorX += FAST_STEP;
            frameStepX = FAST_STEP;
        } else
            cursorX += stepX;
    }
}

void changeSelections()
{
    if (pressed(SDL_SCANCODE_A)) {
        selectedMeshId = std::max(selectedMeshId - 1, MESH_ID_NONE);
        logSelectedMesh();
    }
    if (pressed(SDL_SCANCODE_S)) {
        selectedMeshId = std::min(selectedMeshId + 1, MESH_ID_MAX);
        logSelectedMesh();
    }
    if (pressed(SDL_SCANCODE_Q)) {
        selectedBoxType = std::max(selectedBoxType - 1, 0);
        debugLog("selected box type - %d - %s\n", selectedBoxType, boxTypeName(selectedBoxType));
    }
    if (pressed(SDL_SCANCODE_W)) {
        selectedBoxType = std::min(selectedBoxType + 1, BOX_TYPE_COUNT - 1);
        debugLog("selected box type - %d - %s\n", selectedBoxType, boxTypeName(selectedBoxType));
    }
    if (pressed(SDL_SCANCODE_R)) {
        selectedEnemyType = std::max(selectedEnemyType - 1, 0);
        debugLog("selected enemy type - %d - %s\n", selectedEnemyType, enemyTypeName(selectedEnemyType));
    }
    if (pressed(SDL_SCANCODE_T)) {
        selectedEnemyType = std::min(selectedEnemyType + 1, ENEMY_TYPE_COUNT - 1);
        debugLog("selected enemy type - %d - %s\n", selectedEnemyType, enemyTypeName(selectedEnemyType));
    }
}

void stampBoxFromCursor(int i)
{
    boxTable.x[i] = cursorX;
    boxTable.y[i] = cursorY;
    boxTable.width[i] = cursorWidth;
    boxTable.height[i] = cursorHeight;
    boxTable.type[i] = selectedBoxType;
    boxTable.meshId[i] = selectedMeshId;
}

void placeBox()
{
    if (withShift()) {
        cursorWidth = CURSOR_DEFAULT_SIZE;
        cursorHeight = CURSOR_DEFAULT_SIZE;
    } else if (liftDestinationPending) {
        noteLevelEdited();
        const int i = boxCount;
        boxTable.liftStartX[i] = boxTable.x[i];
        boxTable.liftStartY[i] = boxTable.y[i];
        boxTable.liftRangeX[i] = cursorX - boxTable.x[i];
        boxTable.liftRangeY[i] = cursorY - boxTable.y[i];
        boxTable.reserved[i] = 0;
        boxTable.liftState[i] = 0;
        boxTable.liftSpeed[i] = NEW_LIFT_SPEED;
        boxTable.liftFlag[i] = 0;
        liftDestinationPending = false;
    } else if (paletteMode) {
        notePaletteEdited();
        paletteCount = std::min(paletteCount + 1, MAX_PALETTE_COUNT);
        stampBoxFromCursor(PALETTE_FIRST_SLOT + paletteCount);
        debugLog("boxxescount = %d\n", paletteCount);
        debugLog("put box type %d - %s\n", selectedBoxType, boxTypeName(selectedBoxType));
    } else {
        noteLevelEdited();
        // A full level overwrites its last box.
        boxCount = std::min(boxCount + 1, MAX_LEVEL_BOXES);
        stampBoxFromCursor(boxCount);
        debugLog("boxxescount = %d\n", boxCount);
        debugLog("put box type %d - %s\n", selectedBoxType, boxTypeName(selectedBoxType));
        if (selectedBoxType == BOX_LIFT) {
            liftDestinationPending = true;
            debugLog("set top-right destination for the lift (position and hit space)\n");
        }
    }
}

void copyBoxIntoCursor()
{
    const int k = pickBoxAtCursor();
    if (k == 0)
        return;
    cursorX = boxTable.x[k];
    cursorY = boxTable.y[k];
    cursorWidth = boxTable.width[k];
    cursorHeight = boxTable.height[k];
    selectedBoxType = boxTable.type[k];
    selectedMeshId = boxTable.meshId[k];
    if (selectedMeshId < 0)
        debugLog("item order id = %d, type = %d, mesh = %d (void)\n", k, selectedBoxType, selectedMeshId);
    else
        debugLog("item order id = %d, type = %d, mesh = %d (%s)\n", k, selectedBoxType, selectedMeshId,
            tileModelName(selectedMeshId));
}

void copyBox(int to, int from)
{
    BoxTable& b = boxTable;
    b.x[to] = b.x[from];
    b.y[to] = b.y[from];
    b.width[to] = b.width[from];
    b.height[to] = b.height[from];
    b.type[to] = b.type[from];
    b.meshId[to] = b.meshId[from];
    b.liftStartX[to] = b.liftStartX[from];
    b.liftStartY[to] = b.liftStartY[from];
    b.liftRangeX[to] = b.liftRangeX[from];
    b.liftRangeY[to] = b.liftRangeY[from];
    b.reserved[to] = b.reserved[from];
    b.liftState[to] = b.liftState[from];
    b.liftSpeed[to] = b.liftSpeed[from];
    b.liftFlag[to] = 0;
}

// Every stored field of enemy `from` into `to` (scoreValue is not stored).
void copyEnemy(int to, int from)
{
    EnemyTable& e = enemyTable;
    e.type[to] = e.type[from];
    e.x[to] = e.x[from];
    e.y[to] = e.y[from];
    e.width[to] = e.width[from];
    e.height[to] = e.height[from];
    e.reserved1[to] = e.reserved1[from];
    e.reserved2[to] = e.reserved2[from];
    e.speed[to] = e.speed[from];
    e.jumpT[to] = e.jumpT[from];
    e.jumpT0[to] = e.jumpT0[from];
    e.jumpY0[to] = e.jumpY0[from];
    e.jumpV0[to] = e.jumpV0[from];
    e.airborne[to] = e.airborne[from];
    e.inAir[to] = e.inAir[from];
    e.jumping[to] = e.jumping[from];
    e.boxUnder[to] = e.boxUnder[from];
    e.direction[to] = e.direction[from];
    e.health[to] = e.health[from];
    e.hitTimer[to] = e.hitTimer[from];
    e.knockbackVx[to] = e.knockbackVx[from];
    e.maxHealth[to] = e.maxHealth[from];
    e.jumpRequest[to] = e.jumpRequest[from];
    e.reserved3[to] = e.reserved3[from];
    e.animPhase[to] = e.animPhase[from];
    e.pathStartX[to] = e.pathStartX[from];
    e.pathStartY[to] = e.pathStartY[from];
    e.pathRangeX[to] = e.pathRangeX[from];
    e.pathRangeY[to] = e.pathRangeY[from];
    e.reserved4[to] = e.reserved4[from];
    e.pathState[to] = e.pathState[from];
    e.pathSpeed[to] = e.pathSpeed[from];
}

// The record's fields from type through jumpRequest and the reserved byte after it.
void clearEnemyUpToJumpRequest(int i)
{
    EnemyTable& e = enemyTable;
    e.type[i] = 0;
    e.x[i] = e.y[i] = e.width[i] = e.height[i] = 0.0f;
    e.reserved1[i] = 0;
    e.reserved2[i] = 0;
    e.speed[i] = e.jumpT[i] = e.jumpT0[i] = e.jumpY0[i] = e.jumpV0[i] = 0.0f;
    e.airborne[i] = e.inAir[i] = e.jumping[i] = 0;
    e.boxUnder[i] = 0;
    e.direction[i] = 0;
    e.health[i] = e.hitTimer[i] = e.knockbackVx[i] = e.maxHealth[i] = 0.0f;
    e.jumpRequest[i] = 0;
    e.reserved3[i] = 0;
}

void deleteAtCursor()
{
    if (held(SDL_SCANCODE_RCTRL)) {
        noteLevelEdited();
        boxCount = 1;
        enemyCount = 0;
        return;
    }
    const int k = pickBoxAtCursor();
    if (k > 1) {  // the ground box stays
        if (paletteMode)
            notePaletteEdited();
        else
            noteLevelEdited();
        int& count = paletteMode ? paletteCount : boxCount;
        const int last = paletteMode ? PALETTE_FIRST_SLOT + paletteCount - 1 : boxCount - 1;
        for (int i = k; i <= last; ++i)
            copyBox(i, i + 1);
        count = std::max(count - 1, 1);
    }
    const int j = findEnemyAtCursor();
    if (j == -1)
        return;
    noteLevelEdited();
    if (j == enemyCount)
        clearEnemyUpToJumpRequest(j);
    else
        for (int i = j; i < enemyCount; ++i)
            copyEnemy(i, i + 1);
    enemyCount = std::max(enemyCount - 1, 0);
}

void leaveEditor()
{
    // Leaving from the palette view first brings the level back, as TAB does: otherwise the
    // palette would be saved as the level and a later TAB would restore a stale parked level.
    if (paletteMode)
        togglePaletteView();
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

// Snapping keeps each side at least one grid step (and at most the cursor's largest size), so
// a snapped cursor never stamps a box of size 0.
void snapCursor()
{
    cursorX = std::floor(cursorX / stepX) * stepX;
    cursorY = std::floor(cursorY / stepY) * stepY;
    cursorWidth = std::clamp(std::floor((cursorWidth + 5.0f) / stepX) * stepX, stepX, CURSOR_MAX_SIZE);
    cursorHeight = std::clamp(std::floor((cursorHeight + 5.0f) / stepY) * stepY, stepY, CURSOR_MAX_SIZE);
}

void placeEnemy()
{
    if (withShift()) {
        const int j = findEnemyAtCursor();
        if (j != -1)
            selectedEnemyType = enemyTable.type[j];
        return;
    }
    EnemyTable& e = enemyTable;
    noteLevelEdited();
    if (flyerDestinationPending) {
        const int i = enemyCount;
        e.pathStartX[i] = e.x[i];
        e.pathStartY[i] = e.y[i];
        e.pathRangeX[i] = cursorX - e.x[i];
        e.pathRangeY[i] = cursorY - e.y[i];
        e.reserved4[i] = 0;
        e.pathState[i] = 0;
        e.pathSpeed[i] = NEW_PATH_SPEED;
        debugLog("enemy path set.\n");
        flyerDestinationPending = false;
        return;
    }
    // A full table overwrites its last enemy.
    enemyCount = std::min(enemyCount + 1, MAX_LEVEL_ENEMIES);
    const int i = enemyCount;
    const int type = std::clamp(selectedEnemyType, 0, ENEMY_TYPE_COUNT - 1);
    const EnemyDefaults& d = enemyDefaults[type];
    e.type[i] = selectedEnemyType;
    e.x[i] = cursorX;
    e.y[i] = cursorY;
    e.width[i] = d.width;
    e.height[i] = d.height;
    // The remainder divides in floating point, as the enemy reset reads the same form.
    e.speed[i] = d.speed + 2.5f - static_cast<float>(crtRand() % 500) / 100.0f;
    e.reserved1[i] = 0;
    e.reserved2[i] = 0;
    e.jumpT[i] = 0.0f;
    e.jumpT0[i] = 0.0f;
    e.jumpY0[i] = cursorY + 1.0f;
    e.jumpV0[i] = 0.0f;
    e.airborne[i] = 1;
    e.inAir[i] = 1;
    e.jumping[i] = 0;
    e.direction[i] = 0;
    e.boxUnder[i] = 0;
    e.health[i] = d.health;
    e.maxHealth[i] = d.maxHealth;
    if (selectedEnemyType == ENEMY_FLYER) {
        flyerDestinationPending = true;
        debugLog("set top-right destination for the enemy (position and hit 'e')\n");
    }
}

bool rectsOverlap(float ax, float ay, float aw, float ah, float bx, float by, float bw, float bh)
{
    return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

}  // namespace

int pickBoxAtCursor()
{
    const int first = paletteMode ? PALETTE_FIRST_SLOT : 1;
    const int last = std::min(paletteMode ? PALETTE_FIRST_SLOT + paletteCount : boxCount, BOX_SLOTS - 1);
    for (int i = first; i <= last; ++i)
        if (boxOverlapsRect(i, cursorX, cursorY, cursorWidth, cursorHeight))
            return i;
    return 0;
}

int findEnemyAtCursor()
{
    const EnemyTable& e = enemyTable;
    for (int i = 1; i <= enemyCount && i < ENEMY_CAPACITY; ++i)
        if (rectsOverlap(e.x[i], e.y[i], e.width[i], e.height[i], cursorX, cursorY, cursorWidth, cursorHeight))
            return i;
    return -1;
}

void scrollEditorCamera()
{
    if (gameCameraX + SCROLL_MARGIN_X > cursorX)
        gameCameraX -= frameStepX;
    if (cursorX > gameCameraX + VIEW_WIDTH - SCROLL_MARGIN_X)
        gameCameraX += frameStepX;
    if (gameCameraY + SCROLL_MARGIN_Y > cursorY)
        gameCameraY -= frameStepY;
    if (cursorY > gameCameraY + VIEW_HEIGHT - SCROLL_MARGIN_Y)
        gameCameraY += frameStepY;
}

void editorInput()
{
    pollKeyboardState();
    if (pressed(SDL_SCANCODE_TAB))
        togglePaletteView();
    if (pressed(SDL_SCANCODE_Z))
        consoleVisible = !consoleVisible;
    if (pressed(SDL_SCANCODE_S) && withShift())
        writeLevel(LEVEL_FILE_NAME);
    if (pressed(SDL_SCANCODE_L) && withShift())
        readLevel(LEVEL_FILE_NAME);
    frameStepX = stepX;
    frameStepY = stepY;
    moveCursor();
    scrollEditorCamera();
    changeSelections();
    if (pressed(SDL_SCANCODE_SPACE))
        placeBox();
    if (pressed(SDL_SCANCODE_G))
        copyBoxIntoCursor();
    if (pressed(SDL_SCANCODE_DELETE))
        deleteAtCursor();
    if (pressed(SDL_SCANCODE_F1))
        leaveEditor();
    stepX = snapToGrid ? gridSizeX : 1.0f;
    stepY = snapToGrid ? gridSizeY : 1.0f;
    if (pressed(SDL_SCANCODE_F)) {
        if (withShift())
            snapCursor();
        else
            snapToGrid = !snapToGrid;
    }
    if (pressed(SDL_SCANCODE_COMMA)) {
        gridSizeX = std::max(gridSizeX - GRID_STEP, GRID_MIN);
        gridSizeY = std::max(gridSizeY - GRID_STEP, GRID_MIN);
    }
    if (pressed(SDL_SCANCODE_PERIOD)) {
        gridSizeX = std::min(gridSizeX + GRID_STEP, GRID_MAX);
        gridSizeY = std::min(gridSizeY + GRID_STEP, GRID_MAX);
    }
    if (pressed(SDL_SCANCODE_E))
        placeEnemy();
}
