// The window services the Win32/WGL window path expects, as a small layer of our own over SDL:
// a registry of window classes with their window procedures, the display-mode change behind
// full screen, windows with their drawing surfaces, a pixel-format request that becomes SDL's
// GL attributes, GL contexts and making one current, and a translator from SDL events to the
// messages a window procedure handles. Handles are opaque pointers; null means none.
//
// Every service can be told to fail (failWin32Service), so the error paths of the window path
// run without a broken driver.
#pragma once

#include <cstdint>

union SDL_Event;

struct NativeModule;
struct NativeWindow;
struct DrawingSurface;
struct GlRenderContext;

// Messages a window procedure receives. The two values carry what their kind says:
// ACTIVATE: code's high 16 bits are 1 while the window is minimised, its low 16 bits 1 while it
//   is the active window;
// SYSTEM_COMMAND: code is a SYSTEM_COMMAND_* value;
// KEY_DOWN, KEY_UP: code is the virtual-key code (VIRTUAL_KEY_*, letters and digits as their
//   upper-case character codes);
// SIZE: data's low 16 bits are the new client width, its high 16 bits the height.
enum class WindowMessageKind { ACTIVATE, SYSTEM_COMMAND, CLOSE, KEY_DOWN, KEY_UP, SIZE, OTHER };

struct WindowMessage {
    WindowMessageKind kind;
    uint32_t code;
    uint32_t data;
};

using WindowProcedure = uint32_t (*)(NativeWindow* window, const WindowMessage& message);

constexpr uint32_t SYSTEM_COMMAND_SCREEN_SAVER = 1;
constexpr uint32_t SYSTEM_COMMAND_MONITOR_POWER = 2;
constexpr uint32_t SYSTEM_COMMAND_OTHER = 3;

constexpr uint32_t VIRTUAL_KEY_BACKSPACE = 8;
constexpr uint32_t VIRTUAL_KEY_TAB = 9;
constexpr uint32_t VIRTUAL_KEY_RETURN = 13;
constexpr uint32_t VIRTUAL_KEY_SHIFT = 16;
constexpr uint32_t VIRTUAL_KEY_CONTROL = 17;
constexpr uint32_t VIRTUAL_KEY_ALT = 18;
constexpr uint32_t VIRTUAL_KEY_ESCAPE = 27;
constexpr uint32_t VIRTUAL_KEY_SPACE = 32;
constexpr uint32_t VIRTUAL_KEY_LEFT = 37;
constexpr uint32_t VIRTUAL_KEY_UP = 38;
constexpr uint32_t VIRTUAL_KEY_RIGHT = 39;
constexpr uint32_t VIRTUAL_KEY_DOWN = 40;
constexpr uint32_t VIRTUAL_KEY_F1 = 112;  // F1 to F12 follow in order

// Class styles.
constexpr uint32_t CLASS_STYLE_REDRAW_ON_WIDTH = 1u << 0;
constexpr uint32_t CLASS_STYLE_REDRAW_ON_HEIGHT = 1u << 1;
constexpr uint32_t CLASS_STYLE_OWN_SURFACE = 1u << 2;
// Window styles: a pop-up has no frame (the full-screen form), an overlapped window has one.
constexpr uint32_t WINDOW_STYLE_POPUP = 1u << 0;
constexpr uint32_t WINDOW_STYLE_OVERLAPPED = 1u << 1;
constexpr uint32_t WINDOW_STYLE_CLIP_SIBLINGS = 1u << 2;
constexpr uint32_t WINDOW_STYLE_CLIP_CHILDREN = 1u << 3;
constexpr uint32_t WINDOW_EXTRA_APP_WINDOW = 1u << 0;
constexpr uint32_t WINDOW_EXTRA_EDGE = 1u << 1;

constexpr int WINDOW_CLASS_CAPACITY = 8;
constexpr int WINDOW_CLASS_NAME_BYTES = 64;
constexpr int NATIVE_WINDOW_CAPACITY = 8;

struct WindowClassDescription {
    const char* name;
    uint32_t styles;
    WindowProcedure procedure;
    NativeModule* module;
    bool defaultIcon;
    bool arrowCursor;
};

// Pixel-format request: colour bits, depth and stencil sizes, double buffering. A request
// without drawing to a window, GL support or RGBA pixels has no matching format.
struct PixelFormatRequest {
    bool drawToWindow;
    bool openGl;
    bool doubleBuffer;
    bool rgba;
    int colourBits;
    int alphaBits;
    int accumulationBits;
    int depthBits;
    int stencilBits;
};

enum class Win32Service {
    REGISTER_CLASS,
    UNREGISTER_CLASS,
    CHANGE_DISPLAY_MODE,
    CREATE_WINDOW,
    DESTROY_WINDOW,
    GET_SURFACE,
    RELEASE_SURFACE,
    CHOOSE_PIXEL_FORMAT,
    SET_PIXEL_FORMAT,
    CREATE_CONTEXT,
    MAKE_CURRENT,   // making a context current
    RELEASE_CURRENT,  // making none current
    DELETE_CONTEXT,
    COUNT,
};

// The running program's module.
NativeModule* currentModule();

// False for an empty name, a name already registered for the module, or a full registry.
bool registerWindowClass(const WindowClassDescription& description);
// False when no such class is registered for the module.
bool unregisterWindowClass(const char* name, NativeModule* module);
bool windowClassRegistered(const char* name, NativeModule* module);

// Full screen at width x height with `bits` of colour: true when the display offers that size
// (SDL's modes of display 0); the next pop-up window then covers the display in that mode.
bool changeDisplayMode(int width, int height, int bits);
// Back to the desktop mode.
void restoreDisplayMode();
bool displayModeChanged();

// A hidden window of a registered class whose client area is width x height.
NativeWindow* createNativeWindow(const char* className, const char* title, int x, int y, int width, int height,
                                 uint32_t style, uint32_t extraStyle, NativeModule* module);
bool destroyNativeWindow(NativeWindow* window);
void showNativeWindow(NativeWindow* window);
bool raiseNativeWindow(NativeWindow* window);
bool focusNativeWindow(NativeWindow* window);
// Live windows made by createNativeWindow and not yet destroyed.
int nativeWindowCount();
// Client size in pixels (0, 0 for a null window).
void nativeWindowSize(NativeWindow* window, int& width, int& height);

DrawingSurface* getDrawingSurface(NativeWindow* window);
bool releaseDrawingSurface(NativeWindow* window, DrawingSurface* surface);

// The format number (1 or more) that fits the request, 0 when none does.
int choosePixelFormat(DrawingSurface* surface, const PixelFormatRequest& request);
// Once per window: its GL attributes become the request's (SDL fixes them with the window, so
// the window is made again underneath with the same title, place and size).
bool setPixelFormat(DrawingSurface* surface, int format, const PixelFormatRequest& request);

GlRenderContext* createRenderContext(DrawingSurface* surface);
// Both null releases the current context.
bool makeRenderContextCurrent(DrawingSurface* surface, GlRenderContext* context);
bool deleteRenderContext(GlRenderContext* context);
int liveRenderContextCount();

// The window procedure's fallback: every message is accepted with result 0.
uint32_t defaultWindowProcedure(NativeWindow* window, const WindowMessage& message);
// Asks the thread's message loop to end: an SDL quit event.
void postQuitRequest(int exitCode);

// The virtual-key code of an SDL scancode, 0 for keys outside the table.
uint32_t virtualKeyFromScancode(int scancode);
// The message an SDL event means to a window procedure; false for events it has no message for.
bool translateSdlEvent(const SDL_Event& event, WindowMessage& message);
// Translates the event and hands it to the procedure of the window it belongs to; false when
// no native window owns it or it means nothing to one.
bool dispatchSdlEvent(const SDL_Event& event);

void failWin32Service(Win32Service service, bool fail);
// Clears every injected failure.
void resetWin32ServiceFailures();
