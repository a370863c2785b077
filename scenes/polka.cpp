#include "scenes/polka.h"

#include "core/clock.h"          // tween, clockNowMs
#include "core/frame_values.h"   // sceneStartMs
#include "gfx/render_targets.h"  // screen targets
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "gfx/uniform_table.h"
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

// The two dot programs share their uniform names.
enum DotUniform { DOT_PHAZE, DOT_SIZE, DOT_BACK, DOT_BIG_MAP, DOT_COLOR_MAP, DOT_OFFSET_X, DOT_OFFSET_Y,
                  DOT_UNIFORM_COUNT };
static const char* const DOT_UNIFORM_NAMES[DOT_UNIFORM_COUNT] = {"phaze",    "DOTSIZE", "polkaBack", "polkaBigMap",
                                                                 "colorMap", "offsetx", "offsety"};
static UniformTable<DOT_UNIFORM_COUNT> polkadotUniforms(DOT_UNIFORM_NAMES);
static UniformTable<DOT_UNIFORM_COUNT> polka2Uniforms(DOT_UNIFORM_NAMES);
enum MaskUniform { MASK_MASK_MAP, MASK_COLOR_MAP, MASK_UNIFORM_COUNT };
static const char* const MASK_UNIFORM_NAMES[MASK_UNIFORM_COUNT] = {"maskMap", "colorMap"};
static UniformTable<MASK_UNIFORM_COUNT> maskUniforms(MASK_UNIFORM_NAMES);

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
    polkadotUniforms.lookUp(polkadotProgram);
    polka2Uniforms.lookUp(polka2Program);
    maskUniforms.lookUp(maskProgram);
    highpassUniforms.lookUp(highpassProgram);
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
static void renderDotPasses(uint32_t program, UniformTable<DOT_UNIFORM_COUNT>& uniforms, float dotSize)
{
    shaderLoader.use(program);
    const int* u = uniforms.of(program);
    glUniform1f(u[DOT_PHAZE], 0.0f);
    glUniform1f(u[DOT_SIZE], dotSize);
    bindSampler(u[DOT_BACK], 2, polkaBlackTexture);
    bindSampler(u[DOT_BIG_MAP], 1, polkaBigTexture);
    bindSampler(u[DOT_COLOR_MAP], 0, screenTarget1.colorTexture);
    glUniform1f(u[DOT_OFFSET_X], 0.0f);
    glUniform1f(u[DOT_OFFSET_Y], 0.0f);
    renderQuadInto(screenTarget2.framebuffer);

    glUniform1f(u[DOT_PHAZE], 1.0f);
    bindSampler(u[DOT_BACK], 2, screenTarget2.colorTexture);
    bindSampler(u[DOT_BIG_MAP], 1, polkaBigTexture);
    glActiveTexture(GL_TEXTURE0);
    glUniform1f(u[DOT_OFFSET_X], 0.0f);
    glUniform1f(u[DOT_OFFSET_Y], 0.0f);
    renderQuadInto(screenTarget3.framebuffer);
}

void drawPolka()
{
    float dot = 0.0f;
    tween(sceneStartMs - 200, 8.0, 128.0, TWEEN_PING_PONG, static_cast<double>(0.4f), &dot);
    renderDotPasses(polkadotProgram, polkadotUniforms, dot);

    shaderLoader.use(maskProgram);
    const int* mask = maskUniforms.of(maskProgram);
    bindSampler(mask[MASK_MASK_MAP], 2, screenTarget3.colorTexture);
    bindSampler(mask[MASK_COLOR_MAP], 1, screenTarget3.colorTexture);
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
    renderDotPasses(polka2Program, polka2Uniforms, 132.0f - z);

    shaderLoader.use(maskProgram);
    const int* mask = maskUniforms.of(maskProgram);
    bindSampler(mask[MASK_MASK_MAP], 2, polkaScreenMaskTexture);
    bindSampler(mask[MASK_COLOR_MAP], 1, screenTarget3.colorTexture);
    renderQuadInto(0);

    if (z >= ZOOM_END) {
        shaderLoader.use(highpassProgram);
        bindSampler(highpassUniforms.of(highpassProgram)[COLOR_MAP_SAMPLER], 0, screenTarget1.colorTexture);
        renderQuadInto(0);
    }
}
