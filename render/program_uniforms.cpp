#include "render/program_uniforms.h"

#include "gfx/model.h"        // MODEL_VERTEX_ATTRIBUTES
#include "gfx/shaders.h"      // modelBuildFamily
#include "platform/gl_api.h"

#include <cstring>

const char* const LIGHT_UNIFORM_NAMES[LIGHT_UNIFORM_ARRAY_COUNT] = {
    "lightsEnabled",   "lightsinvRadius", "lightMapSelect",  "lightsPosx",      "lightsPosy",
    "lightsPosz",      "lightsAmbientr",  "lightsAmbientg",  "lightsAmbientb",  "lightsDiffuser",
    "lightsDiffuseg",  "lightsDiffuseb",  "lightsSpecularr", "lightsSpecularg", "lightsSpecularb",
};

static const char* const ATTRIBUTE_NAMES[MODEL_VERTEX_ATTRIBUTES] = {
    "vertexPosition", "vertexNormal", "textureCoord", "vertexTangent",
    "vertexTangentHandedness", "vertexBones", "vertexWeights",
};

static ModelProgramUniforms programCache[PROGRAM_UNIFORM_CACHE_CAPACITY];
static int programCacheCount = 0;

static void lookUpProgramUniforms(uint32_t program, ModelProgramUniforms& u)
{
    std::memset(&u, 0xff, sizeof u);  // every location -1
    u.program = program;
    u.family = nullptr;
    if (program == 0)
        return;
    u.family = modelBuildFamily(program);
    u.colorMap = glGetUniformLocation(program, "colorMap");
    u.normalMap = glGetUniformLocation(program, "normalMap");
    u.lightMap = glGetUniformLocation(program, "lightMap");
    u.specularMap = glGetUniformLocation(program, "specularMap");
    u.shadowMap = glGetUniformLocation(program, "shadowMap");
    u.envMap = glGetUniformLocation(program, "envMap");
    u.hasAnim = glGetUniformLocation(program, "hasAnim");
    u.boneRPos = glGetUniformLocation(program, "boneRPos");
    u.bonePos = glGetUniformLocation(program, "bonePos");
    u.boneRot = glGetUniformLocation(program, "boneRot");
    u.boneScl = glGetUniformLocation(program, "boneScl");
    u.glColor = glGetUniformLocation(program, "glColor");
    u.depthMVP = glGetUniformLocation(program, "depthMVP");
    u.depthBiasMVP = glGetUniformLocation(program, "depthBiasMVP");
    u.bias = glGetUniformLocation(program, "bias");
    u.fogzfactor = glGetUniformLocation(program, "fogzfactor");
    u.light = glGetUniformLocation(program, "Light");
    u.scroll = glGetUniformLocation(program, "scroll");
    u.ycoofade = glGetUniformLocation(program, "ycoofade");
    u.cameyevector = glGetUniformLocation(program, "cameyevector");
    for (int k = 0; k < LIGHT_UNIFORM_ARRAY_COUNT; ++k)
        u.lights[k] = glGetUniformLocation(program, LIGHT_UNIFORM_NAMES[k]);
    // Takes effect only if the program is ever linked again; the sources pin the locations.
    for (int i = 0; i < MODEL_VERTEX_ATTRIBUTES; ++i)
        glBindAttribLocation(program, i, ATTRIBUTE_NAMES[i]);
}

const ModelProgramUniforms& programUniforms(uint32_t program)
{
    // A frame draws runs of one program, so the last hit answers most asks.
    static int lastHit = 0;
    if (lastHit < programCacheCount && programCache[lastHit].program == program)
        return programCache[lastHit];
    for (int i = 0; i < programCacheCount; ++i) {
        if (programCache[i].program == program) {
            lastHit = i;
            return programCache[i];
        }
    }
    if (programCacheCount < PROGRAM_UNIFORM_CACHE_CAPACITY) {
        lastHit = programCacheCount++;
        lookUpProgramUniforms(program, programCache[lastHit]);
        return programCache[lastHit];
    }
    static ModelProgramUniforms scratch;
    lookUpProgramUniforms(program, scratch);
    return scratch;
}

static void forgetOneProgram(uint32_t program)
{
    for (int i = 0; i < programCacheCount; ++i) {
        if (programCache[i].program == program) {
            programCache[i] = programCache[--programCacheCount];
            return;
        }
    }
}

void forgetProgramUniforms(uint32_t program)
{
    const ModelBuildFamily* family = modelBuildFamily(program);
    if (!family) {
        forgetOneProgram(program);
        return;
    }
    for (uint32_t build : family->builds)
        if (build != 0)
            forgetOneProgram(build);
}
