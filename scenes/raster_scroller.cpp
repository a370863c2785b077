#include "scenes/raster_scroller.h"

#include "core/frame_values.h"     // sceneStartMs
#include "core/clock.h"      // tween
#include "core/screen_frame.h"  // SCREEN_W, SCREEN_WIDTH: bars across the frame
#include "gfx/shaders.h"     // shaderLoader.unuse
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "render/overlay.h"  // pushScreenFrame
#include "scenes/text.h"     // drawText

#include <cmath>
#include <cstdlib>
#include <cstring>

uint32_t rasterTexture = 0;
uint32_t blankingTexture = 0;
const char SCROLLER_TEXT[] =
    "it is cool to have a scroller in a demo so here is one   greetings to all the usual suspects"
    "                         ";


void initRasterBars()
{
    rasterTexture = loadTexture("raster21.tga");
    blankingTexture = loadTexture("black.tga");
}

// The state both rectangle effects draw in; the bars and the quad bring no program.
static void beginRasterPass(uint32_t texture)
{
    glDisable(GL_DEPTH_TEST);
    pushScreenFrame();
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

static void endRasterPass()
{
    popScreenFrame();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
}

static void rasterVertex(float x, float y, float u, float v)
{
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, v);
    glVertex3f(x, y, 0.0f);
}

void drawRasterBars()
{
    float v = 0.0f;
    tween(sceneStartMs, 0.0, 1.0, TWEEN_WRAP, static_cast<double>(-0.001f), &v);
    beginRasterPass(rasterTexture);
    for (int i = 0; i < RASTER_BAR_COUNT; ++i) {
        glLoadIdentity();
        const float y0 = static_cast<float>(RASTER_BAR_HEIGHT * i);
        const float y1 = static_cast<float>(RASTER_BAR_HEIGHT * (i + 1));
        const float shift = RASTER_BAND_STEP * static_cast<float>(i);
        glBegin(GL_TRIANGLES);
        rasterVertex(0.0f, y0, 0.0f, v + shift);
        rasterVertex(SCREEN_W, y0, 1.0f + shift, v + shift);
        rasterVertex(SCREEN_W, y1, 1.0f, v + RASTER_BAND + shift);
        rasterVertex(0.0f, y0, 0.0f, v + shift);
        rasterVertex(0.0f, y1, 0.0f, v + RASTER_BAND + shift);
        rasterVertex(SCREEN_W, y1, 1.0f, v + RASTER_BAND + shift);
        glEnd();
    }
    endRasterPass();
}

void drawBlankingQuad(int x0, int y0, int x1, int y1)
{
    beginRasterPass(blankingTexture);
    glLoadIdentity();
    const float fx0 = static_cast<float>(x0), fy0 = static_cast<float>(y0);
    const float fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
    glBegin(GL_TRIANGLES);
    rasterVertex(fx0, fy0, 0.0f, 0.0f);
    rasterVertex(fx1, fy0, 1.0f, 0.0f);
    rasterVertex(fx1, fy1, 1.0f, 1.0f);
    rasterVertex(fx0, fy0, 0.0f, 0.0f);
    rasterVertex(fx0, fy1, 0.0f, 1.0f);
    rasterVertex(fx1, fy1, 1.0f, 1.0f);
    glEnd();
    endRasterPass();
}

void drawScroller(double startMs)
{
    const int n = static_cast<int>(std::strlen(SCROLLER_TEXT));
    float x = 0.0f, w = 0.0f;
    tween(startMs, static_cast<double>(SCREEN_WIDTH), static_cast<double>(-SCROLLER_GLYPH_PIXELS * n), TWEEN_PING_PONG,
          -24.0, &x);
    tween(startMs, 0.0, 6.28318530718, TWEEN_WRAP, 0.1, &w);
    char glyph[2] = {0, 0};
    for (int i = 0; i < n; ++i) {
        const float fi = static_cast<float>(i);
        const float c = std::sin((20.0f * fi + x + w) / 50.0f) * 0.5f + 0.5f;
        glColor4f(c + 0.2f, c + 0.2f, 1.0f, 1.0f);
        const int bounce = std::abs(static_cast<int>(128.0f * std::sin(0.5f * fi + w)));
        glyph[0] = SCROLLER_TEXT[i];
        drawText(glyph, static_cast<float>(SCROLLER_GLYPH_PIXELS) * fi + x,
            static_cast<float>(SCROLLER_BASE_Y - bounce), 1.0f);
    }
}
