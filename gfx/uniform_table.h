// Uniform locations of one program for a fixed list of names, so a pass sets its uniforms by
// index instead of asking GL by name every frame.
//
// The module that builds a program looks the table up right after the build (lookUp), so a
// program built again with a reused id gets fresh locations. `of` hands the locations to the
// frame's passes and looks them up again only when asked for another program id than the one
// the table holds (a test that builds its own copy of the program, say). Program 0 (a failed
// build) has no locations: every entry reads -1, which glUniform ignores.
#pragma once

#include <cstdint>

void lookUpUniformLocations(uint32_t program, const char* const* names, int count, int* locations);

template <int N>
struct UniformTable {
    const char* const* names;
    uint32_t program = 0;
    bool filled = false;
    int at[N];

    explicit UniformTable(const char* const (&list)[N]) : names(list) {}

    void lookUp(uint32_t programId)
    {
        lookUpUniformLocations(programId, names, N, at);
        program = programId;
        filled = true;
    }

    const int* of(uint32_t programId)
    {
        if (!filled || programId != program)
            lookUp(programId);
        return at;
    }
};

// The passes whose only uniform is their "colorMap" sampler share one name list.
enum ColorMapUniform { COLOR_MAP_SAMPLER, COLOR_MAP_UNIFORM_COUNT };
extern const char* const COLOR_MAP_UNIFORM_NAMES[COLOR_MAP_UNIFORM_COUNT];
using ColorMapUniforms = UniformTable<COLOR_MAP_UNIFORM_COUNT>;
