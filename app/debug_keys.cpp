#include "app/debug_keys.h"

#include "app/console.h"     // consoleVisible
#include "app/screenshot.h"  // screenshotRequested
#include "core/clock.h"      // clockRestartRequest
#include "core/data_files.h" // debugLog
#include "core/frame_values.h" // shadowDebugView, cameraRollEnabled
#include "core/keyboard.h"   // the game's key tables
#include "render/camera.h"   // mainCamera
#include "render/lights.h"   // lightTable

#include <SDL.h>
#include <cstdio>
#include <cstring>

DebugKeyTables debugKeys = {};
const unsigned char* keyStatePointer = nullptr;
static int keyStateCount = 0;

namespace {

// SDL scancodes.
constexpr int KEY_A = 4;
constexpr int KEY_B = 5;
constexpr int KEY_C = 6;
constexpr int KEY_D = 7;
constexpr int KEY_E = 8;
constexpr int KEY_I = 12;
constexpr int KEY_J = 13;
constexpr int KEY_K = 14;
constexpr int KEY_L = 15;
constexpr int KEY_O = 18;
constexpr int KEY_Q = 20;
constexpr int KEY_R = 21;
constexpr int KEY_S = 22;
constexpr int KEY_U = 24;
constexpr int KEY_W = 26;
constexpr int KEY_Z = 29;
constexpr int KEY_SPACE = 44;
constexpr int KEY_F4 = 61;
constexpr int KEY_RIGHT = 79;
constexpr int KEY_UP = 82;

// Entries past the array count as up.
bool keyIn(const unsigned char* keys, int keyCount, int key)
{
    return keys && key < keyCount && keys[key] != 0;
}

const unsigned char* liveKeys(int& keyCount)
{
    SDL_PumpEvents();
    if (!keyStatePointer)
        initKeyStatePointer();
    keyCount = keyStatePointer ? keyStateCount : 0;
    return keyStatePointer;
}

void moveLight(int axis, float step)
{
    lightTable.position[DEBUG_LIGHT][axis] += step;
}

}  // namespace

void initKeyStatePointer()
{
    keyStatePointer = SDL_GetKeyboardState(&keyStateCount);
}

void clearDebugKeyTables()
{
    std::memset(&debugKeys, 0, sizeof debugKeys);
}

void handleDebugKeysFrom(const unsigned char* keys, int keyCount)
{
    for (int i = 0; i < DEBUG_KEY_COUNT; ++i) {
        debugKeys.held[i] = keyIn(keys, keyCount, i) ? 1 : 0;
        debugKeys.pressed[i] = (debugKeys.held[i] && !debugKeys.previous[i]) ? 1 : 0;
    }
    std::memcpy(debugKeys.previous, debugKeys.held, sizeof debugKeys.previous);

    const unsigned char* pressed = debugKeys.pressed;
    if (pressed[KEY_B])
        shadowDebugView = -shadowDebugView;
    if (pressed[KEY_SPACE])
        clockRestartRequest = 1;
    if (pressed[KEY_Z])
        consoleVisible = !consoleVisible;
    if (pressed[KEY_R])
        cameraRollEnabled = !cameraRollEnabled;
    if (pressed[KEY_L])
        moveLight(0, DEBUG_LIGHT_STEP);
    if (pressed[KEY_J])
        moveLight(0, -DEBUG_LIGHT_STEP);
    if (pressed[KEY_I])
        moveLight(1, DEBUG_LIGHT_STEP);
    if (pressed[KEY_K])
        moveLight(1, -DEBUG_LIGHT_STEP);
    if (pressed[KEY_O])
        moveLight(2, DEBUG_LIGHT_STEP);
    if (pressed[KEY_U])
        moveLight(2, -DEBUG_LIGHT_STEP);
}

void handleDebugKeys()
{
    int keyCount = 0;
    const unsigned char* keys = liveKeys(keyCount);
    handleDebugKeysFrom(keys, keyCount);
}

static void applyCameraKeys()
{
    const unsigned char* held = keyboardState.held;
    const unsigned char* pressed = keyboardState.pressed;
    if (held[KEY_W])
        mainCamera.move(DEBUG_CAMERA_STEP);
    if (held[KEY_S])
        mainCamera.move(-DEBUG_CAMERA_STEP);
    if (held[KEY_A])
        mainCamera.strafe(-DEBUG_CAMERA_STEP);
    if (held[KEY_D])
        mainCamera.strafe(DEBUG_CAMERA_STEP);
    if (held[KEY_Q])
        mainCamera.moveVertical(-DEBUG_CAMERA_STEP);
    if (held[KEY_E])
        mainCamera.moveVertical(DEBUG_CAMERA_STEP);
    if (pressed[KEY_C]) {
        const Camera& c = mainCamera;
        debugLog("camerapos[]={%f, %f, %f,  %f, %f, %f,  %f, %f, %f};\n", c.eye[0], c.eye[1], c.eye[2],
                 c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1], c.up[2]);
    }
    if (pressed[KEY_F4])
        screenshotRequested = 1;
}

void handleCameraKeysFrom(const unsigned char* keys, int keyCount)
{
    updateKeyboardStateFrom(keys, keyCount);
    applyCameraKeys();
}

void handleCameraKeys()
{
    pollKeyboardState();
    applyCameraKeys();
}

void printPressedKeysFrom(const unsigned char* keys, int keyCount)
{
    if (keyIn(keys, keyCount, KEY_A))
        std::puts("<A> is pressed.");
    if (keyIn(keys, keyCount, KEY_RIGHT) && keyIn(keys, keyCount, KEY_UP))
        std::puts("Right and Up Keys Pressed.");
}

void printPressedKeys()
{
    int keyCount = 0;
    const unsigned char* keys = liveKeys(keyCount);
    printPressedKeysFrom(keys, keyCount);
}
