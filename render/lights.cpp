#include "render/lights.h"

#include "core/clock.h"          // clockNowMs, tween: the flash-light fade
#include "gfx/obj_draw.h"        // objLightSwitches
#include "platform/crt_random.h"  // the presets' seeded draws
#include "platform/gl_api.h"
#include "render/program_uniforms.h" // the light arrays' locations

#include <cmath>
#include <cstring>

LightTable lightTable = {};

// The OBJ library's draws upload the switches of this table (it sits below the renderer and
// cannot name it).
[[maybe_unused]] static const bool objLightsLinked =
    (objLightSwitches = ObjLightSwitches{lightTable.enabledF, lightTable.invRadius, lightTable.mapSelect}, true);
GLUquadric* lightQuadric = nullptr;
float markerShininess = 0.0f;

static constexpr float TWO_PI_F = 6.2831855f;
static constexpr float ORBIT_RADIUS_A = 70.0f;
static constexpr float LIGHT0_MAP_SELECT = 0.99609375f;  // 255/256
static constexpr int FIXED_LAYOUT_LIGHTS = 8;
// Flash-light placement: the hero's view scales and the game's vertical pull towards 450, with
// the single-precision divisor one step below 450.
static constexpr float FLASH_VIEW_SCALE_X = 5.6f;
static constexpr float FLASH_VIEW_SCALE_Y = 3.0f;
static constexpr float FLASH_PULL_DIVISOR = 449.99997f;
static constexpr float FLASH_LIGHT_Z = 0.75f;
static constexpr double FLASH_FADE_END = 3.0;
static constexpr double FLASH_FADE_SPEED = 0.025;  // per 60 Hz frame: 3 after 2 seconds

// r % n as a float after a division and an offset, computed in double and stored once.
static float drawScaled(int n, double divisor, double offset)
{
    return static_cast<float>(static_cast<double>(crtRand() % n) / divisor + offset);
}

static void setColour(float colour[4], float r, float g, float b, float a)
{
    colour[0] = r;
    colour[1] = g;
    colour[2] = b;
    colour[3] = a;
}

// Three draws into R, G, B in that order (one statement each: the order is part of the preset);
// alpha 1. All three share one divisor of 1000.
static void drawColour(float colour[4], int nR, double offR, int nG, double offG, int nB, double offB)
{
    colour[0] = drawScaled(nR, 1000.0, offR);
    colour[1] = drawScaled(nG, 1000.0, offG);
    colour[2] = drawScaled(nB, 1000.0, offB);
    colour[3] = 1.0f;
}

static void setPosition(int light, float x, float y, float z, float w)
{
    setColour(lightTable.position[light], x, y, z, w);
}

static void setWhite(int light)
{
    setColour(lightTable.ambient[light], 1.0f, 1.0f, 1.0f, 1.0f);
    setColour(lightTable.diffuse[light], 1.0f, 1.0f, 1.0f, 1.0f);
    setColour(lightTable.specular[light], 1.0f, 1.0f, 1.0f, 1.0f);
}

// Five draws: phase, speed, then the three axis offsets.
static void drawOrbit(int light)
{
    lightTable.orbitPhase[light] = drawScaled(1000, 10.0, 0.0);
    lightTable.orbitSpeed[light] = drawScaled(3000, 50000.0, 0.005);
    for (int k = 0; k < 3; ++k)
        lightTable.orbitOffset[light][k] = drawScaled(12000, 1000.0, 0.0);
}

// Ten draws: light-map select, then ambient, diffuse and specular R, G, B.
static void drawColoursA(int light)
{
    lightTable.mapSelect[light] = static_cast<float>(crtRand() % 256) / 256.0f;
    drawColour(lightTable.ambient[light], 200, 0.1, 200, 0.1, 200, 0.3);
    drawColour(lightTable.diffuse[light], 300, 0.2, 300, 0.1, 300, 0.4);
    drawColour(lightTable.specular[light], 300, 0.6, 300, 0.6, 300, 0.7);
}

// Drawing the markers is the quadric's only use, so one serves the whole run.
static void makeLightQuadric()
{
    if (lightQuadric)
        return;
    lightQuadric = gluNewQuadric();
    if (!lightQuadric)
        return;
    gluQuadricNormals(lightQuadric, GLU_SMOOTH);
    gluQuadricTexture(lightQuadric, GL_FALSE);
}

static void advanceOrbitPhase(int light)
{
    lightTable.orbitPhase[light] += lightTable.orbitSpeed[light];
    if (lightTable.orbitPhase[light] > TWO_PI_F)
        lightTable.orbitPhase[light] -= TWO_PI_F;
}

static void stepOrbit(int light, float radius)
{
    advanceOrbitPhase(light);
    float p[3];
    for (int k = 0; k < 3; ++k) {
        float angle = lightTable.orbitPhase[light] + lightTable.orbitOffset[light][k];
        p[k] = static_cast<float>(radius * std::sin(static_cast<double>(angle)));
    }
    setPosition(light, p[0], p[1], p[2], 0.0f);
}

void setLight0Defaults()
{
    lightTable.mapSelect[0] = LIGHT0_MAP_SELECT;
    setColour(lightTable.ambient[0], 0.1f, 0.1f, 0.3f, 1.0f);
    setColour(lightTable.diffuse[0], 0.6f, 0.6f, 0.6f, 1.0f);
    setColour(lightTable.specular[0], 0.8f, 0.8f, 0.8f, 1.0f);
    setPosition(0, 6.0f, -1.0f, -20.0f, 0.0f);
    lightTable.invRadius[0] = 10.73f;
    lightTable.orbitPhase[0] = 0.0f;
    lightTable.orbitSpeed[0] = 0.1f;
    for (int k = 0; k < 3; ++k)
        lightTable.orbitOffset[0][k] = 0.0f;
    lightTable.enabled[0] = 1;
}

void setLight0DefaultsOld()
{
    setLight0Defaults();
    setColour(lightTable.diffuse[0], 0.9f, 0.9f, 0.9f, 1.0f);
    setColour(lightTable.specular[0], 1.0f, 1.0f, 1.0f, 1.0f);
    setPosition(0, -7.0f, 7.0f, -2.0f, 0.0f);
    lightTable.invRadius[0] = 20.73f;
}

void presetSingleWhiteLight()
{
    crtSrand(2071191);
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        lightTable.mapSelect[i] = 0.0f;
        setWhite(i);
        setPosition(i, 0.0f, 0.0f, -2.0f, 0.0f);
        lightTable.invRadius[i] = 0.03f;
        drawOrbit(i);
        lightTable.enabled[i] = 1;
    }
    for (int i = 1; i < LIGHT_COUNT; ++i)
        lightTable.enabled[i] = 0;
    uploadLights();
    makeLightQuadric();
}

// Preset 3 up to its upload.
static void buildOrbitLights()
{
    setLight0Defaults();
    crtSrand(2071);
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        drawColoursA(i);
        setPosition(i, 7.0f, 7.0f, 7.0f, 0.0f);
        lightTable.invRadius[i] = 0.005f;
        (void)crtRand();
        drawOrbit(i);
        lightTable.enabled[i] = 1;
    }
    makeLightQuadric();
    for (int i = 1; i < LIGHT_COUNT; ++i)
        stepOrbit(i, ORBIT_RADIUS_A);
}

void presetOrbitLightsA()
{
    buildOrbitLights();
    uploadLights();
}

void presetOrbitLightsB()
{
    buildOrbitLights();
}

enum RandomLightColours { RANDOM_COLOURS_BLUE, RANDOM_COLOURS_WHITE };

// Presets 5, 6 and 66: light 0 directional, lights 1..13 positional and scattered.
static void buildRandomLights(unsigned seed, RandomLightColours colours)
{
    setLight0Defaults();
    crtSrand(seed);
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        lightTable.mapSelect[i] = static_cast<float>(crtRand() % 256) / 256.0f;
        drawColour(lightTable.ambient[i], 200, 0.1, 200, 0.1, 200, 0.3);
        if (colours == RANDOM_COLOURS_BLUE) {
            drawColour(lightTable.diffuse[i], 300, 0.0, 300, 0.2, 300, 0.9);
            drawColour(lightTable.specular[i], 300, 0.75, 300, 0.85, 300, 0.9);
        } else {
            drawColour(lightTable.diffuse[i], 200, 0.9, 200, 0.8, 200, 0.9);
            drawColour(lightTable.specular[i], 200, 0.9, 200, 0.8, 100, 1.0);
        }
        setPosition(i, 7.0f, 7.0f, 7.0f, 0.0f);
        lightTable.invRadius[i] = 0.005f;
        (void)crtRand();
        drawOrbit(i);
        lightTable.enabled[i] = 1;
    }
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        float x = static_cast<float>(90 - crtRand() % 180);
        float y = static_cast<float>(90 - crtRand() % 180);
        float z = static_cast<float>(55 - crtRand() % 180);
        setPosition(i, x, y, z, 1.0f);
        std::memcpy(lightTable.startPosition[i], lightTable.position[i], sizeof lightTable.position[i]);
    }
    uploadLights();
}

void presetRandomLightsA()
{
    buildRandomLights(2072, RANDOM_COLOURS_BLUE);
}

void presetRandomLightsB()
{
    buildRandomLights(2072, RANDOM_COLOURS_WHITE);
}

void presetRandomLightsC()
{
    buildRandomLights(2073, RANDOM_COLOURS_WHITE);
}

void presetTwoLights()
{
    crtSrand(2071191);
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        lightTable.mapSelect[i] = 0.0f;
        setWhite(i);
        setPosition(i, -23.0f, 4.0f, -1.0f, 0.0f);
        lightTable.invRadius[i] = 0.0001f;
        drawOrbit(i);
        lightTable.enabled[i] = 1;
    }
    lightTable.mapSelect[0] = 0.0f;
    setColour(lightTable.ambient[0], 1.0f, 1.0f, 1.0f, 1.0f);
    setColour(lightTable.diffuse[0], 0.1f, 0.3f, 1.0f, 1.0f);
    setColour(lightTable.specular[0], 0.1f, 0.3f, 1.0f, 1.0f);
    setPosition(0, 0.0f, 7.0f, -27.0f, 0.0f);
    lightTable.invRadius[0] = 0.01f;
    drawOrbit(0);
    lightTable.enabled[0] = 1;
    for (int i = 2; i < LIGHT_COUNT; ++i)
        lightTable.enabled[i] = 0;
    uploadLights();
    makeLightQuadric();
}

void presetTopWhiteLight()
{
    crtSrand(2071);
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        lightTable.mapSelect[i] = 0.0f;
        setWhite(i);
        setPosition(i, 1.0f, 10.0f, 1.0f, 0.0f);
        lightTable.invRadius[i] = 0.005f;
        drawOrbit(i);
        lightTable.enabled[i] = 0;
    }
    lightTable.enabled[0] = 1;
    uploadLights();
}

void stepLightOrbits()
{
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        advanceOrbitPhase(i);
        float x = static_cast<float>(150 + crtRand() % 500);
        float y = static_cast<float>(150 + crtRand() % 500);
        float z = static_cast<float>(150 + crtRand() % 500);
        setPosition(i, x, y, z, 0.0f);
    }
}

struct FixedLightEntry {
    float position[3];
    float ambient[3];
    float diffuse[3];
    float specular[3];
};

static const FixedLightEntry FIXED_LIGHT_LAYOUT[FIXED_LAYOUT_LIGHTS] = {
    {{355, 599, 535}, {0.291f, 0.241f, 0.42f}, {0.299f, 0.397f, 0.669f}, {0.722f, 0.805f, 0.709f}},
    {{155, 354, 503}, {0.25f, 0.209f, 0.318f}, {0.275f, 0.366f, 0.434f}, {0.802f, 0.702f, 0.879f}},
    {{625, 174, 625}, {0.117f, 0.165f, 0.484f}, {0.449f, 0.103f, 0.526f}, {0.747f, 0.674f, 0.955f}},
    {{460, 632, 360}, {0.104f, 0.134f, 0.318f}, {0.2f, 0.207f, 0.482f}, {0.659f, 0.672f, 0.919f}},
    {{185, 545, 570}, {0.25f, 0.134f, 0.326f}, {0.498f, 0.39f, 0.417f}, {0.859f, 0.706f, 0.881f}},
    {{413, 283, 433}, {0.11f, 0.214f, 0.476f}, {0.33f, 0.295f, 0.564f}, {0.773f, 0.717f, 0.968f}},
    {{286, 252, 266}, {0.248f, 0.242f, 0.473f}, {0.431f, 0.215f, 0.4f}, {0.707f, 0.715f, 0.8f}},
    {{554, 173, 515}, {0.217f, 0.299f, 0.369f}, {0.423f, 0.284f, 0.542f}, {0.832f, 0.871f, 0.741f}},
};

// Only x, y, z and R, G, B are written: the fourth components keep their values.
void setFixedLightLayout()
{
    for (int i = 0; i < FIXED_LAYOUT_LIGHTS; ++i) {
        const FixedLightEntry& e = FIXED_LIGHT_LAYOUT[i];
        for (int k = 0; k < 3; ++k) {
            lightTable.position[i][k] = e.position[k];
            lightTable.spotDirection[i][k] = 0.0f;
            lightTable.ambient[i][k] = e.ambient[k];
            lightTable.diffuse[i][k] = e.diffuse[k];
            lightTable.specular[i][k] = e.specular[k];
        }
    }
    uploadLights();
}

void presetRandomOrbitLights()
{
    crtSrand(20710);
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        drawColoursA(i);
        setPosition(i, 7.0f, 7.0f, 7.0f, 0.0f);
        lightTable.invRadius[i] = 0.000001f;
        drawOrbit(i);
        lightTable.enabled[i] = 0;
    }
    stepLightOrbits();
    for (int i = 0; i < LIGHT_COUNT; ++i)
        lightTable.position[i][0] -= 5000.0f;
    setFixedLightLayout();
    for (int i = 0; i < FIXED_LAYOUT_LIGHTS; ++i)
        lightTable.enabled[i] = 1;
    uploadLights();
    makeLightQuadric();
}

void applyLightPreset(int number)
{
    switch (number) {
    case 1: presetSingleWhiteLight(); break;
    case 2:
        crtSrand(20710);
        presetRandomOrbitLights();
        break;
    case 3: presetOrbitLightsA(); break;
    case 4: presetOrbitLightsB(); break;
    case 5: presetRandomLightsA(); break;
    case 6: presetRandomLightsB(); break;
    case 66: presetRandomLightsC(); break;
    case 10: presetTwoLights(); break;
    case 11: presetTopWhiteLight(); break;
    default: break;
    }
}

// GL implementations offer as few as 8 fixed-function lights and reject higher light names
// with an error other code would then read as its own; the uniform copies carry all 14.
static int fixedFunctionLightCount()
{
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    if (maxLights < 0)
        return 0;
    return maxLights < LIGHT_COUNT ? maxLights : LIGHT_COUNT;
}

// The table work (enabled floats, flash fade, copies) runs with or without a context, so the
// game's world logic runs in tests without GL.
void uploadLights()
{
    int glLights = glContextCurrent() ? fixedFunctionLightCount() : 0;
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        lightTable.enabledF[i] = lightTable.enabled[i] ? 1.0f : 0.0f;
        if (i >= glLights)
            continue;
        GLenum light = GL_LIGHT0 + i;
        glDisable(light);
        if (!lightTable.enabled[i])
            continue;
        glEnable(light);
        glLightfv(light, GL_POSITION, lightTable.position[i]);
        glLightfv(light, GL_SPOT_DIRECTION, lightTable.spotDirection[i]);
        glLightfv(light, GL_AMBIENT, lightTable.ambient[i]);
        glLightfv(light, GL_DIFFUSE, lightTable.diffuse[i]);
        glLightfv(light, GL_SPECULAR, lightTable.specular[i]);
        glLightf(light, GL_CONSTANT_ATTENUATION, 1.0f);
        glLightf(light, GL_LINEAR_ATTENUATION, 0.1f);
        glLightf(light, GL_QUADRATIC_ATTENUATION, 0.0f);
        glLightf(light, GL_SPOT_EXPONENT, 0.0f);
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
    }

    fadeFlashLights();

    for (int i = 0; i < LIGHT_COUNT; ++i) {
        lightTable.enabledF[i] = lightTable.enabled[i] ? 1.0f : 0.0f;
        if (!lightTable.enabled[i])
            continue;
        lightTable.posX[i] = lightTable.position[i][0];
        lightTable.posY[i] = lightTable.position[i][1];
        lightTable.posZ[i] = lightTable.position[i][2];
        lightTable.ambR[i] = lightTable.ambient[i][0];
        lightTable.ambG[i] = lightTable.ambient[i][1];
        lightTable.ambB[i] = lightTable.ambient[i][2];
        lightTable.diffR[i] = lightTable.diffuse[i][0];
        lightTable.diffG[i] = lightTable.diffuse[i][1];
        lightTable.diffB[i] = lightTable.diffuse[i][2];
        lightTable.specR[i] = lightTable.specular[i][0];
        lightTable.specG[i] = lightTable.specular[i][1];
        lightTable.specB[i] = lightTable.specular[i][2];
    }
}

// The radius 3 - v shrinks from 3 to 0 over two seconds; the slot is free again once it is 0.
void fadeFlashLights()
{
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        if (!lightTable.flashActive[i] || !lightTable.enabled[i])
            continue;
        float v = 0.0f;
        tween(lightTable.flashStartMs[i], 0.0, FLASH_FADE_END, TWEEN_CLAMP, FLASH_FADE_SPEED, &v);
        if (v >= FLASH_FADE_END) {
            lightTable.enabled[i] = 0;
            lightTable.flashActive[i] = 0;
        } else {
            lightTable.invRadius[i] = 1.0f / (3.0f - v);
        }
    }
}

int spawnFlashLightAt(float objectX, float objectY, float objectHeight, float cameraX, float cameraY)
{
    int slot = -1;
    for (int i = LIGHT_COUNT - 1; i >= 0; --i) {
        if (lightTable.enabled[i] != 1) {
            slot = i;
            break;
        }
    }
    if (slot < 0)
        return -1;

    lightTable.mapSelect[slot] = LIGHT0_MAP_SELECT;
    setColour(lightTable.ambient[slot], 0.0f, 1.0f, 1.0f, 1.0f);
    setColour(lightTable.diffuse[slot], 0.0f, 1.0f, 1.0f, 1.0f);
    setColour(lightTable.specular[slot], 0.0f, 1.0f, 1.0f, 1.0f);

    float cy = objectY + objectHeight / 2 - cameraY;
    float t = (450 - cy) * 20 / FLASH_PULL_DIVISOR;
    float x = (objectX + 55 - cameraX - 990) / 1000 * 2048 * FLASH_VIEW_SCALE_X / 1980;
    float y = (cy + t - 540) / 1000 * 2048 * FLASH_VIEW_SCALE_Y / 1080;
    setPosition(slot, x, y, FLASH_LIGHT_Z, 0.0f);

    lightTable.enabled[slot] = 1;
    lightTable.flashActive[slot] = 1;
    lightTable.flashStartMs[slot] = static_cast<double>(clockNowMs());
    uploadLights();
    return slot;
}

// The particle module fills this in with its lens-glow set-up (initBurstLens) once it exists.
static void initLightGlowBurstLens()
{
    void initBurstLens();  // render/particles.h
    initBurstLens();
}

void initLightGlowParticles()
{
    initLightGlowBurstLens();
}

static const float* lightUniformArray(int which)
{
    const LightTable& t = lightTable;
    const float* const arrays[LIGHT_UNIFORM_ARRAY_COUNT] = {
        t.enabledF, t.invRadius, t.mapSelect, t.posX,  t.posY,  t.posZ,  t.ambR,  t.ambG,
        t.ambB,     t.diffR,     t.diffG,     t.diffB, t.specR, t.specG, t.specB,
    };
    return arrays[which];
}

static void uploadLightArrays(unsigned program, int arrayCount)
{
    if (program == 0)
        return;
    const int* locations = programUniforms(program).lights;
    for (int k = 0; k < arrayCount; ++k)
        if (locations[k] >= 0)
            glProgramUniform1fv(program, locations[k], LIGHT_COUNT, lightUniformArray(k));
}

void uploadLightSwitchUniforms(unsigned program)
{
    uploadLightArrays(program, LIGHT_SWITCH_UNIFORM_COUNT);
}

void uploadLightUniforms(unsigned program)
{
    uploadLightArrays(program, LIGHT_UNIFORM_ARRAY_COUNT);
}

void drawLightMarkers()
{
    makeLightQuadric();
    if (!lightQuadric)
        return;
    static const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glDisable(GL_LIGHTING);
    glMaterialfv(GL_FRONT, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, markerShininess);
    glPushMatrix();
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        if (!lightTable.enabled[i])
            continue;
        glLoadIdentity();
        glTranslatef(lightTable.position[i][0], lightTable.position[i][1], lightTable.position[i][2]);
        glUseProgram(0);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        gluSphere(lightQuadric, 0.15, 16, 8);
        glEnable(GL_TEXTURE_2D);
    }
    glPopMatrix();
}

void saveLightPositions()
{
    std::memcpy(lightTable.savedPosition, lightTable.position, sizeof lightTable.position);
}

void restoreLightPositions()
{
    std::memcpy(lightTable.position, lightTable.savedPosition, sizeof lightTable.position);
    uploadLights();
}

void transformPointByMatrixA(const float matrix[16], float point[4])
{
    float p[4] = {point[0], point[1], point[2], 1.0f};
    for (int i = 0; i < 3; ++i)
        point[i] = matrix[i] * p[0] + matrix[4 + i] * p[1] + matrix[8 + i] * p[2] + matrix[12 + i] * p[3];
    point[3] = 1.0f;
}

void transformPointByMatrixB(const float matrix[16], float point[4])
{
    float p[4] = {point[0], point[1], point[2], 1.0f};
    for (int i = 0; i < 3; ++i)
        point[i] = dot4(matrix + 4 * i, p);
    point[3] = 1.0f;
}

void transformLightPosition(const float matrix[16], int index)
{
    if (index < 0 || index >= LIGHT_COUNT)
        return;
    float p[4] = {lightTable.position[index][0], lightTable.position[index][1], lightTable.position[index][2],
                  1.0f};
    transformPointByMatrixA(matrix, p);
    setPosition(index, p[0], p[1], p[2], 0.0f);
}

float dot4(const float a[4], const float b[4])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
}

void matrixRowsDotPoint(float out[4], const float rows[16], const float point[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = dot4(rows + 4 * i, point);
}
