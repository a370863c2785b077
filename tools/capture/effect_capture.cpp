#include "tools/capture/effect_capture.h"

#include "app/tool_cli.h"  // ProgressLine, StdoutToStderr

#include "app/frame.h"           // sceneStartMs, frameDt
#include "app/legacy_states.h"
#include "app/main_window.h"     // mainWindow, SCREEN_WIDTH / HEIGHT
#include "app/offline_driver.h"  // startDemoOffline
#include "core/clock.h"          // clockState, clockNowMs
#include "platform/gl_api.h"
#include "platform/os_services.h"  // setVirtualCounter
#include "render/glsl_test_program.h"
#include "render/stencil_shadow.h"
#include "scenes/flag_reveal_circles.h"
#include "scenes/bursts.h"
#include "scenes/jelly.h"
#include "scenes/polka.h"
#include "scenes/raster_scroller.h"
#include "scenes/sky.h"
#include "gfx/render_targets.h"
#include "core/program_exit.h"
#include "tools/capture/capture_common.h"
#include "tools/capture/frame_grab.h"
#include "app/run_faults.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double TICKS_PER_MS = 1.0e6;  // the virtual counter runs at 1e9 per second

// An effect: its init (false when it cannot run) and one frame on the screen framebuffer.
struct Effect {
    const char* name;
    bool (*init)();
    void (*frame)();
};

// ---- stencil: a turning cube over a ground plate, its shadow from a light above ----

ShadowCaster stencilCube;
constexpr float STENCIL_LIGHT[4] = {1.5f, 9.0f, 2.0f, 1.0f};

void addCubeFace(std::vector<float>& p, std::vector<float>& n, const float corners[4][3], const float normal[3])
{
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int k : order) {
        p.insert(p.end(), corners[k], corners[k] + 3);
        n.insert(n.end(), normal, normal + 3);
    }
}

// A closed cube of half size h around the origin, faces wound counter-clockwise from outside.
void makeCube(float h, std::vector<float>& p, std::vector<float>& n)
{
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = -1; sign <= 1; sign += 2) {
            int u = (axis + 1) % 3, v = (axis + 2) % 3;
            float corners[4][3];
            const float uv[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (int k = 0; k < 4; ++k) {
                corners[k][axis] = h * sign;
                corners[k][u] = h * uv[k][0] * sign;
                corners[k][v] = h * uv[k][1];
            }
            float normal[3] = {0, 0, 0};
            normal[axis] = static_cast<float>(sign);
            addCubeFace(p, n, corners, normal);
        }
}

bool initStencilEffect()
{
    std::vector<float> p, n;
    makeCube(1.0f, p, n);
    buildShadowCasterFromArrays(&stencilCube, static_cast<int>(p.size() / 9), p.data(), n.data());
    return shadowNeighboursConsistent(stencilCube);
}

void setStencilLight()
{
    const float ambient[4] = {0.25f, 0.25f, 0.3f, 1.0f};
    const float diffuse[4] = {0.9f, 0.85f, 0.75f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, STENCIL_LIGHT);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glEnable(GL_LIGHT0);
    for (int i = 1; i < 8; ++i)
        glDisable(GL_LIGHT0 + i);
}

void drawStencilFrame()
{
    float angle = static_cast<float>(clockNowMs() - sceneStartMs) * 0.03f;  // degrees
    glUseProgram(0);
    glClearColor(0.35f, 0.45f, 0.6f, 1.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
    // The darkening quad covers the view from the identity modelview: the camera goes there.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 7.0, 11.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    for (int unit = 3; unit >= 0; --unit) {
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
        glDisable(GL_TEXTURE_2D);
    }
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    setStencilLight();

    // The ground plate.
    glColor4f(0.85f, 0.82f, 0.74f, 1.0f);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(-7.0f, -1.5f, 5.0f);
    glVertex3f(7.0f, -1.5f, 5.0f);
    glVertex3f(7.0f, -1.5f, -7.0f);
    glVertex3f(-7.0f, -1.5f, -7.0f);
    glEnd();

    // The cube hovers above it, turning; the light goes into the cube's own space.
    float model[16];
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 1.0f, 0.0f);
    glRotatef(angle, 0.3f, 1.0f, 0.2f);
    glGetFloatv(GL_MODELVIEW_MATRIX, model);
    glPopMatrix();
    glPushMatrix();
    glMultMatrixf(model);
    glColor4f(0.85f, 0.3f, 0.2f, 1.0f);
    drawShadowCaster(stencilCube);
    glPopMatrix();
    // The inverse of a rotation and translation: transpose the rotation, undo the move.
    float inverse[16] = {model[0], model[4], model[8], 0.0f, model[1], model[5], model[9], 0.0f,
        model[2], model[6], model[10], 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    for (int r = 0; r < 3; ++r)
        inverse[12 + r] = -(inverse[r] * model[12] + inverse[4 + r] * model[13] + inverse[8 + r] * model[14]);
    float light[4] = {STENCIL_LIGHT[0], STENCIL_LIGHT[1], STENCIL_LIGHT[2], STENCIL_LIGHT[3]};
    transformVec4Stencil(inverse, light);
    glPushMatrix();
    glMultMatrixf(model);
    castStencilShadow(&stencilCube, light);
    glPopMatrix();
    glDisable(GL_COLOR_MATERIAL);
}

// ---- testquad ----

bool initTestQuadEffect()
{
    return initTestProgram();
}

void drawTestQuadFrame()
{
    renderTestQuad();
}

// ---- flag, reveal, circles ----

bool initFlag()
{
    initFlagEffect();
    return flagProgram != 0;
}

bool initReveal()
{
    initRevealEffect();
    return revealProgram != 0;
}

bool initCircleField()
{
    initCircles();
    return true;
}

// ---- raster bars, blanking, scroller ----

bool initRaster()
{
    initRasterBars();
    return rasterTexture != 0 && blankingTexture != 0;
}

bool initNothing()
{
    return true;
}

// Letterbox bands over the bars, the top one mirrored in texture space.
void drawBlankingFrame()
{
    drawRasterBars();
    drawBlankingQuad(0, 0, 1920, 162);
    drawBlankingQuad(1920, 918, 0, 1080);
}

void drawScrollerFrame()
{
    drawScroller(sceneStartMs);
}

// ---- polka: the halftone of the waving flag, copied into the scene target ----

bool initPolkaEffect()
{
    initFlagEffect();
    initPolka();
    return flagProgram != 0 && polkadotProgram != 0 && polka2Program != 0 && maskProgram != 0;
}

void drawFlagIntoSceneTarget()
{
    drawFlagEffect();
    glBindTexture(GL_TEXTURE_2D, screenTarget1.colorTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void drawPolkaFrame()
{
    drawFlagIntoSceneTarget();
    drawPolka();
}

void drawPolkaZoomFrame()
{
    drawFlagIntoSceneTarget();
    drawPolkaZoom();
}

// ---- bursts: the effect's own frame, or the same with the streamed mesh ----

bool initBurstEffect()
{
    initBursts();
    return burstProgram != 0 && burstMesh != nullptr;
}

// The bursts sit in eye space in front of a camera at the origin: the projection holds only
// the frame's perspective.
void setBurstProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void drawBurstFrame()
{
    setBurstProjection();
    runBurstFrame();
}

// The effect's frame with the buffer path in place of the two immediate draws.
void drawBurstBufferFrame()
{
    setBurstProjection();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawSkyBackground();
    fillBurstMesh(burstMesh);
    fillBurstMesh(burstMesh);
    updateBursts();
}

// ---- legacy-models: the frame routine's legacy environment state ----

bool initLegacyModels()
{
    initEnvShader();
    initRasterBars();  // the letterbox bands' black
    loadLegacyModels();
    return envProgram != 0 && envLightTexture != 0 && envCubeTexture != 0 && blankingTexture != 0 &&
           legacyModels[0] && legacyModels[1] && legacyRingModels[0] && legacyRingModels[1];
}

// ---- jelly ----

bool initJellyEffect()
{
    return initJelly() != 0;
}

const Effect EFFECTS[] = {
    {"jelly", initJellyEffect, drawJelly},
    {"bursts", initBurstEffect, drawBurstFrame},
    {"bursts-buffer", initBurstEffect, drawBurstBufferFrame},
    {"polka", initPolkaEffect, drawPolkaFrame},
    {"polkazoom", initPolkaEffect, drawPolkaZoomFrame},
    {"rasterbars", initRaster, drawRasterBars},
    {"blanking", initRaster, drawBlankingFrame},
    {"scroller", initNothing, drawScrollerFrame},
    {"flag", initFlag, drawFlagEffect},
    {"reveal", initReveal, drawRevealEffect},
    {"circles", initCircleField, drawCircles},
    {"stencil", initStencilEffect, drawStencilFrame},
    {"testquad", initTestQuadEffect, drawTestQuadFrame},
    {"legacy-models", initLegacyModels, drawLegacyState},
};

const Effect* findEffect(const std::string& name)
{
    for (const Effect& effect : EFFECTS)
        if (name == effect.name)
            return &effect;
    return nullptr;
}


void setClockMs(double ms)
{
    setVirtualCounter(clockState.clockStart + static_cast<long long>(std::llround(ms * TICKS_PER_MS)));
}

void runEffectFrame(const Effect& effect, double clockMs, double stepMs)
{
    setClockMs(clockMs);
    frameDt = 0.06f * static_cast<float>(stepMs);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    // Effects that paint only part of the screen show it over black.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    effect.frame();
}

}  // namespace

std::vector<std::string> effectNames()
{
    std::vector<std::string> names;
    for (const Effect& effect : EFFECTS)
        names.push_back(effect.name);
    return names;
}

int runEffectCapture(const EffectCaptureOptions& options)
{
    const Effect* effect = findEffect(options.name);
    if (!effect) {
        std::fprintf(stderr, "demo-capture: no effect named %s\n", options.name.c_str());
        return exitStatus(ExitCode::TOOL_USAGE);
    }
    TimedCaptureOptions timed = options.timed;
    if (int status = startCaptureRun(options.quiet))
        return status;
    bool initialised = false;
    {
        StdoutToStderr chatter(options.quiet);  // the init loads what the effect draws
        initialised = effect->init();
    }
    if (!initialised) {
        std::fprintf(stderr, "demo-capture: %s: init failed\n", effect->name);
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    sceneStartMs = clockNowMs();
    const double startMs = sceneStartMs;
    std::sort(timed.timesSeconds.begin(), timed.timesSeconds.end());

    double nextMs = 0.0;  // effect time of the next stepped frame
    ProgressLine progress("demo-capture",
                          static_cast<int>(std::ceil(timed.timesSeconds.back() * 1000.0 / timed.stepMs)), "effect");
    int framesDriven = 0;
    for (double seconds : timed.timesSeconds) {
        const double targetMs = seconds * 1000.0;
        {
            StdoutToStderr chatter(options.quiet);
            for (; nextMs < targetMs; nextMs += timed.stepMs) {
                if (offlineQuitRequested()) {
                    std::fprintf(stderr, "demo-capture: quit requested, stopping\n");
                    return exitStatus(ExitCode::TOOL_INTERRUPTED);
                }
                progress.update(++framesDriven, nextMs / 1000.0);
                runEffectFrame(*effect, startMs + nextMs, timed.stepMs);
            }
            runEffectFrame(*effect, startMs + targetMs, timed.stepMs);
        }
        nextMs = targetMs + timed.stepMs;

        const long long milliseconds = std::llround(targetMs);
        const std::string path = timed.outDir + "/frame_" + std::to_string(milliseconds) + ".png";
        if (!writeWindowPng(path)) {
            std::fprintf(stderr, "demo-capture: cannot write %s\n", path.c_str());
            return exitStatus(ExitCode::TOOL_FAILED);
        }
        std::printf("capture %lld effect %s %s\n", milliseconds, effect->name, path.c_str());
        std::fflush(stdout);
        SDL_GL_SwapWindow(mainWindow);
    }
    progress.finish();
    closeMainWindow();
    return toolRunStatus("demo-capture");
}
