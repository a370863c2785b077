// Small fixtures for the model draw tests: Model records built in code, solid-colour textures,
// a texture set that is taken back after the case, programs compiled from strings, a probe
// program and a perspective view of the origin.
#pragma once

#include "gfx/model.h"
#include "gfx/shaders.h"  // modelBuildFamily
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "render/lights.h"
#include "render/model_draw.h"
#include "tests/gl_test_context.h"  // readPixelsRgba

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace drawtest {

struct Vec3 {
    float x, y, z;
};

// Appends one triangle with a flat normal, texture coordinates (0,0) (1,0) (0,1) and the
// tangent along its first edge.
inline void addTriangle(std::vector<float>& p, std::vector<float>& n, std::vector<float>& t,
                        std::vector<float>& tan, Vec3 a, Vec3 b, Vec3 c, Vec3 normal)
{
    for (Vec3 v : {a, b, c}) {
        p.insert(p.end(), {v.x, v.y, v.z});
        n.insert(n.end(), {normal.x, normal.y, normal.z});
    }
    t.insert(t.end(), {0, 0, 1, 0, 0, 1});
    Vec3 e{b.x - a.x, b.y - a.y, b.z - a.z};
    for (int i = 0; i < 3; ++i)
        tan.insert(tan.end(), {e.x, e.y, e.z});
}

// A model from triangle arrays built with addTriangle; handedness +1.
inline void fillModel(Model& model, const std::vector<float>& p, const std::vector<float>& n,
                      const std::vector<float>& t, const std::vector<float>& tan)
{
    int triangles = static_cast<int>(p.size() / 9);
    allocModelVertexArrays(model, triangles);
    model.positions = p;
    model.normals = n;
    model.texcoords = t;
    model.tangents = tan;
    model.handedness.assign(static_cast<size_t>(triangles) * 3, 1.0f);
    markModelVertexDataChanged(model);
}

// An axis-aligned quad (two triangles) in the plane `axis` = `at`, facing +axis when
// `facing` > 0, spanning lo..hi on the other two axes.
inline void addQuad(std::vector<float>& p, std::vector<float>& n, std::vector<float>& t,
                    std::vector<float>& tan, int axis, float at, float facing, float lo0, float hi0,
                    float lo1, float hi1)
{
    auto point = [&](float u, float v) {
        float c[3];
        c[axis] = at;
        c[(axis + 1) % 3] = u;
        c[(axis + 2) % 3] = v;
        return Vec3{c[0], c[1], c[2]};
    };
    float nn[3] = {0, 0, 0};
    nn[axis] = facing > 0 ? 1.0f : -1.0f;
    Vec3 normal{nn[0], nn[1], nn[2]};
    Vec3 a = point(lo0, lo1), b = point(hi0, lo1), c = point(hi0, hi1), d = point(lo0, hi1);
    if (facing > 0) {
        addTriangle(p, n, t, tan, a, b, c, normal);
        addTriangle(p, n, t, tan, a, c, d, normal);
    } else {
        addTriangle(p, n, t, tan, a, c, b, normal);
        addTriangle(p, n, t, tan, a, d, c, normal);
    }
}

// A model of `triangles` small triangles in a strip (for upload counts and timing).
inline void makeStripModel(Model& model, int triangles)
{
    std::vector<float> p, n, t, tan;
    for (int i = 0; i < triangles; ++i) {
        float x = static_cast<float>(i % 100) * 0.01f;
        float y = static_cast<float>(i / 100) * 0.01f;
        addTriangle(p, n, t, tan, {x, y, 0}, {x + 0.01f, y, 0}, {x, y + 0.01f, 0}, {0, 0, 1});
    }
    fillModel(model, p, n, t, tan);
}

// Adds a skeleton of `bones` bones and `frames` slots (all zero) and weights every vertex
// fully to bone 0.
inline void addSkeleton(Model& model, int bones, int frames)
{
    size_t vertices = static_cast<size_t>(model.triangleCount) * 3;
    *model.animFlag = 1;
    model.boneCount = bones;
    model.frameCount = frames;
    model.boneIndices.assign(vertices * 4, 0.0f);
    model.boneWeights.assign(vertices * 4, 0.0f);
    for (size_t v = 0; v < vertices; ++v)
        model.boneWeights[v * 4] = 1.0f;
    size_t triples = static_cast<size_t>(bones) * frames * 3;
    model.eulerRel.assign(triples, 0.0f);
    model.bindPos.assign(triples, 0.0f);
    model.relPos.assign(triples, 0.0f);
    model.boneInterpolate.assign(static_cast<size_t>(bones), 1);
    model.poses.assign(static_cast<size_t>(bones) * frames, BonePose{});
    for (std::vector<float>* m : {&model.bonePosMatrices, &model.boneRPosMatrices, &model.boneRotMatrices,
                                  &model.boneSclMatrices})
        m->assign(static_cast<size_t>(BONE_MATRIX_SLOTS) * MATRIX_FLOATS, 0.0f);
    markModelVertexDataChanged(model);
}

inline uint32_t solidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    const uint8_t texel[16] = {r, g, b, a, r, g, b, a, r, g, b, a, r, g, b, a};
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return id;
}

// One texture-set entry for the case; the table's count is put back afterwards.
struct ScratchTextureSet {
    int32_t savedCount;
    int32_t index;
    ScratchTextureSet(uint32_t base, uint32_t normal, uint32_t chraber, uint32_t specular)
        : savedCount(textureSetCount), index(textureSetCount)
    {
        TextureSet& set = textureSets[index];
        std::memset(&set, 0, sizeof set);
        std::strcpy(set.name, "drawtest");
        set.baseTexture = base;
        set.normalTexture = normal;
        set.chraberTexture = chraber;
        set.specularTexture = specular;
        textureSetCount = index + 1;
    }
    ~ScratchTextureSet() { textureSetCount = savedCount; }
};

// A program from two sources; 0 (with the log in `log`) when it does not build.
inline uint32_t buildProgram(const char* vertex, const char* fragment, std::string* log = nullptr)
{
    auto compile = [&](GLenum kind, const char* source) {
        GLuint shader = glCreateShader(kind);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        GLint ok = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok && log) {
            char text[4096] = {};
            glGetShaderInfoLog(shader, sizeof text, nullptr, text);
            *log += text;
        }
        return shader;
    };
    GLuint vs = compile(GL_VERTEX_SHADER, vertex);
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragment);
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        if (log) {
            char text[4096] = {};
            glGetProgramInfoLog(program, sizeof text, nullptr, text);
            *log += text;
        }
        glDeleteProgram(program);
        program = 0;
    }
    glDeleteShader(vs);
    glDeleteShader(fs);
    return program;
}

inline bool programLinked(uint32_t program)
{
    GLint status = GL_FALSE;
    if (program != 0 && glIsProgram(program))
        glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

inline std::vector<float> uniformFloats(uint32_t program, const std::string& name, int count)
{
    std::vector<float> values(static_cast<size_t>(count), -12345.0f);
    GLint location = glGetUniformLocation(program, name.c_str());
    if (location >= 0)
        glGetUniformfv(program, location, values.data());
    return values;
}

// The program a model draw of `bones` bones runs (0 unskinned).
inline uint32_t drawnBuild(uint32_t program, int bones)
{
    const ModelBuildFamily* family = modelBuildFamily(program);
    return family ? smallestModelBuild(*family, bones) : program;
}

inline int uniformInt(uint32_t program, const char* name)
{
    GLint value = -12345;
    GLint location = glGetUniformLocation(program, name);
    if (location >= 0)
        glGetUniformiv(program, location, &value);
    return value;
}

// Deletes a program made by buildProgram and drops what the draws keep about it.
inline void deleteTestProgram(uint32_t program)
{
    glDeleteProgram(program);
    forgetProgramUniforms(program);
}

// Drains the GL error queue; the first error, or GL_NO_ERROR.
inline GLenum takeGlError()
{
    GLenum first = glGetError();
    for (GLenum e = first; e != GL_NO_ERROR; e = glGetError()) {
    }
    return first;
}

// A program in which every uniform and attribute of the model submissions (plain, shadowed,
// blended) is active, so each upload can be read back.
const char* const PROBE_VERTEX = R"(#version 330 compatibility
layout(location = 0) in vec3 vertexPosition;
layout(location = 1) in vec3 vertexNormal;
layout(location = 2) in vec2 textureCoord;
layout(location = 3) in vec3 vertexTangent;
layout(location = 4) in float vertexTangentHandedness;
layout(location = 5) in vec4 vertexBones;
layout(location = 6) in vec4 vertexWeights;
uniform int hasAnim;
uniform mat4 boneRPos[64];
uniform mat4 bonePos[64];
uniform mat4 boneRot[64];
uniform mat4 boneScl[64];
uniform mat4 depthMVP;
uniform mat4 depthBiasMVP;
uniform vec4 glColor;
uniform vec4 Light;
uniform float bias;
uniform float fogzfactor;
uniform float ycoofade;
uniform float lightsEnabled[14], lightsinvRadius[14], lightMapSelect[14];
uniform float lightsPosx[14], lightsPosy[14], lightsPosz[14];
uniform float lightsAmbientr[14], lightsAmbientg[14], lightsAmbientb[14];
uniform float lightsDiffuser[14], lightsDiffuseg[14], lightsDiffuseb[14];
uniform float lightsSpecularr[14], lightsSpecularg[14], lightsSpecularb[14];
out vec4 probe;
void main() {
    int b = int(vertexBones.x);
    float s = float(hasAnim) + boneRPos[b][0][0] + bonePos[b][1][1] + boneRot[b][2][2] + boneScl[b][3][3]
            + depthMVP[0][0] + depthBiasMVP[1][1] + Light.x + bias + fogzfactor + ycoofade
            + vertexNormal.x + textureCoord.x + vertexTangent.x + vertexTangentHandedness + vertexWeights.x;
    for (int i = 0; i < 14; ++i)
        s += lightsEnabled[i] + lightsinvRadius[i] + lightMapSelect[i] + lightsPosx[i] + lightsPosy[i]
           + lightsPosz[i] + lightsAmbientr[i] + lightsAmbientg[i] + lightsAmbientb[i] + lightsDiffuser[i]
           + lightsDiffuseg[i] + lightsDiffuseb[i] + lightsSpecularr[i] + lightsSpecularg[i] + lightsSpecularb[i];
    probe = glColor * s;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(vertexPosition, 1.0);
}
)";
const char* const PROBE_FRAGMENT = R"(#version 330 compatibility
in vec4 probe;
uniform sampler2D colorMap, normalMap, lightMap, specularMap, shadowMap;
void main() {
    vec2 c = vec2(0.5);
    gl_FragColor = probe * 1e-6 + texture(colorMap, c) + texture(normalMap, c) + texture(lightMap, c)
                 + texture(specularMap, c) + texture(shadowMap, c);
}
)";

// A 1920 x 1080 perspective view of the origin from the eye on the window, cleared to black.
struct PerspectiveView {
    PerspectiveView(double eyeX, double eyeY, double eyeZ)
    {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 1920, 1080);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        gluPerspective(45.0, 1920.0 / 1080.0, 0.1, 100.0);
        gluLookAt(eyeX, eyeY, eyeZ, 0, 0, 0, 0, 1, 0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
    }
    ~PerspectiveView()
    {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }
    // Red, green and blue of the window pixel that the world point (x, y, z) lands on, under
    // the projection of the view and an identity modelview.
    static std::vector<int> colourAt(double x, double y, double z)
    {
        double mv[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, pr[16], wx, wy, wz;
        GLint vp[4];
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        gluProject(x, y, z, mv, pr, vp, &wx, &wy, &wz);
        std::vector<uint8_t> p = readPixelsRgba(static_cast<int>(wx), static_cast<int>(wy), 1, 1);
        return {p[0], p[1], p[2]};
    }
    static int brightness(double x, double y, double z)
    {
        std::vector<int> c = colourAt(x, y, z);
        return c[0] + c[1] + c[2];
    }
};

}  // namespace drawtest
