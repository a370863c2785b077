#include "app/startup.h"

#include "core/clock.h"
#include "core/data_files.h"
#include "app/main_loop_state.h"  // mainWindow
#include "app/music.h"
#include "app/debug_keys.h"
#include "platform/win32_window.h"
#include "game/game.h"
#include "gfx/model.h"  // prefetchModelFiles
#include "gfx/render_targets.h"
#include "gfx/shaders.h"
#include "gfx/shadow_map.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "platform/os_services.h"
#include "render/camera.h"
#include "render/legacy_programs.h"
#include "render/lights.h"
#include "render/model_draw.h"  // cacheModelProgramUniforms
#include "render/overlay.h"
#include "scenes/scenes.h"
#include "scenes/sky.h"
#include "scenes/text.h"

#include <cstdio>

uint32_t loadingTexture = 0;
uint32_t whitePixelTexture = 0;
float loadingProgress = 0.0f;
void (*loadStepObserver)(const char* step, bool finished) = nullptr;

static void present()
{
    SDL_GL_SwapWindow(mainWindow);
}

static void clearToBlack(GLbitfield buffers)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(buffers);
}

void beginLoadStep(const char* name)
{
    if (loadStepObserver)
        loadStepObserver(name, false);
}

void endLoadStep(const char* name)
{
    if (loadStepObserver)
        loadStepObserver(name, true);
}

int loadingBarWidth(float steps)
{
    return static_cast<int>(steps / LOADING_BAR_STEPS * static_cast<float>(LOADING_BAR_WIDTH));
}

void advanceLoadingBar()
{
    loadingProgress += 1.0f;
    clearToBlack(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawQuadAdditive(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, loadingTexture);
    drawQuadAdditive(LOADING_BAR_X, LOADING_BAR_Y, loadingBarWidth(loadingProgress), LOADING_BAR_HEIGHT,
                     whitePixelTexture);
    glFlush();
    present();
}

void startupHook() {}

// The demo's models in the order the scenes load them: read and parsed on worker threads
// while the scenes before them load.
static const char* const DEMO_MODEL_FILES[] = {
    "sphere1.3dm", "ring1.3dm",  "ring2.3dm",  "ring3.3dm",    "ring4.3dm",    "tunnel.3dm",
    "xmixsphere.3dm", "zu5front.3dm", "zu5back.3dm", "taila.3dm", "tailb.3dm", "tailc.3dm",
    "ship2.3dm", "dustparticle.3dm", "thinlogo.3dm", "discoball.3dm", "thinlogo2.3dm", "thinlogo3.3dm"};

int initDemoContent()
{
    prefetchModelFiles(DEMO_MODEL_FILES, static_cast<int>(sizeof DEMO_MODEL_FILES / sizeof DEMO_MODEL_FILES[0]));
    std::printf("i1 ");
    initRingsScene();
    std::printf("i2 ");
    initTunnelScene();
    std::printf("i3 ");
    initLogoGlowScene();
    std::printf("i4 ");
    initPictureScene();
    std::printf("i5 ");
    initFlyoverScene();
    std::printf("i6 ");
    initPlasmaScene();
    initPaletteLogoScene();
    initRadialBlurScene();
    initDiscoBallScene();
    mainCamera.set(-3.0f, 2.0f, 4.0f, -2.5f, 1.5f, 0.5f, 0.0f, 1.0f, 0.0f);
    static const char* const progressTexts[] = {"c1\n", "d1\n", "e1\n", "f1\n", "f2\n", "g2\n", "h2\n",
                                                "i2\n", "j2\n", "j21\n", "j22\n", "j221\n", "j23\n", "j241\n",
                                                "j24\n", "j25\n", "j26\n", "k2\n"};
    for (const char* text : progressTexts)
        debugLog("%s", text);
    initLightGlowParticles();
    dropPrefetchedModelFiles();
    debugLog("l2\n");
    debugLog("m2\n");
    debugLog("n2\n");
    return 1;
}

static void setDefaultGlState()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glClearStencil(0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat diffuse[] = {0.6f, 0.6f, 0.6f, 1.0f};
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glClearColor(0.15f, 0.25f, 0.6f, 1.0f);
}

int initDemo()
{
    beginLoadStep("loading_picture");
    for (int i = 0; i < 4; ++i) {
        clearToBlack(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        present();
    }
    startupHook();
    setDefaultGlState();

    loadingTexture = loadTexture("loading.tga");
    whitePixelTexture = loadTexture("whitepixel.tga");

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    drawQuadAdditive(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, loadingTexture);
    glFlush();
    present();

    showMouseCursor(false);
    for (bool& key : win32Keys)
        key = false;
    clearDebugKeyTables();
    loadOverlayTextures();
    endLoadStep("loading_picture");

    debugLog("a\n");
    advanceLoadingBar();
    beginLoadStep("default_shader");
    loadDefaultShaderProgram();
    endLoadStep("default_shader");

    debugLog("b\n");
    advanceLoadingBar();
    beginLoadStep("legacy_shaders");
    initLegacyShaders();
    cacheModelProgramUniforms(vboShaderProgram);
    cacheModelProgramUniforms(volumetricProgram);
    endLoadStep("legacy_shaders");

    debugLog("c\n");
    advanceLoadingBar();
    beginLoadStep("demo_content");
    if (!initDemoContent())
        return 0;
    endLoadStep("demo_content");

    debugLog("d\n");
    advanceLoadingBar();
    beginLoadStep("screen_targets");
    createScreenTargets();
    endLoadStep("screen_targets");

    debugLog("e\n");
    advanceLoadingBar();
    advanceLoadingBar();
    beginLoadStep("font");
    initFont();
    endLoadStep("font");

    debugLog("e1\n");
    advanceLoadingBar();
    beginLoadStep("shadow_programs");
    initShadowPrograms();
    for (uint32_t program : {shadowDepthProgram, shadowLitProgram, shadowFogProgram, shadowSpecularProgram})
        cacheModelProgramUniforms(program);
    endLoadStep("shadow_programs");

    debugLog("e2\n");
    advanceLoadingBar();
    beginLoadStep("sky_shaders_and_music");
    initSkyShaders();
    loadMusic();
    endLoadStep("sky_shaders_and_music");

    debugLog("e3\n");
    advanceLoadingBar();

    debugLog("f\n");
    beginLoadStep("default_lights");
    initDefaultLights();
    endLoadStep("default_lights");

    beginLoadStep("clock_and_music_start");
    initClockFrequency();
    startStopwatchA();
    startStopwatchB();
    startClock();
    std::puts("a1");
    for (int i = 0; i < 2; ++i) {
        clearToBlack(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        present();
    }
    startMusic();
    std::puts("a2");
    std::puts("a3");
    std::fflush(stdout);
    endLoadStep("clock_and_music_start");
    return 1;
}
