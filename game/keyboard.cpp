#include "game/keyboard.h"

KeyboardState keyboardState = {};
