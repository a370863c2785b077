#include "gfx/shaders.h"

// Placeholder until the shader loader lands.
void loadDefaultShaderProgram() {}
