// The flyby map's decoding, apart from the file reading so it can be tested and fuzzed alone.
#include "scenes/flyby_map.h"

#include <cstring>

static constexpr int CODE_BASE = 64;

void decodeFlybyMap(const uint8_t* bytes, size_t size, uint8_t out[FLYBY_ROWS][FLYBY_CELLS])
{
    std::memset(out, 0, sizeof(uint8_t) * FLYBY_ROWS * FLYBY_CELLS);
    for (int row = 0; row < FLYBY_ROWS; ++row)
        for (int cell = 0; cell < FLYBY_CELLS; ++cell) {
            size_t at = static_cast<size_t>(row) * FLYBY_RECORD_BYTES + cell;
            if (!bytes || at >= size)
                return;
            uint8_t b = bytes[at];
            // Bytes below the code base wrap as the cell byte does.
            out[row][cell] = b == ' ' ? 0 : static_cast<uint8_t>(b - CODE_BASE);
        }
}
