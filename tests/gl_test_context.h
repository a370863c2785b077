// A shared hidden 1920 x 1080 window with a 4.5 compatibility context for GL tests (run under
// Xvfb). The first test that asks for it creates it; it lives until the test program ends.
#pragma once

#include "platform/gl_api.h"

#include <SDL.h>
#include <cstdint>
#include <vector>

struct GlTestContext {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool ready = false;
};

inline GlTestContext& glTestContext()
{
    static GlTestContext shared;
    static bool attempted = false;
    if (!attempted) {
        attempted = true;
        if (SDL_Init(SDL_INIT_VIDEO) < 0)
            return shared;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
        shared.window = SDL_CreateWindow("gl test", 0, 0, 1920, 1080, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!shared.window)
            return shared;
        shared.context = SDL_GL_CreateContext(shared.window);
        shared.ready = shared.context && resolveGlFunctions();
    }
    return shared;
}

// A GL test fails when no context can be made: GL paths must run under Xvfb.
#define REQUIRE_GL_CONTEXT()                                                                     \
    do {                                                                                         \
        if (!glTestContext().ready)                                                              \
            FAIL() << "no OpenGL 4.5 context (run under Xvfb): " << SDL_GetError();              \
    } while (0)

// Reads RGBA pixels of the bound read framebuffer, bottom row first.
inline std::vector<uint8_t> readPixelsRgba(int x, int y, int w, int h)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
