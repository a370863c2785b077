// The per-program uniform tables the screen passes set their uniforms through.
#include "draw_test_support.h"
#include "gl_test_context.h"

#include "gfx/shaders.h"  // bindSampler
#include "gfx/uniform_table.h"
#include "platform/gl_api.h"

#include <gtest/gtest.h>
#include <string>

using namespace drawtest;

namespace {

const char* const VERTEX = "#version 450 compatibility\nvoid main() { gl_Position = gl_Vertex; }\n";

// A fragment shader reading floats "a", "b" and sampler "map" at the given locations.
std::string fragmentWith(int a, int b, int map)
{
    return "#version 450 compatibility\n"
           "layout(location = " + std::to_string(a) + ") uniform float a;\n"
           "layout(location = " + std::to_string(b) + ") uniform float b;\n"
           "layout(location = " + std::to_string(map) + ") uniform sampler2D map;\n"
           "void main() { gl_FragColor = vec4(a, b, 0.0, 1.0) * texture(map, vec2(0.5)); }\n";
}

enum TestUniform { U_A, U_B, U_MAP, U_MISSING, U_COUNT };
const char* const NAMES[U_COUNT] = {"a", "b", "map", "missing"};

// Links `program` from the vertex and `fragment` sources and detaches them again, so the same
// id can be linked anew.
void linkInto(GLuint program, const std::string& fragment)
{
    GLuint vs = glCreateShader(GL_VERTEX_SHADER);
    GLuint fs = glCreateShader(GL_FRAGMENT_SHADER);
    const char* source = fragment.c_str();
    glShaderSource(vs, 1, &VERTEX, nullptr);
    glShaderSource(fs, 1, &source, nullptr);
    glCompileShader(vs);
    glCompileShader(fs);
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDetachShader(program, vs);
    glDetachShader(program, fs);
    glDeleteShader(vs);
    glDeleteShader(fs);
}

class UniformTableTest : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_GL_CONTEXT(); }
    void TearDown() override { restoreGlDefaults(); }
};

TEST_F(UniformTableTest, HoldsEachNamesLocationAndMinusOneForAMissingName)
{
    struct Case {
        int a, b, map;
    };
    for (const Case& c : {Case{0, 1, 2}, Case{7, 3, 5}}) {
        GLuint program = buildProgram(VERTEX, fragmentWith(c.a, c.b, c.map).c_str());
        ASSERT_NE(program, 0u);
        UniformTable<U_COUNT> table(NAMES);
        table.lookUp(program);
        EXPECT_EQ(table.at[U_A], c.a);
        EXPECT_EQ(table.at[U_B], c.b);
        EXPECT_EQ(table.at[U_MAP], c.map);
        EXPECT_EQ(table.at[U_MISSING], -1);

        // A value set through the table is the one the program holds.
        shaderLoader.use(program);
        glUniform1f(table.of(program)[U_B], 0.25f);
        EXPECT_EQ(uniformFloats(program, "b", 1)[0], 0.25f);
        shaderLoader.unuse();
        glDeleteProgram(program);
    }
}

TEST_F(UniformTableTest, AFailedBuildHasNoLocationsAndRaisesNoError)
{
    takeGlError();
    UniformTable<U_COUNT> table(NAMES);
    const int* u = table.of(0);
    for (int i = 0; i < U_COUNT; ++i)
        EXPECT_EQ(u[i], -1) << NAMES[i];
    // The sampler of a failed build still gets its texture bound, without a GL error.
    GLuint texture = 0;
    glGenTextures(1, &texture);
    bindSampler(u[U_MAP], 1, texture);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(takeGlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(UniformTableTest, AnotherProgramOrARebuildIsLookedUpAfresh)
{
    GLuint first = glCreateProgram();
    linkInto(first, fragmentWith(0, 1, 2));
    GLuint second = buildProgram(VERTEX, fragmentWith(4, 6, 8).c_str());
    ASSERT_TRUE(programLinked(first));
    ASSERT_NE(second, 0u);
    UniformTable<U_COUNT> table(NAMES);
    table.lookUp(first);

    // Asked for another id (a test's own copy of the program), the table follows it.
    EXPECT_EQ(table.of(second)[U_B], 6);
    EXPECT_EQ(table.of(first)[U_B], 1);

    // The same id linked again moves its uniforms: the builder's lookUp takes the new places.
    linkInto(first, fragmentWith(9, 10, 11));
    ASSERT_TRUE(programLinked(first));
    table.lookUp(first);
    EXPECT_EQ(table.of(first)[U_A], 9);
    EXPECT_EQ(table.of(first)[U_B], 10);
    EXPECT_EQ(table.of(first)[U_MAP], 11);
    glDeleteProgram(first);
    glDeleteProgram(second);
}

}  // namespace
