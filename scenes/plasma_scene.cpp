// The plasma scene: a full-screen plasma shader driven by six phases, with the title picture
// laid over it. The rectangle covers the whole frame, so nothing is cleared.
#include "core/clock.h"    // tween
#include "core/frame_values.h"    // sceneStartMs
#include "core/screen_frame.h"  // the screen frame's size
#include "gfx/shaders.h"  // shaderLoader
#include "gfx/textures.h" // loadTexture
#include "gfx/uniform_table.h"
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

enum PlasmaUniform { PLASMA_COLOR_MAP, PLASMA_ANIM1, PLASMA_ANIM2, PLASMA_ANIM3, PLASMA_ANIM4, PLASMA_XS, PLASMA_YS,
                     PLASMA_ZOOM, PLASMA_UNIFORM_COUNT };
static const char* const PLASMA_UNIFORM_NAMES[PLASMA_UNIFORM_COUNT] = {"colorMap", "anim1", "anim2", "anim3",
                                                                       "anim4",    "xs",    "ys",    "zoom"};
static UniformTable<PLASMA_UNIFORM_COUNT> plasmaUniforms(PLASMA_UNIFORM_NAMES);

void initPlasmaScene()
{
    plasmaProgram = shaderLoader.load("passthroughvertexshader.vert", "plasma.frag");
    plasmaUniforms.lookUp(plasmaProgram);
    plasmaTexture = loadTexture("plasma.tga");
    plasmaLogoTexture = loadTexture("plasmalogo.tga");
}

void drawPlasmaScene()
{
    float p[PLASMA_PHASE_COUNT];
    for (int i = 0; i < PLASMA_PHASE_COUNT; ++i)
        tween(static_cast<double>(sceneStartMs), 0.0, PLASMA_PHASE_END, TWEEN_WRAP, PLASMA_PHASE_SPEEDS[i], &p[i]);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    shaderLoader.use(plasmaProgram);
    if (plasmaProgram != 0) {
        // A name the program lacks reads -1, which glUniform ignores.
        const int* u = plasmaUniforms.of(plasmaProgram);
        glUniform1i(u[PLASMA_COLOR_MAP], 0);
        glUniform1f(u[PLASMA_ANIM1], p[0]);
        glUniform1f(u[PLASMA_ANIM2], p[1]);
        glUniform1f(u[PLASMA_ANIM3], p[2]);
        glUniform1f(u[PLASMA_ANIM4], p[3]);
        glUniform1f(u[PLASMA_XS], std::sin(p[4]));
        glUniform1f(u[PLASMA_YS], std::cos(p[4]));
        glUniform1f(u[PLASMA_ZOOM], 0.5f + 0.25f * std::sin(p[5]));
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, plasmaTexture);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawScreenRect(0.0f, 0.0f, SCREEN_W, SCREEN_H);
    shaderLoader.unuse();

    drawQuad(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, plasmaLogoTexture);
}
