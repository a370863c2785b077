// The debug and camera keys fed from key arrays: what each key changes (and that it changes
// nothing else), once per press for the toggles, every call for the held camera keys; and the
// debug keys' pressed table staying apart from the Win32 key table the main loop reads.
#include "app/console.h"
#include "app/debug_keys.h"
#include "app/frame.h"
#include "app/main_window.h"
#include "app/screenshot.h"
#include "platform/win32_window.h"
#include "core/clock.h"
#include "core/keyboard.h"
#include "gl_test_context.h"
#include "platform/os_services.h"
#include "render/camera.h"
#include "render/lights.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// SDL scancodes.
constexpr int KEY_A = 4, KEY_B = 5, KEY_C = 6, KEY_D = 7, KEY_E = 8, KEY_I = 12, KEY_J = 13, KEY_K = 14,
              KEY_L = 15, KEY_O = 18, KEY_Q = 20, KEY_R = 21, KEY_S = 22, KEY_U = 24, KEY_W = 26, KEY_X = 27,
              KEY_Z = 29, KEY_SPACE = 44, KEY_F4 = 61, KEY_RIGHT = 79, KEY_UP = 82;

std::vector<unsigned char> keysDown(const std::vector<int>& down)
{
    std::vector<unsigned char> keys(DEBUG_KEY_COUNT, 0);
    for (int k : down)
        keys[k] = 1;
    return keys;
}

// Everything the keys may change.
struct KeyEffects {
    int shadowView;
    unsigned char clockRestart;
    unsigned char console;
    unsigned char roll;
    unsigned char screenshot;
    float light[3];
    Camera camera;
};

KeyEffects currentEffects()
{
    KeyEffects e;
    e.shadowView = shadowDebugView;
    e.clockRestart = clockRestartRequest;
    e.console = consoleVisible;
    e.roll = cameraRollEnabled;
    e.screenshot = screenshotRequested;
    for (int i = 0; i < 3; ++i)
        e.light[i] = lightTable.position[DEBUG_LIGHT][i];
    e.camera = mainCamera;
    return e;
}

void expectEffects(const KeyEffects& actual, const KeyEffects& expected)
{
    EXPECT_EQ(actual.shadowView, expected.shadowView);
    EXPECT_EQ(actual.clockRestart, expected.clockRestart);
    EXPECT_EQ(actual.console, expected.console);
    EXPECT_EQ(actual.roll, expected.roll);
    EXPECT_EQ(actual.screenshot, expected.screenshot);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(actual.light[i], expected.light[i]) << "light axis " << i;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual.camera.eye[i], expected.camera.eye[i], 1e-6) << "eye " << i;
        EXPECT_NEAR(actual.camera.centre[i], expected.camera.centre[i], 1e-6) << "centre " << i;
        EXPECT_NEAR(actual.camera.up[i], expected.camera.up[i], 1e-6) << "up " << i;
    }
}

class DebugKeysTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset()
    {
        clearDebugKeyTables();
        keyboardState = {};
        shadowDebugView = -1;
        clockRestartRequest = 0;
        consoleVisible = 0;
        cameraRollEnabled = 0;
        screenshotRequested = 0;
        lightTable.position[DEBUG_LIGHT][0] = 10.0f;
        lightTable.position[DEBUG_LIGHT][1] = 20.0f;
        lightTable.position[DEBUG_LIGHT][2] = 30.0f;
        mainCamera.set(0, 0, 0, 0, 0, -1, 0, 1, 0);  // looking down -z
        for (bool& key : win32Keys)
            key = false;
    }
};

struct KeyCase {
    const char* name;
    std::vector<int> keys;
    void (*change)(KeyEffects&);
};

TEST_F(DebugKeysTest, EachDebugKeyActsOncePerPress)
{
    const KeyCase cases[] = {
        {"B shows the shadow view", {KEY_B}, [](KeyEffects& e) { e.shadowView = 1; }},
        {"Space requests a clock restart", {KEY_SPACE}, [](KeyEffects& e) { e.clockRestart = 1; }},
        {"Z shows the console", {KEY_Z}, [](KeyEffects& e) { e.console = 1; }},
        {"R turns the camera roll on", {KEY_R}, [](KeyEffects& e) { e.roll = 1; }},
        {"L moves light 7 along +x", {KEY_L}, [](KeyEffects& e) { e.light[0] += 5; }},
        {"J along -x", {KEY_J}, [](KeyEffects& e) { e.light[0] -= 5; }},
        {"I along +y", {KEY_I}, [](KeyEffects& e) { e.light[1] += 5; }},
        {"K along -y", {KEY_K}, [](KeyEffects& e) { e.light[1] -= 5; }},
        {"O along +z", {KEY_O}, [](KeyEffects& e) { e.light[2] += 5; }},
        {"U along -z", {KEY_U}, [](KeyEffects& e) { e.light[2] -= 5; }},
        {"L and J together cancel", {KEY_L, KEY_J}, [](KeyEffects&) {}},
        {"X, the Win32 Escape code as a scancode, does nothing", {KEY_X}, [](KeyEffects&) {}},
        {"camera keys are not debug keys", {KEY_W, KEY_F4, KEY_C}, [](KeyEffects&) {}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        KeyEffects expected = currentEffects();
        c.change(expected);
        const std::vector<unsigned char> down = keysDown(c.keys);
        // Held over three calls: it acts on the first only.
        for (int call = 0; call < 3; ++call) {
            handleDebugKeysFrom(down.data(), DEBUG_KEY_COUNT);
            expectEffects(currentEffects(), expected);
        }
        for (int key = 0; key < WIN32_KEY_COUNT; ++key)
            ASSERT_FALSE(win32Keys[key]) << "win32Keys[" << key << "]";
    }
}

TEST_F(DebugKeysTest, TogglesAlternateWithEachPress)
{
    const std::vector<unsigned char> b = keysDown({KEY_B, KEY_Z, KEY_R});
    const std::vector<unsigned char> none = keysDown({});
    const int shadowViews[] = {1, -1, 1};
    for (int press = 0; press < 3; ++press) {
        SCOPED_TRACE(press);
        handleDebugKeysFrom(b.data(), DEBUG_KEY_COUNT);
        EXPECT_EQ(shadowDebugView, shadowViews[press]);
        EXPECT_EQ(consoleVisible, press % 2 == 0 ? 1 : 0);
        EXPECT_EQ(cameraRollEnabled, press % 2 == 0 ? 1 : 0);
        handleDebugKeysFrom(none.data(), DEBUG_KEY_COUNT);
    }
}

TEST_F(DebugKeysTest, ShortOrMissingKeyArraysCountAsUp)
{
    handleDebugKeysFrom(nullptr, 0);
    std::vector<unsigned char> shortArray(KEY_B, 1);  // ends just before B
    handleDebugKeysFrom(shortArray.data(), static_cast<int>(shortArray.size()));
    EXPECT_EQ(shadowDebugView, -1);
    EXPECT_EQ(debugKeys.held[KEY_A], 1);
    EXPECT_EQ(debugKeys.held[KEY_B], 0);
}

TEST_F(DebugKeysTest, CameraKeysMoveWhileHeldAndActOnPresses)
{
    const KeyCase cases[] = {
        {"W moves forward", {KEY_W},
         [](KeyEffects& e) { e.camera.set(0, 0, -0.33f, 0, 0, -1.33f, 0, 1, 0); }},
        {"S moves back", {KEY_S}, [](KeyEffects& e) { e.camera.set(0, 0, 0.33f, 0, 0, -0.67f, 0, 1, 0); }},
        {"A strafes left", {KEY_A}, [](KeyEffects& e) { e.camera.set(-0.33f, 0, 0, -0.33f, 0, -1, 0, 1, 0); }},
        {"D strafes right", {KEY_D}, [](KeyEffects& e) { e.camera.set(0.33f, 0, 0, 0.33f, 0, -1, 0, 1, 0); }},
        {"Q moves down", {KEY_Q}, [](KeyEffects& e) { e.camera.set(0, -0.33f, 0, 0, -0.33f, -1, 0, 1, 0); }},
        {"E moves up", {KEY_E}, [](KeyEffects& e) { e.camera.set(0, 0.33f, 0, 0, 0.33f, -1, 0, 1, 0); }},
        {"W and S together cancel", {KEY_W, KEY_S}, [](KeyEffects&) {}},
        {"C only reports the pose", {KEY_C}, [](KeyEffects&) {}},
        {"F4 requests a screenshot", {KEY_F4}, [](KeyEffects& e) { e.screenshot = 1; }},
        {"debug keys are not camera keys", {KEY_B, KEY_Z, KEY_SPACE, KEY_L}, [](KeyEffects&) {}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        KeyEffects expected = currentEffects();
        c.change(expected);
        const std::vector<unsigned char> down = keysDown(c.keys);
        handleCameraKeysFrom(down.data(), DEBUG_KEY_COUNT);
        expectEffects(currentEffects(), expected);
    }
}

TEST_F(DebugKeysTest, HeldMovesRepeatButPressesDoNot)
{
    const std::vector<unsigned char> down = keysDown({KEY_W, KEY_F4});
    handleCameraKeysFrom(down.data(), DEBUG_KEY_COUNT);
    EXPECT_EQ(screenshotRequested, 1);
    screenshotRequested = 0;  // served by the frame
    handleCameraKeysFrom(down.data(), DEBUG_KEY_COUNT);
    EXPECT_EQ(screenshotRequested, 0) << "F4 held: no second shot";
    // Two moves of a third of the view direction each.
    EXPECT_NEAR(mainCamera.eye[2], -0.33f - 0.33f, 1e-5);
    EXPECT_NEAR(mainCamera.centre[2], -1.33f - 0.33f, 1e-5);
}

TEST_F(DebugKeysTest, PrintedKeyStates)
{
    const struct {
        std::vector<int> keys;
        const char* printed;
    } cases[] = {
        {{KEY_A}, "<A> is pressed.\n"},
        {{KEY_RIGHT, KEY_UP}, "Right and Up Keys Pressed.\n"},
        {{KEY_RIGHT}, ""},
        {{KEY_UP, KEY_A, KEY_RIGHT}, "<A> is pressed.\nRight and Up Keys Pressed.\n"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        const std::vector<unsigned char> down = keysDown(c.keys);
        testing::internal::CaptureStdout();
        printPressedKeysFrom(down.data(), DEBUG_KEY_COUNT);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    }
}

TEST_F(DebugKeysTest, LiveKeyArrayIsFetchedWhenFirstNeeded)
{
    keyStatePointer = nullptr;
    handleDebugKeys();
    EXPECT_NE(keyStatePointer, nullptr);
    EXPECT_EQ(shadowDebugView, -1) << "no key is down in SDL's array here";
}

int passThrough()
{
    return 1;
}

// X pressed on the debug keys, then a main-loop pass: the loop goes on.
TEST_F(DebugKeysTest, XPressedDoesNotEndTheMainLoop)
{
    REQUIRE_GL_CONTEXT();
    const std::vector<unsigned char> x = keysDown({KEY_X});
    handleDebugKeysFrom(x.data(), DEBUG_KEY_COUNT);
    ASSERT_EQ(debugKeys.pressed[KEY_X], 1);

    mainWindow = glTestContext().window;
    mainLoopFrameRoutine = passThrough;
    quitRequested = 0;
    frameCounter = 0;
    presentCounter = 0;
    windowActive = 1;
    useVirtualCounter(true);
    setVirtualCounter(0);
    initClockFrequency();
    startClock();
    const bool goesOn = runMainLoopPass();
    mainLoopFrameRoutine = renderFrame;
    mainWindow = nullptr;
    useVirtualCounter(false);
    EXPECT_TRUE(goesOn);
    EXPECT_EQ(quitRequested, 0);
    quitRequested = 0;
}

}  // namespace
