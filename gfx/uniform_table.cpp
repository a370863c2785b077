#include "gfx/uniform_table.h"

#include "platform/gl_api.h"

const char* const COLOR_MAP_UNIFORM_NAMES[COLOR_MAP_UNIFORM_COUNT] = {"colorMap"};

void lookUpUniformLocations(uint32_t program, const char* const* names, int count, int* locations)
{
    for (int i = 0; i < count; ++i)
        // Asking GL about program 0 would only raise an error.
        locations[i] = program != 0 ? glGetUniformLocation(program, names[i]) : -1;
}
