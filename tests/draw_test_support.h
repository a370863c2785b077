// Small fixtures for the model draw tests: Model records built in code, solid-colour textures,
// a texture set that is taken back after the case, and programs compiled from strings.
#pragma once

#include "gfx/model.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "render/lights.h"
#include "render/model_draw.h"

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

}  // namespace drawtest
