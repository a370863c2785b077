#include "core/keyboard.h"

#include <SDL.h>
#include <cstring>

KeyboardState keyboardState = {};
unsigned char viewRestartActive = 0;

static const unsigned char* keySource = nullptr;
static int keySourceCount = 0;

void setKeySource(const unsigned char* keys, int keyCount)
{
    keySource = keys;
    keySourceCount = keys ? keyCount : 0;
}

void updateKeyboardStateFrom(const unsigned char* keys, int keyCount)
{
    int known = keys ? (keyCount < KEY_TABLE_SIZE ? keyCount : KEY_TABLE_SIZE) : 0;
    for (int i = 0; i < KEY_TABLE_SIZE; ++i)
        keyboardState.held[i] = (i < known && keys[i] != 0) ? 1 : 0;
    for (int i = 0; i < KEY_TABLE_SIZE; ++i)
        keyboardState.pressed[i] = (keyboardState.held[i] == 1 && keyboardState.previous[i] == 0) ? 1 : 0;
    std::memcpy(keyboardState.previous, keyboardState.held, sizeof keyboardState.previous);
}

void updateKeyboardState()
{
    if (keySource) {
        updateKeyboardStateFrom(keySource, keySourceCount);
        return;
    }
    int keyCount = 0;
    const Uint8* keys = SDL_GetKeyboardState(&keyCount);
    updateKeyboardStateFrom(keys, keyCount);
}

void pollKeyboardState()
{
    if (viewRestartActive) {
        std::memset(keyboardState.held, 0, sizeof keyboardState.held);
        std::memset(keyboardState.pressed, 0, sizeof keyboardState.pressed);
        return;
    }
    updateKeyboardState();
}
