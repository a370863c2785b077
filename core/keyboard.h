// Three 256-entry key tables indexed by SDL scancode: held at the latest update, pressed since the
// previous update, held at the previous update. Every entry is 0 or 1; scancodes 256 and above
// are not tracked. The game, the editor and a few scenes read these instead of SDL's live array.
#pragma once

constexpr int KEY_TABLE_SIZE = 256;

struct KeyboardState {
    unsigned char held[KEY_TABLE_SIZE];
    unsigned char pressed[KEY_TABLE_SIZE];
    unsigned char previous[KEY_TABLE_SIZE];
};

extern KeyboardState keyboardState;

// Set while the game's view-restart wipe runs; input is frozen meanwhile. The game frame owns
// its value; it lives here because the gated update reads it.
extern unsigned char viewRestartActive;

// Takes the key source's array into the tables: the array a tool or test set with
// setKeySource when there is one, SDL's live key array (refreshed by the event pump) otherwise.
// Either way the array only changes between frames, as SDL's does.
void updateKeyboardState();
// A key array of `keyCount` entries indexed by SDL scancode that updateKeyboardState reads
// instead of SDL's; a null array goes back to SDL's. The caller keeps the array alive.
void setKeySource(const unsigned char* keys, int keyCount);
// The same update from any key array of `keyCount` entries; entries past the array count as up.
void updateKeyboardStateFrom(const unsigned char* keys, int keyCount);
// The gated form: while viewRestartActive is set, held and pressed are cleared and previous is
// kept, so no key acts during the wipe and a key held across it gives no press afterwards; only
// the restart and editor keys (F2, F1) are read as usual, so a level that kills the player at
// its start can always be left.
void pollKeyboardState();
// A key-down event from the window (scancodes outside the tables are ignored). The next read
// counts the key as held, and as pressed when it was up at the read before, even if it is up
// again by then: a tap shorter than the time between two reads is not lost. Every read, the
// gated one during the wipe included, forgets the keys noted before it.
void noteKeyDown(int scancode);
