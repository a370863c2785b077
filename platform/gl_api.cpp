// Run-time resolution of the OpenGL entry points above 1.1 (the system library exports only
// 1.1 portably, and the EXT framebuffer set not at all through GLVND).
#include "platform/gl_api.h"

#include <SDL.h>
#include <cstdio>

#define GL_FUNCTION(type, name) type glapi_##name = nullptr;
#include "platform/gl_functions.inc"
#undef GL_FUNCTION

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
    return complete;
}

bool glContextCurrent()
{
    return SDL_GL_GetCurrentContext() != nullptr;
}
