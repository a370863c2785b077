#include "render/blended_draw.h"

#include "gfx/model.h"             // Model, BONE_MATRIX_SLOTS
#include "platform/gl_api.h"
#include "render/light_matrices.h" // computeLightMatrices
#include "gfx/matrix_math.h"    // rotationFromEuler, quaternions, eulerAxisOrder
#include "render/model_draw.h"     // the submission steps

#include <algorithm>
#include <cstring>

// Frame slots whose triples every per-frame array the blend reads really holds.
static int heldFrameSlots(const Model& model)
{
    if (model.boneCount < 1 || model.frameCount < 1)
        return 0;
    size_t triples = 3 * static_cast<size_t>(model.boneCount);
    size_t slots = static_cast<size_t>(model.frameCount);
    slots = std::min(slots, model.eulerRel.size() / triples);
    slots = std::min(slots, model.relPos.size() / triples);
    slots = std::min(slots, model.bindPos.size() / triples);
    return static_cast<int>(slots);
}

static bool isBlendSkinned(const Model& model, int frameA)
{
    if (frameA < 1 || heldFrameSlots(model) < 1)
        return false;
    size_t vertices = 3 * static_cast<size_t>(std::max(model.triangleCount, 0));
    return model.boneIndices.size() >= 4 * vertices && model.boneWeights.size() >= 4 * vertices;
}

static int clampSlot(int frame, int slots)
{
    return std::min(std::max(frame, 0), slots - 1);
}

// The rotation of one bone at one slot as a quaternion, with the angle mapping of the skinned
// draws: x from the first stored component, y from the third negated, z from the second.
static void boneQuaternion(const Model& model, int slot, int bone, Quaternion& out)
{
    const int* ao = eulerAxisOrder;
    size_t i = (static_cast<size_t>(slot) * model.boneCount + bone) * 3;
    workEuler[0] = model.eulerRel[i + ao[0]];
    workEuler[1] = -model.eulerRel[i + ao[2]];
    workEuler[2] = model.eulerRel[i + ao[1]];
    rotationFromEuler();
    quatFromMatrix(workMatrix, out);
}

// Identity with the blend of two triples (in axis order) in elements 3, 7 and 11.
static void setBlendedTranslation(float* m, const float* a, const float* b, float t)
{
    const int* ao = eulerAxisOrder;
    std::memset(m, 0, sizeof(float) * MATRIX_FLOATS);
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    m[3] = (1.0f - t) * a[ao[0]] + t * b[ao[0]];
    m[7] = (1.0f - t) * a[ao[1]] + t * b[ao[1]];
    m[11] = (1.0f - t) * a[ao[2]] + t * b[ao[2]];
}

bool poseModelBonesBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC)
{
    if (!isBlendSkinned(model, frameA))
        return false;
    int slots = heldFrameSlots(model);
    int a = clampSlot(frameA, slots);
    int b = clampSlot(frameB, slots);
    bool third = frameC > 0;
    int c = third ? clampSlot(frameC, slots) : 0;

    const size_t matrixFloats = static_cast<size_t>(BONE_MATRIX_SLOTS) * MATRIX_FLOATS;
    for (std::vector<float>* m : {&model.bonePosMatrices, &model.boneRPosMatrices, &model.boneRotMatrices,
                                  &model.boneSclMatrices})
        if (m->size() < matrixFloats)
            m->resize(matrixFloats, 0.0f);

    int bones = std::min(model.boneCount, BONE_MATRIX_SLOTS);
    for (int bone = 0; bone < bones; ++bone) {
        Quaternion qa, qb, q;
        boneQuaternion(model, a, bone, qa);
        boneQuaternion(model, b, bone, qb);
        quatSlerp(qa, qb, blendAB, q);
        quatToMatrix(q, workMatrix);
        // A bone without a flag entry blends as the loader leaves every bone: flagged.
        bool flagged = static_cast<size_t>(bone) >= model.boneInterpolate.size() || model.boneInterpolate[bone] != 0;
        if (third && flagged) {
            Quaternion qc, blended;
            quatFromMatrix(workMatrix, blended);
            boneQuaternion(model, c, bone, qc);
            quatSlerp(blended, qc, blendC, q);
            quatToMatrix(q, workMatrix);
        }
        size_t m = static_cast<size_t>(bone) * MATRIX_FLOATS;
        std::memcpy(&model.boneRotMatrices[m], workMatrix, sizeof(float) * MATRIX_FLOATS);
        size_t i = (static_cast<size_t>(a) * model.boneCount + bone) * 3;
        size_t j = (static_cast<size_t>(b) * model.boneCount + bone) * 3;
        setBlendedTranslation(&model.boneRPosMatrices[m], &model.relPos[i], &model.relPos[j], blendAB);
        setBlendedTranslation(&model.bonePosMatrices[m], &model.bindPos[i], &model.bindPos[j], blendAB);
    }
    return true;
}

void submitModelDepthBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC,
                           int program)
{
    bool skinned = poseModelBonesBlend(model, frameA, frameB, frameC, blendAB, blendC);
    submitModelVertices(model, skinned);
    beginDepthSubmission(model, program, skinned, 0);
    drawModelTriangles(model, skinned);
    endModelSubmission(false);
}

void drawModelDepthBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC,
                         int program)
{
    computeLightMatrices();
    submitModelDepthBlend(model, frameA, frameB, frameC, blendAB, blendC, program);
}

void submitModelShadowedBlend(Model& model, int frameA, int frameB, int frameC, float blendAB, float blendC,
                              int program)
{
    bool skinned = poseModelBonesBlend(model, frameA, frameB, frameC, blendAB, blendC);
    submitModelVertices(model, skinned);
    const ModelProgramUniforms& u = beginShadowedSubmission(model, program, skinned);
    const float fadeY = worldToViewY(playerY) + heroViewYOffset;
    uploadModelUniform(u, &ModelProgramUniforms::ycoofade, MODEL_UNIFORM_FLOAT, &fadeY);
    drawModelTriangles(model, skinned);
    endModelSubmission(true);
}

void drawModelShadowedBlend(Model& model, int program, int frameA, int frameB, int frameC, float blendAB,
                            float blendC)
{
    computeLightMatrices();
    submitModelShadowedBlend(model, frameA, frameB, frameC, blendAB, blendC, program);
}
