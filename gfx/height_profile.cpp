#include "gfx/height_profile.h"

#include "core/data_files.h"  // debugLog

#include <algorithm>
#include <cstdio>
#include <cstring>

HeightProfile heightProfiles[MAX_HEIGHT_PROFILES] = {};
int32_t heightProfileCount = 0;

static constexpr uint32_t PROFILE_BYTES_PER_PIXEL = HEIGHT_PROFILE_BPP / 8;

HeightProfileFault scanHeightProfile(const TgaImage& image, float* heights)
{
    if (!image.data || image.width == 0 || image.height == 0)
        return HeightProfileFault::NO_PIXELS;
    if (image.bpp != HEIGHT_PROFILE_BPP)
        return HeightProfileFault::NOT_32_BIT;
    // A one-row picture has no row to differ from the first: its columns stay 0.
    if (image.height == 1)
        return HeightProfileFault::NONE;
    const size_t rowBytes = static_cast<size_t>(image.width) * PROFILE_BYTES_PER_PIXEL;
    // Columns past the table would store nothing, so their scan is skipped.
    const size_t scannedBytes =
        std::min<size_t>(image.width, static_cast<size_t>(HEIGHT_PROFILE_COLUMNS)) * PROFILE_BYTES_PER_PIXEL;
    const float height = static_cast<float>(image.height);
    const uint8_t* firstRow = image.data;
    const uint8_t* lastRow = image.data + (image.height - 1) * rowBytes;
    // Each column walks down from row 1 until its red differs from row 0's, stopping at the
    // last row either way; pointers step the walk, the row number only counts.
    for (const uint8_t* column = firstRow; column != firstRow + scannedBytes; column += PROFILE_BYTES_PER_PIXEL) {
        const uint8_t reference = column[0];  // red of the first stored row
        const uint8_t* bottom = lastRow + (column - firstRow);
        const uint8_t* red = column + rowBytes;
        uint32_t r = 1;
        for (; red != bottom && *red == reference; red += rowBytes)
            ++r;
        *heights++ = static_cast<float>(r) / height;
    }
    return HeightProfileFault::NONE;
}

static void reportRefusal(const char* name, const char* reason)
{
    std::fprintf(stderr, "height profile %s refused: %s\n", name, reason);
    debugLog("height profile %s refused: %s\n", name, reason);
}

int32_t loadHeightProfile(const char* name)
{
    if (!name)
        return -1;
    if (heightProfileCount >= MAX_HEIGHT_PROFILES) {
        char reason[64];
        std::snprintf(reason, sizeof reason, "the table of %d profiles is full", MAX_HEIGHT_PROFILES);
        reportRefusal(name, reason);
        return -1;
    }
    TgaImage image;
    if (!loadTgaImage(image, name))
        return -1;
    const int32_t id = heightProfileCount;
    HeightProfile& profile = heightProfiles[id];
    std::memset(profile.heights, 0, sizeof profile.heights);
    HeightProfileFault fault = scanHeightProfile(image, profile.heights);
    const uint32_t width = image.width;
    const uint32_t bpp = image.bpp;
    releaseTgaImage(image);
    if (fault != HeightProfileFault::NONE) {
        char reason[96];
        if (fault == HeightProfileFault::NOT_32_BIT)
            std::snprintf(reason, sizeof reason, "%u bits per pixel, profiles need 32", bpp);
        else
            std::snprintf(reason, sizeof reason, "no pixels");
        reportRefusal(name, reason);
        return -1;
    }
    std::printf("%s loaded\n", name);
    profile.width = static_cast<int32_t>(width);
    profile.id = id;
    ++heightProfileCount;
    debugLog("\nloaded hmap '%s' id=%d\n", name, id);
    return id;
}

float heightProfileAt(int32_t id, int32_t x)
{
    if (id < 0 || id >= heightProfileCount || id >= MAX_HEIGHT_PROFILES)
        return 0.0f;
    const HeightProfile& profile = heightProfiles[id];
    if (x < 0 || x >= profile.width)
        return 0.0f;
    return profile.heights[std::min(x, HEIGHT_PROFILE_COLUMNS - 1)];
}
