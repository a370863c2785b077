#include "scenes/flyover_scene.h"

#include "core/clock.h"             // clockNowMs, tween
#include "core/data_files.h"        // debugLog: the path recorder's output
#include "core/frame_values.h"             // sceneStartMs, frameDt
#include "core/keyboard.h"         // keyboardState: the path recorder's keys
#include "core/screen_frame.h"  // the screen frame and its perspective
#include "gfx/model.h"             // loadModel, scaleModel, uploadModelVertices
#include "gfx/shaders.h"           // shaderLoader
#include "gfx/pass_timer.h"
#include "gfx/shadow_map.h"        // beginShadowTargetPass and the shadow programs
#include "gfx/textures.h"          // loadTexture, textureSets
#include "platform/crt_random.h"   // the dust's draws
#include "platform/gl_api.h"
#include "render/camera.h"         // mainCamera
#include "render/light_space.h"    // sf, sfz, the light position, drawModelDepth
#include "render/lights.h"         // preset 10 and the light table
#include "render/model_draw.h"     // fogZFactor
#include "render/particles.h"      // the dust's particle system and program
#include "render/shadowed_draw.h"  // drawModelShadowed, drawModelVolumetric
#include "scenes/flyover_terrain.h"
#include "scenes/scenes.h"
#include "scenes/toolkit.h"        // skyTextures, drawSkyBox

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const float bcPos[FLYOVER_CAMERA_SEGMENTS][BEZIER_CONTROL_POINTS][3] = {
    {{-93.3385f, 33.6075f, -12.9805f}, {-83.2783f, 33.6075f, 16.8715f}, {-72.1004f, 33.6075f, 50.0403f},
     {-62.7855f, 33.6075f, 77.6810f}},
    {{-62.7855f, 33.6075f, 77.6810f}, {-29.4104f, 30.3315f, 64.9968f}, {-15.7505f, 36.7756f, 49.8087f},
     {-9.1841f, 37.7007f, 35.1493f}},
    {{-9.1841f, 37.7007f, 35.1493f}, {13.7770f, 40.8639f, 48.5174f}, {25.8605f, 36.6721f, 31.2830f},
     {34.3751f, 31.9547f, 8.9472f}},
    {{25.7188f, 42.5113f, 151.1094f}, {34.0052f, 37.1493f, 96.3348f}, {45.0222f, 26.1412f, 18.2111f},
     {25.4453f, 43.7295f, -36.6817f}},
    {{25.4453f, 43.7295f, -36.6817f}, {-33.3961f, 48.4389f, -27.4929f}, {-26.3861f, 29.3113f, 51.6453f},
     {33.1043f, 48.4794f, 45.2764f}},
    {{33.1043f, 48.4794f, 45.2764f}, {21.0755f, 40.3796f, 25.2997f}, {8.4929f, 44.5882f, 9.9396f},
     {19.7842f, 67.6684f, 19.0394f}},
    {{19.7842f, 67.6684f, 19.0394f}, {0.8908f, 109.7020f, 48.6189f}, {-2.6449f, 204.7568f, 102.1725f},
     {-7.8912f, 477.1023f, 256.0669f}},
};

const float bcView[FLYOVER_CAMERA_SEGMENTS][BEZIER_CONTROL_POINTS][3] = {
    {{-89.9881f, 33.1856f, -14.1096f}, {-79.9280f, 33.1856f, 15.7424f}, {-68.7501f, 33.1856f, 48.9112f},
     {-59.9309f, 33.2156f, 75.5951f}},
    {{-59.9309f, 33.2156f, 75.5951f}, {-27.3483f, 29.9876f, 62.1250f}, {-14.1281f, 35.8657f, 46.6674f},
     {-7.7014f, 36.2888f, 31.9397f}},
    {{-7.7014f, 36.2888f, 31.9397f}, {13.6312f, 39.7960f, 44.9850f}, {24.1802f, 35.6742f, 28.1723f},
     {31.0077f, 30.9448f, 7.8701f}},
    {{25.1826f, 41.6694f, 147.6147f}, {33.2603f, 36.5074f, 92.8786f}, {41.7177f, 25.5494f, 16.9539f},
     {23.3987f, 42.6276f, -33.7987f}},
    {{23.3987f, 42.6276f, -33.7987f}, {-30.8240f, 46.6550f, -25.0671f}, {-24.4934f, 29.3295f, 48.6590f},
     {31.3504f, 47.4716f, 42.2066f}},
    {{31.3504f, 47.4716f, 42.2066f}, {19.1674f, 39.0998f, 22.3233f}, {5.9004f, 40.6303f, 7.5355f},
     {17.6839f, 61.8665f, 16.1953f}},
    {{17.6782f, 61.8745f, 16.1995f}, {1.1237f, 103.4382f, 45.0910f}, {-2.4120f, 198.4949f, 98.6446f},
     {-7.7995f, 470.8525f, 252.5325f}},
};

Model* shipModel = nullptr;
Model* dustModel = nullptr;
uint32_t terrainProgram = 0;
uint32_t dustShadowProgram = 0;

ParticleSystem* dustParticles = nullptr;
uint32_t dustTextures[DUST_TEXTURE_COUNT] = {};
uint32_t dustTextureIds[DUST_PARTICLE_COUNT] = {};
float dustVelocity[DUST_PARTICLE_COUNT][3] = {};
float dustLife[DUST_PARTICLE_COUNT] = {};
float dustAlphaFactor[DUST_PARTICLE_COUNT] = {};
int dustRandom[DUST_PARTICLE_COUNT] = {};

int flyoverRow = 0;
float flyoverOffset = 0.0f;
int dustPrevRow = 0;
float dustPrevOffset = 0.0f;
float flyoverCameraSegment = 0.0f;
int flyoverSegmentIndex = 0;
float flyoverSegmentStartMs = 0.0f;
// Frames drawn since the scene began (or the Return key); the first takes its own pose.
static int flyoverFrameCount = 0;

float recordedPos[BEZIER_CONTROL_POINTS][3] = {};
float recordedView[BEZIER_CONTROL_POINTS][3] = {};
unsigned char pathPlayback = 0;

static constexpr const char* DUST_TEXTURE_FILES[DUST_TEXTURE_COUNT] = {"dustparticle.tga", "dustparticle2.tga",
                                                                       "dustparticle3.tga", "dustparticle4.tga"};
static constexpr float CAMERA_SEGMENT_SPEED = 0.0033333334f;  // 300 frames per segment flight
static constexpr float CAMERA_SEGMENTS_PER_T = 0.5f;  // a camera segment every two timeline units
static constexpr float SHIP_YAW_SPEED = 0.1f;
static constexpr float SHIP_YAW_LIMIT = 20.0f;
static constexpr float SCROLL_WRAP = 307200.0f;
static constexpr float DUST_BIRTH_LIFE = 100.0f;
static constexpr float DUST_AGEING = 3.0f;   // life per frame
static constexpr float DUST_DRIFT_Z = 5.0f;  // backwards per frame, with the ground
static constexpr float DUST_GROWTH = 20.0f;
static constexpr int DUST_RESPAWNS_PER_UNIT = 5;
static constexpr float FOG_Z_FACTOR = 610.0f;
static constexpr float DUST_SHADOW_TILT_RADIANS = 0.785398163f;  // 45 degrees about x
static constexpr int KEY_RECORD_FIRST = 30;  // 30 .. 33 store control points 0 .. 3
static constexpr int KEY_PLAYBACK = 19;
static constexpr int KEY_WRITE = 6;
static constexpr int KEY_LEFT_SHIFT = 225;  // either shift held with KEY_WRITE
static constexpr int KEY_RIGHT_SHIFT = 229;
static constexpr float FIRST_FRAME_EYE[3] = {-10.6691f, 50.4551f, 81.646f};
static constexpr float FIRST_FRAME_CENTRE[3] = {-10.2924f, 49.9492f, 78.1306f};

// Camera path.

float flyoverEase(float t)
{
    const float u = 1.0f - t;
    return 0.45f * u * u * t + 2.55f * u * t * t + t * t * t;
}

void bezierPoint(const float points[BEZIER_CONTROL_POINTS][3], float e, float out[3])
{
    const float u = 1.0f - e;
    for (int k = 0; k < 3; ++k)
        out[k] = u * u * u * points[0][k] + 3.0f * e * u * u * points[1][k] + 3.0f * e * e * u * points[2][k] +
                 e * e * e * points[3][k];
}

static float segmentEase()
{
    float t = 0.0f;
    tween(static_cast<double>(flyoverSegmentStartMs), 0.0, 1.0, TWEEN_CLAMP, static_cast<double>(CAMERA_SEGMENT_SPEED),
          &t);
    return flyoverEase(t);
}

void updateFlyoverCamera()
{
    int seg = static_cast<int>(flyoverCameraSegment);
    // The timeline keeps the segment in 0 .. 6; anything else would read past the tables.
    seg = std::clamp(seg, 0, FLYOVER_CAMERA_SEGMENTS - 1);
    if (seg != flyoverSegmentIndex) {
        flyoverSegmentStartMs = static_cast<float>(clockNowMs());
        flyoverSegmentIndex = seg;
    }
    const float e = segmentEase();
    bezierPoint(bcPos[seg], e, mainCamera.eye);
    bezierPoint(bcView[seg], e, mainCamera.centre);
}

// Scroll position and heights.

static float centreHeightBetween(int row, float offset)
{
    const float h0 = terrainHeightAt(row + 128, TERRAIN_CENTRE_COLUMN);
    const float h1 = terrainHeightAt(row + 129, TERRAIN_CENTRE_COLUMN);
    return ((20.0f - offset) * h0 + offset * h1) / 20.0f;
}

float flyoverShipHeight(int row, float offset)
{
    return centreHeightBetween(row, offset) * 0.5f + tailHeightBase - 10.0f;
}

float flyoverGroundHeight(int row, float offset)
{
    return centreHeightBetween(row, offset) - 50.0f;
}

// Dust.

void initDustParticles()
{
    for (int k = 0; k < DUST_TEXTURE_COUNT; ++k)
        dustTextures[k] = loadTexture(DUST_TEXTURE_FILES[k]);
    dustParticles = createParticleSystem("dustparticle", DUST_PARTICLE_COUNT, DUST_SYSTEM_SIZE);
    const int count = dustParticles ? std::min(dustParticles->count, DUST_PARTICLE_COUNT) : 0;
    for (int i = 0; i < count; ++i) {
        const float clear[4] = {1.0f, 1.0f, 1.0f, 0.0f};
        std::memcpy(dustParticles->colours[i], clear, sizeof(clear));
        dustParticles->sizes[i] = 0.0f;
        dustTextureIds[i] = 0;
        dustVelocity[i][0] = dustVelocity[i][1] = dustVelocity[i][2] = 0.0f;
        dustLife[i] = 0.0f;
        dustAlphaFactor[i] = 0.0f;
        dustRandom[i] = 0;
    }
}

static int dustCount()
{
    return dustParticles ? std::min(dustParticles->count, DUST_PARTICLE_COUNT) : 0;
}

void updateDustParticles()
{
    ParticleSystem* system = dustParticles;
    const int count = dustCount();
    const float speed = (20.0f * static_cast<float>(flyoverRow) - flyoverOffset) -
                        (20.0f * static_cast<float>(dustPrevRow) - dustPrevOffset);
    dustPrevRow = flyoverRow;
    dustPrevOffset = flyoverOffset;
    int budget = DUST_RESPAWNS_PER_UNIT * std::abs(static_cast<int>(speed));
    const int spread = static_cast<int>(100.0f * speed);
    const float ground = flyoverGroundHeight(flyoverRow, flyoverOffset);

    for (int i = 0; i < count && budget > 0; ++i) {
        if (dustLife[i] != 0.0f)
            continue;
        --budget;
        float* colour = system->colours[i];
        colour[0] = colour[1] = colour[2] = 1.0f;
        colour[3] = 0.0f;
        system->sizes[i] = 0.0f;
        dustVelocity[i][0] = static_cast<float>(50 - crtRand() % 100) / 100.0f;
        dustVelocity[i][1] = static_cast<float>(crtRand() % 40) / 100.0f + 0.1f;
        dustVelocity[i][2] = -static_cast<float>(crtRand() % 50) / 100.0f;
        dustAlphaFactor[i] = static_cast<float>(crtRand() % 100) / 100.0f;
        dustTextureIds[i] = dustTextures[crtRand() % DUST_TEXTURE_COUNT];
        dustLife[i] = DUST_BIRTH_LIFE;
        dustRandom[i] = crtRand() % 100;
        // A budget is only left for a speed of 1 or more, so `spread` is at least 100 here.
        const int r = crtRand();
        const int depth = spread != 0 ? r % spread : 0;
        system->basePositions[i][0] = 0.0f;
        system->basePositions[i][1] = ground;
        system->basePositions[i][2] = 10.0f - static_cast<float>(depth) / 100.0f;
    }

    for (int i = 0; i < count; ++i) {
        if (dustLife[i] == 0.0f)
            continue;
        float* p = system->basePositions[i];
        p[0] += dustVelocity[i][0] * frameDt;
        p[1] += dustVelocity[i][1] * frameDt;
        p[2] += dustVelocity[i][2] * frameDt - DUST_DRIFT_Z * frameDt;
        float life = dustLife[i] - DUST_AGEING * frameDt;
        if (life < 0.0f)
            life = 0.0f;
        dustLife[i] = life;
        system->colours[i][3] = life / 1000.0f * dustAlphaFactor[i];
        system->sizes[i] = (DUST_BIRTH_LIFE - life) / 100.0f * DUST_GROWTH + 0.1f;
    }
    rotateParticles(system, 0.0f, 0.0f, 0.0f);
}

// The particle quad (corners (-0.5, 0.5), (-0.5, -0.5), (0.5, -0.5), (0.5, 0.5) at z 0 with
// texture coordinates (0, 1), (0, 0), (1, 0), (1, 1) and normal (1, 1, 1)) in a buffer of its
// own: every puff is then one small draw instead of a run of immediate-mode calls.
static constexpr int DUST_QUAD_VERTICES = 4;
static constexpr int DUST_QUAD_FLOATS = 8;  // position, texture coordinate, normal
static const float DUST_QUAD[DUST_QUAD_VERTICES][DUST_QUAD_FLOATS] = {
    {-0.5f, 0.5f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f},
    {-0.5f, -0.5f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f},
    {0.5f, -0.5f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f},
    {0.5f, 0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f},
};
static GLuint dustQuadBuffer = 0;

static void beginDustQuads()
{
    glBindVertexArray(0);
    if (dustQuadBuffer == 0) {
        glGenBuffers(1, &dustQuadBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, dustQuadBuffer);
        glBufferData(GL_ARRAY_BUFFER, sizeof(DUST_QUAD), DUST_QUAD, GL_STATIC_DRAW);
    }
    glBindBuffer(GL_ARRAY_BUFFER, dustQuadBuffer);
    const GLsizei stride = DUST_QUAD_FLOATS * sizeof(float);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, nullptr);
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(5 * sizeof(float)));
}

static void endDustQuads()
{
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// The back-to-front order of the particle draws' exchange sort. Where all keys differ that
// order is simply the keys from largest to smallest, which a quick sort finds in a fraction of
// the time; only keys that tie need the exchange sort itself, whose swaps decide their order.
static void sortDustOrder(ParticleSystem* system, int count)
{
    int* order = system->order;
    const float(*keys)[3] = system->viewPositions;
    for (int i = 0; i < count; ++i)
        order[i] = i;
    for (int i = 0; i < count; ++i) {
        if (std::isnan(keys[i][2])) {
            // Keys that do not compare have no order of their own: the exchange sort decides.
            sortParticleOrder(keys, order, count);
            return;
        }
    }
    std::sort(order, order + count, [keys](int a, int b) { return keys[a][2] > keys[b][2]; });
    bool distinct = true;
    for (int n = 1; n < count && distinct; ++n)
        distinct = keys[order[n - 1]][2] > keys[order[n]][2];
    if (distinct)
        return;
    for (int i = 0; i < count; ++i)
        order[i] = i;
    sortParticleOrder(keys, order, count);
}

// The sorted billboard draw of the live dust, each puff with its own texture; green is raised
// by `greenBoost` in every colour.
static void drawDust(ParticleSystem* system, float greenBoost)
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    mainCamera.set(0.0f, 0.0f, 10.0f, 0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f);
    mainCamera.applyLookAt();
    glGetFloatv(GL_PROJECTION_MATRIX, particleProjection);
    const int count = system == dustParticles ? dustCount() : 0;
    if (count > 0) {
        shaderLoader.use(particleProgram);
        glActiveTexture(GL_TEXTURE0);
        glUniform1i(particleLocations.colorMapLoc, 0);
        const int set = system->textureSet;
        glBindTexture(GL_TEXTURE_2D, set >= 0 && set < textureSetCount ? textureSets[set].baseTexture : 0);

        const float* P = particleProjection;
        for (int i = 0; i < count; ++i) {
            const float* p = system->positions[i];
            for (int k = 0; k < 3; ++k)
                system->viewPositions[i][k] = P[4 * k] * p[0] + P[4 * k + 1] * p[1] + P[4 * k + 2] * p[2] + P[4 * k + 3];
        }
        sortDustOrder(system, count);

        // The camera axes are the same for every puff, and a puff's texture is often the one
        // bound already: both are sent only when they change.
        const ParticleLocations& l = particleLocations;
        glUniform3f(l.cameraRightLoc, P[0], P[4], P[8]);
        glUniform3f(l.cameraUpLoc, P[1], P[5], P[9]);
        uint32_t boundTexture = UINT32_MAX;
        beginDustQuads();
        glDepthMask(GL_FALSE);
        for (int n = 0; n < count; ++n) {
            const int i = system->order[n];
            if (!(dustLife[i] > 0.0f))
                continue;
            if (dustTextureIds[i] != boundTexture) {
                boundTexture = dustTextureIds[i];
                glBindTexture(GL_TEXTURE_2D, boundTexture);
            }
            const float* c = system->positions[i];
            const float size = system->sizes[i];
            const float* colour = system->colours[i];
            glUniform3f(l.particleCenterLoc, c[0], c[1], c[2]);
            glUniform3f(l.billboardSizeLoc, size, size, size);
            glUniform4f(l.colorLoc, colour[0], colour[1] + greenBoost, colour[2], colour[3]);
            glDrawArrays(GL_QUADS, 0, DUST_QUAD_VERTICES);
        }
        glDepthMask(GL_TRUE);
        endDustQuads();
    }
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

void drawDustParticles(ParticleSystem* system)
{
    drawDust(system, 0.0f);
}

void drawDustParticlesTinted(ParticleSystem* system)
{
    float eye[3], centre[3];
    std::memcpy(eye, mainCamera.eye, sizeof(eye));
    std::memcpy(centre, mainCamera.centre, sizeof(centre));
    drawDust(system, 2.0f);
    std::memcpy(mainCamera.eye, eye, sizeof(eye));
    std::memcpy(mainCamera.centre, centre, sizeof(centre));
}

// The frame.

static void applyFlyoverLights(float shipY)
{
    applyLightPreset(10);
    lightTable.position[0][0] = 0.0f;
    lightTable.position[0][1] = shipY + 8.0f;
    lightTable.position[0][2] = -14.0f;
    uploadLights();
    lightTable.invRadius[0] = 0.01f;
    lightTable.posX[0] = 0.0f;
    lightTable.posY[0] = shipY + 8.0f;
    lightTable.posZ[0] = -12.0f;
}

static void setShipLights(bool on)
{
    for (int i = 0; i < 2; ++i) {
        lightTable.enabled[i] = on ? 1 : 0;
        lightTable.enabledF[i] = on ? 1.0f : 0.0f;
    }
}

static void loadShipTransform(float shipY, float yaw)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, shipY, 0.0f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
}

// Ends with the glEnable(GL_CULL_FACE) after the shadow draws, where endPass closes its timing.
static void beginShadowPass(double zNear, double zFar)
{
    beginPass("shadow");
    beginShadowTargetPass();
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, 1.0, zNear, zFar);
}

static void loadViewProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 10000.0);
    mainCamera.applyLookAt();
}

static void setFirstFramePose()
{
    mainCamera.set(FIRST_FRAME_EYE[0], FIRST_FRAME_EYE[1], FIRST_FRAME_EYE[2], FIRST_FRAME_CENTRE[0],
                   FIRST_FRAME_CENTRE[1], FIRST_FRAME_CENTRE[2], 0.0f, 1.0f, 0.0f);
}

static void drawTailPieces()
{
    glDisable(GL_CULL_FACE);
    for (Model* piece : tailPieceModels)
        if (piece)
            drawModelVolumetric(*piece, 0);
}

// The dust's shadow stand-ins: every live puff with dustRandom above 70 casts the shadow of
// dustModel moved to its base position, turned 45 degrees about x and scaled by
// max(0.6, size / 20). The stand-ins are transformed here and sent as one model in one depth
// draw under an identity modelview, which renders the same depth as one draw per puff under
// its own modelview, without hundreds of draws a frame.
Model* dustShadowBatch = nullptr;

void makeDustShadowBatch()
{
    if (!dustModel)
        return;
    dustShadowBatch = new Model;
    dustShadowBatch->textureSet = dustModel->textureSet;
    allocModelVertexArrays(*dustShadowBatch, DUST_PARTICLE_COUNT * dustModel->triangleCount);
}

int fillDustShadowBatch()
{
    const Model& proxy = *dustModel;
    Model& batch = *dustShadowBatch;
    const size_t proxyVertices = 3 * static_cast<size_t>(proxy.triangleCount);
    const float c = std::cos(DUST_SHADOW_TILT_RADIANS);
    const float s = std::sin(DUST_SHADOW_TILT_RADIANS);
    size_t vertex = 0;
    int casters = 0;
    for (int k = 0; k < dustCount(); ++k) {
        if (!(dustLife[k] > 0.0f) || dustRandom[k] <= DUST_SHADOW_RANDOM_ABOVE)
            continue;
        ++casters;
        const float* p = dustParticles->basePositions[k];
        const float scale = std::max(0.6f, dustParticles->sizes[k] / 20.0f);
        for (size_t v = 0; v < proxyVertices; ++v, ++vertex) {
            const float* q = &proxy.positions[3 * v];
            const float x = q[0] * scale, y = q[1] * scale, z = q[2] * scale;
            float* out = &batch.positions[3 * vertex];
            out[0] = p[0] + x;
            out[1] = p[1] + y * c - z * s;
            out[2] = p[2] + y * s + z * c;
            const float* n = &proxy.normals[3 * v];
            float* outN = &batch.normals[3 * vertex];
            outN[0] = n[0];
            outN[1] = n[1] * c - n[2] * s;
            outN[2] = n[1] * s + n[2] * c;
        }
    }
    batch.triangleCount = casters * proxy.triangleCount;
    markModelVertexDataChanged(batch);
    return casters;
}

static void drawDustShadows()
{
    if (!dustShadowBatch || !dustParticles || fillDustShadowBatch() == 0)
        return;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawModelDepth(*dustShadowBatch, -1, static_cast<int>(shadowDepthProgram));
}

// The entry draws count for what they move on (the dust and its random draws, the frame
// count): the first frame's own draw clears the shadow map and covers the screen with the sky,
// so their pixels would never be seen, and rasterising them made the first frame cost three.
void enterFlyoverScene()
{
    glEnable(GL_RASTERIZER_DISCARD);
    drawFlyoverScene();
    drawFlyoverScene();
    glDisable(GL_RASTERIZER_DISCARD);
}

void updateFlyoverScene(float sinceBeginT)
{
    flyoverCameraSegment = sinceBeginT * CAMERA_SEGMENTS_PER_T;
}

void restartFlyoverFirstFrame()
{
    flyoverFrameCount = 0;
}

void drawFlyoverScene()
{
    // The scene before may leave front faces culled: this one culls back faces of
    // counter-clockwise front faces.
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);

    xsc = 1.0f;
    ysc = 2.0f;
    zsc = 1.5f;
    sf = 0.128f;
    sfz = 0.07f;
    updateFlyoverCamera();

    float yaw = 0.0f;
    tween(sceneStartMs, -SHIP_YAW_LIMIT, SHIP_YAW_LIMIT, TWEEN_PING_PONG, SHIP_YAW_SPEED, &yaw);
    float dist = 0.0f;
    tween(sceneStartMs, 0.0, SCROLL_WRAP, TWEEN_WRAP, static_cast<double>(terrainGrid / terrainScrollDivisor), &dist);
    // The landscape ends where the rows kept in GL end: the scroll holds still there.
    dist = std::min(dist, terrainGrid * static_cast<float>(TERRAIN_LAST_WINDOW_ROW));
    flyoverRow = static_cast<int>(std::floor(dist / terrainGrid));
    flyoverOffset = dist - terrainGrid * static_cast<float>(flyoverRow);

    const float shipY = flyoverShipHeight(flyoverRow, flyoverOffset);
    applyFlyoverLights(shipY);

    // Ship into the shadow map.
    beginShadowPass(static_cast<double>(0.0010000000474974513f), static_cast<double>(0.10000000149011612f));
    loadShipTransform(shipY, yaw);
    if (shipModel)
        drawModelDepth(*shipModel, -1, static_cast<int>(shadowDepthProgram));
    glEnable(GL_CULL_FACE);
    endPass();

    // Sky and ship.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(1.0f, 0.4f, 0.1f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (flyoverFrameCount == 0)
        setFirstFramePose();
    fogZFactor = FOG_Z_FACTOR;
    loadViewProjection();
    drawSkyBox();
    setShipLights(true);
    loadShipTransform(shipY, yaw);
    if (shipModel)
        drawModelShadowed(*shipModel, static_cast<int>(shadowSpecularProgram), -1);
    drawTailPieces();

    sf = 1.538f;
    sfz = 0.431f;
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    applyFlyoverLights(shipY);
    const bool firstFrame = flyoverFrameCount == 0;
    ++flyoverFrameCount;
    if (firstFrame) {
        setFirstFramePose();
        sf = 1.428f;
        sfz = 0.07f;
    }

    // Ship and dust into the shadow map.
    beginShadowPass(static_cast<double>(0.10000000149011612f), 100.0);
    loadShipTransform(shipY, yaw);
    if (shipModel)
        drawModelDepth(*shipModel, -1, static_cast<int>(shadowDepthProgram));
    drawDustShadows();
    glEnable(GL_CULL_FACE);
    endPass();

    // Landscape over the ship pass; the window is drawn from flyoverRow.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // The shadow pass left its 4096 x 4096 viewport: the screen passes need the screen's.
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    fogZFactor = FOG_Z_FACTOR;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    loadViewProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, -30.0f, -flyoverOffset);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    setShipLights(false);
    if (terrainModel)
        drawTerrainWindow(*terrainModel, static_cast<int>(terrainProgram), flyoverRow);
    setShipLights(true);
    loadShipTransform(shipY, yaw);
    drawTailPieces();

    // Ribbons one scroll step ahead.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    flyoverOffset += terrainGrid / terrainScrollDivisor;
    if (flyoverOffset >= 20.0f) {
        flyoverOffset -= 20.0f;
        ++flyoverRow;
    }
    drawTails(flyoverRow, flyoverOffset);

    // Dust, drawn from its own fixed view; the scene's camera is kept.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    if (dustParticles) {
        updateDustParticles();
        float eye[3], centre[3];
        std::memcpy(eye, mainCamera.eye, sizeof(eye));
        std::memcpy(centre, mainCamera.centre, sizeof(centre));
        drawDustParticles(dustParticles);
        std::memcpy(mainCamera.eye, eye, sizeof(eye));
        std::memcpy(mainCamera.centre, centre, sizeof(centre));
    }
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void recordCameraPath()
{
    for (int k = 0; k < BEZIER_CONTROL_POINTS; ++k) {
        if (!keyboardState.pressed[KEY_RECORD_FIRST + k])
            continue;
        std::memcpy(recordedPos[k], mainCamera.eye, sizeof(recordedPos[k]));
        std::memcpy(recordedView[k], mainCamera.centre, sizeof(recordedView[k]));
    }
    if (keyboardState.pressed[KEY_PLAYBACK]) {
        pathPlayback = pathPlayback ? 0 : 1;
        flyoverSegmentStartMs = static_cast<float>(clockNowMs());
    }
    if (pathPlayback) {
        const float e = segmentEase();
        bezierPoint(recordedPos, e, mainCamera.eye);
        bezierPoint(recordedView, e, mainCamera.centre);
    }
    if (keyboardState.pressed[KEY_WRITE] &&
        (keyboardState.held[KEY_RIGHT_SHIFT] || keyboardState.held[KEY_LEFT_SHIFT])) {
        const float(*p)[3] = recordedPos;
        const float(*v)[3] = recordedView;
        debugLog("//-------------\n");
        debugLog("bcPos[ ]={{%f,%f,%f},{%f,%f,%f},{%f,%f,%f},{%f,%f,%f}}\n", p[0][0], p[0][1], p[0][2], p[1][0],
                 p[1][1], p[1][2], p[2][0], p[2][1], p[2][2], p[3][0], p[3][1], p[3][2]);
        debugLog("bcView[ ]={{%f,%f,%f},{%f,%f,%f},{%f,%f,%f},{%f,%f,%f}}\n", v[0][0], v[0][1], v[0][2], v[1][0],
                 v[1][1], v[1][2], v[2][0], v[2][1], v[2][2], v[3][0], v[3][1], v[3][2]);
        debugLog("//-------------\n");
    }
}

void initFlyoverScene()
{
    dustModel = loadModel("dustparticle.3dm");
    if (dustModel)
        scaleModel(*dustModel, 2.0f);
    makeDustShadowBatch();
    initDustParticles();
    dustShadowProgram = shaderLoader.load("shmappass1particles.vert", "shmappass1particles.frag");
    for (int i = 0; i < SKY_FACE_COUNT; ++i)
        skyTextures[i] = loadTexture(SKY_TEXTURE_FILES[i]);
    initTails();
    std::printf("t0 ");
    terrainProgram = shaderLoader.load("shmappass2terrain.vert", "shmappass2terrain.frag");
    shipModel = loadModel("ship2.3dm");
    if (shipModel)
        scaleModel(*shipModel, 1.0f);
    uploadModelVertices(shipModel);
    uploadModelVertices(dustModel);
    const uint32_t heightTexture = loadTexture("terrainh.tga");
    std::printf("t1 ");
    if (allocTerrainBuffers())
        readTerrainPicture(heightTexture, terrainBuffers.picture);
    std::printf("t2 ");
    fillTerrainFromPicture();
    std::printf("t3 ");
    computeTerrainNormals();
    copyTerrainNormals();
    std::printf("t4 ");
    generateTerrainTangentsOfLandscape();
    std::printf("t5 ");
    terrainModel = createTerrainMesh();
    // The window is drawn from the GL copy of the reachable rows; the arrays it came from
    // would only double the memory the landscape holds.
    releaseTerrainTriangleArrays();
    std::printf("t6 ");
}
