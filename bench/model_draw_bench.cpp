// model-draw-bench [--frames N] [--draws N] [--triangles N] [--mode NAME] [--run-dir DIR]
// CPU cost of a scene that draws one model many times a frame (120 draws of a 5,000-triangle
// model by default) through the model draw family, and how many vertex arrays reach GL:
//   mode <name> frames <n> draws_per_frame <d> cpu_ms_per_frame <x> wall_ms_per_frame <y>
//        us_per_draw <z> array_uploads <u> uploaded_mb <m>
// Modes: "static" (drawModel), "static_uncached" (the same with every array re-sent and every
// uniform name looked up on every draw, as a plain submission would), "static_lean" (drawModel's
// pattern with a program that has the lights but no bone arrays: what the pattern itself costs
// when the driver need not re-send four mat4[64] arrays with every new modelview), "skinned"
// (drawModelFrame at slot 1 of a 32-bone skeleton) and "shadowed" (drawStaticModelShadowed).
// --mode runs one of them only. Run with GALLIUM_NOOP=1 so the figures are the submission cost alone. DIR is the run
// directory holding data/ (default: run/ beside the executable).
#include "app/tool_cli.h"
#include "core/screen_frame.h"  // SCREEN_WIDTH, SCREEN_HEIGHT: the bench window
#include "gfx/model.h"
#include "gfx/shadow_map.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "render/legacy_programs.h"
#include "render/lights.h"
#include "render/model_draw.h"
#include "tests/draw_test_support.h"  // addSkeleton, buildProgram
#include "app/run_faults.h"

#include <SDL.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

static double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1.0e6;
}

static double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A wavy sheet of `triangles` triangles with normals, tangents and texture coordinates.
static void buildSheet(Model& model, int triangles)
{
    allocModelVertexArrays(model, triangles);
    int columns = static_cast<int>(std::sqrt(triangles / 2.0)) + 1;
    for (int t = 0; t < triangles; ++t) {
        int cell = t / 2, col = cell % columns, row = cell / columns;
        float x0 = col * 0.05f, y0 = row * 0.05f;
        float corners[3][2];
        if (t % 2 == 0) {
            float c[3][2] = {{x0, y0}, {x0 + 0.05f, y0}, {x0 + 0.05f, y0 + 0.05f}};
            std::memcpy(corners, c, sizeof c);
        } else {
            float c[3][2] = {{x0, y0}, {x0 + 0.05f, y0 + 0.05f}, {x0, y0 + 0.05f}};
            std::memcpy(corners, c, sizeof c);
        }
        for (int k = 0; k < 3; ++k) {
            size_t v = static_cast<size_t>(t) * 3 + k;
            float x = corners[k][0], y = corners[k][1];
            model.positions[v * 3 + 0] = x;
            model.positions[v * 3 + 1] = y;
            model.positions[v * 3 + 2] = 0.1f * std::sin(x * 5.0f) * std::cos(y * 5.0f);
            model.normals[v * 3 + 2] = 1.0f;
            model.texcoords[v * 2 + 0] = x;
            model.texcoords[v * 2 + 1] = y;
            model.tangents[v * 3 + 0] = 1.0f;
            model.handedness[v] = 1.0f;
        }
    }
    markModelVertexDataChanged(model);
}

// The tests' zero skeleton, each vertex then spread over two bones and the rotations made
// non-zero, so the pose work is not all zeros.
static void addBenchSkeleton(Model& model, int bones, int frames)
{
    drawtest::addSkeleton(model, bones, frames);
    size_t vertices = static_cast<size_t>(model.triangleCount) * 3;
    for (size_t v = 0; v < vertices; ++v) {
        model.boneIndices[v * 4] = static_cast<float>(v % bones);
        model.boneIndices[v * 4 + 1] = static_cast<float>((v + 1) % bones);
        model.boneWeights[v * 4] = 0.75f;
        model.boneWeights[v * 4 + 1] = 0.25f;
    }
    for (size_t i = 0; i < model.eulerRel.size(); ++i)
        model.eulerRel[i] = static_cast<float>(i % 37);
    markModelVertexDataChanged(model);
}

enum BenchMode { MODE_STATIC, MODE_STATIC_UNCACHED, MODE_STATIC_LEAN, MODE_SKINNED, MODE_SHADOWED };

// The legacy program's inputs without the bone arrays.
static const char* const LEAN_VERTEX = R"(#version 330 compatibility
layout(location = 0) in vec3 vertexPosition;
layout(location = 1) in vec3 vertexNormal;
layout(location = 2) in vec2 textureCoord;
uniform int hasAnim;
uniform mat4 depthMVP;
out vec3 normal;
out vec2 uv;
out vec4 lightSpace;
void main() {
    normal = gl_NormalMatrix * vertexNormal;
    uv = textureCoord + vec2(float(hasAnim));
    lightSpace = depthMVP * vec4(vertexPosition, 1.0);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(vertexPosition, 1.0);
}
)";
static const char* const LEAN_FRAGMENT = R"(#version 330 compatibility
in vec3 normal;
in vec2 uv;
in vec4 lightSpace;
uniform sampler2D colorMap, normalMap, lightMap, specularMap;
uniform vec4 glColor;
uniform float lightsEnabled[14], lightsinvRadius[14], lightMapSelect[14], lightsPosx[14], lightsPosy[14];
uniform float lightsPosz[14], lightsAmbientr[14], lightsAmbientg[14], lightsAmbientb[14];
uniform float lightsDiffuser[14], lightsDiffuseg[14], lightsDiffuseb[14];
uniform float lightsSpecularr[14], lightsSpecularg[14], lightsSpecularb[14];
void main() {
    float s = 0.0;
    for (int i = 0; i < 14; ++i)
        s += lightsEnabled[i] * (lightsinvRadius[i] + lightMapSelect[i] + lightsPosx[i] + lightsPosy[i]
           + lightsPosz[i] + lightsAmbientr[i] + lightsAmbientg[i] + lightsAmbientb[i] + lightsDiffuser[i]
           + lightsDiffuseg[i] + lightsDiffuseb[i] + lightsSpecularr[i] + lightsSpecularg[i] + lightsSpecularb[i]);
    gl_FragColor = glColor * (texture(colorMap, uv) + texture(normalMap, uv) + texture(lightMap, uv)
                 + texture(specularMap, uv)) * s * normalize(normal).z + lightSpace * 1e-6;
}
)";

static uint32_t leanProgram = 0;

static void drawOnce(Model& model, BenchMode mode)
{
    switch (mode) {
    case MODE_STATIC:
        drawModel(model);
        break;
    case MODE_STATIC_UNCACHED:
        markModelVertexDataChanged(model);
        forgetProgramUniforms(vboShaderProgram);
        drawModel(model);
        break;
    case MODE_STATIC_LEAN:
        drawSkinnedModel(model, 0, static_cast<int>(leanProgram));
        break;
    case MODE_SKINNED:
        drawModelFrame(model, 1);
        break;
    case MODE_SHADOWED:
        drawStaticModelShadowed(model, -1);
        break;
    }
}

static void runMode(const char* name, Model& model, BenchMode mode, int frames, int draws)
{
    // One frame to warm up (first uploads and location look-ups count below).
    ModelDrawStats before = modelDrawStats;
    double cpuTotal = 0, wallTotal = 0;
    for (int f = 0; f <= frames; ++f) {
        double cpu0 = cpuMs(), wall0 = wallMs();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int d = 0; d < draws; ++d) {
            glPushMatrix();
            glTranslatef(static_cast<float>(d % 12) * 0.3f - 1.8f, static_cast<float>(d / 12) * 0.3f - 1.5f, -6.0f);
            drawOnce(model, mode);
            glPopMatrix();
        }
        glFinish();
        if (f > 0) {
            cpuTotal += cpuMs() - cpu0;
            wallTotal += wallMs() - wall0;
        }
    }
    uint64_t uploads = modelDrawStats.arrayUploads - before.arrayUploads;
    double megabytes = static_cast<double>(modelDrawStats.uploadedBytes - before.uploadedBytes) / (1024.0 * 1024.0);
    std::printf("mode %s frames %d draws_per_frame %d cpu_ms_per_frame %.3f wall_ms_per_frame %.3f "
                "us_per_draw %.2f array_uploads %llu uploaded_mb %.1f\n",
                name, frames, draws, cpuTotal / frames, wallTotal / frames, cpuTotal * 1000.0 / frames / draws,
                static_cast<unsigned long long>(uploads), megabytes);
    std::fflush(stdout);
}

int main(int argc, char** argv)
{
    CLI::App app{"CPU cost of one model drawn many times a frame through the model draw family, and how\n"
                 "many vertex arrays reach GL. Run with GALLIUM_NOOP=1 so the figures are the submission\n"
                 "cost alone.",
                 "model-draw-bench"};
    useToolRules(app);
    int frames = 100, draws = 120, triangles = 5000;
    std::string runDir, only;
    app.add_option("--frames", frames, "frames per mode")->type_name("N")->check(wholeNumberFrom(1, 100000))
        ->capture_default_str();
    app.add_option("--draws", draws, "draws a frame")->type_name("N")->check(wholeNumberFrom(1, 100000))
        ->capture_default_str();
    app.add_option("--triangles", triangles, "triangles of the model")
        ->type_name("N")
        ->check(wholeNumberFrom(2, 10000000))
        ->capture_default_str();
    app.add_option("--mode", only, "run one mode only")
        ->type_name("NAME")
        ->check(CLI::Validator(
            [](std::string& name) {
                for (const char* mode : {"static", "static_uncached", "static_lean", "skinned", "shadowed"})
                    if (name == mode)
                        return std::string();
                return "no mode named " + name + " (static, static_uncached, static_lean, skinned, shadowed)";
            },
            ""));
    app.add_option("--run-dir", runDir, "the run directory holding data/ (default: run/ beside the executable)")
        ->type_name("DIR");
    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;
    if (runDir.empty()) {
        char* base = SDL_GetBasePath();
        runDir = std::string(base ? base : "./") + "run";
        SDL_free(base);
    }
    if (chdir(runDir.c_str()) != 0) {
        std::fprintf(stderr, "model-draw-bench: cannot enter %s\n", runDir.c_str());
        return 1;
    }

    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "model-draw-bench: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Window* window =
        SDL_CreateWindow("model-draw-bench", 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context || !resolveGlFunctions()) {
        std::fprintf(stderr, "model-draw-bench: no OpenGL 4.5 context: %s\n", SDL_GetError());
        return 1;
    }

    // Start-up's share: the programs, a texture set, a lit preset.
    initLegacyShaders();
    initShadowPrograms();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    applyLightPreset(6);
    leanProgram = drawtest::buildProgram(LEAN_VERTEX, LEAN_FRAGMENT);
    if (leanProgram == 0)
        std::fprintf(stderr, "model-draw-bench: the lean program does not link\n");
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 16.0 / 9.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);

    Model sheet;
    buildSheet(sheet, triangles);
    sheet.textureSet = loadTextureSet("benchsheet");
    Model skinned;
    buildSheet(skinned, triangles);
    addBenchSkeleton(skinned, 32, 3);
    skinned.textureSet = sheet.textureSet;
    std::printf("model triangles %d vertex_bytes %d\n", triangles, triangles * (36 + 36 + 24 + 36 + 12));

    struct Run {
        const char* name;
        Model* model;
        BenchMode mode;
    } runs[] = {{"static", &sheet, MODE_STATIC},
                {"static_uncached", &sheet, MODE_STATIC_UNCACHED},
                {"static_lean", &sheet, MODE_STATIC_LEAN},
                {"skinned", &skinned, MODE_SKINNED},
                {"shadowed", &sheet, MODE_SHADOWED}};
    for (const Run& r : runs)
        if (only.empty() || only == r.name)
            runMode(r.name, *r.model, r.mode, frames, draws);

    GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        std::printf("gl_error 0x%x\n", error);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return toolRunStatus("model-draw-bench");
}
