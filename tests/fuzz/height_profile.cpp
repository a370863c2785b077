// Fuzz target: arbitrary bytes decoded as a TGA file, then scanned into a height profile. An
// accepted picture is 32-bit, of any width; every scanned column (the first 2048 at most)
// holds r / h for a row r in 1..h-1 whose red byte is the first to differ from row 0 (or the
// last row), and nothing is written past the scanned columns or the table.
#include "gfx/height_profile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    static const float zeros[HEIGHT_PROFILE_COLUMNS + 1] = {};
    std::memset(heights, 0, sizeof heights);
    HeightProfileFault fault = scanHeightProfile(image, heights);
    const bool usable = image.bpp == HEIGHT_PROFILE_BPP;
    if ((fault == HeightProfileFault::NONE) != usable)
        std::abort();
    if (fault == HeightProfileFault::NONE) {
        // Nothing past the scanned columns (none for a one-row picture) is written.
        const uint32_t scanned =
            image.height == 1 ? 0 : std::min(image.width, static_cast<uint32_t>(HEIGHT_PROFILE_COLUMNS));
        if (std::memcmp(heights + scanned, zeros, (HEIGHT_PROFILE_COLUMNS + 1 - scanned) * sizeof(float)) != 0)
            std::abort();
        const size_t rowBytes = static_cast<size_t>(image.width) * 4;
        for (uint32_t x = 0; x < scanned; ++x) {
            float rowFound = heights[x] * static_cast<float>(image.height);
            uint32_t r = static_cast<uint32_t>(std::lround(rowFound));
            if (r < 1 || r > image.height - 1 || std::fabs(rowFound - static_cast<float>(r)) > 0.01f)
                std::abort();
            const uint8_t* column = image.data + static_cast<size_t>(x) * 4;
            const uint8_t* found = column + r * rowBytes;
            for (const uint8_t* above = column + rowBytes; above != found; above += rowBytes)
                if (*above != column[0])
                    std::abort();
            if (r < image.height - 1 && *found == column[0])
                std::abort();
        }
    }
    releaseTgaImage(image);
    return 0;
}
