// A shared hidden 1920 x 1080 window with a 4.5 compatibility context for GL tests (run under
// Xvfb). The first test that asks for it creates it; it lives until the test program ends.
#pragma once

#include "gfx/shaders.h"  // shaderBuildFailures
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

// Puts the shared context back in the state a new one has, for the tests that run after.
inline void restoreGlDefaults()
{
    if (!glTestContext().ready)
        return;
    shaderLoader.unuse();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int unit = 3; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glClearColor(0, 0, 0, 0);
    glColor4f(1, 1, 1, 1);
}

// Identity projection and modelview over the caller's, both pushed; the modelview is current.
inline void pushIdentityMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

// Gives back the matrices pushIdentityMatrices or pushWindowView kept; the modelview is current.
inline void popMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

// The window bound over its whole 1920 x 1080 viewport with pushIdentityMatrices; with `right`
// given, the projection is the orthographic frame 0..right x 0..top instead of the identity.
inline void pushWindowView(double right = 0.0, double top = 0.0)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1920, 1080);
    pushIdentityMatrices();
    if (right != 0.0) {
        glMatrixMode(GL_PROJECTION);
        glOrtho(0.0, right, 0.0, top, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
    }
}

// A camera of the caller's that screen-space passes must not see: a 60 degree perspective in
// the projection and, when `moved`, a modelview moved off the origin.
inline void setCallersCamera(bool moved)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 16.0 / 9.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (moved)
        glTranslatef(3.0f, -2.0f, -5.0f);
}

// Shader build failures a test causes on purpose, taken back when it ends, so the after-test
// check (gl_test_checks.cpp) counts only the others.
struct ExpectedShaderBuildFailures {
    int before = shaderBuildFailures;
    ~ExpectedShaderBuildFailures() { shaderBuildFailures = before; }
};

// GL errors a test raises on purpose: while this lives they are counted instead of failing the
// test (gl_test_checks.cpp).
struct ExpectedGlErrors {
    ExpectedGlErrors() : previous(glErrorSink)
    {
        count() = 0;
        glErrorSink = [](const char*) { ++count(); };
    }
    ~ExpectedGlErrors() { glErrorSink = previous; }
    static int& count()
    {
        static int errors = 0;
        return errors;
    }
    GlErrorSink previous;
};

// Reads RGBA pixels of the bound read framebuffer, bottom row first.
inline std::vector<uint8_t> readPixelsRgba(int x, int y, int w, int h)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
