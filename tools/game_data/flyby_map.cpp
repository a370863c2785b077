// "level.level", the flyby's tile map: 214 rows of 16 bytes, 13 cells a row (the last three bytes
// are padding). A cell is ' ' (empty) or a tile code 'A' to 'G'. The landscape is a canyon that
// winds along the flight: a river bed down the middle (empty, with metal bridges), grassy banks,
// then stone and brick walls rising towards both edges, with pillars and cave rock in between.
#include "tools/game_data/game_data.h"

#include "tools/common/canvas.h"  // hashUnit

#include <cmath>
#include <cstdlib>

namespace {

const int ROWS = 214;
const int RECORD_BYTES = 16;
const int CELLS = 13;

} // namespace

std::vector<unsigned char> buildFlybyMap()
{
    std::vector<unsigned char> map(static_cast<size_t>(ROWS) * RECORD_BYTES, '\n');
    for (int row = 0; row < ROWS; ++row) {
        // Whole periods over the 214 rows, so the rotating map joins up.
        float t = 2.0f * 3.14159265f * row / ROWS;
        float river = 6.0f + 2.6f * std::sin(2 * t) + 0.8f * std::sin(7 * t + 1.0f);
        bool bridge = row % 36 < 2;
        for (int c = 0; c < CELLS; ++c) {
            float d = std::fabs(c - river);
            float r = hashUnit(static_cast<uint32_t>(row), static_cast<uint32_t>(c), 0x51u);
            char code;
            if (d < 1.0f)
                code = bridge ? 'B' : ' ';
            else if (d < 2.2f)
                code = r < 0.5f ? 'C' : 'D';    // banks: the two animated grass frames
            else if (d < 3.6f)
                code = r < 0.15f ? 'F' : 'A';   // stone ground, a few pillars
            else if (d < 5.0f)
                code = r < 0.3f ? 'G' : 'E';    // walls and cave rock
            else
                code = 'E';
            map[static_cast<size_t>(row) * RECORD_BYTES + c] = static_cast<unsigned char>(code);
        }
        map[static_cast<size_t>(row) * RECORD_BYTES + CELLS] = ' ';
        map[static_cast<size_t>(row) * RECORD_BYTES + CELLS + 1] = ' ';
    }
    return map;
}
