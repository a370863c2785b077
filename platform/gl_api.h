// OpenGL for the whole engine: version 1.1 from the system library, everything later through
// pointers that resolveGlFunctions fills once a context exists. Include this instead of GL/gl.h.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <string>

#define GL_FUNCTION(type, name) extern type glapi_##name;
#include "platform/gl_functions.inc"
#undef GL_FUNCTION

// Calls use the ordinary names; the build writes one macro per entry point that sends the
// name through its resolved pointer.
#include "gl_aliases.h"

// Receives each GL error the driver reports, at the call that raised it.
using GlErrorSink = void (*)(const char* message);
// Set before the context is made: tests and the development tools name one, so a GL error is
// loud; null (the demo itself) leaves the driver's debug output off.
extern GlErrorSink glErrorSink;
// The errors sent to the sink so far, and the first one's message: a tool's run fails on them.
extern int glErrorsReported;
extern std::string firstGlError;
// Prints "GL error: <message>" on stderr: the development tools' sink.
void printGlError(const char* message);

// Resolves every entry point of gl_functions.inc; false (and the missing names on stderr)
// when one is absent. With a glErrorSink set, it also turns on synchronous debug output that
// sends the errors there.
bool resolveGlFunctions();
// True while an OpenGL context is current on this thread: code that keeps tables beside GL
// state (the lights) does its table work without one and its GL calls only with one.
bool glContextCurrent();
