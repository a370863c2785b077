#include "app/frame.h"

#include "core/clock.h"
#include "app/console.h"
#include "app/legacy_states.h"
#include "core/data_files.h"
#include "app/main_loop_state.h"  // frameRoutineEnabled, quitRequested
#include "app/music.h"
#include "app/screenshot.h"
#include "game/game.h"
#include "core/keyboard.h"
#include "gfx/render_targets.h"
#include "gfx/shadow_map.h"
#include "platform/gl_api.h"
#include "render/camera.h"
#include "render/lights.h"
#include "render/overlay.h"
#include "render/screen_passes.h"
#include "scenes/scenes.h"

#include <cmath>

float timelineT = 0.0f;
int demoState = STATE_GAME;
int prevDemoState = 0;
float fpsAverage = 0.0f;
unsigned char cameraRollEnabled = 0;
int shadowDebugView = -1;
unsigned char gameFirstFrame = 1;
unsigned char timelineDrivesState = 1;

static float fpsSum = 0.0f;
static int fpsSamples = 0;

static constexpr int SCANCODE_RETURN = 40;
static constexpr int SCANCODE_SPACE = 44;
static constexpr int FPS_SAMPLES = 10;

// The scenes in timeline order, each with the position it ends at. Every scene but the flyover
// keeps its end position; the flyover gives way to the logo glow at 45.5 itself.
struct TimelineEntry {
    int state;
    const char* name;
    float endT;
    bool endIncluded;
};

static const TimelineEntry TIMELINE[] = {
    {STATE_PICTURE, "picture", 3.0f, true},
    {STATE_PALETTE_LOGO, "palette_logo", 8.0f, true},
    {STATE_RADIAL_BLUR, "radial_blur", 11.5f, true},
    {STATE_DISCO_BALL, "disco_ball", 15.5f, true},
    {STATE_TUNNEL, "tunnel", 23.75f, true},
    {STATE_RINGS, "rings", 29.5f, true},
    {STATE_PLASMA, "plasma", 31.5f, true},
    {STATE_FLYOVER, "flyover", 45.5f, false},
    {STATE_LOGO_GLOW, "logo_glow", INFINITY, true},
};
static constexpr int TIMELINE_SCENES = static_cast<int>(sizeof(TIMELINE) / sizeof(TIMELINE[0]));

static int timelineIndexOf(int state)
{
    for (int i = 0; i < TIMELINE_SCENES; ++i)
        if (TIMELINE[i].state == state)
            return i;
    return -1;
}

int timelineStateAt(float t)
{
    for (const TimelineEntry& entry : TIMELINE)
        if (entry.endIncluded ? t <= entry.endT : t < entry.endT)
            return entry.state;
    return STATE_GAME;  // only a NaN position gets here
}

float timelineStateBeginT(int state)
{
    int i = timelineIndexOf(state);
    return i > 0 ? TIMELINE[i - 1].endT : -INFINITY;
}

int timelineStateAtMusicMs(double musicMs)
{
    float rows = static_cast<float>(musicMs) * MUSIC_ROWS_PER_MS;
    return timelineStateAt(static_cast<float>(static_cast<double>(rows * 0.03125f) - TIMELINE_OFFSET));
}

// The first whole millisecond of music time whose frame falls into the state.
double stateStartSeconds(int state)
{
    int i = timelineIndexOf(state);
    if (i < 0)
        return -1.0;
    if (i == 0)
        return 0.0;
    double rows = (static_cast<double>(TIMELINE[i - 1].endT) + TIMELINE_OFFSET) * 32.0;
    // The estimate lands within a few milliseconds of the cut; walk to its first millisecond.
    int ms = static_cast<int>(rows / static_cast<double>(MUSIC_ROWS_PER_MS));
    while (timelineStateAtMusicMs(ms) == state)
        --ms;
    while (timelineStateAtMusicMs(ms) != state)
        ++ms;
    return ms / 1000.0;
}

const char* stateSceneName(int state)
{
    int i = timelineIndexOf(state);
    return i < 0 ? "game" : TIMELINE[i].name;
}

void rotateCameraUp(float* v, float angleX, float angleY, float angleZ)
{
    float x = v[0];
    float y = v[1];
    float z = v[2];
    float ca = std::cos(angleX), sa = std::sin(angleX);
    float y1 = y * ca - z * sa;
    float z1 = y * sa + z * ca;
    float cb = std::cos(angleY), sb = std::sin(angleY);
    float x2 = x * cb + z1 * sb;
    float z2 = z1 * cb - x * sb;
    float cc = std::cos(angleZ), sc = std::sin(angleZ);
    v[0] = x2 * cc - y1 * sc;
    v[1] = x2 * sc + y1 * cc;
    v[2] = z2;
}

void clearScreen()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void drawInwardBox()
{
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);  // back face at z = -20, normal toward +z
    glVertex3f(-10.0f, -10.0f, -20.0f);
    glVertex3f(10.0f, -10.0f, -20.0f);
    glVertex3f(10.0f, 10.0f, -20.0f);
    glVertex3f(-10.0f, 10.0f, -20.0f);
    glNormal3f(0.0f, 0.0f, -1.0f);
    glVertex3f(-10.0f, -10.0f, 20.0f);
    glVertex3f(-10.0f, 10.0f, 20.0f);
    glVertex3f(10.0f, 10.0f, 20.0f);
    glVertex3f(10.0f, -10.0f, 20.0f);
    glNormal3f(1.0f, 0.0f, 0.0f);
    glVertex3f(-10.0f, -10.0f, -20.0f);
    glVertex3f(-10.0f, 10.0f, -20.0f);
    glVertex3f(-10.0f, 10.0f, 20.0f);
    glVertex3f(-10.0f, -10.0f, 20.0f);
    glNormal3f(-1.0f, 0.0f, 0.0f);
    glVertex3f(10.0f, -10.0f, -20.0f);
    glVertex3f(10.0f, -10.0f, 20.0f);
    glVertex3f(10.0f, 10.0f, 20.0f);
    glVertex3f(10.0f, 10.0f, -20.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(-10.0f, -10.0f, -20.0f);
    glVertex3f(-10.0f, -10.0f, 20.0f);
    glVertex3f(10.0f, -10.0f, 20.0f);
    glVertex3f(10.0f, -10.0f, -20.0f);
    glNormal3f(0.0f, -1.0f, 0.0f);
    glVertex3f(-10.0f, 10.0f, -20.0f);
    glVertex3f(10.0f, 10.0f, -20.0f);
    glVertex3f(10.0f, 10.0f, 20.0f);
    glVertex3f(-10.0f, 10.0f, 20.0f);
    glEnd();
}

static void drawSceneOfState(int state)
{
    switch (state) {
    case STATE_PICTURE: drawPictureScene(); break;
    case STATE_PALETTE_LOGO: drawPaletteLogoScene(); break;
    case STATE_RADIAL_BLUR: drawRadialBlurScene(); break;
    case STATE_DISCO_BALL: drawDiscoBallScene(); break;
    case STATE_TUNNEL: drawTunnelScene(); break;
    case STATE_RINGS: drawRingsScene(); break;
    case STATE_PLASMA: drawPlasmaScene(); break;
    case STATE_FLYOVER: drawFlyoverScene(); break;
    case STATE_LOGO_GLOW: drawLogoGlowScene(); break;
    case STATE_LEGACY_MODELS: drawLegacyState(); break;
    default: break;
    }
}

static void runGameStep()
{
    if (gameFirstFrame) {
        initEditor();
        presetRandomOrbitLights();
        restartGame();
        gameFirstFrame = 0;
    }
    int t0 = clockNowMs();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    gameFrame();
    int t1 = clockNowMs();
    // A frame shorter than the clock's resolution (every frame on the virtual clock) counts as
    // 1 ms, so the average stays finite.
    int frameMs = t1 - t0 > 0 ? t1 - t0 : 1;
    fpsSum += 1000.0f / static_cast<float>(frameMs);
    if (++fpsSamples >= FPS_SAMPLES) {
        fpsAverage = fpsSum / static_cast<float>(FPS_SAMPLES);
        fpsSum = 0.0f;
        fpsSamples = 0;
    }
}

int renderFrame()
{
    if (!frameRoutineEnabled)
        return 0;
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);

    rotateCameraUp(mainCamera.up, 0.0f, 0.0f, cameraRollEnabled ? 0.01f : 0.0f);

    loadFrameView();
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);

    beatFlags = pollMusicRowClock();
    timelineT = static_cast<float>(static_cast<double>(musicTime) - TIMELINE_OFFSET);
    float t = timelineT;

    if (keyboardState.pressed[SCANCODE_RETURN])
        restartFlyoverFirstFrame();
    if (keyboardState.pressed[SCANCODE_SPACE])
        debugLog("switch at %f\n", static_cast<double>(timelineT));

    if (timelineDrivesState) {
        demoState = timelineStateAt(t);
        if (demoState == STATE_FLYOVER)
            updateFlyoverScene(t - timelineStateBeginT(STATE_FLYOVER));
        if (t > TIMELINE_END)
            quitRequested = 1;
    }

    if (demoState != prevDemoState) {
        prevDemoState = demoState;
        sceneStartMs = clockNowMs();
        if (demoState == STATE_PICTURE)
            enterPictureScene();
        if (demoState == STATE_FLYOVER)
            enterFlyoverScene();
        // These two are seen through the frame's projection, so their camera goes in before
        // their first draw; otherwise that frame shows the previous scene's camera.
        if (demoState == STATE_TUNNEL) {
            enterTunnelScene();
            loadFrameProjection();
        }
        if (demoState == STATE_RINGS) {
            enterRingsScene();
            loadFrameProjection();
        }
    }

    if (demoState == STATE_GAME)
        runGameStep();
    else
        drawSceneOfState(demoState);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawCornerOverlay();
    drawConsole();
    if (shadowDebugView >= 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        drawShadowMapView();
    }
    glFlush();

    endPathCameraFrame();

    serveScreenshotRequest();
    return 1;
}
