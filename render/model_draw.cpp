#include "render/model_draw.h"

#include "gfx/model.h"             // Model, bindModelVertexArrays
#include "gfx/shaders.h"           // ModelBuildFamily, smallestModelBuild
#include "gfx/shadow_map.h"        // shadowTarget, shadowLitProgram, depthMVP, depthBiasMVP, lightVector
#include "gfx/textures.h"          // textureSets
#include "platform/gl_api.h"
#include "render/legacy_programs.h" // vboShaderProgram
#include "render/light_matrices.h" // computeLightMatrices
#include "render/lights.h"         // uploadLightUniforms, uploadLightSwitchUniforms
#include "gfx/matrix_math.h"    // rotationFromEuler, eulerAxisOrder

#include <algorithm>
#include <cstring>

float fogZFactor = 0.0f;
const float shadowBias = 0.0025f;
ModelDrawStats modelDrawStats = {};

static bool hasSkeletonSlot(const Model& model, int frame)
{
    if (model.boneCount < 1 || frame >= model.frameCount)
        return false;
    size_t vertices = 3 * static_cast<size_t>(std::max(model.triangleCount, 0));
    size_t slotTriples = static_cast<size_t>(model.frameCount) * static_cast<size_t>(model.boneCount) * 3;
    return model.boneIndices.size() >= vertices * 4 && model.boneWeights.size() >= vertices * 4 &&
           model.eulerRel.size() >= slotTriples && model.relPos.size() >= slotTriples &&
           model.bindPos.size() >= slotTriples;
}

bool isSkinnedModelDraw(const Model& model, int frame)
{
    return frame >= 1 && hasSkeletonSlot(model, frame);
}

static void setTranslationMatrix(float* m, float x, float y, float z)
{
    static const float IDENTITY[MATRIX_FLOATS] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::memcpy(m, IDENTITY, sizeof IDENTITY);
    m[3] = x;
    m[7] = y;
    m[11] = z;
}

static void ensureBoneMatrixArrays(Model& model)
{
    const size_t floats = static_cast<size_t>(BONE_MATRIX_SLOTS) * MATRIX_FLOATS;
    for (std::vector<float>* a : {&model.bonePosMatrices, &model.boneRPosMatrices, &model.boneRotMatrices,
                                  &model.boneSclMatrices})
        if (a->size() < floats)
            a->resize(floats, 0.0f);
}

void poseModelBones(Model& model, int frame)
{
    if (frame < 0 || !hasSkeletonSlot(model, frame))
        return;
    ensureBoneMatrixArrays(model);
    const int* ao = eulerAxisOrder;
    int bones = std::min(model.boneCount, BONE_MATRIX_SLOTS);
    for (int b = 0; b < bones; ++b) {
        size_t i = (static_cast<size_t>(frame) * model.boneCount + b) * 3;
        workEuler[0] = model.eulerRel[i + ao[0]];
        workEuler[1] = -model.eulerRel[i + ao[2]];
        workEuler[2] = model.eulerRel[i + ao[1]];
        rotationFromEuler();
        float* rot = &model.boneRotMatrices[static_cast<size_t>(b) * MATRIX_FLOATS];
        std::memcpy(rot, workMatrix, sizeof(float) * MATRIX_FLOATS);
        setTranslationMatrix(&model.boneRPosMatrices[static_cast<size_t>(b) * MATRIX_FLOATS],
                             model.relPos[i + ao[0]], model.relPos[i + ao[1]], model.relPos[i + ao[2]]);
        setTranslationMatrix(&model.bonePosMatrices[static_cast<size_t>(b) * MATRIX_FLOATS],
                             model.bindPos[i + ao[0]], model.bindPos[i + ao[1]], model.bindPos[i + ao[2]]);
    }
}

static const std::vector<float>& attributeArray(const Model& model, int i)
{
    switch (i) {
    case MODEL_ATTRIBUTE_POSITION: return model.positions;
    case MODEL_ATTRIBUTE_NORMAL: return model.normals;
    case MODEL_ATTRIBUTE_TEXCOORD: return model.texcoords;
    case MODEL_ATTRIBUTE_TANGENT: return model.tangents;
    case MODEL_ATTRIBUTE_HANDEDNESS: return model.handedness;
    case MODEL_ATTRIBUTE_BONES: return model.boneIndices;
    default: return model.boneWeights;
    }
}

static int attributesInUse(bool skinned)
{
    return skinned ? MODEL_VERTEX_ATTRIBUTES : MODEL_ATTRIBUTE_BONES;
}

void submitModelVertices(Model& model, bool skinned)
{
    size_t vertices = 3 * static_cast<size_t>(std::max(model.triangleCount, 0));
    int used = attributesInUse(skinned);
    for (int i = 0; i < used; ++i) {
        if (model.vao != 0 && model.uploadedVersion[i] == model.vertexDataVersion)
            continue;
        size_t floats = std::min(attributeArray(model, i).size(), vertices * MODEL_ATTRIBUTE_SIZES[i]);
        modelDrawStats.arrayUploads++;
        modelDrawStats.uploadedBytes += floats * sizeof(float);
    }
    bindModelVertexArrays(model, skinned);
}

void cacheModelProgramUniforms(uint32_t program)
{
    if (program == 0)
        return;
    const ModelProgramUniforms& u = programUniforms(program);
    if (!u.family)
        return;
    for (uint32_t build : u.family->builds)
        if (build != 0)
            programUniforms(build);
}

uint32_t modelProgramOr(int program, uint32_t fallback)
{
    return program < 0 ? fallback : static_cast<uint32_t>(program);
}

uint32_t modelProgramOrCurrent(int program)
{
    // A negative id is no program: GL would reject it and keep the current one, so keep it
    // without raising the error.
    if (program >= 0)
        return static_cast<uint32_t>(program);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    return static_cast<uint32_t>(current);
}

static void modelSetTextures(const Model& model, uint32_t textures[MODEL_TEXTURE_UNITS])
{
    std::fill(textures, textures + MODEL_TEXTURE_UNITS, 0u);
    if (model.textureSet < 0 || model.textureSet >= textureSetCount)
        return;
    const TextureSet& set = textureSets[model.textureSet];
    textures[0] = set.baseTexture;
    textures[1] = set.normalTexture;
    textures[2] = set.chraberTexture;
    textures[3] = set.specularTexture;
}

static void bindModelTextureUnits(const ModelProgramUniforms& u, const uint32_t textures[MODEL_TEXTURE_UNITS],
                                  int unit3Location)
{
    const int samplers[MODEL_TEXTURE_UNITS] = {u.colorMap, u.normalMap, u.lightMap, unit3Location};
    for (int unit = 0; unit < MODEL_TEXTURE_UNITS; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        if (samplers[unit] >= 0)
            glUniform1i(samplers[unit], unit);
        glBindTexture(GL_TEXTURE_2D, textures[unit]);
    }
}

// "hasAnim" and, when skinned, the four bone arrays.
static void uploadModelSkin(const ModelProgramUniforms& u, const Model& model, bool skinned)
{
    if (!skinned) {
        const int32_t off = 0;
        if (u.hasAnim >= 0)
            glUniform1iv(u.hasAnim, 1, &off);
        return;
    }
    const int32_t flag = model.animFlag ? *model.animFlag : 0;
    if (u.hasAnim >= 0)
        glUniform1iv(u.hasAnim, 1, &flag);
    const int locations[4] = {u.boneRPos, u.bonePos, u.boneRot, u.boneScl};
    const std::vector<float>* arrays[4] = {&model.boneRPosMatrices, &model.bonePosMatrices,
                                           &model.boneRotMatrices, &model.boneSclMatrices};
    // The model's own bones: its vertices name no others.
    const size_t bones = static_cast<size_t>(std::min(model.boneCount, BONE_MATRIX_SLOTS));
    for (int k = 0; k < 4; ++k) {
        int count = static_cast<int>(std::min(arrays[k]->size() / MATRIX_FLOATS, bones));
        if (locations[k] >= 0 && count > 0)
            glUniformMatrix4fv(locations[k], count, GL_FALSE, arrays[k]->data());
    }
}

// The build of the program's family that the draw's bones fit in.
static const ModelProgramUniforms& programBuildForDraw(uint32_t program, int bones)
{
    const ModelProgramUniforms& u = programUniforms(program);
    if (!u.family)
        return u;
    const uint32_t build = smallestModelBuild(*u.family, bones);
    return build == program ? u : programUniforms(build);
}

const ModelProgramUniforms& beginModelSubmission(const Model& model, const ModelSubmission& s)
{
    const ModelProgramUniforms& u = programBuildForDraw(s.program, s.skinned ? model.boneCount : 0);
    glUseProgram(u.program);
    uint32_t textures[MODEL_TEXTURE_UNITS];
    modelSetTextures(model, textures);
    if (s.unit0Texture != MODEL_SET_TEXTURE)
        textures[0] = s.unit0Texture;
    if (s.unit3Texture != MODEL_SET_TEXTURE)
        textures[3] = s.unit3Texture;
    const int unit3Samplers[] = {u.specularMap, u.shadowMap, u.envMap};
    bindModelTextureUnits(u, textures, unit3Samplers[s.unit3]);
    // Program 0 has no uniforms: the textures above still follow the pattern.
    if (u.program != 0) {
        if (s.lights == MODEL_LIGHTS_FULL)
            uploadLightUniforms(u.program);
        else
            uploadLightSwitchUniforms(u.program);
        uploadModelSkin(u, model, s.skinned);
    }
    return u;
}

static void sendModelUniform(uint32_t program, int location, ModelUniformKind kind, const float* values)
{
    if (location < 0)
        return;
    switch (kind) {
    case MODEL_UNIFORM_FLOAT: glProgramUniform1fv(program, location, 1, values); break;
    case MODEL_UNIFORM_VEC4: glProgramUniform4fv(program, location, 1, values); break;
    case MODEL_UNIFORM_MAT4: glProgramUniformMatrix4fv(program, location, 1, GL_FALSE, values); break;
    }
}

void uploadModelUniform(const ModelProgramUniforms& u, int ModelProgramUniforms::*name, ModelUniformKind kind,
                        const float* values)
{
    sendModelUniform(u.program, u.*name, kind, values);
    // Draws that leave a value out read what the last draw of any build left.
    const uint32_t program = u.program;
    const ModelBuildFamily* family = u.family;
    if (!family)
        return;
    for (uint32_t build : family->builds)
        if (build != 0 && build != program)
            sendModelUniform(build, programUniforms(build).*name, kind, values);
}

void uploadCurrentColour(const ModelProgramUniforms& u)
{
    if (u.glColor < 0)
        return;
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    uploadModelUniform(u, &ModelProgramUniforms::glColor, MODEL_UNIFORM_VEC4, colour);
}

void uploadDepthUniform(const ModelProgramUniforms& u)
{
    uploadModelUniform(u, &ModelProgramUniforms::depthMVP, MODEL_UNIFORM_MAT4, depthMVP);
}

void uploadShadowedUniforms(const ModelProgramUniforms& u)
{
    uploadModelUniform(u, &ModelProgramUniforms::depthBiasMVP, MODEL_UNIFORM_MAT4, depthBiasMVP);
    uploadModelUniform(u, &ModelProgramUniforms::bias, MODEL_UNIFORM_FLOAT, &shadowBias);
    uploadModelUniform(u, &ModelProgramUniforms::light, MODEL_UNIFORM_VEC4, lightVector);
}

const ModelProgramUniforms& beginShadowedSubmission(const Model& model, int program, bool skinned)
{
    glDepthMask(GL_TRUE);
    const ModelProgramUniforms& u = beginModelSubmission(
        model, {modelProgramOr(program, shadowLitProgram), skinned, MODEL_LIGHTS_FULL, MODEL_UNIT3_SHADOW,
                MODEL_SET_TEXTURE, shadowTarget.colorTexture});
    uploadShadowedUniforms(u);
    return u;
}

const ModelProgramUniforms& beginDepthSubmission(const Model& model, int program, bool skinned,
                                                 uint32_t unit0Texture)
{
    glDepthMask(GL_TRUE);
    const ModelProgramUniforms& u = beginModelSubmission(
        model, {modelProgramOrCurrent(program), skinned, MODEL_LIGHT_SWITCHES, MODEL_UNIT3_SPECULAR, unit0Texture,
                MODEL_SET_TEXTURE});
    uploadDepthUniform(u);
    glFrontFace(GL_CCW);
    return u;
}

void drawModelTriangles(const Model& model, bool skinned)
{
    // Draw only whole triangles that every array in use holds: a short array must not be
    // read past its end.
    size_t vertices = 3 * static_cast<size_t>(std::max(model.triangleCount, 0));
    int used = attributesInUse(skinned);
    for (int i = 0; i < used; ++i)
        vertices = std::min(vertices, attributeArray(model, i).size() / MODEL_ATTRIBUTE_SIZES[i]);
    vertices -= vertices % 3;
    if (vertices == 0)
        return;
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices));
    modelDrawStats.drawCalls++;
}

void endModelSubmission(bool releaseProgram)
{
    // The default vertex array object has no array enabled; the array buffer binding is not
    // part of it, so the model's last buffer stays bound.
    glBindVertexArray(0);
    if (releaseProgram)
        glUseProgram(0);
}

const ModelProgramUniforms& beginLegacySubmission(Model& model, int program, bool skinned)
{
    submitModelVertices(model, skinned);
    const ModelProgramUniforms& u = beginModelSubmission(
        model, {modelProgramOr(program, vboShaderProgram), skinned, MODEL_LIGHTS_FULL, MODEL_UNIT3_SPECULAR,
                MODEL_SET_TEXTURE, MODEL_SET_TEXTURE});
    uploadCurrentColour(u);
    return u;
}

void drawSkinnedModel(Model& model, int frame, int program)
{
    bool skinned = isSkinnedModelDraw(model, frame);
    if (skinned)
        poseModelBones(model, frame);
    const ModelProgramUniforms& u = beginLegacySubmission(model, program, skinned);
    computeDepthMVPAndLightVector();
    uploadDepthUniform(u);
    drawModelTriangles(model, skinned);
    endModelSubmission(true);
}

void drawModelFrame(Model& model, int frame)
{
    drawSkinnedModel(model, frame, -1);
}

void drawModel(Model& model)
{
    drawSkinnedModel(model, 0, -1);
}

void uploadFogUniforms(const ModelProgramUniforms& u)
{
    uploadModelUniform(u, &ModelProgramUniforms::fogzfactor, MODEL_UNIFORM_FLOAT, &fogZFactor);
    uploadCurrentColour(u);
}

void drawShadowedSubmission(Model& model, int program, bool skinned)
{
    const ModelProgramUniforms& u = beginShadowedSubmission(model, program, skinned);
    uploadFogUniforms(u);
    drawModelTriangles(model, skinned);
    endModelSubmission(true);
}

void drawStaticModelShadowed(Model& model, int program)
{
    computeLightMatrices();
    submitModelVertices(model, false);
    drawShadowedSubmission(model, program, false);
}
