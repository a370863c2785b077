#include "platform/win32_services.h"

#include <SDL.h>
#include <cstring>
#include <new>
#include <string>

struct NativeModule {
    int unused;
};

struct DrawingSurface {
    NativeWindow* window;
};

struct NativeWindow {
    bool used;
    SDL_Window* sdl;
    int classIndex;
    std::string title;
    int x, y, width, height;
    uint32_t sdlFlags;
    bool formatSet;
    DrawingSurface surface;
};

struct GlRenderContext {
    SDL_GLContext context;
    NativeWindow* window;
};

namespace {

struct RegisteredClass {
    bool used;
    char name[WINDOW_CLASS_NAME_BYTES];
    WindowClassDescription description;
};

NativeModule programModule = {};
RegisteredClass classes[WINDOW_CLASS_CAPACITY] = {};
NativeWindow windows[NATIVE_WINDOW_CAPACITY] = {};
int liveContexts = 0;
bool failing[static_cast<int>(Win32Service::COUNT)] = {};
// The layer started SDL's video itself and stops it once nothing of it is left.
bool startedVideo = false;
bool modeChanged = false;
int modeWidth = 0;
int modeHeight = 0;

bool fails(Win32Service service)
{
    return failing[static_cast<int>(service)];
}

bool ensureVideo()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    startedVideo = true;
    return true;
}

void stopVideoWhenUnused()
{
    if (!startedVideo)
        return;
    for (const RegisteredClass& c : classes)
        if (c.used)
            return;
    if (nativeWindowCount() > 0 || liveContexts > 0)
        return;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    startedVideo = false;
}

int findClass(const char* name, const NativeModule* module)
{
    if (!name)
        return -1;
    for (int i = 0; i < WINDOW_CLASS_CAPACITY; ++i)
        if (classes[i].used && classes[i].description.module == module && std::strcmp(classes[i].name, name) == 0)
            return i;
    return -1;
}

bool liveWindow(const NativeWindow* window)
{
    return window && window >= windows && window < windows + NATIVE_WINDOW_CAPACITY && window->used;
}

bool liveSurface(const DrawingSurface* surface)
{
    return surface && liveWindow(surface->window) && &surface->window->surface == surface;
}

}  // namespace

NativeModule* currentModule()
{
    return &programModule;
}

bool registerWindowClass(const WindowClassDescription& description)
{
    if (fails(Win32Service::REGISTER_CLASS) || !description.name || description.name[0] == '\0' ||
        std::strlen(description.name) >= WINDOW_CLASS_NAME_BYTES || !description.procedure ||
        findClass(description.name, description.module) >= 0)
        return false;
    for (RegisteredClass& c : classes) {
        if (c.used)
            continue;
        c.used = true;
        std::strcpy(c.name, description.name);
        c.description = description;
        c.description.name = c.name;
        return true;
    }
    return false;
}

bool unregisterWindowClass(const char* name, NativeModule* module)
{
    const int index = findClass(name, module);
    if (fails(Win32Service::UNREGISTER_CLASS) || index < 0)
        return false;
    classes[index] = {};
    stopVideoWhenUnused();
    return true;
}

bool windowClassRegistered(const char* name, NativeModule* module)
{
    return findClass(name, module) >= 0;
}

bool changeDisplayMode(int width, int height, int bits)
{
    if (fails(Win32Service::CHANGE_DISPLAY_MODE) || (bits != 16 && bits != 24 && bits != 32) || !ensureVideo())
        return false;
    bool offered = false;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count && !offered; ++i) {
        SDL_DisplayMode mode;
        offered = SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height;
    }
    stopVideoWhenUnused();
    if (!offered)
        return false;
    modeChanged = true;
    modeWidth = width;
    modeHeight = height;
    return true;
}

void restoreDisplayMode()
{
    for (NativeWindow& w : windows)
        if (w.used && w.sdl && (SDL_GetWindowFlags(w.sdl) & SDL_WINDOW_FULLSCREEN))
            SDL_SetWindowFullscreen(w.sdl, 0);
    modeChanged = false;
    modeWidth = modeHeight = 0;
}

bool displayModeChanged()
{
    return modeChanged;
}

NativeWindow* createNativeWindow(const char* className, const char* title, int x, int y, int width, int height,
                                 uint32_t style, uint32_t /*extraStyle*/, NativeModule* module)
{
    const int classIndex = findClass(className, module);
    if (fails(Win32Service::CREATE_WINDOW) || classIndex < 0 || width <= 0 || height <= 0 || !ensureVideo())
        return nullptr;
    NativeWindow* window = nullptr;
    for (NativeWindow& w : windows)
        if (!w.used) {
            window = &w;
            break;
        }
    if (!window)
        return nullptr;
    uint32_t flags = SDL_WINDOW_HIDDEN;
    if (style & WINDOW_STYLE_POPUP) {
        flags |= SDL_WINDOW_BORDERLESS;
        if (modeChanged && width == modeWidth && height == modeHeight)
            flags |= SDL_WINDOW_FULLSCREEN;
    }
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, width, height, flags);
    if (!sdl)
        return nullptr;
    *window = {};
    window->used = true;
    window->sdl = sdl;
    window->classIndex = classIndex;
    window->title = title ? title : "";
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    window->sdlFlags = flags;
    window->surface.window = window;
    return window;
}

bool destroyNativeWindow(NativeWindow* window)
{
    if (fails(Win32Service::DESTROY_WINDOW) || !liveWindow(window))
        return false;
    SDL_DestroyWindow(window->sdl);
    *window = {};
    stopVideoWhenUnused();
    return true;
}

void showNativeWindow(NativeWindow* window)
{
    if (liveWindow(window))
        SDL_ShowWindow(window->sdl);
}

bool raiseNativeWindow(NativeWindow* window)
{
    if (!liveWindow(window))
        return false;
    SDL_RaiseWindow(window->sdl);
    return true;
}

bool focusNativeWindow(NativeWindow* window)
{
    // Only a shown window can take the focus (X refuses an unmapped one).
    return liveWindow(window) && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) &&
           SDL_SetWindowInputFocus(window->sdl) == 0;
}

int nativeWindowCount()
{
    int count = 0;
    for (const NativeWindow& w : windows)
        count += w.used ? 1 : 0;
    return count;
}

void nativeWindowSize(NativeWindow* window, int& width, int& height)
{
    width = height = 0;
    if (!liveWindow(window))
        return;
    if (window->formatSet)
        SDL_GL_GetDrawableSize(window->sdl, &width, &height);
    else
        SDL_GetWindowSize(window->sdl, &width, &height);
}

DrawingSurface* getDrawingSurface(NativeWindow* window)
{
    if (fails(Win32Service::GET_SURFACE) || !liveWindow(window))
        return nullptr;
    return &window->surface;
}

bool releaseDrawingSurface(NativeWindow* window, DrawingSurface* surface)
{
    return !fails(Win32Service::RELEASE_SURFACE) && liveWindow(window) && surface == &window->surface;
}

static bool requestFits(const PixelFormatRequest& r)
{
    return r.drawToWindow && r.openGl && r.rgba && (r.colourBits == 16 || r.colourBits == 24 || r.colourBits == 32) &&
           r.alphaBits >= 0 && r.alphaBits <= 8 && r.accumulationBits >= 0 && r.accumulationBits <= 64 &&
           r.depthBits >= 0 && r.depthBits <= 32 && r.stencilBits >= 0 && r.stencilBits <= 8;
}

int choosePixelFormat(DrawingSurface* surface, const PixelFormatRequest& request)
{
    if (fails(Win32Service::CHOOSE_PIXEL_FORMAT) || !liveSurface(surface) || !requestFits(request))
        return 0;
    return 1;
}

static void applyGlAttributes(const PixelFormatRequest& r)
{
    // Only what the request says: nothing left over from another window's attributes.
    SDL_GL_ResetAttributes();
    const int channel = r.colourBits == 16 ? 5 : 8;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, r.colourBits == 16 ? 6 : 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, r.alphaBits);
    const int accumulation = r.accumulationBits / 4;
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accumulation);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accumulation);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accumulation);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accumulation);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, r.depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, r.stencilBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, r.doubleBuffer ? 1 : 0);
}

bool setPixelFormat(DrawingSurface* surface, int format, const PixelFormatRequest& request)
{
    if (fails(Win32Service::SET_PIXEL_FORMAT) || !liveSurface(surface) || format < 1 || !requestFits(request))
        return false;
    NativeWindow* window = surface->window;
    if (window->formatSet)
        return false;
    applyGlAttributes(request);
    const uint32_t flags = window->sdlFlags | SDL_WINDOW_OPENGL;
    SDL_Window* remade =
        SDL_CreateWindow(window->title.c_str(), window->x, window->y, window->width, window->height, flags);
    if (!remade)
        return false;
    SDL_DestroyWindow(window->sdl);
    window->sdl = remade;
    window->sdlFlags = flags;
    window->formatSet = true;
    return true;
}

GlRenderContext* createRenderContext(DrawingSurface* surface)
{
    if (fails(Win32Service::CREATE_CONTEXT) || !liveSurface(surface) || !surface->window->formatSet)
        return nullptr;
    // Creating makes current in SDL; here it must not, so the previous one comes back.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext made = SDL_GL_CreateContext(surface->window->sdl);
    if (previous)
        SDL_GL_MakeCurrent(previousWindow, previous);
    else
        SDL_GL_MakeCurrent(nullptr, nullptr);
    if (!made)
        return nullptr;
    GlRenderContext* context = new (std::nothrow) GlRenderContext{made, surface->window};
    if (!context) {
        SDL_GL_DeleteContext(made);
        return nullptr;
    }
    ++liveContexts;
    return context;
}

bool makeRenderContextCurrent(DrawingSurface* surface, GlRenderContext* context)
{
    if (!surface && !context) {
        if (fails(Win32Service::RELEASE_CURRENT))
            return false;
        return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    }
    if (fails(Win32Service::MAKE_CURRENT) || !liveSurface(surface) || !context || !surface->window->formatSet)
        return false;
    return SDL_GL_MakeCurrent(surface->window->sdl, context->context) == 0;
}

bool deleteRenderContext(GlRenderContext* context)
{
    if (fails(Win32Service::DELETE_CONTEXT) || !context)
        return false;
    SDL_GL_DeleteContext(context->context);
    delete context;
    --liveContexts;
    stopVideoWhenUnused();
    return true;
}

int liveRenderContextCount()
{
    return liveContexts;
}

uint32_t defaultWindowProcedure(NativeWindow* /*window*/, const WindowMessage& /*message*/)
{
    return 0;
}

void postQuitRequest(int /*exitCode*/)
{
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

uint32_t virtualKeyFromScancode(int scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + static_cast<uint32_t>(scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + static_cast<uint32_t>(scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VIRTUAL_KEY_F1 + static_cast<uint32_t>(scancode - SDL_SCANCODE_F1);
    switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return VIRTUAL_KEY_RETURN;
    case SDL_SCANCODE_ESCAPE: return VIRTUAL_KEY_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VIRTUAL_KEY_BACKSPACE;
    case SDL_SCANCODE_TAB: return VIRTUAL_KEY_TAB;
    case SDL_SCANCODE_SPACE: return VIRTUAL_KEY_SPACE;
    case SDL_SCANCODE_LEFT: return VIRTUAL_KEY_LEFT;
    case SDL_SCANCODE_UP: return VIRTUAL_KEY_UP;
    case SDL_SCANCODE_RIGHT: return VIRTUAL_KEY_RIGHT;
    case SDL_SCANCODE_DOWN: return VIRTUAL_KEY_DOWN;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VIRTUAL_KEY_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VIRTUAL_KEY_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return VIRTUAL_KEY_ALT;
    default: return 0;
    }
}

static uint32_t clamp16(int v)
{
    return static_cast<uint32_t>(v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v));
}

bool translateSdlEvent(const SDL_Event& event, WindowMessage& message)
{
    message = {WindowMessageKind::OTHER, 0, 0};
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        const uint32_t key = virtualKeyFromScancode(event.key.keysym.scancode);
        if (key == 0)
            return false;
        message.kind = event.type == SDL_KEYDOWN ? WindowMessageKind::KEY_DOWN : WindowMessageKind::KEY_UP;
        message.code = key;
        return true;
    }
    if (event.type != SDL_WINDOWEVENT)
        return false;
    constexpr uint32_t MINIMISED = 1u << 16;
    constexpr uint32_t ACTIVE = 1u;
    switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_RESTORED:
        message = {WindowMessageKind::ACTIVATE, ACTIVE, 0};
        return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        message = {WindowMessageKind::ACTIVATE, 0, 0};
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        message = {WindowMessageKind::ACTIVATE, MINIMISED, 0};
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        message = {WindowMessageKind::CLOSE, 0, 0};
        return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        message = {WindowMessageKind::SIZE, 0, clamp16(event.window.data1) | (clamp16(event.window.data2) << 16)};
        return true;
    default:
        return false;
    }
}

bool dispatchSdlEvent(const SDL_Event& event)
{
    uint32_t windowId = 0;
    if (event.type == SDL_WINDOWEVENT)
        windowId = event.window.windowID;
    else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
        windowId = event.key.windowID;
    else
        return false;
    WindowMessage message;
    if (!translateSdlEvent(event, message))
        return false;
    for (NativeWindow& w : windows) {
        if (!w.used || SDL_GetWindowID(w.sdl) != windowId)
            continue;
        classes[w.classIndex].description.procedure(&w, message);
        return true;
    }
    return false;
}

void failWin32Service(Win32Service service, bool fail)
{
    failing[static_cast<int>(service)] = fail;
}

void resetWin32ServiceFailures()
{
    for (bool& f : failing)
        f = false;
}
