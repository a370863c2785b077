// A self-contained check of the GLSL pipeline: a program built from sources inside the
// executable and one white quad over the middle half of the viewport, drawn from a vertex and
// an index buffer. Every message goes to debugLog. Nothing in the demo calls it.
#pragma once

#include <cstdint>

extern uint32_t testProgram;
extern int testVertexPosAttrib;  // location of "LVertexPos2D"; -1 until a successful init
extern uint32_t testVertexBuffer;
extern uint32_t testIndexBuffer;

extern const char* const TEST_VERTEX_SOURCE;
extern const char* const TEST_FRAGMENT_SOURCE;

// Builds the program and the two buffers; false (with the reason in debugLog) on any failure.
bool initTestProgram();
// Clears the colour buffer and, once initTestProgram has succeeded, draws the quad.
void renderTestQuad();
void printShaderLog(uint32_t shader);
void printProgramLog(uint32_t program);
