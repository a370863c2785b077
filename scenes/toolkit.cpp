#include "scenes/toolkit.h"

#include "core/clock.h"        // tween
#include "core/frame_values.h"        // sceneStartMs, frameDt
#include "gfx/shaders.h"      // shaderLoader.use / unuse
#include "gfx/textures.h"     // loadTexture
#include "platform/gl_api.h"
#include "render/camera.h"    // mainCamera
#include "render/overlay.h"
#include "scenes/scenes.h"    // endPathCameraFrame

#include <cmath>

float beatCountdown = 0.0f;
float radialBlurBorder = 10.0f;

RotationVector rotationAngles = {0.0f, 0.0f, 0.0f};
RotationVector rotationInput = {0.0f, 0.0f, 0.0f};
RotationVector rotationOutput = {0.0f, 0.0f, 0.0f};

uint32_t skyTextures[SKY_FACE_COUNT] = {};
const char* const SKY_TEXTURE_FILES[SKY_FACE_COUNT] = {"sky3.tga", "sky2.tga", "sky5.tga",
                                                       "sky4.tga", "sky1.tga", "sky6.tga"};

uint32_t highpassProgram = 0;
ColorMapUniforms highpassUniforms(COLOR_MAP_UNIFORM_NAMES);

// Six flights around the origin, each from one key to the next; every key looks with up +y.
const CameraKey cameraKeys[CAMERA_KEY_COUNT] = {
    {{0.0f, 2.0f, 12.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{8.0f, 3.0f, 8.0f}, {0.0f, 0.5f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{8.0f, 3.0f, 8.0f}, {0.0f, 0.5f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{12.0f, 4.0f, 0.0f}, {0.0f, 0.5f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{12.0f, 4.0f, 0.0f}, {0.0f, 0.5f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{8.0f, 6.0f, -8.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{8.0f, 6.0f, -8.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{0.0f, 8.0f, -12.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{0.0f, 8.0f, -12.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{-8.0f, 4.0f, -8.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{-8.0f, 4.0f, -8.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
    {{0.0f, 2.0f, 12.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, 0.0f},
};

float pathCamera[9] = {};
float pathCameraHistory[2 * PATH_CAMERA_HISTORY_VALUES] = {};
float keyPathTime = 0.0f;

static constexpr float SKY_HALF_SIZE = 5.0f;
// Keeps the sky samples one texel off the 512 x 512 face borders.
static constexpr float SKY_UV_LOW = 1.0f / 512.0f;
static constexpr float SKY_UV_HIGH = 511.0f / 512.0f;

// One corner of a screen rectangle. Model-style programs read texture coordinates from generic
// attribute 2, which glTexCoord does not reach, so the coordinate goes there as well.
static void screenVertex(float x, float y, float u, float v)
{
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(u, v);
    glVertexAttrib2f(2, u, v);
    glVertex3f(x, y, 0.0f);
}

static void screenRectTriangles(float x0, float y0, float x1, float y1, float s0, float t0, float s1,
                                float t1)
{
    glBegin(GL_TRIANGLES);
    screenVertex(x0, y0, s0, t0);
    screenVertex(x1, y0, s1, t0);
    screenVertex(x1, y1, s1, t1);
    screenVertex(x0, y0, s0, t0);
    screenVertex(x0, y1, s0, t1);
    screenVertex(x1, y1, s1, t1);
    glEnd();
}

void drawScreenRectUv(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1)
{
    glDisable(GL_DEPTH_TEST);
    pushScreenFrame();
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    screenRectTriangles(x0, y0, x1, y1, s0, t0, s1, t1);
    popScreenFrame();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
}

void drawScreenRect(float x0, float y0, float x1, float y1)
{
    drawScreenRectUv(x0, y0, x1, y1, 0.0f, 0.0f, 1.0f, 1.0f);
}

void drawTexturedRect(int x, int y, int width, int height, int texture)
{
    beginBlendedScreenQuads();
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    float x0 = static_cast<float>(x);
    float y0 = static_cast<float>(y);
    float x1 = static_cast<float>(x + width);
    float y1 = static_cast<float>(y + height);
    screenRectTriangles(x0, y0, x1, y1, 0.0f, 0.0f, 1.0f, 1.0f);
    endScreenQuads();
}

void rotateVectorByAngles()
{
    float cx = static_cast<float>(std::cos(rotationAngles.x / 2000.0));
    float sx = static_cast<float>(std::sin(rotationAngles.x / 2000.0));
    float cy = static_cast<float>(std::cos(rotationAngles.y / 2000.0));
    float sy = static_cast<float>(std::sin(rotationAngles.y / 2000.0));
    float cz = static_cast<float>(std::cos(rotationAngles.z / 2000.0));
    float sz = static_cast<float>(std::sin(rotationAngles.z / 2000.0));

    float y1 = cx * rotationInput.y - sx * rotationInput.z;
    float z1 = sx * rotationInput.y + cx * rotationInput.z;
    rotationInput.y = y1;

    float x2 = cy * rotationInput.x + sy * z1;
    float z2 = cy * z1 - sy * rotationInput.x;
    rotationInput.x = x2;
    rotationInput.z = z2;

    rotationOutput.x = cz * x2 - sz * y1;
    rotationOutput.y = sz * x2 + cz * y1;
    rotationOutput.z = z2;
}

void loadSkyTextures()
{
    for (int i = 0; i < SKY_FACE_COUNT; ++i)
        skyTextures[i] = loadTexture(SKY_TEXTURE_FILES[i]);
}

struct SkyCorner {
    float x, y, z, u, v;
};

static constexpr float A = SKY_UV_LOW;
static constexpr float B = SKY_UV_HIGH;
static constexpr float H = SKY_HALF_SIZE;

// Per face slot, its four corners in drawing order.
static const SkyCorner SKY_FACES[SKY_FACE_COUNT][4] = {
    {{H, -H, -H, A, A}, {-H, -H, -H, B, A}, {-H, H, -H, B, B}, {H, H, -H, A, B}},
    {{H, -H, H, A, A}, {H, -H, -H, B, A}, {H, H, -H, B, B}, {H, H, H, A, B}},
    {{-H, -H, H, A, A}, {H, -H, H, B, A}, {H, H, H, B, B}, {-H, H, H, A, B}},
    {{-H, -H, -H, A, A}, {-H, -H, H, B, A}, {-H, H, H, B, B}, {-H, H, -H, A, B}},
    {{-H, H, -H, B, A}, {-H, H, H, B, B}, {H, H, H, A, B}, {H, H, -H, A, A}},
    {{-H, -H, -H, B, B}, {-H, -H, H, B, A}, {H, -H, H, A, A}, {H, -H, -H, A, B}},
};

void drawSkyBox()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    // The high-pass sampler set-up only makes sense with a built program: with id 0 it would
    // send a uniform to no program at all.
    if (highpassProgram != 0) {
        shaderLoader.use(highpassProgram);
        glUniform1i(highpassUniforms.of(highpassProgram)[COLOR_MAP_SAMPLER], 0);
    }
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(mainCamera.eye[0], mainCamera.eye[1], mainCamera.eye[2]);
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    for (int face = 0; face < SKY_FACE_COUNT; ++face) {
        glBindTexture(GL_TEXTURE_2D, skyTextures[face]);
        glBegin(GL_QUADS);
        for (const SkyCorner& c : SKY_FACES[face]) {
            glTexCoord2f(c.u, c.v);
            glVertex3f(c.x, c.y, c.z);
        }
        glEnd();
    }

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    mainCamera.applyLookAt();
}

float lerpFloat(float a, float b, float t)
{
    return (1.0f - t) * a + t * b;
}

void blendCameraKeys(int keyA, int keyB, float elapsed, float duration)
{
    if (keyA < 0 || keyA >= CAMERA_KEY_COUNT || keyB < 0 || keyB >= CAMERA_KEY_COUNT)
        return;
    // A window of no length is already at its end; dividing by it would give no camera at all.
    float f = duration > 0.0f ? elapsed / duration : 2.0f;
    float wA = 1.0f - f;
    float wB = f;
    if (f > 1.0f) {
        wA = 0.0f;
        wB = 1.0f;
    }
    const CameraKey& a = cameraKeys[keyA];
    const CameraKey& b = cameraKeys[keyB];
    for (int i = 0; i < 3; ++i) {
        pathCamera[i] = wA * a.eye[i] + wB * b.eye[i];
        pathCamera[3 + i] = wA * a.centre[i] + wB * b.centre[i];
        pathCamera[6 + i] = wA * a.up[i] + wB * b.up[i];
    }
}

// The key pairs of the path and the seconds at which each flight starts and ends.
struct KeyWindow {
    int keyA;
    float start;
    float end;
};

static const KeyWindow KEY_WINDOWS[] = {
    {0, 0.0f, 15.0f}, {2, 15.0f, 25.0f}, {4, 25.0f, 35.0f},
    {6, 35.0f, 45.0f}, {8, 45.0f, 55.0f}, {10, 55.0f, 70.0f},
};

void runCameraKeyPath()
{
    tween(static_cast<double>(sceneStartMs), 0.0, 1000000.0, TWEEN_WRAP,
          static_cast<double>(1.0f / 60.0f), &keyPathTime);
    float t = keyPathTime;
    for (const KeyWindow& w : KEY_WINDOWS) {
        if (t >= w.start && t < w.end) {
            blendCameraKeys(w.keyA, w.keyA + 1, t - w.start, w.end - w.start);
            break;
        }
    }
    gluLookAt(pathCamera[0], pathCamera[1], pathCamera[2], pathCamera[3], pathCamera[4], pathCamera[5],
              pathCamera[6], pathCamera[7], pathCamera[8]);
    // The current half of the history holds centre z first and eye x last.
    for (int i = 0; i < PATH_CAMERA_HISTORY_VALUES; ++i)
        pathCameraHistory[PATH_CAMERA_HISTORY_VALUES + i] = pathCamera[PATH_CAMERA_HISTORY_VALUES - 1 - i];
}

void endPathCameraFrame()
{
    for (int i = 0; i < PATH_CAMERA_HISTORY_VALUES; ++i)
        pathCameraHistory[i] = pathCameraHistory[PATH_CAMERA_HISTORY_VALUES + i];
}

void advanceAngle(float /*from*/, float to, int /*mode*/, float speedPerFrame, float* value)
{
    *value += speedPerFrame * frameDt;
    if (*value > to)
        *value -= to;
}
