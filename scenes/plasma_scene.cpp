// The plasma scene: a full-screen plasma shader driven by six phases, with the title picture
// laid over it. The rectangle covers the whole frame, so nothing is cleared.
#include "core/clock.h"    // tween
#include "core/frame_values.h"    // sceneStartMs
#include "core/screen_frame.h"  // the screen frame's size
#include "gfx/shaders.h"  // shaderLoader
#include "gfx/textures.h" // loadTexture
#include "platform/gl_api.h"
#include "render/overlay.h"  // drawQuad
#include "scenes/scenes.h"
#include "scenes/toolkit.h"  // drawScreenRect

#include <cmath>
#include <cstdint>

static uint32_t plasmaProgram = 0;
static uint32_t plasmaTexture = 0;
static uint32_t plasmaLogoTexture = 0;

static constexpr int PLASMA_PHASE_COUNT = 6;
// Per 60 Hz frame; the same speeds drive the palette-blur logo's plasma layer.
static const float PLASMA_PHASE_SPEEDS[PLASMA_PHASE_COUNT] = {
    0.03143143281340599f,  0.05500501021742821f,   0.010372373275458813f,
    0.0047147152945399284f, 0.005233333446085453f, 0.012559999711811543f,
};
static constexpr double PLASMA_PHASE_END = 10000.0;

void initPlasmaScene()
{
    plasmaProgram = shaderLoader.load("passthroughvertexshader.vert", "plasma.frag");
    plasmaTexture = loadTexture("plasma.tga");
    plasmaLogoTexture = loadTexture("plasmalogo.tga");
}

static void setUniform(const char* name, float value)
{
    GLint location = glGetUniformLocation(plasmaProgram, name);
    if (location >= 0)
        glUniform1f(location, value);
}

void drawPlasmaScene()
{
    float p[PLASMA_PHASE_COUNT];
    for (int i = 0; i < PLASMA_PHASE_COUNT; ++i)
        tween(static_cast<double>(sceneStartMs), 0.0, PLASMA_PHASE_END, TWEEN_WRAP, PLASMA_PHASE_SPEEDS[i], &p[i]);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    shaderLoader.use(plasmaProgram);
    if (plasmaProgram != 0) {
        GLint colorMap = glGetUniformLocation(plasmaProgram, "colorMap");
        if (colorMap >= 0)
            glUniform1i(colorMap, 0);
        setUniform("anim1", p[0]);
        setUniform("anim2", p[1]);
        setUniform("anim3", p[2]);
        setUniform("anim4", p[3]);
        setUniform("xs", std::sin(p[4]));
        setUniform("ys", std::cos(p[4]));
        setUniform("zoom", 0.5f + 0.25f * std::sin(p[5]));
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, plasmaTexture);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawScreenRect(0.0f, 0.0f, SCREEN_W, SCREEN_H);
    shaderLoader.unuse();

    drawQuad(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, plasmaLogoTexture);
}
