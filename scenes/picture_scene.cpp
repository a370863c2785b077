// The opening scene: a 256 x 256 picture as 65536 small quads, one per pixel, coloured from the
// picture and pushed out of the plane by two displacement maps. It holds a still frame for two
// seconds, restarts its clock once, then drifts, turns and fades to black.
//
// The quads are placed on the GPU: the three pictures are copied once into integer textures
// and one instanced draw of a four-corner quad computes every corner from them and the frame's
// seven values, with the same arithmetic as the immediate-mode loop kept beside it (used when
// the program is missing).
#include "scenes/picture_scene.h"

#include "core/clock.h"      // clockNowMs, tween
#include "core/frame_values.h"      // sceneStartMs
#include "core/screen_frame.h"  // FRAME_ASPECT, FRAME_NEAR_PLANE
#include "gfx/shaders.h"    // shaderLoader: no program for the immediate-mode quads
#include "gfx/textures.h"   // loadTexture
#include "gfx/uniform_table.h"
#include "platform/gl_api.h"
#include "render/camera.h"  // mainCamera
#include "render/lights.h"  // applyLightPreset
#include "scenes/scenes.h"  // enterPictureScene

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

uint32_t pictureTextures[PICTURE_TEXTURE_COUNT] = {};
uint8_t* picturePixels[PICTURE_IMAGE_COUNT] = {};
float pictureCameraBlend = 0.0f;
const CameraKey pictureCameraKeys[PICTURE_CAMERA_KEY_COUNT] = {
    {{1.7405f, 0.7268f, 2.7576f}, {1.7295f, 0.7348f, -0.7778f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{5.7812f, 0.7102f, 2.3955f}, {4.7597f, 0.7382f, -0.9891f}, {0.0f, 1.0f, 0.0f}, 0.0f},
};
uint32_t pictureQuadProgram = 0;

static const char* const PICTURE_FILES[PICTURE_TEXTURE_COUNT] = {"r.tga", "r_displace.tga", "r_displace2.tga",
                                                                 "whitepixel.tga"};
static constexpr int WHITE_PIXEL_SLOT = 3;

// GPU copies of the three pictures (RGBA8UI, on units 1 to 3 while the quads draw) and the
// corner array of the instanced quad.
static uint32_t pictureDataTextures[PICTURE_IMAGE_COUNT] = {};
static uint32_t pictureCornerArray = 0;
static uint32_t pictureCornerBuffer = 0;
// The samplers (colorMap, then one per picture) and the frame's values of the instanced quads.
enum PictureUniform {
    PICTURE_COLOR_MAP, PICTURE_FIRST_SAMPLER,
    PICTURE_DRIFT_X = PICTURE_FIRST_SAMPLER + PICTURE_IMAGE_COUNT, PICTURE_DRIFT_Y, PICTURE_PUSH,
    PICTURE_BRIGHTNESS, PICTURE_MAP_BLEND, PICTURE_COLUMN_SHIFT, PICTURE_UNIFORM_COUNT
};
static const char* const PICTURE_UNIFORM_NAMES[PICTURE_UNIFORM_COUNT] = {
    "colorMap", "picture", "displace", "displace2", "driftX", "driftY", "push", "brightness", "mapBlend",
    "columnShift"};
static UniformTable<PICTURE_UNIFORM_COUNT> pictureQuadUniforms(PICTURE_UNIFORM_NAMES);
static constexpr int PICTURE_FIRST_DATA_UNIT = 1;
static constexpr int QUAD_CORNERS = 4;

static constexpr double HOLD_SECONDS = 2.0;
static constexpr float BYTE_SCALE = 1.0f / 256.0f;
static constexpr float X_SCALE = 0.020833334f;  // 1/48
static constexpr float Y_SCALE = 0.009259259f;  // 1/108
static constexpr float PUSH_FLOOR = 0.01f;
static constexpr float SECOND_MAP_DRIFT = 1.5f;
static constexpr int PICTURE_LIGHT_PRESET = 6;
// The opening hold is over: the picture animates from the restarted sceneStartMs.
static bool pictureHoldDone = false;

bool readBackPicture(uint32_t texture, const char* name, uint8_t* pixels)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width != PICTURE_SIDE || height != PICTURE_SIDE) {
        std::fprintf(stderr, "%s is %d x %d, not %d x %d: not read back\n", name, width, height, PICTURE_SIDE,
                     PICTURE_SIDE);
        return false;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    return true;
}

static void createPictureQuadData()
{
    pictureQuadProgram = shaderLoader.load("picturequads.vert", "picturequads.frag");
    pictureQuadUniforms.lookUp(pictureQuadProgram);
    if (!pictureQuadProgram)
        return;
    glGenTextures(PICTURE_IMAGE_COUNT, pictureDataTextures);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i) {
        glBindTexture(GL_TEXTURE_2D, pictureDataTextures[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8UI, PICTURE_SIDE, PICTURE_SIDE, 0, GL_RGBA_INTEGER, GL_UNSIGNED_BYTE,
                     picturePixels[i]);
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    // Texture corners in the order of the quad: (0, 0), (1, 0), (1, 1), (0, 1).
    static const float CORNERS[QUAD_CORNERS * 2] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
    glGenVertexArrays(1, &pictureCornerArray);
    glBindVertexArray(pictureCornerArray);
    glGenBuffers(1, &pictureCornerBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, pictureCornerBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(CORNERS), CORNERS, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    shaderLoader.use(pictureQuadProgram);
    const int* u = pictureQuadUniforms.of(pictureQuadProgram);
    glUniform1i(u[PICTURE_COLOR_MAP], 0);
    for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i)
        glUniform1i(u[PICTURE_FIRST_SAMPLER + i], PICTURE_FIRST_DATA_UNIT + i);
    shaderLoader.unuse();
}

void initPictureScene()
{
    for (int i = 0; i < PICTURE_TEXTURE_COUNT; ++i)
        pictureTextures[i] = loadTexture(PICTURE_FILES[i]);
    for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i) {
        // Zeroed, so a refused picture draws black instead of leftover memory.
        picturePixels[i] = static_cast<uint8_t*>(std::calloc(PICTURE_BYTES, 1));
        if (!picturePixels[i]) {
            std::fprintf(stderr, "%s: out of memory\n", PICTURE_FILES[i]);
            continue;
        }
        readBackPicture(pictureTextures[i], PICTURE_FILES[i], picturePixels[i]);
    }
    for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i)
        if (!picturePixels[i])
            return;  // nothing to draw from; the draw checks the arrays
    createPictureQuadData();
}

PictureAnimation pictureHoldAnimation()
{
    PictureAnimation a;
    a.driftX = 0.0f;
    a.driftY = 0.0f;
    a.push = 0.0f;
    a.brightness = 1.0f;
    a.mapBlend = 1.0f;
    a.columnShift = 0.0f;
    a.turn = 0.0f;
    return a;
}

static float pictureTween(double to, TweenMode mode, float speedPerFrame)
{
    float v = 0.0f;
    tween(static_cast<double>(sceneStartMs), 0.0, to, mode, static_cast<double>(speedPerFrame), &v);
    return v;
}

static float powerOf(float v, float exponent)
{
    return static_cast<float>(std::pow(static_cast<double>(v), static_cast<double>(exponent)));
}

PictureAnimation pictureAnimationNow()
{
    PictureAnimation a;
    a.driftX = powerOf(pictureTween(1.0, TWEEN_CLAMP, 0.0029411765f), 0.75f);
    a.driftY = powerOf(pictureTween(1.0, TWEEN_CLAMP, 0.0029411765f), 0.75f);
    a.push = powerOf(pictureTween(1.0, TWEEN_CLAMP, 0.0033333334f), 0.75f);
    a.brightness = 1.0f - powerOf(pictureTween(1.0, TWEEN_CLAMP, 0.0018181818f), 1.7999999523162842f);
    a.mapBlend = pictureTween(1.0, TWEEN_CLAMP, 0.0025f);
    a.columnShift = pictureTween(255.0, TWEEN_WRAP, 0.5f);
    a.turn = pictureTween(55.0, TWEEN_CLAMP, 0.10000000149011612f);
    return a;
}

int nextPictureIndex(int index)
{
    // Row order runs on into the next row; the very last pixel has no follower and uses itself.
    return std::min(index + 1, PICTURE_PIXEL_COUNT - 1);
}

int shiftedPictureColumn(int x, float columnShift)
{
    int k = x + static_cast<int>(columnShift);
    if (k > PICTURE_SIDE - 1)
        k -= PICTURE_SIDE - 1;
    return std::clamp(k, 0, PICTURE_SIDE - 1);
}

static float channel(const uint8_t* pixels, int index, int c)
{
    return static_cast<float>(pixels[4 * index + c]) * BYTE_SCALE;
}

void computePictureQuad(const PictureAnimation& a, int x, int y, PictureQuad& quad)
{
    const uint8_t* picture = picturePixels[0];
    const uint8_t* map1 = picturePixels[1];
    const uint8_t* map2 = picturePixels[2];
    const int i = x + PICTURE_SIDE * y;
    const int ik = shiftedPictureColumn(x, a.columnShift) + PICTURE_SIDE * y;
    const float m1r = channel(map1, i, 0);
    const float m1g = channel(map1, i, 1);
    const float m1b = channel(map1, i, 2);
    const float m1nr = channel(map1, nextPictureIndex(i), 0);
    const float m2g = channel(map2, i, 1);
    const float m2b = channel(map2, i, 2);
    const float m2kr = channel(map2, ik, 0);
    const float m2knr = channel(map2, nextPictureIndex(ik), 0);

    const float divisor = PUSH_FLOOR + a.push;
    quad.colour[0] = a.brightness * channel(picture, i, 0) * m1r / divisor * 0.5f;
    quad.colour[1] = a.brightness * channel(picture, i, 1) * m1g / divisor;
    quad.colour[2] = a.brightness * channel(picture, i, 2) * m1b / divisor;
    quad.colour[3] = channel(picture, i, 3);

    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float keep = 1.0f - a.mapBlend;
    const float gridX = keep * (fx + a.driftX * m1g) + a.mapBlend * (fx + a.driftX * SECOND_MAP_DRIFT * m2g);
    const float gridY = keep * (fy + a.driftY * m1b) + a.mapBlend * (fy + a.driftY * SECOND_MAP_DRIFT * m2b);
    quad.left = gridX * X_SCALE;
    quad.right = (gridX + 1.0f) * X_SCALE;
    quad.bottom = gridY * Y_SCALE;
    quad.top = (gridY + 1.0f) * Y_SCALE;
    quad.zLeft = keep * a.push * 2.0f * m1r + a.mapBlend * a.push * 2.0f * m2kr;
    quad.zRight = keep * a.push * 2.0f * m1nr + a.mapBlend * a.push * 2.0f * m2knr;
}

void drawPictureQuadsImmediate(const PictureAnimation& a)
{
    PictureQuad q;
    glBegin(GL_QUADS);
    for (int x = 0; x < PICTURE_SIDE; ++x) {
        for (int y = 0; y < PICTURE_SIDE; ++y) {
            computePictureQuad(a, x, y, q);
            glColor4f(q.colour[0], q.colour[1], q.colour[2], q.colour[3]);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(q.left, q.bottom, q.zLeft);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(q.right, q.bottom, q.zRight);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(q.right, q.top, q.zRight);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(q.left, q.top, q.zLeft);
        }
    }
    glEnd();
}

static void drawPictureQuadsInstanced(const PictureAnimation& a)
{
    shaderLoader.use(pictureQuadProgram);
    const int* u = pictureQuadUniforms.of(pictureQuadProgram);
    glUniform1f(u[PICTURE_DRIFT_X], a.driftX);
    glUniform1f(u[PICTURE_DRIFT_Y], a.driftY);
    glUniform1f(u[PICTURE_PUSH], a.push);
    glUniform1f(u[PICTURE_BRIGHTNESS], a.brightness);
    glUniform1f(u[PICTURE_MAP_BLEND], a.mapBlend);
    glUniform1i(u[PICTURE_COLUMN_SHIFT], static_cast<int>(a.columnShift));
    for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i) {
        glActiveTexture(GL_TEXTURE0 + PICTURE_FIRST_DATA_UNIT + i);
        glBindTexture(GL_TEXTURE_2D, pictureDataTextures[i]);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(pictureCornerArray);
    glDrawArraysInstanced(GL_QUADS, 0, QUAD_CORNERS, PICTURE_PIXEL_COUNT);
    glBindVertexArray(0);
    shaderLoader.unuse();
}

void drawPictureQuads(const PictureAnimation& a)
{
    for (int i = 0; i < PICTURE_IMAGE_COUNT; ++i)
        if (!picturePixels[i])
            return;
    if (pictureQuadProgram)
        drawPictureQuadsInstanced(a);
    else
        drawPictureQuadsImmediate(a);
}

void enterPictureScene()
{
    pictureHoldDone = false;
}

void drawPictureScene()
{
    applyLightPreset(PICTURE_LIGHT_PRESET);

    glLoadIdentity();
    gluPerspective(35.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 1.0);
    mainCamera.set(1.0312f, 0.7703f, 6.3657f, 0.9001f, 0.5483f, 2.8327f, 0.0f, 1.0f, 0.0f);
    mainCamera.applyLookAt();

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, pictureTextures[WHITE_PIXEL_SLOT]);
    glDisable(GL_CULL_FACE);
    shaderLoader.unuse();

    PictureAnimation a = pictureHoldAnimation();
    bool holding = false;
    if (!pictureHoldDone) {
        const double seconds = static_cast<double>(clockNowMs() - sceneStartMs) / 1000.0;
        if (seconds < HOLD_SECONDS) {
            holding = true;
        } else {
            sceneStartMs = clockNowMs();
            pictureHoldDone = true;
        }
    }
    if (!holding)
        a = pictureAnimationNow();

    glRotatef(-a.turn, 0.0f, 1.0f, 0.0f);
    drawPictureQuads(a);
    glEnable(GL_CULL_FACE);
}

void blendPictureCamera()
{
    float w = 0.0f;
    tween(static_cast<double>(sceneStartMs), 0.0, 1.0, TWEEN_CLAMP, static_cast<double>(1.0f / 450.0f), &w);
    w = std::min(w, 1.0f);
    if (!pictureHoldDone)
        w = 0.0f;
    pictureCameraBlend = w;
    const CameraKey& k0 = pictureCameraKeys[0];
    const CameraKey& k1 = pictureCameraKeys[1];
    for (int i = 0; i < 3; ++i) {
        pathCamera[i] = (1.0f - w) * k0.eye[i] + w * k1.eye[i];
        pathCamera[3 + i] = (1.0f - w) * k0.centre[i] + w * k1.centre[i];
        pathCamera[6 + i] = (1.0f - w) * k0.up[i] + w * k1.up[i];
    }
}
