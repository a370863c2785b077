// Level and palette files as bytes: every value little-endian, field after field with no gaps
// (32-bit IEEE floats, 32-bit signed integers, single bytes), so records are packed and floats
// sit at odd offsets. The codec touches no table and no GL; level_file.h moves records between
// these images and the tables.
//
// Level file: int32 marker (written 1, ignored), int32 N, N box records, int32 M, M enemy
// records; 12 + 53 N + 2909 M bytes with 1 <= N <= 149 and 0 <= M <= 99.
// Palette file: int32 marker, int32 P, P + 1 box records; 8 + 53 (P + 1) bytes, 0 <= P <= 149.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t BOX_RECORD_BYTES = 53;
constexpr size_t ENEMY_FIELD_BYTES = 109;
constexpr size_t STORED_DEBRIS_PER_ENEMY = 100;
constexpr size_t DEBRIS_VALUES = 7;   // life, offsetX, offsetY, size, velocityX, velocityY, growth
constexpr size_t DEBRIS_RECORD_BYTES = 4 * DEBRIS_VALUES;
constexpr size_t ENEMY_RECORD_BYTES = ENEMY_FIELD_BYTES + STORED_DEBRIS_PER_ENEMY * DEBRIS_RECORD_BYTES;
constexpr size_t LEVEL_HEADER_BYTES = 12;
constexpr size_t PALETTE_HEADER_BYTES = 8;
constexpr int LEVEL_FILE_MARKER = 1;
constexpr int LEVEL_MAX_BOXES = 149;
constexpr int LEVEL_MAX_ENEMIES = 99;
constexpr int PALETTE_MAX_COUNT = 149;

struct BoxRecord {
    float x, y, width, height;
    int32_t type, meshId;
    float liftStartX, liftStartY, liftRangeX, liftRangeY;
    int32_t reserved, liftState;
    float liftSpeed;
    uint8_t liftFlag;
};

struct EnemyRecord {
    int32_t type;
    float x, y, width, height;
    int32_t reserved1;
    uint8_t reserved2;
    float speed, jumpT, jumpT0, jumpY0, jumpV0;
    uint8_t airborne, inAir, jumping;
    int32_t boxUnder, direction;
    float health, hitTimer, knockbackVx, maxHealth;
    int32_t jumpRequest;
    uint8_t reserved3;
    float animPhase, pathStartX, pathStartY, pathRangeX, pathRangeY;
    int32_t reserved4, pathState;
    float pathSpeed;
    float debris[STORED_DEBRIS_PER_ENEMY][DEBRIS_VALUES];
};

struct LevelImage {
    std::vector<BoxRecord> boxes;       // table entries 1..N
    std::vector<EnemyRecord> enemies;   // table entries 1..M
};

struct PaletteImage {
    std::vector<BoxRecord> entries;     // P + 1 records, box slots 150..150 + P
};

constexpr size_t levelFileBytes(size_t boxCount, size_t enemyCount)
{
    return LEVEL_HEADER_BYTES + BOX_RECORD_BYTES * boxCount + ENEMY_RECORD_BYTES * enemyCount;
}
constexpr size_t paletteFileBytes(size_t paletteCount)
{
    return PALETTE_HEADER_BYTES + BOX_RECORD_BYTES * (paletteCount + 1);
}

// Refusals carry one line of text for the message the readers print.
std::vector<uint8_t> encodeLevel(const LevelImage& level);
bool decodeLevel(const uint8_t* data, size_t size, LevelImage& out, std::string& error);
std::vector<uint8_t> encodePalette(const PaletteImage& palette);
bool decodePalette(const uint8_t* data, size_t size, PaletteImage& out, std::string& error);
