// Development keys: debug toggles, a free-flying camera on mainCamera with a screenshot key, and
// a key-state printer. Nothing in the demo calls them. Each reads a key array indexed by SDL
// scancode; the plain forms take SDL's live array, the *From forms any array (tests feed them).
#pragma once

constexpr int DEBUG_KEY_COUNT = 512;
// Step of the camera keys per call, and of the light 7 keys.
constexpr float DEBUG_CAMERA_STEP = 0.33f;
constexpr float DEBUG_LIGHT_STEP = 5.0f;
constexpr int DEBUG_LIGHT = 7;

// The debug keys' own tables: held now, held at the previous call, went down since then.
struct DebugKeyTables {
    unsigned char held[DEBUG_KEY_COUNT];
    unsigned char previous[DEBUG_KEY_COUNT];
    unsigned char pressed[DEBUG_KEY_COUNT];
};

extern DebugKeyTables debugKeys;
// SDL's own key-state array; fetched when first needed.
extern const unsigned char* keyStatePointer;

void initKeyStatePointer();
// Start-up clears the tables.
void clearDebugKeyTables();

// B shadow view, Space clock restart, Z console, R camera roll, L/J I/K O/U light 7 x/y/z.
void handleDebugKeys();
void handleDebugKeysFrom(const unsigned char* keys, int keyCount);
// W/S move, A/D strafe, Q/E down/up while held; C logs the pose, F4 requests a screenshot.
void handleCameraKeys();
void handleCameraKeysFrom(const unsigned char* keys, int keyCount);
void printPressedKeys();
void printPressedKeysFrom(const unsigned char* keys, int keyCount);
