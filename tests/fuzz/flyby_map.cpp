// Fuzz target: arbitrary bytes decoded as a flyby map. Every cell is the byte at its place in
// its 16-byte record (' ' read as empty, any other byte b as b - 64), or empty when the input
// ends before it; nothing past the 3424 bytes a map uses is read.
#include "scenes/flyby_map.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy sized exactly, so the sanitizer sees any read past what the decoder was given.
    std::vector<uint8_t> bytes(data, data + size);
    static uint8_t cells[FLYBY_ROWS][FLYBY_CELLS];
    std::memset(cells, 0xEE, sizeof(cells));
    decodeFlybyMap(bytes.empty() ? nullptr : bytes.data(), bytes.size(), cells);
    for (int row = 0; row < FLYBY_ROWS; ++row)
        for (int cell = 0; cell < FLYBY_CELLS; ++cell) {
            size_t at = static_cast<size_t>(row) * FLYBY_RECORD_BYTES + cell;
            uint8_t expected = 0;
            if (at < size && data[at] != ' ')
                expected = static_cast<uint8_t>(data[at] - 64);
            if (cells[row][cell] != expected)
                std::abort();
        }
    return 0;
}
