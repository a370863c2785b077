#include "scenes/polka.h"

#include "core/clock.h"          // tween, clockNowMs
#include "core/frame_values.h"   // sceneStartMs
#include "gfx/render_targets.h"  // screen targets
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "render/overlay.h"      // drawQuad
#include "render/screen_passes.h" // drawFullScreenQuad
#include "scenes/toolkit.h"      // highpassProgram

uint32_t polkaBigTexture = 0;
uint32_t polka1Texture = 0;
uint32_t polka2Texture = 0;
uint32_t polkaBlackTexture = 0;
uint32_t polkaScreenMaskTexture = 0;
uint32_t polkadotProgram = 0;
uint32_t polka2Program = 0;
uint32_t maskProgram = 0;
uint32_t polkaTextTexture = 0;
uint32_t polkaEagleTexture = 0;

static const char POLKA_VERTEX_SHADER[] = "Passthroughvertexshader.vert";
static constexpr float ZOOM_END = 128.0f;

// Overlay placement in the 1920 x 1080 frame: the eagle, and the text picture turning about
// the eagle's centre.
static constexpr int OVERLAY_X = 1015;
static constexpr int OVERLAY_W = 905;
static constexpr int OVERLAY_H = 906;
static constexpr int EAGLE_Y = 87;
static constexpr float TEXT_PIVOT_X = 1467.5f;
static constexpr float TEXT_PIVOT_Y = 540.0f;

void initPolka()
{
    polkaBigTexture = loadTexture("polkabig.tga");
    polka1Texture = loadTexture("polka1.tga");
    polka2Texture = loadTexture("polka2.tga");
    polkaBlackTexture = loadTexture("polkablack.tga");
    polkaScreenMaskTexture = loadTexture("polkascreenmask.tga");
    polkadotProgram = shaderLoader.load(POLKA_VERTEX_SHADER, "polkadot.frag");
    polka2Program = shaderLoader.load(POLKA_VERTEX_SHADER, "polka2.frag");
    maskProgram = shaderLoader.load(POLKA_VERTEX_SHADER, "mask.frag");
    highpassProgram = shaderLoader.load(POLKA_VERTEX_SHADER, "highpass.frag");
    polkaTextTexture = loadTexture("tovelas2text.tga");
    polkaEagleTexture = loadTexture("tovelas2eagle.tga");
}

static void renderQuadInto(uint32_t framebuffer)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    drawFullScreenQuad();
}

// The two dot passes: the halftone of target 1 into target 2, then the dots shaded over it
// into target 3.
static void renderDotPasses(uint32_t program, float dotSize)
{
    shaderLoader.use(program);
    setFloatUniform(program, "phaze", 0.0f);
    setFloatUniform(program, "DOTSIZE", dotSize);
    bindSampler(program, "polkaBack", 2, polkaBlackTexture);
    bindSampler(program, "polkaBigMap", 1, polkaBigTexture);
    bindSampler(program, "colorMap", 0, screenTarget1.colorTexture);
    setFloatUniform(program, "offsetx", 0.0f);
    setFloatUniform(program, "offsety", 0.0f);
    renderQuadInto(screenTarget2.framebuffer);

    setFloatUniform(program, "phaze", 1.0f);
    bindSampler(program, "polkaBack", 2, screenTarget2.colorTexture);
    bindSampler(program, "polkaBigMap", 1, polkaBigTexture);
    glActiveTexture(GL_TEXTURE0);
    setFloatUniform(program, "offsetx", 0.0f);
    setFloatUniform(program, "offsety", 0.0f);
    renderQuadInto(screenTarget3.framebuffer);
}

void drawPolka()
{
    float dot = 0.0f;
    tween(sceneStartMs - 200, 8.0, 128.0, TWEEN_PING_PONG, static_cast<double>(0.4f), &dot);
    renderDotPasses(polkadotProgram, dot);

    shaderLoader.use(maskProgram);
    bindSampler(maskProgram, "maskMap", 2, screenTarget3.colorTexture);
    bindSampler(maskProgram, "colorMap", 1, screenTarget3.colorTexture);
    renderQuadInto(0);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, polkaEagleTexture);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawQuad(OVERLAY_X, EAGLE_Y, OVERLAY_W, OVERLAY_H, polkaEagleTexture);

    glBindTexture(GL_TEXTURE_2D, polkaTextTexture);
    float angle = 0.0f;
    tween(sceneStartMs, 0.0, 360.0, TWEEN_WRAP, static_cast<double>(0.7f), &angle);
    glLoadIdentity();
    glTranslatef(TEXT_PIVOT_X, TEXT_PIVOT_Y, 0.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glTranslatef(-TEXT_PIVOT_X, -TEXT_PIVOT_Y, 0.0f);
    glTranslatef(0.0f, static_cast<float>(EAGLE_Y), 0.0f);
    drawQuad(OVERLAY_X, 0, OVERLAY_W, OVERLAY_H, polkaTextTexture);
}

void drawPolkaZoom()
{
    float z = 0.0f;
    tween(sceneStartMs, 4.0, static_cast<double>(ZOOM_END), TWEEN_CLAMP, static_cast<double>(0.15f), &z);
    renderDotPasses(polka2Program, 132.0f - z);

    shaderLoader.use(maskProgram);
    bindSampler(maskProgram, "maskMap", 2, polkaScreenMaskTexture);
    bindSampler(maskProgram, "colorMap", 1, screenTarget3.colorTexture);
    renderQuadInto(0);

    if (z >= ZOOM_END) {
        shaderLoader.use(highpassProgram);
        bindSampler(highpassProgram, "colorMap", 0, screenTarget1.colorTexture);
        renderQuadInto(0);
    }
}
