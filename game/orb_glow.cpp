#include "game/orb_glow.h"

#include "game/game_resources.h"  // explosionProgram, orbParticleTexture, orbRampTextures
#include "game/game_state.h"  // gameCameraX, VIEW_SCALE_X, gameCameraY, VIEW_SCALE_Y, spinAngle
#include "game/orb_tables.h"
#include "gfx/shaders.h"
#include "platform/gl_api.h"
#include "render/camera.h"

#include <cmath>

float enemyFrame[ENEMY_CAPACITY];
float enemyGlowPhase[ENEMY_CAPACITY];
float orbVector[3];

// Single-precision values one step below 800 and 450: the pull toward screen (800, 450).
static constexpr float PULL_DIVISOR_X = 799.99994f;
static constexpr float PULL_DIVISOR_Y = 449.99997f;
static constexpr float VIEW_PULL = 20.0f;
static constexpr float ENEMY_OFFSET_X = 65.0f;
static constexpr float ORB_BOB = 0.15f;
static constexpr float ORB_BOB_RATE = 57.13f;
static constexpr float GLOW_OFFSET_X = -0.22f;
static constexpr int GLOW_RING_SLICES = 33;
static constexpr int HALF_TURN = 628;      // angle-table steps in about pi
static constexpr int FULL_TURN = 1256;
static constexpr float COLLECTED = 1000.0f;

void enemyViewPosition(int i, float& tx, float& ty)
{
    const float x = enemyTable.x[i], y = enemyTable.y[i];
    tx = (x + (800.0f - (x - gameCameraX)) * VIEW_PULL / PULL_DIVISOR_X + ENEMY_OFFSET_X - gameCameraX - 990.0f) /
         1000.0f * 2048.0f * VIEW_SCALE_X / 1980.0f;
    ty = (y + (450.0f - (y - gameCameraY)) * VIEW_PULL / PULL_DIVISOR_Y - gameCameraY - 540.0f) / 1000.0f * 2048.0f *
         VIEW_SCALE_Y / 1080.0f;
}

static int angleIndex(int k)
{
    if (k < 0)
        return 0;
    return k < ORB_ANGLE_TABLE_SIZE ? k : ORB_ANGLE_TABLE_SIZE - 1;
}

void rotateOrbVector(int a, int b, int c)
{
    a = angleIndex(a);
    b = angleIndex(b);
    c = angleIndex(c);
    const float vx = orbVector[0], vy = orbVector[1], vz = orbVector[2];
    const float y1 = vy * orbCosTable[a] - vz * orbSinTable[a];
    const float z1 = vy * orbSinTable[a] + vz * orbCosTable[a];
    const float x2 = vx * orbCosTable[b] + z1 * orbSinTable[b];
    const float z2 = z1 * orbCosTable[b] - vx * orbSinTable[b];
    orbVector[0] = x2 * orbCosTable[c] - y1 * orbSinTable[c];
    orbVector[1] = x2 * orbSinTable[c] + y1 * orbCosTable[c];
    orbVector[2] = z2;
}

static void drawGlowRing(int turn, float alpha)
{
    glBegin(GL_QUADS);
    for (int j = 0; j < GLOW_RING_SLICES; ++j) {
        const float h = alpha * orbGlowScale[j] * 0.5f;
        orbVector[0] = orbGlowX[j] + h;
        orbVector[1] = orbGlowY[j] + h;
        orbVector[2] = 0.15f;
        rotateOrbVector(0, 0, turn);
        rotateOrbVector(942, 0, 0);
        rotateOrbVector(157, 157, 0);
        const float px = orbVector[0], py = orbVector[1], pz = orbVector[2];
        glNormal3f(1.0f, 1.0f, 1.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(px - h, py - h, pz);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(px + h, py - h, pz);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(px + h, py + h, pz);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(px - h, py + h, pz);
    }
    glEnd();
}

void drawOrbGlow(int i, int m)
{
    if (i < 0 || i >= ENEMY_CAPACITY || m < 1 || m > ORB_MODEL_COUNT)
        return;
    const float health = enemyTable.health[i];
    const float alpha = health <= COLLECTED ? 1.0f : 1.0f - (health - COLLECTED) / COLLECTED;

    shaderLoader.use(explosionProgram);
    const int* u = explosionUniforms.of(explosionProgram);
    bindSampler(u[EXPLOSION_COLOR_MAP], 0, orbParticleTexture);
    bindSampler(u[EXPLOSION_COLOR_GRADIENT], 1, orbRampTextures[m - 1]);
    glActiveTexture(GL_TEXTURE0);
    glUniform1f(u[EXPLOSION_COLOR_INDEX], 0.5f);
    glUniform1f(u[EXPLOSION_COLOR_SELECT], 0.5f);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(35.0, 16.0 / 9.0, 0.1, 500.0);
    mainCamera.set(0.0f, 0.0f, 10.0f, 0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f);
    mainCamera.applyLookAt();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);

    float tx = 0.0f, ty = 0.0f;
    enemyViewPosition(i, tx, ty);
    glLoadIdentity();
    glTranslatef(tx, ty, 0.15f);
    glTranslatef(0.0f, ORB_BOB * std::sin(3.0f * (spinAngle / ORB_BOB_RATE + enemyTable.animPhase[i])), 0.0f);
    glTranslatef(GLOW_OFFSET_X, 0.0f, 0.0f);

    int k = static_cast<int>(std::trunc(enemyGlowPhase[i]) + enemyTable.animPhase[i]);
    while (k > 99)
        k -= 100;
    const int p = static_cast<int>(k / 100.0f * HALF_TURN * 2);
    int q = static_cast<int>(k / 100.0f * HALF_TURN * 2 + HALF_TURN);
    if (q > FULL_TURN)
        q -= FULL_TURN;
    drawGlowRing(p, alpha);
    drawGlowRing(q, alpha);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}
