#include "scenes/bursts.h"

#include "gfx/model.h"
#include "gfx/shaders.h"
#include "gfx/textures.h"
#include "gfx/uniform_table.h"
#include "platform/crt_random.h"
#include "platform/gl_api.h"
#include "render/legacy_programs.h"  // vboShaderProgram
#include "render/model_draw.h"       // drawModel, forgetProgramUniforms
#include "scenes/sky.h"              // drawSkyBackground

#include <cmath>
#include <cstring>

float burstCentres[BURST_COUNT][3];
float burstAges[BURST_COUNT];
int burstDelays[BURST_COUNT];
int burstActive[BURST_COUNT];
int burstAngles[BURST_COUNT][BURST_PARTICLES][3];
float burstSpeedDivisors[BURST_COUNT][BURST_PARTICLES];
float burstColours[BURST_COUNT][BURST_PARTICLES][4];
float burstTrails[BURST_COUNT][BURST_PARTICLES][BURST_TRAIL_POINTS][3];
float burstSin[BURST_ANGLE_STEPS];
float burstCos[BURST_ANGLE_STEPS];
int burstSeeded = 0;
Model* burstModel = nullptr;
Model* burstMesh = nullptr;
uint32_t burstProgram = 0;
static ColorMapUniforms burstUniforms(COLOR_MAP_UNIFORM_NAMES);
BurstRotation burstRotation = {};
float burstHeadingInput[2] = {};
float burstHeadingAngle = 0.0f;

static constexpr float BURST_EYE_DEPTH = -60.0f;
static constexpr float SPRITE_HALF = 0.65f;
static constexpr float RIBBON_HALF = 0.75f;
static constexpr float RIBBON_START_HEADING = 78.5f;
static constexpr int RIBBON_STEP = 5;      // trail points per ribbon segment
static constexpr int RIBBON_SEGMENTS = 8;  // from points 0, 5, ..., 35

void fillBurstSinCos()
{
    for (int i = 0; i < BURST_ANGLE_STEPS; ++i) {
        burstSin[i] = std::sin(static_cast<float>(i) / 100.0f);
        burstCos[i] = std::cos(static_cast<float>(i) / 100.0f);
    }
}

float mulFloat(float a, float b)
{
    return static_cast<float>(static_cast<long double>(a) * static_cast<long double>(b));
}

void resetBurst(int b)
{
    float* centre = burstCentres[b];
    centre[0] = static_cast<float>(crtRand() % 140 - 70);
    centre[1] = static_cast<float>(crtRand() % 70 - 35);
    centre[2] = static_cast<float>(crtRand() % 70 - 130);
    burstAges[b] = 0.0f;
    burstDelays[b] = crtRand() % 350 + 20;
    burstActive[b] = 0;
    // Fractions in floating point: an integer division would leave every colour 0.
    const float cr = static_cast<float>(crtRand() % 600) / 1000.0f;
    const float cg = static_cast<float>(crtRand() % 600) / 1000.0f;
    const float cb = static_cast<float>(crtRand() % 400) / 1000.0f;
    for (int p = 0; p < BURST_PARTICLES; ++p) {
        for (int k = 0; k < 3; ++k)
            burstAngles[b][p][k] = crtRand() % BURST_ANGLE_STEPS;
        burstSpeedDivisors[b][p] = static_cast<float>(crtRand() % 30) / 100.0f + 1.0f;
        const float j = static_cast<float>(crtRand() % 30) / 100.0f;
        float* colour = burstColours[b][p];
        colour[0] = cr + j;
        colour[1] = cg + j;
        colour[2] = static_cast<float>(crtRand() % 10) / 100.0f + cb;
        colour[3] = 1.0f;
        for (int t = 0; t < BURST_TRAIL_POINTS; ++t)
            std::memcpy(burstTrails[b][p][t], centre, sizeof(float) * 3);
    }
}

void updateBursts()
{
    if (!burstSeeded) {
        crtSrand(2071);
        burstSeeded = 1;
    }
    for (int b = 0; b < BURST_COUNT; ++b) {
        if (burstActive[b]) {
            burstAges[b] += 1.0f;
            if (burstAges[b] > BURST_LIFE)
                resetBurst(b);
        } else {
            burstDelays[b] -= 1;
            if (burstDelays[b] <= 0)
                burstActive[b] = 1;
        }
    }
}

void rotateBurstPoint()
{
    BurstRotation& r = burstRotation;
    const float sa = burstSin[r.a], ca = burstCos[r.a];
    const float sb = burstSin[r.b], cb = burstCos[r.b];
    const float sc = burstSin[r.c], cc = burstCos[r.c];
    const float y1 = mulFloat(r.y, ca) - mulFloat(r.z, sa);
    const float z1 = mulFloat(r.z, ca) + mulFloat(r.y, sa);
    const float x2 = mulFloat(z1, sb) + mulFloat(r.x, cb);
    const float z2 = mulFloat(z1, cb) - mulFloat(r.x, sb);
    r.rx = mulFloat(x2, cc) - mulFloat(y1, sc);
    r.ry = mulFloat(y1, cc) + mulFloat(x2, sc);
    r.rz = z2;
}

void rotateBurstPointB()
{
    BurstRotation& r = burstRotation;
    const float sa = burstSin[r.a], ca = burstCos[r.a];
    const float sb = burstSin[r.b], cb = burstCos[r.b];
    const float sc = burstSin[r.c], cc = burstCos[r.c];
    const float y1 = mulFloat(r.z, sa);
    const float z1 = mulFloat(r.z, ca);
    const float x2 = mulFloat(z1, sb);
    const float z2 = mulFloat(z1, cb) - mulFloat(r.x, sb);
    r.rx = mulFloat(x2, cc) - mulFloat(y1, sc);
    r.ry = mulFloat(y1, cc) + mulFloat(x2, sc);
    r.rz = z2;
}

void burstHeading()
{
    float dx = burstHeadingInput[0];
    float dy = burstHeadingInput[1];
    int q = 0;
    if (dx > 0 && dy > 0)
        q = 1;
    else if (dx <= 0 && dy <= 0)
        q = 2;
    else if (dx > 0 && dy <= 0)
        q = 3;
    if (q == 1)
        dx = -dx;
    else if (q == 2)
        dy = -dy;
    else if (q == 3) {
        dx = -dx;
        dy = -dy;
    }
    float angle = std::atan2(-dx, dy);
    if (q == 1)
        angle = 6.28f - angle;
    else if (q == 2)
        angle = 3.14f - angle;
    else if (q == 3)
        angle = angle + 3.14f;
    burstHeadingAngle = angle;
}

namespace {

// One particle's picture for this frame: the head written into the trail (and the trail
// moved on), the sprite corners, and the ribbon's six vertices per segment.
struct ParticleFrame {
    float head[3];
    float ribbon[RIBBON_SEGMENTS][6][3];
    float ribbonUv[RIBBON_SEGMENTS][6][2];
};

const float SPRITE_CORNERS[4][2] = {{-SPRITE_HALF, SPRITE_HALF}, {-SPRITE_HALF, -SPRITE_HALF},
    {SPRITE_HALF, -SPRITE_HALF}, {SPRITE_HALF, SPRITE_HALF}};
const float SPRITE_UV[4][2] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};

void advanceParticle(int b, int p, float distance, float drop)
{
    burstRotation.a = burstAngles[b][p][0];
    burstRotation.b = burstAngles[b][p][1];
    burstRotation.c = burstAngles[b][p][2];
    burstRotation.x = 0.0f;
    burstRotation.y = 0.0f;
    burstRotation.z = distance / burstSpeedDivisors[b][p];
    rotateBurstPointB();
    float (*trail)[3] = burstTrails[b][p];
    trail[0][0] = burstCentres[b][0] + burstRotation.rx;
    trail[0][1] = burstCentres[b][1] + burstRotation.ry - drop;
    trail[0][2] = burstCentres[b][2] + burstRotation.rz;
    // Nothing pauses the clock, so the trail always moves on.
    for (int t = BURST_TRAIL_POINTS - 2; t >= 0; --t)
        std::memcpy(trail[t + 1], trail[t], sizeof(float) * 3);
}

// The ribbon's half-width offset at trail point `point`, turned to the trail's heading.
void ribbonOffset(const float (*trail)[3], int point, float& heading, float offset[2])
{
    const float dx = trail[point][0] - trail[point + RIBBON_STEP][0];
    const float dy = trail[point][1] - trail[point + RIBBON_STEP][1];
    if (dx != 0.0f || dy != 0.0f) {
        burstHeadingInput[0] = dx;
        burstHeadingInput[1] = dy;
        burstHeading();
        heading = (burstHeadingAngle + 1.57f) * 100.0f;
    }
    burstRotation.a = 0;
    burstRotation.b = 0;
    burstRotation.c = static_cast<int>(heading) % BURST_ANGLE_STEPS;
    burstRotation.x = 0.0f;
    burstRotation.y = RIBBON_HALF;
    burstRotation.z = 0.0f;
    rotateBurstPoint();
    offset[0] = burstRotation.rx;
    offset[1] = burstRotation.ry;
}

void buildRibbon(int b, int p, ParticleFrame& frame)
{
    const float (*trail)[3] = burstTrails[b][p];
    float heading = RIBBON_START_HEADING;
    for (int s = 0; s < RIBBON_SEGMENTS; ++s) {
        const int k = s * RIBBON_STEP;
        float near[2], far[2];
        ribbonOffset(trail, k, heading, near);
        ribbonOffset(trail, k + RIBBON_STEP, heading, far);
        const float* a = trail[k];
        const float* c = trail[k + RIBBON_STEP];
        const float aPlus[3] = {a[0] + near[0], a[1] + near[1], a[2]};
        const float aMinus[3] = {a[0] - near[0], a[1] - near[1], a[2]};
        const float bPlus[3] = {c[0] + far[0], c[1] + far[1], c[2]};
        const float bMinus[3] = {c[0] - far[0], c[1] - far[1], c[2]};
        const float vNear = (k == 0 ? 1.0f : 0.5f) - 0.0125f * static_cast<float>(k);
        const float vFar = 0.5f - 0.0125f * static_cast<float>(k + RIBBON_STEP);
        const float* corners[6] = {bPlus, bMinus, aMinus, bPlus, aMinus, aPlus};
        const float uv[6][2] = {{0, vFar}, {1, vFar}, {1, vNear}, {0, vFar}, {1, vNear}, {0, vNear}};
        for (int v = 0; v < 6; ++v) {
            std::memcpy(frame.ribbon[s][v], corners[v], sizeof(float) * 3);
            frame.ribbonUv[s][v][0] = uv[v][0];
            frame.ribbonUv[s][v][1] = uv[v][1];
        }
    }
}

float travelAt(float age)
{
    return std::sqrt(std::sin(age / BURST_LIFE * 1.5f)) * 40.0f;
}

float dropAt(float age)
{
    return std::pow(age, 2.1f) * 0.0014f;
}

float ribbonAlpha(float age, float a)
{
    return (BURST_LIFE - std::pow(age, 1.06f)) * a / BURST_LIFE;
}

void beginBurstState()
{
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_CULL_FACE);
}

void endBurstState()
{
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
}

// Every particle of every active burst in draw order, moved on to its burst's age g:
// visit(b, p, g), and burstDone(b) after the last particle of burst b.
template <class Visit, class BurstDone>
void advanceLiveParticles(Visit visit, BurstDone burstDone)
{
    for (int b = 0; b < BURST_COUNT; ++b) {
        if (!burstActive[b])
            continue;
        const float g = burstAges[b];
        const float distance = travelAt(g);
        const float drop = dropAt(g);
        for (int p = 0; p < BURST_PARTICLES; ++p) {
            advanceParticle(b, p, distance, drop);
            visit(b, p, g);
        }
        burstDone(b);
    }
}

}  // namespace

void initBursts()
{
    fillBurstSinCos();
    crtSrand(255);
    for (int b = 0; b < BURST_COUNT; ++b)
        resetBurst(b);
    burstSeeded = 0;

    burstModel = loadModel("particle.3dm");
    if (burstModel)
        scaleModel(*burstModel, 0.2f);
    uploadModelVertices(burstModel);

    burstProgram = shaderLoader.load("passthroughvertexshader2.vert", "passthroughfragmentshader.frag");
    burstUniforms.lookUp(burstProgram);
    // The skinned draw caches uniform locations per program id; a rebuilt program (which may
    // even get a reused id) must be looked up afresh.
    forgetProgramUniforms(vboShaderProgram);
    vboShaderProgram = shaderLoader.load("tutorial2.vert", "tutorial2.frag");
    forgetProgramUniforms(vboShaderProgram);

    // Zeroed arrays: the slots a burst never writes keep alpha 0 and draw nothing.
    burstMesh = new Model();
    burstMesh->textureSet = loadTextureSet("particle");
    *burstMesh->animFlag = 0;
    allocModelVertexArrays(*burstMesh, BURST_MESH_TRIANGLES);
    burstMesh->normals.assign(burstMesh->normals.size(), 1.0f);
    burstMesh->tangents.assign(burstMesh->tangents.size(), 1.0f);
    burstMesh->handedness.assign(burstMesh->handedness.size(), 0.0f);
    createModelGlObjects(*burstMesh);
}

void drawBursts()
{
    beginBurstState();
    glDepthFunc(GL_ALWAYS);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 6000000.0f);
    if (burstModel)
        drawModel(*burstModel);
    // The sprites and ribbons are fixed-function, textured with the particle picture the
    // model draw left on unit 0.
    shaderLoader.unuse();
    glActiveTexture(GL_TEXTURE0);

    ParticleFrame frame;
    advanceLiveParticles(
        [&frame](int b, int p, float g) {
            const float* colour = burstColours[b][p];
            glLoadIdentity();
            glColor4f(colour[0], colour[1], colour[2], colour[3] * (BURST_LIFE - g) / BURST_LIFE);
            glTranslatef(0.0f, 0.0f, BURST_EYE_DEPTH);
            const float* head = burstTrails[b][p][0];
            glTranslatef(head[0], head[1], head[2]);
            glBegin(GL_QUADS);
            for (int v = 0; v < 4; ++v) {
                glNormal3f(1.0f, 1.0f, 1.0f);
                glTexCoord2fv(SPRITE_UV[v]);
                glVertex3f(SPRITE_CORNERS[v][0], SPRITE_CORNERS[v][1], 0.0f);
            }
            glEnd();

            buildRibbon(b, p, frame);
            glLoadIdentity();
            glTranslatef(0.0f, 0.0f, BURST_EYE_DEPTH);
            glColor4f(colour[0], colour[1], colour[2], ribbonAlpha(g, colour[3]));
            glBegin(GL_TRIANGLES);
            for (int s = 0; s < RIBBON_SEGMENTS; ++s)
                for (int v = 0; v < 6; ++v) {
                    glNormal3f(1.0f, 1.0f, 1.0f);
                    glTexCoord2fv(frame.ribbonUv[s][v]);
                    glVertex3fv(frame.ribbon[s][v]);
                }
            glEnd();
        },
        [](int) {});
    glPopMatrix();
    glDepthFunc(GL_LESS);
    endBurstState();
}

void timeBurstDraw()
{
    drawBursts();
}

void runBurstFrame()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawSkyBackground();
    timeBurstDraw();
    drawBursts();
    updateBursts();
}

void fillBurstMesh(Model* mesh)
{
    beginBurstState();
    glPushMatrix();
    ParticleFrame frame;
    float* positions = mesh->positions.data();
    float* uvs = mesh->texcoords.data();
    float* colours = mesh->tangents.data();
    float* alphas = mesh->handedness.data();
    auto put = [&](int slot, const float* position, const float* uv, const float* colour, float alpha) {
        std::memcpy(positions + slot * 3, position, sizeof(float) * 3);
        std::memcpy(uvs + slot * 2, uv, sizeof(float) * 2);
        std::memcpy(colours + slot * 3, colour, sizeof(float) * 3);
        alphas[slot] = alpha;
    };
    static const int SPRITE_TRIANGLES[6] = {0, 1, 2, 2, 3, 0};
    advanceLiveParticles(
        [&](int b, int p, float g) {
            const float* colour = burstColours[b][p];
            const int first = BURST_SLOTS_PER_PARTICLE * p;
            const float* head = burstTrails[b][p][0];
            // One fade for every vertex of the particle, the head's slots as well as the ribbon's.
            const float alpha = ribbonAlpha(g, colour[3]);
            for (int v = 0; v < 6; ++v) {
                const int corner = SPRITE_TRIANGLES[v];
                const float at[3] = {head[0] + SPRITE_CORNERS[corner][0], head[1] + SPRITE_CORNERS[corner][1], head[2]};
                put(first + v, at, SPRITE_UV[corner], colour, alpha);
            }
            buildRibbon(b, p, frame);
            for (int s = 0; s < RIBBON_SEGMENTS; ++s)
                for (int v = 0; v < 6; ++v)
                    put(first + 6 + 6 * s * RIBBON_STEP + v, frame.ribbon[s][v], frame.ribbonUv[s][v], colour, alpha);
        },
        [mesh](int) {
            markModelVertexDataChanged(*mesh);
            glLoadIdentity();
            glTranslatef(0.0f, 0.0f, BURST_EYE_DEPTH);
            uploadBurstMesh(mesh);
        });
    glPopMatrix();
    endBurstState();
}

void uploadBurstMesh(Model* mesh)
{
    // Every buffer holds all 3 x triangleCount vertices of its attribute.
    const GLsizeiptr vertices = static_cast<GLsizeiptr>(mesh->triangleCount) * 3;
    glBindVertexArray(mesh->vao);
    const struct {
        int slot;
        GLuint attribute;
        int components;
        const float* data;
    } streams[4] = {
        {0, 0, 3, mesh->positions.data()},
        {2, 1, 2, mesh->texcoords.data()},
        {3, 2, 3, mesh->tangents.data()},
        {4, 3, 1, mesh->handedness.data()},
    };
    for (const auto& s : streams) {
        glBindBuffer(GL_ARRAY_BUFFER, mesh->buffers[s.slot]);
        glBufferData(GL_ARRAY_BUFFER, vertices * s.components * static_cast<GLsizeiptr>(sizeof(float)), s.data,
            GL_STREAM_DRAW);
        glEnableVertexAttribArray(s.attribute);
        glVertexAttribPointer(s.attribute, s.components, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    shaderLoader.use(burstProgram);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureSets[mesh->textureSet].baseTexture);
    glUniform1i(burstUniforms.of(burstProgram)[COLOR_MAP_SAMPLER], 0);
    // Locations are pinned in the shader; binding the names as well keeps a relink right.
    glBindAttribLocation(burstProgram, 0, "vertexPosition");
    glBindAttribLocation(burstProgram, 1, "textureCoord");
    glBindAttribLocation(burstProgram, 2, "vertexColor");
    glBindAttribLocation(burstProgram, 3, "vertexAlpha");
    glFrontFace(GL_CCW);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices));
    for (const auto& s : streams)
        glDisableVertexAttribArray(s.attribute);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    shaderLoader.unuse();
}
