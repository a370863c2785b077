// The shader loader and the GLSL sources of the data folder: every pair the engine builds
// compiles and links with the names the draws upload; missing, empty and broken sources give
// program 0 with their messages and logs.
#include "gfx/model.h"  // MODEL_ATTRIBUTE_BONES
#include "gfx/shaders.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Shader files written below the run directory's data folder for one case, removed after it.
struct ScratchShaders {
    std::string folder = "shader_test_" + std::to_string(getpid());
    ScratchShaders() { std::filesystem::create_directories("data/" + folder); }
    ~ScratchShaders()
    {
        std::error_code ignored;
        std::filesystem::remove_all("data/" + folder, ignored);
    }
    // Writes data/<folder>/<name> and returns the name to load it by.
    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream("data/" + folder + "/" + name, std::ios::binary) << text;
        return folder + "/" + name;
    }
};

const char* const GOOD_VERTEX = "#version 330 compatibility\n"
                                "void main() { gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex; }\n";
const char* const GOOD_FRAGMENT = "#version 330 compatibility\n"
                                  "void main() { gl_FragColor = vec4(1.0); }\n";

struct LoadResult {
    uint32_t program;
    std::string output;
};

LoadResult loadCaptured(const std::string& vertex, const std::string& fragment)
{
    testing::internal::CaptureStdout();
    uint32_t program = shaderLoader.load(vertex.c_str(), fragment.c_str());
    return {program, testing::internal::GetCapturedStdout()};
}

bool linked(uint32_t program)
{
    GLint status = GL_FALSE;
    if (program)
        glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

const std::vector<const char*> LIGHT_ARRAYS = {
    "lightsEnabled",   "lightsinvRadius", "lightMapSelect", "lightsPosx",     "lightsPosy",
    "lightsPosz",      "lightsAmbientr",  "lightsAmbientg", "lightsAmbientb", "lightsDiffuser",
    "lightsDiffuseg",  "lightsDiffuseb",  "lightsSpecularr", "lightsSpecularg", "lightsSpecularb",
};
const std::vector<std::pair<const char*, int>> MODEL_ATTRIBUTES = {
    {"vertexPosition", 0}, {"vertexNormal", 1}, {"textureCoord", 2}, {"vertexTangent", 3},
    {"vertexTangentHandedness", 4}, {"vertexBones", 5}, {"vertexWeights", 6},
};

std::vector<const char*> withLights(std::vector<const char*> names)
{
    names.insert(names.end(), LIGHT_ARRAYS.begin(), LIGHT_ARRAYS.end());
    return names;
}

struct ProgramCase {
    const char* vertex;
    const char* fragment;
    std::vector<const char*> uniforms;                   // must be active: the draws upload them
    std::vector<std::pair<const char*, int>> attributes;  // must sit at these locations
};

const char* const SCREEN_VERTEX = "Passthroughvertexshader.vert";
const char* const MIX_VERTEX = "passthroughvertexshader.vert";

std::vector<ProgramCase> programCases()
{
    const std::vector<const char*> lit = withLights({"depthBiasMVP", "bias", "glColor", "Light", "colorMap",
                                                     "normalMap", "lightMap", "shadowMap", "hasAnim", "boneRot",
                                                     "bonePos", "boneRPos"});
    std::vector<const char*> litFog = lit;
    litFog.push_back("fogzfactor");
    return {
        {"shader.vert", "shader.frag",
         {"colorMap", "normalMap", "lightMap", "specularMap", "lightsEnabled", "lightsinvRadius", "lightMapSelect"},
         {{"vTangent", 3}}},
        {SCREEN_VERTEX, "screenfx.frag", {"colorMap"}, {}},
        {SCREEN_VERTEX, "treshold.frag", {"colorMap", "maskMap", "maskx", "masky"}, {}},
        {SCREEN_VERTEX, "hblur.frag", {"colorMap"}, {}},
        {SCREEN_VERTEX, "screenblend.frag", {"colorMap", "bloomMap"}, {}},
        {SCREEN_VERTEX, "screenshade.frag",
         {"colorMap", "shadeMap", "scanlines", "noisepic", "shadetone", "noisex", "noisey"}, {}},
        {SCREEN_VERTEX, "motionblur.frag", {"colorMap1", "colorMap2", "blurframes"}, {}},
        {SCREEN_VERTEX, "passthroughfragmentshader.frag", {"colorMap"}, {}},
        {SCREEN_VERTEX, "offsetx.frag", {"colorMap", "offsetMap", "amp", "scroll", "scrolly"}, {}},
        {SCREEN_VERTEX, "lens.frag", {"colorMap", "lensfactor"}, {}},
        {SCREEN_VERTEX, "colorgradient.frag", {"colorMap", "shadeMap", "shadetone"}, {}},
        {MIX_VERTEX, "passthroughfragmentshader.frag", {"colorMap"}, {}},
        {MIX_VERTEX, "dofblur.frag", {"depthMap", "colorMap", "blurintensity"}, {}},
        {MIX_VERTEX, "nukefx.frag", {"nukecircleMap", "colorMap", "xc", "yc"}, {}},
        {MIX_VERTEX, "viewmix.frag", {"colorMap", "colorMap2", "xc"}, {}},
        {"tutorial2.vert", "dofblur1.frag", {}, {{"vertexPosition", 0}}},
        {"shmappass1.vert", "shmappass1.frag", {"depthMVP", "hasAnim", "boneRot", "bonePos", "boneRPos"},
         {{"vertexPosition", 0}, {"vertexBones", 5}, {"vertexWeights", 6}}},
        {"shmappass2.vert", "shmappass2.frag", lit, MODEL_ATTRIBUTES},
        {"shmappass2fog.vert", "shmappass2fog.frag", litFog, MODEL_ATTRIBUTES},
        {"shmappass2fog.vert", "shmappass2specular.frag", litFog, MODEL_ATTRIBUTES},
    };
}

TEST(ShaderPrograms, EveryPairOfTheDataFolderLinksWithItsInterface)
{
    REQUIRE_GL_CONTEXT();
    for (const ProgramCase& c : programCases()) {
        SCOPED_TRACE(std::string(c.vertex) + " + " + c.fragment);
        LoadResult result = loadCaptured(c.vertex, c.fragment);
        ASSERT_NE(result.program, 0u) << result.output;
        EXPECT_TRUE(linked(result.program));
        EXPECT_EQ(result.output.find("ERROR"), std::string::npos) << result.output;
        for (const char* name : c.uniforms)
            EXPECT_GE(glGetUniformLocation(result.program, name), 0) << "uniform " << name;
        for (const auto& attribute : c.attributes)
            EXPECT_EQ(glGetAttribLocation(result.program, attribute.first), attribute.second)
                << "attribute " << attribute.first;
        // The skinned model passes have builds with smaller bone arrays and the rest of their
        // interface.
        const std::string vertex = c.vertex;
        const bool modelPass = vertex == "shmappass1.vert" || vertex == "shmappass2.vert" ||
                               vertex == "shmappass2fog.vert" || vertex == "tutorial2.vert" ||
                               vertex == "volumetric.vert";
        const ModelBuildFamily* family = modelBuildFamily(result.program);
        ASSERT_EQ(family != nullptr, modelPass);
        if (!family)
            continue;
        EXPECT_EQ(family->builds[MODEL_BUILD_COUNT - 1], result.program);
        for (int k = 0; k < MODEL_BUILD_COUNT; ++k) {
            const uint32_t build = family->builds[k];
            const int bones = MODEL_BUILD_BONES[k];
            SCOPED_TRACE("the build of " + std::to_string(bones) + " bones");
            ASSERT_NE(build, 0u);
            EXPECT_TRUE(linked(build));
            EXPECT_EQ(modelBuildFamily(build), family);
            for (const char* name : c.uniforms) {
                const bool boneUniform = std::string(name) == "hasAnim" || std::string(name).compare(0, 4, "bone") == 0;
                EXPECT_EQ(glGetUniformLocation(build, name) >= 0, bones > 0 || !boneUniform) << "uniform " << name;
            }
            if (bones > 0) {
                const std::string last = "boneRot[" + std::to_string(bones - 1) + "]";
                const std::string past = "boneRot[" + std::to_string(bones) + "]";
                EXPECT_GE(glGetUniformLocation(build, last.c_str()), 0);
                EXPECT_EQ(glGetUniformLocation(build, past.c_str()), -1);
            }
            for (const auto& attribute : c.attributes) {
                if (bones > 0 || attribute.second < MODEL_ATTRIBUTE_BONES) {
                    EXPECT_EQ(glGetAttribLocation(build, attribute.first), attribute.second)
                        << "attribute " << attribute.first;
                }
            }
        }
    }
}

TEST(ShaderLoader, PrintsTheNamesAndTheIdOfEachBuild)
{
    REQUIRE_GL_CONTEXT();
    LoadResult first = loadCaptured("shader.vert", "shader.frag");
    LoadResult second = loadCaptured("shader.vert", "shader.frag");
    ASSERT_NE(first.program, 0u);
    EXPECT_NE(first.program, second.program);
    EXPECT_EQ(first.output, "shader init... shader.vert,shader.frag\n" + std::to_string(first.program) + "\n");
    EXPECT_EQ(second.output, "shader init... shader.vert,shader.frag\n" + std::to_string(second.program) + "\n");
    EXPECT_EQ(shaderLoader.program, second.program);
}

TEST(ShaderLoader, MissingOrEmptySourceGivesProgramZeroAndSaysWhich)
{
    REQUIRE_GL_CONTEXT();
    ExpectedShaderBuildFailures expected;
    ScratchShaders scratch;
    const std::string good = scratch.write("good.vert", GOOD_VERTEX);
    const std::string goodFragment = scratch.write("good.frag", GOOD_FRAGMENT);
    const std::string empty = scratch.write("empty.frag", "");
    const struct {
        std::string vertex;
        std::string fragment;
        std::string message;
    } cases[] = {
        {scratch.folder + "/absent.vert", goodFragment, "vertex shader file " + scratch.folder + "/absent.vert not found\n"},
        {good, scratch.folder + "/absent.frag", "fragment shader file " + scratch.folder + "/absent.frag not found\n"},
        {good, empty, "fragment shader file " + empty + " is empty\n"},
        {good, "", "fragment shader file  not found\n"},  // the data folder itself is no file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vertex + " + " + c.fragment);
        LoadResult result = loadCaptured(c.vertex, c.fragment);
        EXPECT_EQ(result.program, 0u);
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("Either vertex shader or fragment shader file not found.\n"), std::string::npos);
        EXPECT_EQ(result.output.find("ERROR"), std::string::npos) << "nothing is compiled";
        EXPECT_EQ(shaderLoader.program, 0u);
    }
}

TEST(ShaderLoader, FailedBuildsReportTheirLogAndGiveProgramZero)
{
    REQUIRE_GL_CONTEXT();
    ExpectedShaderBuildFailures expected;
    ScratchShaders scratch;
    const std::string good = scratch.write("good.vert", GOOD_VERTEX);
    const std::string goodFragment = scratch.write("good.frag", GOOD_FRAGMENT);
    const std::string brokenFragment =
        scratch.write("broken.frag", "#version 330 compatibility\nvoid main() { gl_FragColor = undefinedThing; }\n");
    const std::string brokenVertex =
        scratch.write("broken.vert", "#version 330 compatibility\nvoid main() { gl_Position = 1.0 +; }\n");
    // Both compile, but the fragment shader calls a function that no shader defines.
    const std::string unlinkable =
        scratch.write("unlinkable.frag", "#version 330 compatibility\nvec4 neverDefined();\n"
                                         "void main() { gl_FragColor = neverDefined(); }\n");
    const struct {
        std::string vertex;
        std::string fragment;
        std::vector<std::string> expected;
        std::vector<std::string> absent;
    } cases[] = {
        {good, brokenFragment, {"SHADER ERROR ", "undefinedThing", "SHADER LINK ERROR "}, {"VERTEX SHADER ERROR"}},
        {brokenVertex, goodFragment, {"VERTEX SHADER ERROR ", "SHADER LINK ERROR "}, {"\nSHADER ERROR"}},
        {good, unlinkable, {"SHADER LINK ERROR " + good + "," + unlinkable + "\n", "neverDefined"}, {"SHADER ERROR"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vertex + " + " + c.fragment);
        LoadResult result = loadCaptured(c.vertex, c.fragment);
        EXPECT_EQ(result.program, 0u);
        EXPECT_EQ(shaderLoader.program, 0u);
        for (const std::string& text : c.expected)
            EXPECT_NE(result.output.find(text), std::string::npos) << text << " in\n" << result.output;
        for (const std::string& text : c.absent)
            EXPECT_EQ(result.output.find(text), std::string::npos) << text << " in\n" << result.output;
        EXPECT_EQ(result.output.substr(result.output.size() - 2), "0\n");
    }
}

TEST(ShaderLoader, InfoLogOfAShaderWithoutLogIsEmpty)
{
    REQUIRE_GL_CONTEXT();
    GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    const GLchar* text = GOOD_FRAGMENT;
    glShaderSource(shader, 1, &text, nullptr);
    // Before compiling GL keeps no log at all (length 0).
    EXPECT_EQ(shaderInfoLog(shader), "");
    glCompileShader(shader);
    std::string log = shaderInfoLog(shader);
    EXPECT_EQ(log.find('\0'), std::string::npos);
    glDeleteShader(shader);
}

TEST(ShaderLoader, ReadsSourcesWholeAndFlagsFoundFiles)
{
    ScratchShaders scratch;
    const std::string text(5000, 'x');
    const std::string whole = scratch.write("whole.vert", text);
    const std::string empty = scratch.write("empty.vert", "");

    char* source = readShaderSource(whole.c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(std::string(source), text);
    EXPECT_EQ(shaderSourceFound, 1);
    std::free(source);

    EXPECT_EQ(readShaderSource(empty.c_str()), nullptr);
    EXPECT_EQ(shaderSourceFound, 1);
    EXPECT_EQ(readShaderSource((scratch.folder + "/absent.vert").c_str()), nullptr);
    EXPECT_EQ(shaderSourceFound, 0);
    shaderSourceFound = 1;
    EXPECT_EQ(readShaderSource(nullptr), nullptr);
    EXPECT_EQ(shaderSourceFound, 0);
}

TEST(ShaderLoader, UseZeroIsUnuse)
{
    REQUIRE_GL_CONTEXT();
    uint32_t program = shaderLoader.load("shader.vert", "shader.frag");
    ASSERT_NE(program, 0u);
    for (uint32_t id : {program, 0u}) {
        shaderLoader.use(program);
        EXPECT_EQ(shaderLoader.current(), static_cast<int>(program));
        if (id)
            shaderLoader.unuse();
        else
            shaderLoader.use(0);
        GLint current = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(current, 0);
        EXPECT_EQ(shaderLoader.current(), 0);
    }
    // A direct glUseProgram is not followed.
    glUseProgram(program);
    EXPECT_EQ(shaderLoader.current(), 0);
    glUseProgram(0);
}

TEST(ShaderLoader, LoadWithAttributesPinsItsThreeNamesQuietly)
{
    REQUIRE_GL_CONTEXT();
    ExpectedShaderBuildFailures expected;
    ScratchShaders scratch;
    const std::string vertex = scratch.write(
        "attributes.vert", "#version 330 compatibility\nin vec3 vertex_uv;\nin vec3 vertex_normal;\nin vec3 vertex_coo;\n"
                           "out vec3 mixed;\nvoid main() { mixed = vertex_uv + vertex_normal;\n"
                           "gl_Position = vec4(vertex_coo, 1.0); }\n");
    const std::string fragment = scratch.write(
        "attributes.frag", "#version 330 compatibility\nin vec3 mixed;\nvoid main() { gl_FragColor = vec4(mixed, 1.0); }\n");
    testing::internal::CaptureStdout();
    uint32_t program = shaderLoader.loadWithAttributes(vertex.c_str(), fragment.c_str());
    std::string output = testing::internal::GetCapturedStdout();
    ASSERT_NE(program, 0u);
    EXPECT_EQ(output, "");
    EXPECT_EQ(glGetAttribLocation(program, "vertex_coo"), 0);
    EXPECT_EQ(glGetAttribLocation(program, "vertex_normal"), 1);
    EXPECT_EQ(glGetAttribLocation(program, "vertex_uv"), 2);

    testing::internal::CaptureStdout();
    EXPECT_EQ(shaderLoader.loadWithAttributes(vertex.c_str(), (scratch.folder + "/absent.frag").c_str()), 0u);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Either vertex shader or fragment shader file not found."),
              std::string::npos);
}

TEST(ShaderLoader, DestroyReleasesOnlyTheLastBuild)
{
    REQUIRE_GL_CONTEXT();
    ShaderProgram loader;
    testing::internal::CaptureStdout();
    uint32_t first = loader.load("shader.vert", "shader.frag");
    uint32_t second = loader.create("shader.vert", "shader.frag");
    testing::internal::GetCapturedStdout();
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    uint32_t lastVertex = loader.vertexShader;
    loader.destroy();
    EXPECT_TRUE(glIsProgram(first));
    EXPECT_FALSE(glIsProgram(second));
    EXPECT_FALSE(glIsShader(lastVertex));
    EXPECT_EQ(loader.program, 0u);
    loader.destroy();  // a second teardown finds nothing to release
    glDeleteProgram(first);
}

}  // namespace
