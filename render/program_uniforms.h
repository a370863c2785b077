// Uniform locations of the model and light programs, looked up once per program.
//
// Every model draw and every light upload asks for the locations of one program by its id. The
// first ask looks up all of them (the model draw's names and the 15 light arrays) and keeps them
// in one table (PROGRAM_UNIFORM_CACHE_CAPACITY programs; asks for further programs look up every
// time, correct but slower). A program that is deleted or linked again must be dropped with
// forgetProgramUniforms (which drops its other build too), since GL may hand its id to a new
// program. Program 0 has no locations: every entry reads -1.
#pragma once

#include <cstdint>

constexpr int PROGRAM_UNIFORM_CACHE_CAPACITY = 64;
// "lightsEnabled", "lightsinvRadius", "lightMapSelect", then the position and colour copies.
constexpr int LIGHT_UNIFORM_ARRAY_COUNT = 15;
constexpr int LIGHT_SWITCH_UNIFORM_COUNT = 3;

extern const char* const LIGHT_UNIFORM_NAMES[LIGHT_UNIFORM_ARRAY_COUNT];

// -1 for names the program lacks.
struct ModelProgramUniforms {
    uint32_t program;
    // The program's other build (gfx/shaders.h): the one without bone arrays for a skinned
    // model pass, the skinned one for a build without bones; 0 for other programs.
    uint32_t otherBuild;
    bool staticBuild;  // this is the build without bone arrays
    int colorMap, normalMap, lightMap, specularMap, shadowMap, envMap;
    int hasAnim, boneRPos, bonePos, boneRot, boneScl;
    int glColor, depthMVP, depthBiasMVP, bias, fogzfactor, light;
    int scroll, ycoofade, cameyevector;
    int lights[LIGHT_UNIFORM_ARRAY_COUNT];  // in LIGHT_UNIFORM_NAMES order
};

const ModelProgramUniforms& programUniforms(uint32_t program);
void forgetProgramUniforms(uint32_t program);
