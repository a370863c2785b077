#include "core/keyboard.h"

#include <SDL.h>
#include <cstring>

KeyboardState keyboardState = {};
unsigned char viewRestartActive = 0;

static const unsigned char* keySource = nullptr;
static int keySourceCount = 0;
// Keys that went down since the last read (from the window's events).
static unsigned char downSinceRead[KEY_TABLE_SIZE] = {};
// The keys the wipe leaves live: restart (F2) and editor (F1).
static constexpr int LIVE_DURING_WIPE[] = {SDL_SCANCODE_F1, SDL_SCANCODE_F2};

void noteKeyDown(int scancode)
{
    if (scancode >= 0 && scancode < KEY_TABLE_SIZE)
        downSinceRead[scancode] = 1;
}

void setKeySource(const unsigned char* keys, int keyCount)
{
    keySource = keys;
    keySourceCount = keys ? keyCount : 0;
}

void updateKeyboardStateFrom(const unsigned char* keys, int keyCount)
{
    int known = keys ? (keyCount < KEY_TABLE_SIZE ? keyCount : KEY_TABLE_SIZE) : 0;
    for (int i = 0; i < KEY_TABLE_SIZE; ++i)
        keyboardState.held[i] = ((i < known && keys[i] != 0) || downSinceRead[i]) ? 1 : 0;
    std::memset(downSinceRead, 0, sizeof downSinceRead);
    for (int i = 0; i < KEY_TABLE_SIZE; ++i)
        keyboardState.pressed[i] = (keyboardState.held[i] == 1 && keyboardState.previous[i] == 0) ? 1 : 0;
    std::memcpy(keyboardState.previous, keyboardState.held, sizeof keyboardState.previous);
}

static const unsigned char* currentKeys(int& keyCount)
{
    if (keySource) {
        keyCount = keySourceCount;
        return keySource;
    }
    return SDL_GetKeyboardState(&keyCount);
}

void updateKeyboardState()
{
    int keyCount = 0;
    const unsigned char* keys = currentKeys(keyCount);
    updateKeyboardStateFrom(keys, keyCount);
}

void pollKeyboardState()
{
    if (!viewRestartActive) {
        updateKeyboardState();
        return;
    }
    int keyCount = 0;
    const unsigned char* keys = currentKeys(keyCount);
    std::memset(keyboardState.held, 0, sizeof keyboardState.held);
    std::memset(keyboardState.pressed, 0, sizeof keyboardState.pressed);
    for (int key : LIVE_DURING_WIPE) {
        const unsigned char down = ((keys && key < keyCount && keys[key] != 0) || downSinceRead[key]) ? 1 : 0;
        keyboardState.held[key] = down;
        keyboardState.pressed[key] = (down && !keyboardState.previous[key]) ? 1 : 0;
        keyboardState.previous[key] = down;
    }
    std::memset(downSinceRead, 0, sizeof downSinceRead);
}
