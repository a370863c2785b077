#include "app/win32_gl_window.h"

#include "core/clock.h"             // initClockFrequency
#include "platform/os_services.h"   // message boxes, the cursor
#include "platform/win32_window.h"  // the path's handles and its window procedure

static const char ERROR_CAPTION[] = "ERROR";

static void errorBox(const char* text)
{
    showMessageBox(text, ERROR_CAPTION, MESSAGE_BOX_ICON_WARNING);
}

// Teardown, then the error box; the creation has failed.
static bool failCreation(const char* text)
{
    destroyWin32GlWindow();
    errorBox(text);
    return false;
}

bool createWin32GlWindow(const char* title, int width, int height, int colourBits, unsigned char fullscreen)
{
    // The first call fixes the colour depth of the request.
    static const PixelFormatRequest pixelFormat = {
        true, true, true, true, colourBits, 0, 0, 16, 1,
    };

    win32Fullscreen = fullscreen;
    win32Instance = currentModule();

    const WindowClassDescription windowClass = {
        WIN32_WINDOW_CLASS,
        CLASS_STYLE_REDRAW_ON_WIDTH | CLASS_STYLE_REDRAW_ON_HEIGHT | CLASS_STYLE_OWN_SURFACE,
        win32WindowProc,
        win32Instance,
        true,
        true,
    };
    if (!registerWindowClass(windowClass)) {
        errorBox("Failed To Register The Window Class.");
        return false;
    }

    if (win32Fullscreen && !changeDisplayMode(width, height, colourBits)) {
        if (askYesNo("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
                     " ", MESSAGE_BOX_BUTTONS_YES_NO | MESSAGE_BOX_ICON_WARNING)) {
            win32Fullscreen = 0;
        } else {
            showMessageBox("Program Will Now Close.", ERROR_CAPTION, MESSAGE_BOX_ICON_STOP);
            return false;
        }
    }

    uint32_t style = WINDOW_STYLE_CLIP_SIBLINGS | WINDOW_STYLE_CLIP_CHILDREN;
    uint32_t extraStyle = WINDOW_EXTRA_APP_WINDOW;
    if (win32Fullscreen) {
        style |= WINDOW_STYLE_POPUP;
        showMouseCursor(false);
    } else {
        style |= WINDOW_STYLE_OVERLAPPED;
        extraStyle |= WINDOW_EXTRA_EDGE;
    }

    win32Window = createNativeWindow(WIN32_WINDOW_CLASS, title, 0, 0, width, height, style, extraStyle, win32Instance);
    if (!win32Window)
        return failCreation("Window Creation Error.");

    initClockFrequency();

    win32DeviceContext = getDrawingSurface(win32Window);
    if (!win32DeviceContext)
        return failCreation("Can't Create A GL Device Context.");
    const int format = choosePixelFormat(win32DeviceContext, pixelFormat);
    if (format == 0)
        return failCreation("Can't Find A Suitable PixelFormat.");
    if (!setPixelFormat(win32DeviceContext, format, pixelFormat))
        return failCreation("Can't Set The PixelFormat.");
    win32RenderContext = createRenderContext(win32DeviceContext);
    if (!win32RenderContext)
        return failCreation("Can't Create A GL Rendering Context.");
    if (!makeRenderContextCurrent(win32DeviceContext, win32RenderContext))
        return failCreation("Can't Activate The GL Rendering Context.");

    showNativeWindow(win32Window);
    raiseNativeWindow(win32Window);
    focusNativeWindow(win32Window);
    reshapeViewport(width, height);
    return true;
}
