// Three 256-entry key tables indexed by scancode: held at the latest update, pressed since the
// previous update, held at the previous update.
#pragma once

constexpr int KEY_TABLE_SIZE = 256;

struct KeyboardState {
    unsigned char held[KEY_TABLE_SIZE];
    unsigned char pressed[KEY_TABLE_SIZE];
    unsigned char previous[KEY_TABLE_SIZE];
};

extern KeyboardState keyboardState;
