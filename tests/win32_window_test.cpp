// The Win32/WGL window path over the platform's window services: the window procedure's
// messages, SDL events translated into them, windows made under Xvfb (windowed and full screen)
// with a current context and a teardown that leaves nothing, and every failure's boxes in order.
// Questions get preset answers, so nothing here can wait for a person.
#include "app/frame.h"
#include "app/main_window.h"
#include "app/win32_gl_window.h"
#include "platform/win32_window.h"
#include "core/clock.h"
#include "platform/gl_api.h"
#include "platform/os_services.h"
#include "platform/win32_services.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

int pendingQuitEvents()
{
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT);
}

void resetPathState()
{
    for (bool& key : win32Keys)
        key = false;
    windowActive = 1;
    win32Fullscreen = 1;
    win32Instance = nullptr;
    win32Window = nullptr;
    win32DeviceContext = nullptr;
    win32RenderContext = nullptr;
    resetWin32ServiceFailures();
}

class Win32WindowPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0) << SDL_GetError();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        presetMessageBoxAnswer(MessageBoxAnswer::YES);
        resetPathState();
    }
    void TearDown() override
    {
        resetWin32ServiceFailures();
        presetMessageBoxAnswer(MessageBoxAnswer::PERSON);
        resetPathState();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    // Creation and teardown leave nothing: no window, context, class or display mode.
    static void expectNothingLeft()
    {
        EXPECT_EQ(nativeWindowCount(), 0);
        EXPECT_EQ(liveRenderContextCount(), 0);
        EXPECT_FALSE(windowClassRegistered("OpenGL", currentModule()));
        EXPECT_FALSE(displayModeChanged());
        EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
        EXPECT_EQ(win32Window, nullptr);
        EXPECT_EQ(win32DeviceContext, nullptr);
        EXPECT_EQ(win32RenderContext, nullptr);
    }
};

TEST_F(Win32WindowPath, WindowProcedureMessages)
{
    const struct {
        const char* name;
        WindowMessage message;
        int windowActive;  // afterwards, from 1
        int keyDown;       // a win32Keys entry expected set, -1 for none
        int quitEvents;
    } cases[] = {
        {"activation while shown", {WindowMessageKind::ACTIVATE, 1, 0}, 1, -1, 0},
        {"deactivation, not minimised", {WindowMessageKind::ACTIVATE, 0, 0}, 1, -1, 0},
        {"minimised", {WindowMessageKind::ACTIVATE, 1u << 16, 0}, 0, -1, 0},
        {"close asks the loop to end", {WindowMessageKind::CLOSE, 0, 0}, 1, -1, 1},
        {"Escape down", {WindowMessageKind::KEY_DOWN, 27, 0}, 1, 27, 0},
        {"the last key of the table", {WindowMessageKind::KEY_DOWN, 511, 0}, 1, 511, 0},
        {"a code past the table is ignored", {WindowMessageKind::KEY_DOWN, 512, 0}, 1, -1, 0},
        {"a huge code is ignored", {WindowMessageKind::KEY_DOWN, 0xFFFFFFFFu, 0}, 1, -1, 0},
        {"screen saver swallowed", {WindowMessageKind::SYSTEM_COMMAND, SYSTEM_COMMAND_SCREEN_SAVER, 0}, 1, -1, 0},
        {"monitor power swallowed", {WindowMessageKind::SYSTEM_COMMAND, SYSTEM_COMMAND_MONITOR_POWER, 0}, 1, -1, 0},
        {"other system commands pass on", {WindowMessageKind::SYSTEM_COMMAND, SYSTEM_COMMAND_OTHER, 0}, 1, -1, 0},
        {"any other message", {WindowMessageKind::OTHER, 5, 6}, 1, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetPathState();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        EXPECT_EQ(win32WindowProc(nullptr, c.message), 0u);
        EXPECT_EQ(windowActive, c.windowActive);
        for (int key = 0; key < WIN32_KEY_COUNT; ++key)
            ASSERT_EQ(win32Keys[key], key == c.keyDown) << "key " << key;
        EXPECT_EQ(pendingQuitEvents(), c.quitEvents);
    }
    // A key up clears what its key down set.
    win32WindowProc(nullptr, {WindowMessageKind::KEY_DOWN, 27, 0});
    win32WindowProc(nullptr, {WindowMessageKind::KEY_UP, 27, 0});
    EXPECT_FALSE(win32Keys[27]);
}

TEST_F(Win32WindowPath, SdlEventsBecomeWindowMessages)
{
    auto keyEvent = [](Uint32 type, SDL_Scancode scancode) {
        SDL_Event e = {};
        e.type = type;
        e.key.keysym.scancode = scancode;
        return e;
    };
    auto windowEvent = [](Uint8 kind, int data1 = 0, int data2 = 0) {
        SDL_Event e = {};
        e.type = SDL_WINDOWEVENT;
        e.window.event = kind;
        e.window.data1 = data1;
        e.window.data2 = data2;
        return e;
    };
    const struct {
        const char* name;
        SDL_Event event;
        bool translated;
        WindowMessageKind kind;
        uint32_t code;
        uint32_t data;
    } cases[] = {
        {"Escape is virtual key 27", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE), true, WindowMessageKind::KEY_DOWN, 27, 0},
        {"letters are their capitals", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_X), true, WindowMessageKind::KEY_DOWN, 'X', 0},
        {"digits", keyEvent(SDL_KEYUP, SDL_SCANCODE_0), true, WindowMessageKind::KEY_UP, '0', 0},
        {"F4", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_F4), true, WindowMessageKind::KEY_DOWN, 115, 0},
        {"arrows", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_UP), true, WindowMessageKind::KEY_DOWN, 38, 0},
        {"right shift", keyEvent(SDL_KEYUP, SDL_SCANCODE_RSHIFT), true, WindowMessageKind::KEY_UP, 16, 0},
        {"a key outside the table", keyEvent(SDL_KEYDOWN, SDL_SCANCODE_KP_5), false, WindowMessageKind::OTHER, 0, 0},
        {"focus gained", windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), true, WindowMessageKind::ACTIVATE, 1, 0},
        {"focus lost", windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), true, WindowMessageKind::ACTIVATE, 0, 0},
        {"minimised", windowEvent(SDL_WINDOWEVENT_MINIMIZED), true, WindowMessageKind::ACTIVATE, 1u << 16, 0},
        {"restored", windowEvent(SDL_WINDOWEVENT_RESTORED), true, WindowMessageKind::ACTIVATE, 1, 0},
        {"close", windowEvent(SDL_WINDOWEVENT_CLOSE), true, WindowMessageKind::CLOSE, 0, 0},
        {"size: width low, height high", windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768), true,
         WindowMessageKind::SIZE, 0, 1024u | (768u << 16)},
        {"moved means nothing here", windowEvent(SDL_WINDOWEVENT_MOVED, 5, 5), false, WindowMessageKind::OTHER, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowMessage message;
        ASSERT_EQ(translateSdlEvent(c.event, message), c.translated);
        if (!c.translated)
            continue;
        EXPECT_EQ(message.kind, c.kind);
        EXPECT_EQ(message.code, c.code);
        EXPECT_EQ(message.data, c.data);
    }
}

int passThrough()
{
    return 1;
}

// Escape pressed on the window path ends the main loop at the top of its next pass, unless the
// window is minimised.
TEST_F(Win32WindowPath, EscapeThroughTheWindowEndsTheMainLoop)
{
    ASSERT_TRUE(createWin32GlWindow("escape", 320, 200, 32, 0));
    ASSERT_TRUE(resolveGlFunctions());
    mainWindow = nullptr;  // nothing to present: the loop's swaps go nowhere
    mainLoopFrameRoutine = passThrough;
    useVirtualCounter(true);
    initClockFrequency();
    startClock();
    frameCounter = 10;
    presentCounter = 0;

    const struct {
        const char* name;
        bool minimised;
        bool loopEnds;
    } cases[] = {{"shown", false, true}, {"minimised", true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        quitRequested = 0;
        for (bool& key : win32Keys)
            key = false;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        SDL_Event activate = {};
        activate.type = SDL_WINDOWEVENT;
        activate.window.windowID = 0;
        activate.window.event = c.minimised ? SDL_WINDOWEVENT_MINIMIZED : SDL_WINDOWEVENT_RESTORED;
        WindowMessage message;
        ASSERT_TRUE(translateSdlEvent(activate, message));
        win32WindowProc(win32Window, message);

        SDL_Event escape = {};
        escape.type = SDL_KEYDOWN;
        escape.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
        ASSERT_TRUE(translateSdlEvent(escape, message));
        win32WindowProc(win32Window, message);
        EXPECT_EQ(runMainLoopPass(), !c.loopEnds);
        EXPECT_EQ(quitRequested, c.loopEnds ? 1 : 0);
    }
    mainLoopFrameRoutine = renderFrame;
    useVirtualCounter(false);
    quitRequested = 0;
    windowActive = 1;
    testing::internal::CaptureStderr();
    destroyWin32GlWindow();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Win32WindowPath, OpensWindowedAndFullScreenWithACurrentContext)
{
    const struct {
        const char* name;
        int width, height;
        unsigned char fullscreen;
    } cases[] = {
        {"windowed", 640, 360, 0},
        {"full screen at the display's size", 1920, 1080, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStderr();
        ASSERT_TRUE(createWin32GlWindow(c.name, c.width, c.height, 32, c.fullscreen));
        EXPECT_EQ(win32Fullscreen, c.fullscreen);
        EXPECT_EQ(displayModeChanged(), c.fullscreen != 0);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), c.fullscreen ? SDL_DISABLE : SDL_ENABLE);
        ASSERT_NE(SDL_GL_GetCurrentContext(), nullptr);
        int width = 0, height = 0;
        nativeWindowSize(win32Window, width, height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.height);
        GLint stencilBits = 0, depthBits = 0;
        glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
        glGetIntegerv(GL_DEPTH_BITS, &depthBits);
        EXPECT_GE(stencilBits, 1);
        EXPECT_GE(depthBits, 16);
        // The context draws: a clear reads back.
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        unsigned char pixel[4] = {};
        glReadPixels(c.width / 2, c.height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[1], 255);
        EXPECT_EQ(pixel[0], 0);

        destroyWin32GlWindow();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no box on a clean run";
        expectNothingLeft();
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    }
}

TEST_F(Win32WindowPath, SizeMessagesSetTheViewport)
{
    ASSERT_TRUE(createWin32GlWindow("size", 640, 480, 32, 0));
    const struct {
        uint32_t width, height;
        GLint viewportHeight;
    } cases[] = {{320, 240, 240}, {640, 0, 1}, {1, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        glMatrixMode(GL_PROJECTION);
        glTranslatef(1, 2, 3);
        glMatrixMode(GL_MODELVIEW);
        glScalef(2, 2, 2);
        EXPECT_EQ(win32WindowProc(win32Window, {WindowMessageKind::SIZE, 0, c.width | (c.height << 16)}), 0u);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], static_cast<GLint>(c.width));
        EXPECT_EQ(viewport[3], c.viewportHeight);
        for (GLenum matrix : {GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX}) {
            GLfloat m[16];
            glGetFloatv(matrix, m);
            for (int i = 0; i < 16; ++i)
                EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << "element " << i;
        }
    }
    destroyWin32GlWindow();
    expectNothingLeft();
}

TEST_F(Win32WindowPath, CreationFailuresShowTheirBoxesInOrderAndLeaveNothing)
{
    const struct {
        const char* name;
        std::vector<Win32Service> failing;
        std::vector<std::string> boxes;
    } cases[] = {
        {"class", {Win32Service::REGISTER_CLASS}, {"ERROR: Failed To Register The Window Class."}},
        {"window", {Win32Service::CREATE_WINDOW}, {"ERROR: Window Creation Error."}},
        {"device context", {Win32Service::GET_SURFACE}, {"ERROR: Can't Create A GL Device Context."}},
        {"choosing the format", {Win32Service::CHOOSE_PIXEL_FORMAT}, {"ERROR: Can't Find A Suitable PixelFormat."}},
        {"setting the format", {Win32Service::SET_PIXEL_FORMAT}, {"ERROR: Can't Set The PixelFormat."}},
        {"context", {Win32Service::CREATE_CONTEXT}, {"ERROR: Can't Create A GL Rendering Context."}},
        {"making it current", {Win32Service::MAKE_CURRENT}, {"ERROR: Can't Activate The GL Rendering Context."}},
        {"making it current, then its teardown",
         {Win32Service::MAKE_CURRENT, Win32Service::RELEASE_CURRENT},
         {"SHUTDOWN ERROR: Release Of DC And RC Failed.", "ERROR: Can't Activate The GL Rendering Context."}},
        {"the format, with a surface that will not go",
         {Win32Service::SET_PIXEL_FORMAT, Win32Service::RELEASE_SURFACE},
         {"SHUTDOWN ERROR: Release Device Context Failed.", "ERROR: Can't Set The PixelFormat."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetPathState();
        for (Win32Service s : c.failing)
            failWin32Service(s, true);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(createWin32GlWindow(c.name, 320, 200, 32, 0));
        EXPECT_EQ(lines(testing::internal::GetCapturedStderr()), c.boxes);
        resetWin32ServiceFailures();
        expectNothingLeft();
    }
}

TEST_F(Win32WindowPath, FullScreenModeTheDisplayLacks)
{
    const std::string question =
        " : The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead? [Yes/No]";
    const std::vector<std::string> questionLines = lines(question);

    // Yes: a window instead.
    presetMessageBoxAnswer(MessageBoxAnswer::YES);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(createWin32GlWindow("odd mode", 1234, 567, 32, 1));
    std::vector<std::string> expected = questionLines;
    expected.push_back(" : answered Yes");
    EXPECT_EQ(lines(testing::internal::GetCapturedStderr()), expected);
    EXPECT_EQ(win32Fullscreen, 0);
    EXPECT_FALSE(displayModeChanged());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    int width = 0, height = 0;
    nativeWindowSize(win32Window, width, height);
    EXPECT_EQ(width, 1234);
    EXPECT_EQ(height, 567);
    destroyWin32GlWindow();
    expectNothingLeft();

    // No: the program would close; only the class stays registered.
    resetPathState();
    presetMessageBoxAnswer(MessageBoxAnswer::NO);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(createWin32GlWindow("odd mode", 1234, 567, 32, 1));
    expected = questionLines;
    expected.push_back(" : answered No");
    expected.push_back("ERROR: Program Will Now Close.");
    EXPECT_EQ(lines(testing::internal::GetCapturedStderr()), expected);
    EXPECT_EQ(nativeWindowCount(), 0);
    EXPECT_TRUE(windowClassRegistered("OpenGL", currentModule()));
    EXPECT_TRUE(unregisterWindowClass("OpenGL", currentModule()));
}

TEST_F(Win32WindowPath, TeardownFailuresAreBoxedAndTheTeardownGoesOn)
{
    const struct {
        const char* name;
        std::vector<Win32Service> failing;
        std::vector<std::string> boxes;
    } cases[] = {
        {"nothing fails", {}, {}},
        {"releasing the context", {Win32Service::RELEASE_CURRENT}, {"SHUTDOWN ERROR: Release Of DC And RC Failed."}},
        {"every step",
         {Win32Service::RELEASE_CURRENT, Win32Service::DELETE_CONTEXT, Win32Service::RELEASE_SURFACE,
          Win32Service::DESTROY_WINDOW, Win32Service::UNREGISTER_CLASS},
         {"SHUTDOWN ERROR: Release Of DC And RC Failed.", "SHUTDOWN ERROR: Release Rendering Context Failed.",
          "SHUTDOWN ERROR: Release Device Context Failed.", "SHUTDOWN ERROR: Could Not Release hWnd.",
          "SHUTDOWN ERROR: Could Not Unregister Class."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetPathState();
        ASSERT_TRUE(createWin32GlWindow(c.name, 320, 200, 32, 0));
        NativeWindow* window = win32Window;
        GlRenderContext* context = win32RenderContext;
        for (Win32Service s : c.failing)
            failWin32Service(s, true);
        testing::internal::CaptureStderr();
        destroyWin32GlWindow();
        EXPECT_EQ(lines(testing::internal::GetCapturedStderr()), c.boxes);
        EXPECT_EQ(win32Window, nullptr) << "a handle is forgotten once its release was tried";
        EXPECT_EQ(win32RenderContext, nullptr);
        // Clear up what the failures kept.
        resetWin32ServiceFailures();
        makeRenderContextCurrent(nullptr, nullptr);
        if (liveRenderContextCount() > 0)
            deleteRenderContext(context);
        if (nativeWindowCount() > 0)
            destroyNativeWindow(window);
        unregisterWindowClass("OpenGL", currentModule());
        expectNothingLeft();
    }
}

// The class is registered once: a second creation before the teardown stops at the class,
// and the first window is still whole.
TEST_F(Win32WindowPath, ASecondWindowStopsAtTheClass)
{
    ASSERT_TRUE(createWin32GlWindow("first", 320, 200, 32, 0));
    NativeWindow* first = win32Window;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(createWin32GlWindow("second", 320, 200, 32, 0));
    EXPECT_EQ(lines(testing::internal::GetCapturedStderr()),
              std::vector<std::string>{"ERROR: Failed To Register The Window Class."});
    EXPECT_EQ(win32Window, first);
    EXPECT_EQ(nativeWindowCount(), 1);
    destroyWin32GlWindow();
    expectNothingLeft();
}

// WinMain's teardown after a failed start-up: no Win32 window exists, so only the display mode
// and the cursor come back, and unregistering the class fails with its box.
TEST_F(Win32WindowPath, TeardownWithoutAWindow)
{
    SDL_ShowCursor(SDL_DISABLE);
    testing::internal::CaptureStderr();
    destroyWin32GlWindow();
    EXPECT_EQ(lines(testing::internal::GetCapturedStderr()),
              std::vector<std::string>{"SHUTDOWN ERROR: Could Not Unregister Class."});
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    expectNothingLeft();
}

}  // namespace
