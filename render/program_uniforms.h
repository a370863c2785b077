// Uniform locations of the model and light programs, looked up once per program.
//
// Every model draw and every light upload asks for the locations of one program by its id. The
// first ask looks up all of them (the model draw's names and the 15 light arrays) and keeps them
// in one table (PROGRAM_UNIFORM_CACHE_CAPACITY programs; asks for further programs look up every
// time, correct but slower). A program that is deleted or linked again must be dropped with
// forgetProgramUniforms (which drops the other builds of its family too), since GL may hand
// its id to a new program. Program 0 has no locations: every entry reads -1.
#pragma once

#include <cstdint>

struct ModelBuildFamily;

// Room for every program the demo and the game build, the model passes' smaller builds
// included: a draw looks up several builds at once, which the one-entry overflow path cannot
// serve.
constexpr int PROGRAM_UNIFORM_CACHE_CAPACITY = 128;
// "lightsEnabled", "lightsinvRadius", "lightMapSelect", then the position and colour copies.
constexpr int LIGHT_UNIFORM_ARRAY_COUNT = 15;
constexpr int LIGHT_SWITCH_UNIFORM_COUNT = 3;

extern const char* const LIGHT_UNIFORM_NAMES[LIGHT_UNIFORM_ARRAY_COUNT];

// -1 for names the program lacks.
struct ModelProgramUniforms {
    uint32_t program;
    // The builds of a skinned model pass this program is one of (gfx/shaders.h), or null.
    const ModelBuildFamily* family;
    int colorMap, normalMap, lightMap, specularMap, shadowMap, envMap;
    int hasAnim, boneRPos, bonePos, boneRot, boneScl;
    int glColor, depthMVP, depthBiasMVP, bias, fogzfactor, light;
    int scroll, ycoofade, cameyevector;
    int lights[LIGHT_UNIFORM_ARRAY_COUNT];  // in LIGHT_UNIFORM_NAMES order
};

const ModelProgramUniforms& programUniforms(uint32_t program);
void forgetProgramUniforms(uint32_t program);
