#include "render/particles.h"

#include "core/clock.h"            // tween: the never-called demo draws turn with the clock
#include "gfx/shaders.h"          // shaderLoader: the particle program
#include "gfx/textures.h"         // loadTextureSet, textureSets: each system's sprite
#include "platform/crt_random.h"  // the clouds' seeded draws
#include "platform/gl_api.h"
#include "render/camera.h"   // mainCamera: the sorted draw sets its own view
#include "render/lights.h"   // lightTable: the glow sprites sit on the lights
#include "render/overlay.h"  // drawBackground

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

uint32_t particleProgram = 0;
ParticleLocations particleLocations = {-1, -1, -1, -1, -1, -1, -1, -1};
uint32_t burstLensProgram = 0;
ParticleLocations burstLensLocations = {-1, -1, -1, -1, -1, -1, -1, -1};
ParticleRotation particleRotation = {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f};
float particleProjection[16] = {};

ParticleSystem* plainParticles = nullptr;
ParticleSystem* additiveParticles = nullptr;
ParticleSystem* burstLensPair = nullptr;
ParticleSystem* burstLens = nullptr;

static constexpr float PARTICLE_BASE_COLOUR[4] = {0.75f, 0.75f, 0.95f, 1.0f};
static constexpr float PARTICLE_COLOUR_BOOST = 0.15f;
static constexpr float PARTICLE_GRID_STEPS = 100.0f;  // positions in steps of 1/100
static constexpr float BURST_LENS_SIZE = 1.5f;
static constexpr int GLOW_COUNT = 8;  // fillGlowsFromLights uses lights 0..7
static constexpr double CLOUD_TURN_END = 36000000.0;

ParticleLocations fetchParticleLocations(uint32_t program)
{
    ParticleLocations l;
    const GLuint p = program;
    l.cameraRightLoc = glGetUniformLocation(p, "CameraRight");
    l.cameraUpLoc = glGetUniformLocation(p, "CameraUp");
    l.particleCenterLoc = glGetUniformLocation(p, "particleCenter");
    l.billboardSizeLoc = glGetUniformLocation(p, "BillboardSize");
    l.colorLoc = glGetUniformLocation(p, "color");
    l.globalTimeLoc = glGetUniformLocation(p, "iGlobalTime");
    l.mouseLoc = glGetUniformLocation(p, "iMouse");
    l.colorMapLoc = glGetUniformLocation(p, "colorMap");
    return l;
}

// The record and its six arrays, zeroed. Memory that runs out leaves a system of 0 particles
// (reported), so the draws skip it instead of writing through null arrays.
static ParticleSystem* allocateParticleSystem(const char* textureSetName, int count)
{
    ParticleSystem* system = static_cast<ParticleSystem*>(std::calloc(1, sizeof(ParticleSystem)));
    if (!system) {
        std::fprintf(stderr, "particle system %s: out of memory\n", textureSetName ? textureSetName : "");
        return nullptr;
    }
    system->textureSet = loadTextureSet(textureSetName);
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    system->count = static_cast<int>(n);
    if (n == 0)
        return system;
    system->basePositions = static_cast<float(*)[3]>(std::calloc(n, sizeof(float[3])));
    system->positions = static_cast<float(*)[3]>(std::calloc(n, sizeof(float[3])));
    system->colours = static_cast<float(*)[4]>(std::calloc(n, sizeof(float[4])));
    system->sizes = static_cast<float*>(std::calloc(n, sizeof(float)));
    system->viewPositions = static_cast<float(*)[3]>(std::calloc(n, sizeof(float[3])));
    system->order = static_cast<int*>(std::calloc(n, sizeof(int)));
    if (!system->basePositions || !system->positions || !system->colours || !system->sizes ||
        !system->viewPositions || !system->order) {
        std::fprintf(stderr, "particle system %s: out of memory for %d particles\n", textureSetName, count);
        system->count = 0;
    }
    return system;
}

ParticleSystem* createParticleSystem(const char* textureSetName, int count, float size)
{
    ParticleSystem* system = allocateParticleSystem(textureSetName, count);
    if (!system)
        return nullptr;
    const float half = size * 0.5f;
    int range = static_cast<int>(size * PARTICLE_GRID_STEPS);
    if (range < 1)
        range = 1;  // a cube smaller than one step collapses to its centre
    for (int i = 0; i < system->count; ++i) {
        for (int k = 0; k < 3; ++k)
            system->basePositions[i][k] = half - static_cast<float>(crtRand() % range) / PARTICLE_GRID_STEPS;
        system->sizes[i] = 1.0f;
        std::memcpy(system->colours[i], PARTICLE_BASE_COLOUR, sizeof(PARTICLE_BASE_COLOUR));
        system->colours[i][crtRand() % 3] += PARTICLE_COLOUR_BOOST;
    }
    return system;
}

void setParticleRotation(float ax, float ay, float az)
{
    particleRotation.sinX = std::sin(ax);
    particleRotation.sinY = std::sin(ay);
    particleRotation.sinZ = std::sin(az);
    particleRotation.cosX = std::cos(ax);
    particleRotation.cosY = std::cos(ay);
    particleRotation.cosZ = std::cos(az);
}

void rotateParticle(ParticleSystem* system, int index)
{
    const ParticleRotation& r = particleRotation;
    const float x = system->basePositions[index][0];
    const float y = system->basePositions[index][1];
    const float z = system->basePositions[index][2];
    const float y1 = y * r.cosX - z * r.sinX;
    const float z1 = y * r.sinX + z * r.cosX;
    const float x2 = x * r.cosY + z1 * r.sinY;
    const float z2 = z1 * r.cosY - x * r.sinY;
    system->positions[index][0] = x2 * r.cosZ - y1 * r.sinZ;
    system->positions[index][1] = x2 * r.sinZ + y1 * r.cosZ;
    system->positions[index][2] = z2;
}

void rotateParticles(ParticleSystem* system, float ax, float ay, float az)
{
    setParticleRotation(ax, ay, az);
    if (!system)
        return;
    for (int i = 0; i < system->count; ++i)
        rotateParticle(system, i);
}

void sortParticleOrder(const float (*viewPositions)[3], int* order, int count)
{
    // The exchange sort, with the key of the slot being filled kept beside it.
    for (int j = 0; j + 1 < count; ++j) {
        float keyJ = viewPositions[order[j]][2];
        for (int m = j; m < count; ++m) {
            const float keyM = viewPositions[order[m]][2];
            if (keyM >= keyJ) {
                const int t = order[j];
                order[j] = order[m];
                order[m] = t;
                keyJ = keyM;
            }
        }
    }
}

static void readParticleProjection()
{
    glGetFloatv(GL_PROJECTION_MATRIX, particleProjection);
}

static void bindParticleProgram(const ParticleSystem* system)
{
    shaderLoader.use(particleProgram);
    glActiveTexture(GL_TEXTURE0);
    // Without a program (it failed to build) there is no uniform to set.
    if (particleProgram)
        glUniform1i(particleLocations.colorMapLoc, 0);
    const int set = system->textureSet;
    glBindTexture(GL_TEXTURE_2D, set >= 0 && set < textureSetCount ? textureSets[set].baseTexture : 0);
}

static void drawParticleQuad(const ParticleSystem* system, int i)
{
    const float* p = particleProjection;
    const ParticleLocations& l = particleLocations;
    const float* c = system->positions[i];
    const float size = system->sizes[i];
    const float* colour = system->colours[i];
    glUniform3f(l.cameraRightLoc, p[0], p[4], p[8]);
    glUniform3f(l.cameraUpLoc, p[1], p[5], p[9]);
    glUniform3f(l.particleCenterLoc, c[0], c[1], c[2]);
    glUniform3f(l.billboardSizeLoc, size, size, size);
    glUniform4f(l.colorLoc, colour[0], colour[1], colour[2], colour[3]);
    glBegin(GL_QUADS);
    glNormal3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glEnd();
}

void drawParticlesSorted(ParticleSystem* system)
{
    glLoadIdentity();
    mainCamera.set(0.0f, 0.0f, 10.0f, 0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f);
    mainCamera.applyLookAt();
    readParticleProjection();
    if (!system)
        return;
    bindParticleProgram(system);

    const float* p = particleProjection;
    for (int i = 0; i < system->count; ++i) {
        const float x = system->positions[i][0];
        const float y = system->positions[i][1];
        const float z = system->positions[i][2];
        for (int k = 0; k < 3; ++k)
            system->viewPositions[i][k] = p[4 * k] * x + p[4 * k + 1] * y + p[4 * k + 2] * z + p[4 * k + 3];
        system->order[i] = i;
    }
    sortParticleOrder(system->viewPositions, system->order, system->count);

    glDepthMask(GL_FALSE);
    for (int i = 0; i < system->count; ++i)
        drawParticleQuad(system, system->order[i]);
    glDepthMask(GL_TRUE);
}

void drawParticles(ParticleSystem* system)
{
    readParticleProjection();
    if (!system)
        return;
    bindParticleProgram(system);
    glDepthMask(GL_FALSE);
    for (int i = 0; i < system->count; ++i)
        drawParticleQuad(system, i);
    glDepthMask(GL_TRUE);
}

// Lens-glow systems: fixed positions, no random draws.
static ParticleSystem* createLensSystem(const char* textureSetName, int count)
{
    ParticleSystem* system = allocateParticleSystem(textureSetName, count);
    if (!system)
        return nullptr;
    for (int i = 0; i < system->count; ++i) {
        system->sizes[i] = BURST_LENS_SIZE;
        std::memcpy(system->colours[i], PARTICLE_BASE_COLOUR, sizeof(PARTICLE_BASE_COLOUR));
    }
    return system;
}

ParticleSystem* createBurstLens(const char* textureSetName, int count)
{
    return createLensSystem(textureSetName, count);
}

ParticleSystem* createBurstLensPair(const char* textureSetName, int count)
{
    ParticleSystem* system = createLensSystem(textureSetName, count);
    static constexpr float PAIR_POSITIONS[2][3] = {{0.0f, 1.0f, 0.0f}, {0.0f, 1.0f, -2.0f}};
    for (int i = 0; system && i < system->count && i < 2; ++i)
        std::memcpy(system->basePositions[i], PAIR_POSITIONS[i], sizeof(PAIR_POSITIONS[i]));
    return system;
}

void initBurstLens()
{
    burstLensProgram = shaderLoader.load("particles.vert", "particles.frag");
    burstLensLocations = fetchParticleLocations(burstLensProgram);
    burstLens = createBurstLens("burstlens", 1);
}

void initBurstLensPair()
{
    burstLensProgram = shaderLoader.load("particles.vert", "particles.frag");
    burstLensLocations = fetchParticleLocations(burstLensProgram);
    burstLensPair = createBurstLensPair("burstlens", 2);
}

void initPlainParticles()
{
    particleProgram = shaderLoader.load("particles.vert", "particles.frag");
    particleLocations = fetchParticleLocations(particleProgram);
    std::printf("particleshader %d\n", static_cast<int>(particleProgram));
    plainParticles = createParticleSystem("particle", 100, 40.0f);
}

void initAdditiveParticles()
{
    particleProgram = shaderLoader.load("particles.vert", "particles.frag");
    const ParticleLocations all = fetchParticleLocations(particleProgram);
    particleLocations.cameraRightLoc = all.cameraRightLoc;
    particleLocations.cameraUpLoc = all.cameraUpLoc;
    particleLocations.particleCenterLoc = all.particleCenterLoc;
    particleLocations.billboardSizeLoc = all.billboardSizeLoc;
    particleLocations.colorLoc = all.colorLoc;
    particleLocations.colorMapLoc = all.colorMapLoc;
    std::printf("particleshader %d\n", static_cast<int>(particleProgram));
    additiveParticles = createParticleSystem("additiveparticle3", 10000, 256.0f);
    if (!additiveParticles)
        return;
    float a = 0.1f;
    for (int j = 0; j < additiveParticles->count; ++j) {
        float* base = additiveParticles->basePositions[j];
        const float fj = static_cast<float>(j);
        base[0] = 40.0f * std::sin(0.5f * fj * a) + static_cast<float>(crtRand() % 2050) / 100.0f;
        base[1] = 40.0f * std::cos(static_cast<float>(j / 3) * a) + static_cast<float>(crtRand() % 2050) / 100.0f;
        base[2] = 40.0f * std::sin(static_cast<float>(j / 5) * a) + static_cast<float>(crtRand() % 2050) / 100.0f;
        additiveParticles->sizes[j] = static_cast<float>(crtRand() % 3500) / 1000.0f + 2.0f;
        a += 0.00001f;
    }
}

static float cloudTurnFrames()
{
    float v = 0.0f;
    tween(0.0, 0.0, CLOUD_TURN_END, TWEEN_WRAP, 1.0, &v);
    return v;
}

void drawPlainParticles()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const float v = cloudTurnFrames();
    rotateParticles(plainParticles, 0.02f * v, 0.02f * v, 0.06f * v);
    glPushMatrix();
    drawParticlesSorted(plainParticles);
    glPopMatrix();
}

void drawAdditiveParticles()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const float v = cloudTurnFrames();
    rotateParticles(additiveParticles, 0.02f * v, 0.02f * v, 0.06f * v);
    drawBackground();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPushMatrix();
    drawParticles(additiveParticles);
    glPopMatrix();
    glDisable(GL_BLEND);
}

void drawLightGlows(int count)
{
    if (!burstLens || burstLens->count < 1)
        return;
    if (count > LIGHT_COUNT)
        count = LIGHT_COUNT;  // the table has no lights beyond its 14
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < 3; ++k) {
            burstLens->basePositions[0][k] = lightTable.position[i][k];
            burstLens->positions[0][k] = lightTable.position[i][k];
        }
        for (int k = 0; k < 4; ++k)
            burstLens->colours[0][k] = 1.0f;
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glDepthMask(GL_FALSE);
        glPushMatrix();
        drawParticles(burstLens);
        glPopMatrix();
        glDepthMask(GL_TRUE);
    }
}

void fillGlowsFromLights(int flag)
{
    glDisable(GL_CULL_FACE);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (additiveParticles && additiveParticles->count >= GLOW_COUNT) {
        additiveParticles->count = GLOW_COUNT;
        static constexpr float GREEN[4] = {0.0f, 1.0f, 0.0f, 1.0f};
        static constexpr float RED[4] = {1.0f, 0.0f, 0.0f, 1.0f};
        for (int i = 0; i < GLOW_COUNT; ++i) {
            for (int k = 0; k < 3; ++k) {
                const float v = lightTable.startPosition[i][k];
                additiveParticles->basePositions[i][k] = v;
                additiveParticles->positions[i][k] = v;
                additiveParticles->viewPositions[i][k] = v;
            }
            std::memcpy(additiveParticles->colours[i], flag ? GREEN : RED, sizeof(GREEN));
        }
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPushMatrix();
    glPopMatrix();
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
}

void drawGlowPassStub()
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    for (int i = 0; i < 3; ++i) {
        glPushMatrix();
        glPopMatrix();
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}

void multiplyMatVec4(float out[4], const float m[16], const float v[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = m[4 * i] * v[0] + m[4 * i + 1] * v[1] + m[4 * i + 2] * v[2] + m[4 * i + 3] * v[3];
}
