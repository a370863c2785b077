// GLSL programs built from a vertex and a fragment source file of the data folder.
//
// Every program of the engine goes through the one loader object `shaderLoader`. The caller
// keeps the returned program id; the loader only remembers the objects of its last build and
// the program last made current through it. Programs live until the process ends.
//
// Results: a program id, or 0 when a source file is missing or empty, when a shader does not
// compile or when the program does not link (each failure is printed with its log), so a
// caller that uses a failed program gets the fixed-function pipeline.
#pragma once

#include <cstdint>
#include <string>

struct ShaderProgram {
    uint32_t program = 0;         // program object of the last build
    uint32_t vertexShader = 0;    // vertex shader object of the last build
    uint32_t fragmentShader = 0;  // fragment shader object of the last build

    ~ShaderProgram();

    uint32_t load(const char* vertexFile, const char* fragmentFile);
    // Same as load.
    uint32_t create(const char* vertexFile, const char* fragmentFile);
    // Quiet variant that binds "vertex_coo" 0, "vertex_normal" 1 and "vertex_uv" 2 before linking.
    uint32_t loadWithAttributes(const char* vertexFile, const char* fragmentFile);
    void use(uint32_t programId);
    void unuse();
    int current() const;
    // Releases the objects of the last build; does nothing without a current GL context.
    void destroy();
};

// The skinned model passes ("shmappass1.vert", "shmappass2.vert", "shmappass2fog.vert", the
// legacy "tutorial2.vert" and "volumetric.vert") are
// built at load once per bone capacity of MODEL_BUILD_BONES (0: no bone arrays), from the
// vertex source's build of that capacity and the pass's own compiled fragment shader. GL sends
// a program's whole uniform storage with each draw and the bone arrays are most of it, so a
// draw takes the smallest build its model's bones fit in. The last build is the program the
// loader returns. A load past MODEL_BUILD_FAMILY_CAPACITY families is a build failure, and a
// smaller build that fails is 0 (the draws then keep a larger one).
constexpr int MODEL_BUILD_COUNT = 3;
constexpr int MODEL_BUILD_BONES[MODEL_BUILD_COUNT] = {0, 8, 64};
constexpr int MODEL_BUILD_FAMILY_CAPACITY = 32;
struct ModelBuildFamily {
    uint32_t builds[MODEL_BUILD_COUNT];  // by MODEL_BUILD_BONES
};
// The family of a program (given any of its builds), or null for any other program.
const ModelBuildFamily* modelBuildFamily(uint32_t program);
// The smallest build of the family that holds `bones` bones (the largest when none does).
uint32_t smallestModelBuild(const ModelBuildFamily& family, int bones);
// For a model pass linked outside the loader from `vertexFile` and the compiled
// `fragmentShader`: its smaller builds and family entry; and their release.
void buildModelBuilds(uint32_t program, const char* vertexFile, const char* fragmentFile, uint32_t fragmentShader);
void deleteModelBuilds(uint32_t program);

extern ShaderProgram shaderLoader;
extern int currentShaderProgram;     // program last set through ShaderProgram::use / unuse
extern unsigned char shaderSourceFound;  // set by readShaderSource when the file opened
extern uint32_t defaultShaderProgram;    // "shader.vert" + "shader.frag"
// Sources missing, compiles and links failed so far; each is also reported on standard error.
extern int shaderBuildFailures;
// "vertex,fragment: " and the first line of the first failure's report; empty while none.
extern std::string firstShaderBuildFailure;

// The whole text of a data-folder file in a malloc'd NUL-terminated buffer (the caller frees
// it), or null for a null name, a missing file or an empty file.
char* readShaderSource(const char* fileName);

// The info log of a shader or program object; empty when GL keeps none.
std::string shaderInfoLog(uint32_t shader);
std::string programInfoLog(uint32_t program);

void loadDefaultShaderProgram();

// The sampler at `location` of the program in use (its UniformTable entry) reads the 2D `texture`
// on texture unit `unit`; `unit` stays the active unit. Location -1 (a failed build, a name the
// program lacks) only binds the texture.
void bindSampler(int location, int unit, uint32_t texture);
