// Screen quads in the fixed 1920 x 1080 frame (y up, (x, y) the lower-left corner), whatever
// projection and viewport are current: the frame is stretched onto the viewport. The caller's
// modelview still applies, so a translation shifts a quad by virtual pixels. Texture row 0 is
// at the bottom of a quad.
#include "render/overlay.h"

#include "core/screen_frame.h"  // SCREEN_WIDTH, SCREEN_HEIGHT
#include "gfx/shaders.h"   // shaderLoader: no program while the quad draws
#include "gfx/textures.h"
#include "platform/gl_api.h"

uint32_t overlayTexture = 0;
uint32_t backgroundTexture = 0;
uint32_t blackTexture = 0;

static constexpr int CORNER_OVERLAY_X = 1408;
static constexpr int CORNER_OVERLAY_Y = 0;
static constexpr int CORNER_OVERLAY_WIDTH = 512;
static constexpr int CORNER_OVERLAY_HEIGHT = 256;

void loadOverlayTextures()
{
    overlayTexture = loadTexture("overlay1.tga");
    backgroundTexture = loadTexture("background.tga");
    blackTexture = loadTexture("blackscreen.tga");
    blackTexture = loadTexture("black.tga");
}

void pushScreenFrame(bool resetModelview)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, SCREEN_WIDTH, 0.0, SCREEN_HEIGHT, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    if (resetModelview)
        glLoadIdentity();
}

void popScreenFrame()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

static void beginScreenQuads(bool resetModelview)
{
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    pushScreenFrame(resetModelview);
    glDisable(GL_CULL_FACE);
}

void beginBlendedScreenQuads(bool resetModelview)
{
    beginScreenQuads(resetModelview);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void endScreenQuads()
{
    popScreenFrame();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
}

static void bindQuadTexture(uint32_t texture)
{
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
}

static void emitQuad(int x, int y, int w, int h)
{
    const float left = static_cast<float>(x);
    const float bottom = static_cast<float>(y);
    const float right = static_cast<float>(x + w);
    const float top = static_cast<float>(y + h);
    glBegin(GL_TRIANGLES);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(left, bottom, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(right, bottom, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(right, top, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(left, bottom, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(left, top, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(right, top, 0.0f);
    glEnd();
}

// Alpha-blended and tinted by the current colour; blending stays on afterwards.
void drawQuad(int x, int y, int w, int h, uint32_t texture)
{
    // The caller's modelview stays: a translation it set shifts the quad in frame pixels.
    beginBlendedScreenQuads(false);
    bindQuadTexture(texture);
    emitQuad(x, y, w, h);
    endScreenQuads();
}

// Opaque and untinted; leaves the blend function at one/one for later code that blends.
void drawQuadAdditive(int x, int y, int w, int h, uint32_t texture)
{
    beginScreenQuads(false);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    bindQuadTexture(texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    emitQuad(x, y, w, h);
    endScreenQuads();
}

static void drawFramePicture(uint32_t texture, int x, int y, int w, int h)
{
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    drawQuad(x, y, w, h, texture);
}

void drawCornerOverlay()
{
    drawFramePicture(overlayTexture, CORNER_OVERLAY_X, CORNER_OVERLAY_Y, CORNER_OVERLAY_WIDTH,
                     CORNER_OVERLAY_HEIGHT);
}

void drawBackground()
{
    drawFramePicture(backgroundTexture, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void drawBlackScreen()
{
    drawFramePicture(blackTexture, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
}

void beginPixelOrtho()
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2], 0.0, viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
}

void endPixelOrtho()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_LIGHTING);
}
