#include "render/legacy_programs.h"

#include "core/data_files.h"    // debugLog
#include "core/file_text.h"     // readTextFile
#include "gfx/shaders.h"       // shaderLoader, info logs
#include "platform/gl_api.h"
#include "render/program_uniforms.h" // forgetProgramUniforms

#include <cstdio>
#include <cstdlib>
#include <string>

char* vboVertexSource = nullptr;
char* vboFragmentSource = nullptr;
uint32_t vboVertexShader = 0;
uint32_t vboFragmentShader = 0;
uint32_t vboShaderProgram = 0;
uint32_t volumetricProgram = 0;
int32_t camEyeVectorLoc = 0;

// A missing source file is compiled as no source at all, so the compile fails and its log
// goes the same way as any other compile error.
static void compileLegacyShader(uint32_t shader, const char* source, const char* fileName)
{
    if (source)
        glShaderSource(shader, 1, &source, nullptr);
    else
        std::fprintf(stderr, "can't open file %s\n", fileName);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0)
        debugLog("%s", shaderInfoLog(shader).c_str());
}

void initLegacyShaders()
{
    vboVertexSource = readTextFile("tutorial2.vert");
    vboFragmentSource = readTextFile("tutorial2.frag");

    vboVertexShader = glCreateShader(GL_VERTEX_SHADER);
    compileLegacyShader(vboVertexShader, vboVertexSource, "tutorial2.vert");
    vboFragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    compileLegacyShader(vboFragmentShader, vboFragmentSource, "tutorial2.frag");

    vboShaderProgram = glCreateProgram();
    glAttachShader(vboShaderProgram, vboVertexShader);
    glAttachShader(vboShaderProgram, vboFragmentShader);
    glLinkProgram(vboShaderProgram);
    GLint linked = 0;
    glGetProgramiv(vboShaderProgram, GL_LINK_STATUS, &linked);
    if (linked == 0)
        debugLog("%s", programInfoLog(vboShaderProgram).c_str());
    else
        buildModelBuilds(vboShaderProgram, "tutorial2.vert", "tutorial2.frag", vboFragmentShader);
    debugLog("vboshader init done.\n");

    volumetricProgram = shaderLoader.load("volumetric.vert", "volumetric.frag");
    // Program 0 has no uniforms; asking GL would only raise an error.
    camEyeVectorLoc = volumetricProgram != 0 ? glGetUniformLocation(volumetricProgram, "cameyevector") : -1;
    std::printf("camevec loc %d \n", camEyeVectorLoc);
}

void freeLegacyShaders()
{
    glUseProgram(0);
    // The smaller builds go with it, and with them their cached locations.
    if (const ModelBuildFamily* family = modelBuildFamily(vboShaderProgram))
        for (uint32_t build : family->builds)
            if (build != 0 && build != vboShaderProgram)
                forgetProgramUniforms(build);
    deleteModelBuilds(vboShaderProgram);
    glDetachShader(vboShaderProgram, vboVertexShader);
    glDetachShader(vboShaderProgram, vboFragmentShader);
    glDeleteProgram(vboShaderProgram);
    glDeleteShader(vboVertexShader);
    glDeleteShader(vboFragmentShader);
    // GL may give the name to a later program: the cached locations must not outlive it.
    forgetProgramUniforms(vboShaderProgram);
    std::free(vboVertexSource);
    std::free(vboFragmentSource);
    vboVertexSource = nullptr;
    vboFragmentSource = nullptr;
    vboVertexShader = 0;
    vboFragmentShader = 0;
    vboShaderProgram = 0;
}
