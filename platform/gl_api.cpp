// Run-time resolution of the OpenGL entry points above 1.1 (the system library exports only
// 1.1 portably, and the EXT framebuffer set not at all through GLVND).
#include "platform/gl_api.h"

#include <SDL.h>
#include <cstdio>

#define GL_FUNCTION(type, name) type glapi_##name = nullptr;
#include "platform/gl_functions.inc"
#undef GL_FUNCTION

GlErrorSink glErrorSink = nullptr;
int glErrorsReported = 0;
std::string firstGlError;

void printGlError(const char* message)
{
    std::fprintf(stderr, "GL error: %s\n", message);
}

// Only errors: the driver's performance and portability notes are no fault of ours, and a
// shader's compile log is the loader's to report (it counts the failed builds).
static void APIENTRY forwardGlError(GLenum source, GLenum type, GLuint /*id*/, GLenum /*severity*/,
                                    GLsizei /*length*/, const GLchar* message, const void* /*user*/)
{
    if (type != GL_DEBUG_TYPE_ERROR || source == GL_DEBUG_SOURCE_SHADER_COMPILER || !glErrorSink)
        return;
    if (glErrorsReported++ == 0)
        firstGlError = message ? message : "";
    glErrorSink(message);
}

// Synchronous, so the sink runs inside the call that raised the error.
static void enableGlErrorReport()
{
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(forwardGlError, nullptr);
}

bool resolveGlFunctions()
{
    bool complete = true;
#define GL_FUNCTION(type, name)                                                        \
    glapi_##name = reinterpret_cast<type>(SDL_GL_GetProcAddress(#name));               \
    if (!glapi_##name) {                                                               \
        std::fprintf(stderr, "missing OpenGL entry point %s\n", #name);                \
        complete = false;                                                              \
    }
#include "platform/gl_functions.inc"
#undef GL_FUNCTION
    if (complete && glErrorSink)
        enableGlErrorReport();
    return complete;
}

bool glContextCurrent()
{
    return SDL_GL_GetCurrentContext() != nullptr;
}
