// Fuzz target: arbitrary bytes decoded as a level file. A refusal leaves the output alone and
// says why; an accepted file has the exact size of its counts, counts within the tables,
// finite values and in-range kinds, and encodes back to the same bytes (the marker aside).
#include "game/level_codec.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

static void check(bool condition)
{
    if (!condition)
        std::abort();
}

static void checkBox(const BoxRecord& b)
{
    for (float v : {b.x, b.y, b.width, b.height, b.liftStartX, b.liftStartY, b.liftRangeX, b.liftRangeY, b.liftSpeed})
        check(std::isfinite(v));
    check(b.type >= 0 && b.type <= 7);
    check(b.meshId >= -1 && b.meshId <= 9);
    check(b.liftState >= 0 && b.liftState <= 4);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LevelImage level;
    level.enemies.resize(1);   // a sentinel a refusal must not touch
    level.enemies[0].x = 12345.0f;
    std::string error;
    if (!decodeLevel(data, size, level, error)) {
        check(!error.empty());
        check(level.enemies.size() == 1 && level.enemies[0].x == 12345.0f);
        return 0;
    }
    const size_t n = level.boxes.size(), m = level.enemies.size();
    check(n >= 1 && n <= LEVEL_MAX_BOXES && m <= LEVEL_MAX_ENEMIES);
    check(size == levelFileBytes(n, m));
    for (const BoxRecord& b : level.boxes)
        checkBox(b);
    for (const EnemyRecord& e : level.enemies) {
        check(e.type >= 0 && e.type <= 3);
        check(e.boxUnder >= 0 && static_cast<size_t>(e.boxUnder) <= n);
        check(e.direction == 0 || e.direction == 1);
        check(e.pathState >= 0 && e.pathState <= 4);
        for (const auto& particle : e.debris)
            for (float v : particle)
                check(std::isfinite(v));
    }
    const std::vector<uint8_t> again = encodeLevel(level);
    check(again.size() == size && std::memcmp(again.data() + 4, data + 4, size - 4) == 0);
    return 0;
}
