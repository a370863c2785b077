#include "app/main_window.h"

#include "core/clock.h"
#include "core/data_files.h"
#include "core/keyboard.h"      // noteKeyDown
#include "app/frame.h"
#include "core/sound.h"
#include "app/startup.h"
#include "platform/win32_window.h"
#include "platform/display_loss.h"
#include "platform/gl_api.h"
#include "platform/large_heap.h"
#include "platform/os_services.h"

#include <cstdio>

int frameCounter = 0;
int presentCounter = 0;
int nowMs = 0;
int prevMs = 0;
int (*mainLoopFrameRoutine)() = renderFrame;

static const char WINDOW_TITLE[] = "mornglow";
static constexpr int SCANCODE_ESCAPE = 41;
static unsigned char charKeyFlag = 1;

static void setColourAttributes(bool accumulation)
{
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, 32);
    int accum = accumulation ? 8 : 0;
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accum);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, accum);
}

static void setMultisampleAttributes(bool multisample)
{
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, multisample ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, multisample ? 2 : 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

static SDL_Window* openWindow()
{
    return SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, SCREEN_WIDTH,
                            SCREEN_HEIGHT, SDL_WINDOW_FULLSCREEN | SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
}

// Accumulation together with multisampling has no visual on some drivers (Mesa under X):
// give up the accumulation buffer first, then multisampling, and say what was dropped.
static SDL_Window* openWindowWithFallbacks()
{
    SDL_Window* window = openWindow();
    if (window)
        return window;
    std::fprintf(stderr, "window: no visual with an accumulation buffer and multisampling (%s); "
                         "retrying without the accumulation buffer\n", SDL_GetError());
    setColourAttributes(false);
    window = openWindow();
    if (window)
        return window;
    std::fprintf(stderr, "window: still no visual (%s); retrying without multisampling\n", SDL_GetError());
    setMultisampleAttributes(false);
    return openWindow();
}

bool createMainWindow()
{
    reserveLargeHeap();
    beginLoadStep("window");
    std::printf("a1 ");
    std::printf("b ");
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        std::printf("SDL could not initialize! SDL Error: %s\n", SDL_GetError());
        return false;
    }
    installDisplayLossHandler();
    std::printf("b1 ");
    SDL_Init(SDL_INIT_EVERYTHING);
    std::printf("b2 ");
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    std::printf("b3 ");
    setColourAttributes(true);
    std::printf("b4 ");
    setMultisampleAttributes(true);
    std::printf("b5 ");
    std::printf("c ");
    std::fflush(stdout);
    mainWindow = openWindowWithFallbacks();
    if (!mainWindow) {
        debugLog("Window could not be created! SDL Error: %s\n", SDL_GetError());
        return false;
    }
    std::printf("d ");
    glContext = SDL_GL_CreateContext(mainWindow);
    if (!glContext) {
        debugLog("OpenGL context could not be created! SDL Error: %s\n", SDL_GetError());
        return false;
    }
    std::printf("e ");
    if (SDL_GL_SetSwapInterval(1) < 0)
        debugLog("Warning: Unable to set VSync! SDL Error: %s\n", SDL_GetError());
    std::printf("f ");
    bool resolved = resolveGlFunctions();
    if (!resolved)
        std::puts("Unable to initialize OpenGL!");
    std::printf("g ");
    glEnable(GL_MULTISAMPLE);
    std::fflush(stdout);
    endLoadStep("window");
    populateLargeHeapAhead();
    return resolved;
}

void closeMainWindow()
{
    if (glContext)
        SDL_GL_DeleteContext(glContext);
    glContext = nullptr;
    SDL_DestroyWindow(mainWindow);
    mainWindow = nullptr;
    SDL_Quit();
}

void shutdownHook() {}

void emptyCallback() {}

void handleCharKey(char c)
{
    if (c == 'q')
        charKeyFlag = !charKeyFlag;
}

bool runMainLoopPass()
{
    if (quitRequested)
        return false;
    if (windowActive && win32Keys[WIN32_KEY_ESCAPE]) {
        quitRequested = 1;
        return false;
    }
    // Key-down events are noted for the keyboard tables and Escape is taken from its event, so a
    // tap that is over before this pass (a slow frame) still counts.
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            quitRequested = 1;
        if (event.type != SDL_KEYDOWN)
            continue;
        noteKeyDown(event.key.keysym.scancode);
        if (event.key.keysym.scancode == SCANCODE_ESCAPE)
            quitRequested = 1;
    }
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    if (keys && keys[SCANCODE_ESCAPE])
        quitRequested = 1;

    ++frameCounter;
    if (frameCounter > 10000) {
        frameCounter = 1000;
        mainLoopFrameRoutine();
    } else if (frameCounter > 4) {
        mainLoopFrameRoutine();
    } else {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }

    if (presentCounter > 1)
        SDL_GL_SwapWindow(mainWindow);

    prevMs = nowMs;
    nowMs = clockNowMs();
    frameDt = framesOfMs(static_cast<float>(nowMs - prevMs));

    ++presentCounter;
    if (presentCounter > 100)
        presentCounter = 10;
    return true;
}

int WinMain(void* /*instance*/, void* /*previousInstance*/, char* /*commandLine*/, int /*showCommand*/)
{
    std::printf("a ");
    if (!createMainWindow())
        return 0;
    initClockFrequency();
    if (!initDemo()) {
        destroyWin32GlWindow();
        showMessageBox("Initialization Failed.", "ERROR", MESSAGE_BOX_ICON_WARNING);
        return 0;
    }
    frameRoutineEnabled = 1;
    initSound();
    while (runMainLoopPass()) {
    }
    shutdownHook();
    closeMainWindow();
    return 0;
}
