// Fuzz target: arbitrary bytes decoded as a TGA file, then scanned into a height profile. An
// accepted picture is 32-bit and at most 2048 columns wide; every scanned column holds r / h
// for a row r in 1..h-1 whose red byte is the first to differ from row 0 (or the last row),
// and nothing is written past the picture's columns.
#include "gfx/height_profile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The reader's message-box variant is linked in; this target never shows one.
void showMessageBox(const char*, const char*, unsigned)
{
    std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    TgaImage image;
    if (!readTgaFile(image, "fuzz.tga", file))
        return 0;
    static float heights[HEIGHT_PROFILE_COLUMNS + 1];
    for (float& h : heights)
        h = 0.0f;
    HeightProfileFault fault = scanHeightProfile(image, heights);
    const bool usable = image.bpp == HEIGHT_PROFILE_BPP && image.width <= static_cast<uint32_t>(HEIGHT_PROFILE_COLUMNS);
    if ((fault == HeightProfileFault::NONE) != usable)
        std::abort();
    if (fault == HeightProfileFault::NONE) {
        const size_t rowBytes = static_cast<size_t>(image.width) * 4;
        for (uint32_t x = 0; x < HEIGHT_PROFILE_COLUMNS + 1u; ++x) {
            if (x >= image.width || image.height == 1) {
                if (heights[x] != 0.0f)
                    std::abort();
                continue;
            }
            float rowFound = heights[x] * static_cast<float>(image.height);
            uint32_t r = static_cast<uint32_t>(std::lround(rowFound));
            if (r < 1 || r > image.height - 1 || std::fabs(rowFound - static_cast<float>(r)) > 0.01f)
                std::abort();
            const uint8_t* column = image.data + static_cast<size_t>(x) * 4;
            for (uint32_t above = 1; above < r; ++above)
                if (column[above * rowBytes] != column[0])
                    std::abort();
            if (r < image.height - 1 && column[r * rowBytes] == column[0])
                std::abort();
        }
    }
    releaseTgaImage(image);
    return 0;
}
