// Height profiles: a picture turned into a one-dimensional surface curve. For every pixel
// column the profile keeps how far down the picture (counted from the first stored row) the
// red channel first changes, as a fraction of the picture height. The game's heightmap boxes
// stretch these fractions over their width. Pictures must be 32-bit TGA files. A picture wider
// than the table keeps its width, and only its first HEIGHT_PROFILE_COLUMNS columns are stored:
// readers limit their column index to the table themselves.
#pragma once

#include "gfx/tga.h"

#include <cstdint>

constexpr int MAX_HEIGHT_PROFILES = 10;
constexpr int HEIGHT_PROFILE_COLUMNS = 2048;
constexpr uint32_t HEIGHT_PROFILE_BPP = 32;

struct HeightProfile {
    int32_t id;                              // own index in heightProfiles
    float heights[HEIGHT_PROFILE_COLUMNS];   // per column: first changed row / picture height
    int32_t width;                           // picture width in columns, also past 2048
};

// Entries are added in load order and never removed; the count is also the next id.
extern HeightProfile heightProfiles[MAX_HEIGHT_PROFILES];
extern int32_t heightProfileCount;

// Why a decoded picture cannot become a profile.
enum class HeightProfileFault {
    NONE,
    NO_PIXELS,
    NOT_32_BIT,
};

// The column scan over decoded pixels, with no file or table access: fills `heights` (which
// the caller has zeroed) for the first HEIGHT_PROFILE_COLUMNS columns of `image`, and no more.
// Columns of a one-row picture stay 0. Refuses pictures that are not 32-bit.
HeightProfileFault scanHeightProfile(const TgaImage& image, float* heights);

// Reads the data-folder TGA `name` into the next table entry; returns its id, or -1 when the
// picture cannot be read, is not a usable profile, or the table is full (nothing is stored).
int32_t loadHeightProfile(const char* name);

// Element x of profile `id`, with x limited to the table's last column (a picture wider than
// the table reads its last stored column beyond it); 0 for an id that was never loaded (such
// as -1 from a failed load) or a column outside the picture.
float heightProfileAt(int32_t id, int32_t x);
