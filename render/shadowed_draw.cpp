#include "render/shadowed_draw.h"

#include "core/clock.h"              // startStopwatchA, sampleStopwatchA
#include "gfx/model.h"              // Model, BonePose
#include "gfx/shadow_map.h"         // depthBiasMVP
#include "platform/gl_api.h"
#include "render/camera.h"          // mainCamera
#include "render/legacy_programs.h" // volumetricProgram, camEyeVectorLoc
#include "render/light_matrices.h"  // computeLightMatrices
#include "render/model_draw.h"      // the submission pattern's steps

#include <algorithm>
#include <cstring>

void drawModelShadowed(Model& model, int program, int frame)
{
    computeLightMatrices();
    submitModelShadowed(model, frame, program);
}

void submitModelShadowed(Model& model, int frame, int program)
{
    bool skinned = isSkinnedModelDraw(model, frame);
    if (skinned)
        poseModelBones(model, frame);
    submitModelVertices(model, skinned);
    drawShadowedSubmission(model, program, skinned);
}

void drawModelVolumetric(Model& model, int frame)
{
    submitModelVolumetric(model, frame, -1);
}

void submitModelVolumetric(Model& model, int frame, int /*program*/)
{
    startStopwatchA();
    // No pose here: a skinned draw sends the bone matrices of the model's last posed draw.
    bool skinned = isSkinnedModelDraw(model, frame);
    submitModelVertices(model, skinned);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    const ModelProgramUniforms& u = beginModelSubmission(
        model, {volumetricProgram, skinned, MODEL_LIGHT_SWITCHES, MODEL_UNIT3_SPECULAR, MODEL_SET_TEXTURE,
                MODEL_SET_TEXTURE});
    // The location of the build in use (camEyeVectorLoc is the full build's).
    if (volumetricProgram != 0 && u.cameyevector >= 0)
        glUniform3f(u.cameyevector, mainCamera.centre[0] - mainCamera.eye[0], mainCamera.centre[1] - mainCamera.eye[1],
                    mainCamera.centre[2] - mainCamera.eye[2]);
    glFrontFace(GL_CCW);
    drawModelTriangles(model, skinned);
    endModelSubmission(true);
    sampleStopwatchA();
}

// Translation, rotation and scale of every bone's pose at `slot` into the position, rotation
// and scale matrices; bones without a pose entry keep theirs.
static void copyPoseSlot(Model& model, int slot)
{
    if (slot < 0 || model.boneCount < 1)
        return;
    const size_t first = static_cast<size_t>(slot) * static_cast<size_t>(model.boneCount);
    const int bones = std::min(model.boneCount, BONE_MATRIX_SLOTS);
    const size_t floats = static_cast<size_t>(BONE_MATRIX_SLOTS) * MATRIX_FLOATS;
    for (std::vector<float>* a : {&model.bonePosMatrices, &model.boneRotMatrices, &model.boneSclMatrices})
        if (a->size() < floats)
            a->resize(floats, 0.0f);
    for (int b = 0; b < bones && first + b < model.poses.size(); ++b) {
        const BonePose& pose = model.poses[first + b];
        const size_t at = static_cast<size_t>(b) * MATRIX_FLOATS;
        std::memcpy(&model.bonePosMatrices[at], pose.translation, sizeof pose.translation);
        std::memcpy(&model.boneRotMatrices[at], pose.rotation, sizeof pose.rotation);
        std::memcpy(&model.boneSclMatrices[at], pose.scale, sizeof pose.scale);
    }
}

void drawModelEnvMapped(Model& model, int frame, int program, const EnvironmentMap& environment)
{
    bool skinned = isSkinnedModelDraw(model, frame);
    if (skinned) {
        // The pose step below overwrites position and rotation; the scales of slot frame - 1
        // are what remains of this copy.
        copyPoseSlot(model, frame - 1);
        poseModelBones(model, frame);
    }
    submitModelVertices(model, skinned);
    glDepthMask(GL_TRUE);
    const ModelProgramUniforms& u =
        beginModelSubmission(model, {modelProgramOr(program, environment.program), skinned, MODEL_LIGHTS_FULL,
                                     MODEL_UNIT3_ENVIRONMENT, environment.texture, environment.texture});
    uploadModelUniform(u, &ModelProgramUniforms::scroll, MODEL_UNIFORM_FLOAT, &environment.scroll);
    uploadModelUniform(u, &ModelProgramUniforms::depthBiasMVP, MODEL_UNIFORM_MAT4, depthBiasMVP);
    uploadDepthUniform(u);
    glFrontFace(GL_CCW);
    drawModelTriangles(model, skinned);
    endModelSubmission(true);
}
