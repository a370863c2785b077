// The palette-blur logo scene: a thin logo drawn 120 times additively along slowly wandering
// sine paths into screenTarget1; the palette program maps the accumulated brightness through a
// scrolling lookup table onto the screen, a faint overlay and a fading plasma layer go over it,
// and after 3.5 s the title swings in from the left.
//
// The 120 copies differ only in their modelview, so the model's arrays, program, textures and
// uniforms are set once and each copy is one matrix load and one draw call: the submission
// pattern of drawSkinnedModel without repeating its per-draw set-up 120 times.
#include "scenes/palette_logo_scene.h"

#include "core/clock.h"           // clockNowMs, tween
#include "core/frame_values.h"           // sceneStartMs, frameDt
#include "core/keyboard.h"       // keyboardState: the tuning key
#include "core/screen_frame.h"  // the screen frame and its perspective
#include "gfx/model.h"           // Model, loadModel, scaleModel, uploadModelVertices
#include "gfx/render_targets.h"  // screenTarget1
#include "gfx/shaders.h"         // shaderLoader
#include "gfx/textures.h"        // loadTexture
#include "gfx/uniform_table.h"
#include "platform/gl_api.h"
#include "render/camera.h"       // mainCamera
#include "render/light_space.h"  // computeDepthMVPAndLightVector
#include "render/model_draw.h"   // beginLegacySubmission
#include "render/overlay.h"      // drawBackground, drawQuad
#include "scenes/logo_glow_scene.h"  // selfIllumProgram
#include "scenes/scenes.h"
#include "scenes/toolkit.h"      // drawScreenRect, radialBlurBorder, beatCountdown

#include <cmath>

Model* paletteLogoModel = nullptr;
PalettePrograms palettePrograms = {};
PaletteTextures paletteTextures = {};
int paletteLogoFrameCount = 0;


static constexpr float LOGO_SCALE = 1.0f;
static constexpr float LOGO_COPY_GREY = 0.005f;  // each copy adds this much light
static constexpr float OVERLAY_ALPHA = 0.15000000596046448f;

// The border of the palette pass rectangle, in pixels, and its kick.
static constexpr float BORDER_MIN = 10.0f;
static constexpr float BORDER_KICK = 400.0f;
static constexpr float BORDER_SHRINK = 35.0f;  // per 60 Hz frame while the countdown runs
static constexpr float KICK_COUNTDOWN = 25.0f;

// Title swing: starts 3.5 s in, settles over 270 frames, one radian of swing per second.
static constexpr double TITLE_START_MS = 3500.0;
static constexpr double TITLE_SLIDE_SPEED = 0.003703703870996833;
static constexpr double TITLE_SWING_SPEED = 0.01666666753590107;
static constexpr double TITLE_SWING_END = 6.28;
static constexpr double TITLE_SWING_SHIFT = 1.57;

enum PaletteUniform { PALETTE_COLOR_MAP, PALETTE_TABLE, PALETTE_ROW, PALETTE_UNIFORM_COUNT };
static const char* const PALETTE_UNIFORM_NAMES[PALETTE_UNIFORM_COUNT] = {"colorMap", "palette",
                                                                         "verticalpalettepos"};
static UniformTable<PALETTE_UNIFORM_COUNT> paletteUniforms(PALETTE_UNIFORM_NAMES);
enum PlasmaLayerUniform { PLASMA_LAYER_COLOR_MAP, PLASMA_LAYER_ANIM1, PLASMA_LAYER_ANIM2, PLASMA_LAYER_ANIM3,
                          PLASMA_LAYER_ANIM4, PLASMA_LAYER_XS, PLASMA_LAYER_YS, PLASMA_LAYER_ZOOM,
                          PLASMA_LAYER_FACTOR, PLASMA_LAYER_UNIFORM_COUNT };
static const char* const PLASMA_LAYER_UNIFORM_NAMES[PLASMA_LAYER_UNIFORM_COUNT] = {
    "colorMap", "anim1", "anim2", "anim3", "anim4", "xs", "ys", "zoom", "factor"};
static UniformTable<PLASMA_LAYER_UNIFORM_COUNT> plasmaLayerUniforms(PLASMA_LAYER_UNIFORM_NAMES);

void initPaletteLogoScene()
{
    paletteLogoModel = loadModel("thinlogo.3dm");
    if (paletteLogoModel)
        scaleModel(*paletteLogoModel, LOGO_SCALE);
    uploadModelVertices(paletteLogoModel);
    palettePrograms.palette = shaderLoader.load("passthroughvertexshader.vert", "blurpalette.frag");
    paletteTextures.palette = loadTexture("blurpalette.tga");
    paletteTextures.overlay = loadTexture("blurpaletteoverlay.tga");
    paletteTextures.title = loadTexture("ovantra.tga");
    paletteTextures.plasmaColours = loadTexture("7.tga");
    palettePrograms.plasma = shaderLoader.load("passthroughvertexshader.vert", "plasma7.frag");
    paletteUniforms.lookUp(palettePrograms.palette);
    plasmaLayerUniforms.lookUp(palettePrograms.plasma);
}

void drawPlasmaLayer(int texture)
{
    const double start = static_cast<double>(sceneStartMs);
    float anim1, anim2, anim3, anim4, p5, fade;
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.03143143281340599f), &anim1);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.05500501021742821f), &anim2);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.010372373275458813f), &anim3);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.0047147152945399284f), &anim4);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.005233333446085453f), &p5);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const uint32_t program = palettePrograms.plasma;
    shaderLoader.use(program);
    const int* u = plasmaLayerUniforms.of(program);
    glUniform1i(u[PLASMA_LAYER_COLOR_MAP], 0);
    glUniform1f(u[PLASMA_LAYER_ANIM1], anim1);
    glUniform1f(u[PLASMA_LAYER_ANIM2], anim2);
    glUniform1f(u[PLASMA_LAYER_ANIM3], anim3);
    glUniform1f(u[PLASMA_LAYER_ANIM4], anim4);
    glUniform1f(u[PLASMA_LAYER_XS], std::sin(p5));
    glUniform1f(u[PLASMA_LAYER_YS], std::cos(p5));
    glUniform1f(u[PLASMA_LAYER_ZOOM], 256.0f);
    tween(start, 0.0, 1.0, TWEEN_CLAMP, static_cast<double>(0.0023809524718672037f), &fade);
    glUniform1f(u[PLASMA_LAYER_FACTOR], 1.0f - fade);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawScreenRect(0.0f, 0.0f, SCREEN_W, SCREEN_H);
}

void usePaletteProgram(uint32_t source, uint32_t palette, float row)
{
    const uint32_t program = palettePrograms.palette;
    shaderLoader.use(program);
    const int* u = paletteUniforms.of(program);
    glUniform1i(u[PALETTE_COLOR_MAP], 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source);
    glUniform1i(u[PALETTE_TABLE], 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, palette);
    glUniform1f(u[PALETTE_ROW], row);
}

void stepPaletteBorder(bool kick)
{
    float countdown = beatCountdown;
    if (kick) {
        radialBlurBorder = BORDER_KICK - BORDER_SHRINK * frameDt;
        countdown = KICK_COUNTDOWN;
    } else if (beatCountdown > 0.0f) {
        radialBlurBorder -= BORDER_SHRINK * frameDt;
    }
    if (radialBlurBorder < BORDER_MIN)
        radialBlurBorder = BORDER_MIN;
    beatCountdown = countdown - frameDt;
    if (beatCountdown < 0.0f)
        beatCountdown = 0.0f;
}

int paletteTitleX()
{
    if (clockNowMs() - sceneStartMs <= TITLE_HIDDEN_UNTIL_MS)
        return TITLE_HIDDEN_X;
    float slide, swing;
    tween(static_cast<double>(sceneStartMs) + TITLE_START_MS, 0.0, 1.0, TWEEN_CLAMP, TITLE_SLIDE_SPEED, &slide);
    tween(static_cast<double>(sceneStartMs), 0.0, TITLE_SWING_END, TWEEN_WRAP, TITLE_SWING_SPEED, &swing);
    int h = static_cast<int>(1920.0 * std::sin(static_cast<double>(swing) - TITLE_SWING_SHIFT));
    if (h < 0)
        h = -h;
    return static_cast<int>(-(1.0 - static_cast<double>(slide)) * h);
}

PaletteLogoPhases paletteLogoPhasesNow()
{
    const double start = static_cast<double>(sceneStartMs);
    PaletteLogoPhases p;
    tween(start, 0.0, 3600.0, TWEEN_WRAP, 0.25, &p.spin);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.015715716406702995f), &p.q1);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.027502505108714104f), &p.q2);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.005186186637729406f), &p.q3);
    tween(start, 0.0, 10000.0, TWEEN_WRAP, static_cast<double>(0.0023573576472699642f), &p.q4);
    return p;
}

void loadPaletteLogoTransform(const PaletteLogoPhases& p, int index)
{
    const float s = static_cast<float>(index) / 60.0f;
    glLoadIdentity();
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(0.5f * static_cast<float>(index) + p.spin, 0.0f, 0.0f, 1.0f);
    glTranslatef(1.0f + std::sin(s + p.q1) + std::sin(s + p.q3), 0.0f,
                 1.0f + 2.0f * std::sin(s + p.q2) + 2.0f * std::cos(s + p.q4));
}

void drawPaletteLogoCopies(Model& model, const PaletteLogoPhases& phases)
{
    // An unskinned legacy draw of each copy: only the modelview, and with it "depthMVP",
    // differs from copy to copy.
    const ModelProgramUniforms& u = beginLegacySubmission(model, static_cast<int>(selfIllumProgram), false);
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < PALETTE_LOGO_COPIES; ++i) {
        loadPaletteLogoTransform(phases, i);
        computeDepthMVPAndLightVector();
        uploadDepthUniform(u);
        drawModelTriangles(model, false);
    }
    endModelSubmission(true);
}

void drawPaletteLogoScene()
{
    glBindFramebuffer(GL_FRAMEBUFFER, screenTarget1.framebuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawBackground();
    glDisable(GL_DEPTH_TEST);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 100.0);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (paletteLogoFrameCount == 0) {
        mainCamera.set(2.0388f, 2.8107f, 11.4284f, 1.8934f, 2.3867f, 7.8959f, 0.0f, 1.0f, 0.0f);
        radialBlurBorder = BORDER_MIN;
        beatCountdown = 0.0f;
        paletteLogoFrameCount = 1;
    }
    mainCamera.applyLookAt();

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    const PaletteLogoPhases phases = paletteLogoPhasesNow();
    glColor4f(LOGO_COPY_GREY, LOGO_COPY_GREY, LOGO_COPY_GREY, 1.0f);
    if (paletteLogoModel)
        drawPaletteLogoCopies(*paletteLogoModel, phases);

    glEnable(GL_DEPTH_TEST);
    float scroll;
    tween(static_cast<double>(sceneStartMs), 0.0, 256.0, TWEEN_WRAP, 1.0, &scroll);
    usePaletteProgram(screenTarget1.colorTexture, paletteTextures.palette, scroll / 256.0f);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    stepPaletteBorder(keyboardState.pressed[KEY_BEAT_KICK] != 0);
    const float b = radialBlurBorder;
    drawScreenRect(-b, -b, SCREEN_W + b, SCREEN_H + b);
    shaderLoader.unuse();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, OVERLAY_ALPHA);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, paletteTextures.overlay);
    drawQuad(0, 0, static_cast<int>(SCREEN_W), static_cast<int>(SCREEN_H), paletteTextures.overlay);

    drawPlasmaLayer(static_cast<int>(paletteTextures.plasmaColours));

    drawQuad(paletteTitleX(), 0, static_cast<int>(SCREEN_W), static_cast<int>(SCREEN_H), paletteTextures.title);
}
