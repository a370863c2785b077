// The tunnel scene: the camera looks down a tube whose wall texture streams towards it while
// the view slowly rolls; a chrome sphere tumbles and wobbles just in front of the eye and
// flashes on the accent beats (beat flag bit 1).
//
// The scene's perspective is multiplied into the modelview and then replaced by the identity
// before anything is drawn, so what is seen is the frame routine's projection with the camera
// this scene set on the previous frame (the rolled mainCamera).
#include "scenes/tunnel_scene.h"

#include "core/clock.h"             // tween
#include "core/frame_values.h"             // sceneStartMs, beatFlags, frameDt
#include "core/keyboard.h"         // keyboardState
#include "core/screen_frame.h"  // the screen frame and its perspective
#include "gfx/model.h"             // loadModel, scaleModel, uploadModelVertices
#include "gfx/shaders.h"           // shaderLoader
#include "gfx/textures.h"          // loadTexture
#include "platform/gl_api.h"
#include "render/camera.h"         // mainCamera
#include "render/lights.h"         // applyLightPreset
#include "render/model_draw.h"     // drawModelFrame, programUniforms
#include "render/shadowed_draw.h"  // drawModelEnvMapped
#include "scenes/scenes.h"
#include "scenes/toolkit.h"        // rotateVectorByAngles

#include <algorithm>
#include <cmath>

uint32_t tunnelProgram = 0;
uint32_t tunnelTexture = 0;
Model* tunnelModel = nullptr;
Model* tunnelSphereModel = nullptr;
std::vector<float> tunnelUvBackup;
float tunnelScroll = 0.0f;
float tunnelFlash = 0.0f;

static constexpr int TUNNEL_LIGHT_PRESET = 5;

void initTunnelScene()
{
    tunnelProgram = shaderLoader.load("env2.vert", "env2.frag");
    tunnelTexture = loadTexture("xmix.tga");
    tunnelModel = loadModel("tunnel.3dm");
    if (tunnelModel) {
        scaleModel(*tunnelModel, TUNNEL_MODEL_SCALE);
        const size_t floats = static_cast<size_t>(std::max(tunnelModel->triangleCount, 0)) * 6;
        tunnelUvBackup.assign(floats, 0.0f);
        std::copy_n(tunnelModel->texcoords.begin(), std::min(floats, tunnelModel->texcoords.size()),
                    tunnelUvBackup.begin());
    }
    tunnelSphereModel = loadModel("xmixsphere.3dm");
    if (tunnelSphereModel)
        scaleModel(*tunnelSphereModel, TUNNEL_SPHERE_SCALE);
    uploadModelVertices(tunnelModel);
    uploadModelVertices(tunnelSphereModel);
}

void scrollTunnelTexcoords(Model& model, const std::vector<float>& backup, float scroll)
{
    const size_t vertices = std::min(model.texcoords.size(), backup.size()) / 2;
    float* uv = model.texcoords.data();
    const float* from = backup.data();
    for (size_t i = 0; i < vertices; ++i) {
        uv[2 * i] = from[2 * i];
        uv[2 * i + 1] = from[2 * i + 1] * TUNNEL_V_REPEAT + scroll;
    }
    // Only the texture coordinates changed: the other arrays already in their buffers stay
    // valid under the new version, so the next draw sends this one array alone.
    const uint32_t before = model.vertexDataVersion;
    markModelVertexDataChanged(model);
    for (int i = 0; i < MODEL_VERTEX_ATTRIBUTES; ++i)
        if (i != MODEL_ATTRIBUTE_TEXCOORD && model.uploadedVersion[i] == before)
            model.uploadedVersion[i] = model.vertexDataVersion;
}

float stepTunnelFlash(float flash, bool beat, float dt)
{
    const float fade = TUNNEL_FLASH_FADE * dt;
    float next = beat ? TUNNEL_FLASH_PEAK - fade : flash - fade;
    return next < 0.0f ? 0.0f : next;
}

// The tunnel's camera before the roll turns its up vector.
static void setTunnelCamera()
{
    mainCamera.set(-1.5007f, 0.9481f, 1.5247f, -1.3809f, -0.3159f, -2.0088f, 0.0f, 1.0f, 0.0f);
}

// The roll starts at 0 on the scene's first frame, so the unrolled pose is the one it is seen with.
void enterTunnelScene()
{
    setTunnelCamera();
}

void drawTunnelScene()
{
    float spinX, spinY, spinZ, wobble1, wobble2, scroll, roll;
    const double start = static_cast<double>(sceneStartMs);
    tween(start, 0.0, 3600.0, TWEEN_WRAP, 1.0f, &spinX);
    tween(start, 0.0, 3600.0, TWEEN_WRAP, 1.6f, &spinY);
    tween(start, 0.0, 3600.0, TWEEN_WRAP, 1.4f, &spinZ);
    tween(start, 0.0, 628.0, TWEEN_WRAP, 0.05f, &wobble1);
    tween(start, 0.0, 628.0, TWEEN_WRAP, 0.065f, &wobble2);
    tween(start, 0.0, 1.0, TWEEN_WRAP, 0.008f, &scroll);
    tween(start, 0.0, 125600.0, TWEEN_WRAP, 45.0f, &roll);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    gluPerspective(65.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 1.0);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    setTunnelCamera();
    rotationAngles = RotationVector{0.0f, 0.0f, roll};
    rotationInput = RotationVector{mainCamera.up[0], mainCamera.up[1], mainCamera.up[2]};
    rotateVectorByAngles();
    mainCamera.up[0] = rotationOutput.x;
    mainCamera.up[1] = rotationOutput.y;
    mainCamera.up[2] = rotationOutput.z;
    mainCamera.applyLookAt();
    applyLightPreset(TUNNEL_LIGHT_PRESET);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-1.5f, 0.9f, 1.5f);
    glRotatef(270.0f, 1.0f, 0.0f, 0.0f);
    if (tunnelModel) {
        scrollTunnelTexcoords(*tunnelModel, tunnelUvBackup, scroll);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        drawModelFrame(*tunnelModel, -1);
    }

    glLoadIdentity();
    glTranslatef(-1.5f, 0.85f, 1.3f);
    glTranslatef(0.05f * std::sin(wobble1), 0.01f * std::sin(wobble2), 0.0f);
    glRotatef(spinX, 1.0f, 0.0f, 0.0f);
    glRotatef(spinY, 0.0f, 1.0f, 0.0f);
    glRotatef(spinZ, 0.0f, 0.0f, 1.0f);

    const bool beat = keyboardState.pressed[TUNNEL_FLASH_KEY] != 0 || (beatFlags & BEAT_ACCENT_BIT) != 0;
    tunnelFlash = stepTunnelFlash(tunnelFlash, beat, frameDt);

    shaderLoader.use(tunnelProgram);
    glColor4f(tunnelFlash, tunnelFlash, tunnelFlash, 1.0f);
    if (tunnelProgram != 0) {
        const ModelProgramUniforms& u = programUniforms(tunnelProgram);
        uploadCurrentColour(u);
        if (u.colorMap >= 0)
            glUniform1i(u.colorMap, 0);
        if (u.envMap >= 0)
            glUniform1i(u.envMap, 1);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, tunnelTexture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, tunnelTexture);
    tunnelScroll = scroll;

    glDisable(GL_CULL_FACE);
    if (tunnelSphereModel)
        drawModelEnvMapped(*tunnelSphereModel, 0, -1, {tunnelProgram, tunnelTexture, tunnelScroll});
    glEnable(GL_CULL_FACE);
}
