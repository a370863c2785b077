// Key scripts: scripted key presses for the game on the virtual clock. One event per line,
// "<frame> +<key>" (goes down) or "<frame> -<key>" (goes up), applied before that frame (frame 1
// is the first game frame); keys by SDL scancode name ("RIGHT", "SPACE", "F1", "RCTRL",
// "LSHIFT", "S"); '#' starts a comment; blank lines are skipped.
#pragma once

#include <string>
#include <vector>

struct KeyEvent {
    int frame;     // 1 or more
    int scancode;  // SDL scancode, below KEY_SCRIPT_ARRAY_SIZE
    bool down;
};

// Key arrays driven by a script have SDL's length.
constexpr int KEY_SCRIPT_ARRAY_SIZE = 512;

// The scancode of a name as the script writes it, or -1.
int scancodeFromScriptName(const std::string& name);
// Events in frame order (lines of one frame keep their order). False with a message naming the
// line on the first malformed line; `events` is then untouched.
bool parseKeyScript(const std::string& text, std::vector<KeyEvent>& events, std::string& error);
bool readKeyScript(const std::string& path, std::vector<KeyEvent>& events, std::string& error);
// Applies every event of `frame` to a key array of KEY_SCRIPT_ARRAY_SIZE entries.
void applyKeyEvents(const std::vector<KeyEvent>& events, int frame, unsigned char* keys);
