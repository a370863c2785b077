#include "render/glsl_test_program.h"

#include "core/data_files.h"  // debugLog
#include "platform/gl_api.h"

#include <cstdlib>

uint32_t testProgram = 0;
int testVertexPosAttrib = -1;
uint32_t testVertexBuffer = 0;
uint32_t testIndexBuffer = 0;

const char* const TEST_VERTEX_SOURCE =
    "#version 140\nin vec2 LVertexPos2D; void main() { gl_Position = vec4( LVertexPos2D.x, LVertexPos2D.y, 0, 1 ); }";
const char* const TEST_FRAGMENT_SOURCE =
    "#version 140\nout vec4 LFragment; void main() { LFragment = vec4( 1.0, 1.0, 1.0, 1.0 ); }";

// Set only when every step of initTestProgram succeeded: a draw before that would hand GL
// location -1 and object 0.
static bool testProgramReady = false;

static const GLfloat TEST_QUAD_CORNERS[8] = {-0.5f, -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, -0.5f, 0.5f};
static const GLuint TEST_QUAD_INDICES[4] = {0, 1, 2, 3};

static bool compileTestShader(GLuint shader, const char* source)
{
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    return compiled == GL_TRUE;
}

bool initTestProgram()
{
    testProgramReady = false;
    testProgram = glCreateProgram();

    GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    if (!compileTestShader(vertexShader, TEST_VERTEX_SOURCE)) {
        debugLog("Unable to compile vertex shader %d!\n", vertexShader);
        printShaderLog(vertexShader);
        return false;
    }
    glAttachShader(testProgram, vertexShader);

    GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    if (!compileTestShader(fragmentShader, TEST_FRAGMENT_SOURCE)) {
        debugLog("Unable to compile fragment shader %d!\n", fragmentShader);
        printShaderLog(fragmentShader);
        return false;
    }
    glAttachShader(testProgram, fragmentShader);

    glLinkProgram(testProgram);
    GLint linked = GL_FALSE;
    glGetProgramiv(testProgram, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        debugLog("Error linking program %d!\n", testProgram);
        printProgramLog(testProgram);
        return false;
    }

    testVertexPosAttrib = glGetAttribLocation(testProgram, "LVertexPos2D");
    if (testVertexPosAttrib == -1) {
        debugLog("LVertexPos2D is not a valid glsl program variable!\n");
        return false;
    }

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glGenBuffers(1, &testVertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, testVertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof TEST_QUAD_CORNERS, TEST_QUAD_CORNERS, GL_STATIC_DRAW);
    glGenBuffers(1, &testIndexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, testIndexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof TEST_QUAD_INDICES, TEST_QUAD_INDICES, GL_STATIC_DRAW);
    testProgramReady = true;
    return true;
}

void renderTestQuad()
{
    glClear(GL_COLOR_BUFFER_BIT);
    debugLog("1");
    if (!testProgramReady)
        return;
    glUseProgram(testProgram);
    debugLog("2");
    GLuint attribute = static_cast<GLuint>(testVertexPosAttrib);
    glEnableVertexAttribArray(attribute);
    debugLog("3");
    glBindBuffer(GL_ARRAY_BUFFER, testVertexBuffer);
    debugLog("4");
    glVertexAttribPointer(attribute, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(GLfloat), nullptr);
    debugLog("5");
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, testIndexBuffer);
    debugLog("6");
    glDrawElements(GL_TRIANGLE_FAN, 4, GL_UNSIGNED_INT, nullptr);
    debugLog("7");
    glDisableVertexAttribArray(attribute);
    debugLog("8");
    glUseProgram(0);
    debugLog("9");
}

static void printInfoLog(uint32_t object, bool isProgram)
{
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0)
        return;
    char* log = static_cast<char*>(std::malloc(static_cast<size_t>(length)));
    if (!log)
        return;
    GLsizei written = 0;
    if (isProgram)
        glGetProgramInfoLog(object, length, &written, log);
    else
        glGetShaderInfoLog(object, length, &written, log);
    if (written > 0)
        debugLog("%s\n", log);
    std::free(log);
}

void printShaderLog(uint32_t shader)
{
    if (!glIsShader(shader)) {
        debugLog("Name %d is not a shader\n", shader);
        return;
    }
    printInfoLog(shader, false);
}

void printProgramLog(uint32_t program)
{
    if (!glIsProgram(program)) {
        debugLog("Name %d is not a program\n", program);
        return;
    }
    printInfoLog(program, true);
}
