// Fuzz target: arbitrary bytes decoded as a palette file. A refusal leaves the output alone; an
// accepted palette has P + 1 records for 0 <= P <= 149, in-range kinds and finite values, and
// encodes back to the same bytes (the marker aside).
#include "game/level_codec.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

static void check(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PaletteImage palette;
    palette.entries.resize(2);
    std::string error;
    if (!decodePalette(data, size, palette, error)) {
        check(!error.empty() && palette.entries.size() == 2);
        return 0;
    }
    const size_t records = palette.entries.size();
    check(records >= 1 && records <= PALETTE_MAX_COUNT + 1);
    check(size == paletteFileBytes(records - 1));
    for (const BoxRecord& b : palette.entries) {
        for (float v : {b.x, b.y, b.width, b.height, b.liftStartX, b.liftStartY, b.liftRangeX, b.liftRangeY, b.liftSpeed})
            check(std::isfinite(v));
        check(b.type >= 0 && b.type <= 7 && b.meshId >= -1 && b.meshId <= 9 && b.liftState >= 0 && b.liftState <= 4);
    }
    const std::vector<uint8_t> again = encodePalette(palette);
    check(again.size() == size && std::memcmp(again.data() + 4, data + 4, size - 4) == 0);
    return 0;
}
