#include "app/legacy_states.h"

#include "core/clock.h"            // tween
#include "core/frame_values.h"     // sceneStartMs
#include "core/screen_frame.h"     // FRAME_ASPECT, FRAME_NEAR_PLANE, SCREEN_WIDTH / HEIGHT
#include "gfx/model.h"             // loadModel, scaleModel, uploadModelVertices
#include "gfx/shaders.h"           // shaderLoader
#include "gfx/textures.h"          // loadTexture
#include "platform/gl_api.h"
#include "render/lights.h"         // applyLightPreset, uploadLights
#include "render/model_draw.h"     // drawModelFrame
#include "render/shadowed_draw.h"  // drawModelEnvMapped
#include "scenes/raster_scroller.h"  // drawBlankingQuad

#include <cmath>

uint32_t envProgram = 0;
uint32_t envLightTexture = 0;
uint32_t envCubeTexture = 0;
Model* legacyModels[LEGACY_MODEL_COUNT] = {};
Model* legacyRingModels[LEGACY_MODEL_COUNT] = {};

namespace {

struct LegacyModelFile {
    const char* file;
    float scale;  // after the loader's 0.05
};
// The faceted ball about 2 units across, the logo about 3 wide; the rings just clear them.
const LegacyModelFile MODEL_FILES[LEGACY_MODEL_COUNT] = {{"discoball.3dm", 0.5f}, {"zu5metal.3dm", 0.22f}};
const LegacyModelFile RING_FILES[LEGACY_MODEL_COUNT] = {{"ring3.3dm", 0.5f}, {"ring4.3dm", 0.5f}};

// Where the two stand, and their metals: a warm gold on the left, a cool silver on the right.
const float MODEL_X[LEGACY_MODEL_COUNT] = {-1.9f, 1.9f};
const float MODEL_TINT[LEGACY_MODEL_COUNT][3] = {{1.0f, 0.78f, 0.42f}, {0.82f, 0.9f, 1.0f}};
const float RING_TINT[LEGACY_MODEL_COUNT][3] = {{0.55f, 0.42f, 0.3f}, {0.35f, 0.42f, 0.55f}};
constexpr float BOB_HEIGHT = 0.22f;
// The fixed camera: a little above the models, looking at the point between them.
constexpr double EYE[3] = {0.0, 0.7, 8.5};
constexpr double CENTRE[3] = {0.0, 0.0, 0.0};
constexpr int ANGER_LIGHT_UNIT = 4;  // beside the draw family's four units

struct LegacyPose {
    float spin[LEGACY_MODEL_COUNT];  // about each model's vertical axis
    float wobble;                    // phase of the bob and the tilt, radians
    float studioTurn;
};

LegacyPose legacyPose()
{
    LegacyPose pose{};
    const double start = static_cast<double>(sceneStartMs);
    tween(start, 0.0, 360.0, TWEEN_WRAP, 0.6f, &pose.spin[0]);
    tween(start, 0.0, 360.0, TWEEN_WRAP, 0.9f, &pose.spin[1]);
    tween(start, 0.0, 6.2831853, TWEEN_WRAP, 0.035f, &pose.wobble);
    tween(start, 0.0, 1.0, TWEEN_WRAP, 0.0012f, &pose.studioTurn);
    return pose;
}

Model* loadScaled(const LegacyModelFile& entry)
{
    Model* model = loadModel(entry.file);
    if (model)
        scaleModel(*model, entry.scale);
    uploadModelVertices(model);
    return model;
}

// Model i's place: its spot, bobbing, the bob's tilt, the models' z-up turned to y-up, its
// turn about the vertical. A ring instead swings about the vertical, leans its top away from
// the eye and rolls along itself the other way.
void placeModel(const LegacyPose& pose, int i, bool ring)
{
    const float phase = pose.wobble + 3.1415927f * static_cast<float>(i);
    const float side = i == 0 ? 1.0f : -1.0f;
    glLoadIdentity();
    glTranslatef(MODEL_X[i], BOB_HEIGHT * std::sin(phase), 0.0f);
    glRotatef(12.0f * std::sin(0.5f * phase), 1.0f, 0.0f, 0.0f);
    if (ring) {
        glRotatef(side * 22.0f + 18.0f * std::sin(0.7f * phase), 0.0f, 1.0f, 0.0f);
        glRotatef(-32.0f, 1.0f, 0.0f, 0.0f);
        glRotatef(-1.5f * pose.spin[i], 0.0f, 0.0f, 1.0f);
    } else {
        glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
        glRotatef(pose.spin[i], 0.0f, 0.0f, 1.0f);
    }
}

}  // namespace

void initEnvShader()
{
    envProgram = shaderLoader.load("env.vert", "env.frag");
    envLightTexture = loadTexture("angerlight.tga");
    envCubeTexture = loadTexture("cube.tga");
}

void loadLegacyModels()
{
    for (int i = 0; i < LEGACY_MODEL_COUNT; ++i) {
        legacyModels[i] = loadScaled(MODEL_FILES[i]);
        legacyRingModels[i] = loadScaled(RING_FILES[i]);
    }
}

void drawLegacyModelsScene()
{
    const LegacyPose pose = legacyPose();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 500.0);
    gluLookAt(EYE[0], EYE[1], EYE[2], CENTRE[0], CENTRE[1], CENTRE[2], 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);

    // The rim ramp sits on a unit of its own, which the draw family leaves alone.
    shaderLoader.use(envProgram);
    if (envProgram != 0)
        glUniform1i(glGetUniformLocation(envProgram, "angerLight"), ANGER_LIGHT_UNIT);
    glActiveTexture(GL_TEXTURE0 + ANGER_LIGHT_UNIT);
    glBindTexture(GL_TEXTURE_2D, envLightTexture);
    glActiveTexture(GL_TEXTURE0);

    const EnvironmentMap studio = {envProgram, envCubeTexture, pose.studioTurn};
    for (int i = 0; i < LEGACY_MODEL_COUNT; ++i) {
        if (!legacyModels[i])
            continue;
        placeModel(pose, i, false);
        glColor4f(MODEL_TINT[i][0], MODEL_TINT[i][1], MODEL_TINT[i][2], 1.0f);
        drawModelEnvMapped(*legacyModels[i], 0, static_cast<int>(envProgram), studio);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void drawLegacyState()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glClearColor(0.015f, 0.015f, 0.03f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Opaque, depth-tested and seen from both sides (the bands leave blending and culling on).
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_CULL_FACE);
    applyLightPreset(LEGACY_LIGHT_PRESET);
    // The lights' world positions: uploaded under the identity modelview.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    uploadLights();

    drawLegacyModelsScene();

    const LegacyPose pose = legacyPose();
    for (int i = 0; i < LEGACY_MODEL_COUNT; ++i) {
        if (!legacyRingModels[i])
            continue;
        placeModel(pose, i, true);
        glColor4f(RING_TINT[i][0], RING_TINT[i][1], RING_TINT[i][2], 1.0f);
        drawModelFrame(*legacyRingModels[i], -1);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    drawBlankingQuad(0, 0, SCREEN_WIDTH, LEGACY_BAND_HEIGHT);
    drawBlankingQuad(0, SCREEN_HEIGHT - LEGACY_BAND_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT);
}
