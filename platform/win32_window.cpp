#include "platform/win32_window.h"

#include "platform/gl_api.h"       // viewport and matrices
#include "platform/os_services.h"  // message boxes, the cursor

NativeModule* win32Instance = nullptr;
NativeWindow* win32Window = nullptr;
DrawingSurface* win32DeviceContext = nullptr;
GlRenderContext* win32RenderContext = nullptr;
unsigned char win32Fullscreen = 1;
unsigned char windowActive = 1;
bool win32Keys[WIN32_KEY_COUNT] = {};

static const char SHUTDOWN_CAPTION[] = "SHUTDOWN ERROR";

static void shutdownBox(const char* text)
{
    showMessageBox(text, SHUTDOWN_CAPTION, MESSAGE_BOX_ICON_INFORMATION);
}

void reshapeViewport(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

uint32_t win32WindowProc(NativeWindow* window, const WindowMessage& message)
{
    switch (message.kind) {
    case WindowMessageKind::ACTIVATE:
        windowActive = (message.code >> 16) == 0 ? 1 : 0;
        return 0;
    case WindowMessageKind::SYSTEM_COMMAND:
        if (message.code == SYSTEM_COMMAND_SCREEN_SAVER || message.code == SYSTEM_COMMAND_MONITOR_POWER)
            return 0;
        return defaultWindowProcedure(window, message);
    case WindowMessageKind::CLOSE:
        postQuitRequest(0);
        return 0;
    case WindowMessageKind::KEY_DOWN:
    case WindowMessageKind::KEY_UP:
        if (message.code < static_cast<uint32_t>(WIN32_KEY_COUNT))
            win32Keys[message.code] = message.kind == WindowMessageKind::KEY_DOWN;
        return 0;
    case WindowMessageKind::SIZE:
        reshapeViewport(static_cast<int>(message.data & 0xFFFF), static_cast<int>(message.data >> 16));
        return 0;
    default:
        return defaultWindowProcedure(window, message);
    }
}

void destroyWin32GlWindow()
{
    // Each handle is forgotten once its release has been tried, so a second teardown does not
    // release it again.
    if (win32RenderContext) {
        if (!makeRenderContextCurrent(nullptr, nullptr))
            shutdownBox("Release Of DC And RC Failed.");
        if (!deleteRenderContext(win32RenderContext))
            shutdownBox("Release Rendering Context Failed.");
        win32RenderContext = nullptr;
    }
    if (win32DeviceContext) {
        if (!releaseDrawingSurface(win32Window, win32DeviceContext))
            shutdownBox("Release Device Context Failed.");
        win32DeviceContext = nullptr;
    }
    if (win32Window) {
        if (!destroyNativeWindow(win32Window))
            shutdownBox("Could Not Release hWnd.");
        win32Window = nullptr;
    }
    if (win32Fullscreen) {
        restoreDisplayMode();
        showMouseCursor(true);
    }
    if (!unregisterWindowClass(WIN32_WINDOW_CLASS, win32Instance))
        shutdownBox("Could Not Unregister Class.");
    win32Instance = nullptr;
}
