#include "tools/level_data/level_layouts.h"

#include "tools/common/tile_sizes.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int BOX_STANDARD = 0;
constexpr int BOX_LIFT = 1;
constexpr int ENEMY_WALKER = 0;
constexpr int ENEMY_JUMPER = 1;
constexpr int ENEMY_FLYER = 2;
constexpr int ENEMY_ORB = 3;

constexpr int MESH_SLAB = 0;
constexpr int MESH_BLOCK = 1;
constexpr int MESH_FLOOR = 2;
constexpr int MESH_CEILING = 3;
constexpr int MESH_WALL = 4;
constexpr int MESH_MASONRY = 5;
constexpr int MESH_LEFT_SLOPE = 6;
constexpr int MESH_RIGHT_SLOPE = 7;
constexpr int MESH_BOTTOM_RIGHT_SLOPE = 8;
constexpr int MESH_BOTTOM_LEFT_SLOPE = 9;

constexpr float ENEMY_DEFAULT_HEALTH = 100.0f;
constexpr float FLYER_PATH_SPEED = 4.0f;  // stored as the editor stores it; the motion ignores it
constexpr int DEBRIS_STORED = 100;
constexpr int DEBRIS_FIELDS = 7;

// A box of the tile's own size and shape at (x, y).
LayoutBox tile(int meshId, float x, float y)
{
    const TileSize& size = TILE_SIZES[meshId];
    return LayoutBox{x, y, size.width, size.height, size.shape, meshId};
}

LayoutBox lift(float x, float y, float rangeX, float rangeY, float speed)
{
    LayoutBox box = tile(MESH_SLAB, x, y);
    box.type = BOX_LIFT;
    box.liftRangeX = rangeX;
    box.liftRangeY = rangeY;
    box.liftSpeed = speed;
    return box;
}

LayoutBox groundStrip()
{
    return LayoutBox{0.0f, 20.0f, static_cast<float>(LAYOUT_LEVEL_WIDTH), 10.0f, BOX_STANDARD, -1};
}

// Masonry blocks along the bottom, tops at 150, so the player's start drop (from 161) lands on them.
void addGround(LevelLayout& level, float fromX, float toX)
{
    for (float x = fromX; x < toX; x += TILE_SIZES[MESH_MASONRY].width)
        level.boxes.push_back(tile(MESH_MASONRY, x, -50.0f));
}

class ByteWriter {
public:
    explicit ByteWriter(std::vector<unsigned char>& out) : out(out) {}
    void u8(unsigned value) { out.push_back(static_cast<unsigned char>(value & 0xFFu)); }
    void u32(uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            u8(value >> shift);
    }
    void i32(int value) { u32(static_cast<uint32_t>(value)); }
    void f32(float value)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }

private:
    std::vector<unsigned char>& out;
};

// 53 bytes: x, y, width, height, type, meshId, liftStartX/Y, liftRangeX/Y, reserved, liftState,
// liftSpeed, liftFlag. A lift starts its path where it stands.
void writeBox(ByteWriter& w, const LayoutBox& box)
{
    w.f32(box.x);
    w.f32(box.y);
    w.f32(box.width);
    w.f32(box.height);
    w.i32(box.type);
    w.i32(box.meshId);
    w.f32(box.x);
    w.f32(box.y);
    w.f32(box.liftRangeX);
    w.f32(box.liftRangeY);
    w.i32(0);
    w.i32(0);
    w.f32(box.liftSpeed);
    w.u8(0);
}

// 109 bytes of fields, then 100 zeroed debris particles of 7 floats (the reset refills them).
void writeEnemy(ByteWriter& w, const LayoutEnemy& enemy)
{
    w.i32(enemy.type);
    w.f32(enemy.x);
    w.f32(enemy.y);
    w.f32(layoutEnemyWidth(enemy.type));
    w.f32(layoutEnemyHeight(enemy.type));
    w.i32(0);
    w.u8(0);
    w.f32(enemy.speed);
    w.f32(0.0f);           // jumpT
    w.f32(0.0f);           // jumpT0
    w.f32(enemy.y + 1.0f);  // jumpY0
    w.f32(0.0f);           // jumpV0
    w.u8(1);               // airborne
    w.u8(1);               // inAir
    w.u8(0);               // jumping
    w.i32(0);              // boxUnder
    w.i32(enemy.direction);
    w.f32(ENEMY_DEFAULT_HEALTH);
    w.f32(0.0f);  // hitTimer
    w.f32(0.0f);  // knockbackVx
    w.f32(ENEMY_DEFAULT_HEALTH);
    w.i32(0);     // jumpRequest
    w.u8(0);
    w.f32(0.0f);  // animPhase
    w.f32(enemy.x);
    w.f32(enemy.y);
    w.f32(enemy.pathRangeX);
    w.f32(enemy.pathRangeY);
    w.i32(0);
    w.i32(0);  // pathState
    w.f32(FLYER_PATH_SPEED);
    for (int i = 0; i < DEBRIS_STORED * DEBRIS_FIELDS; ++i)
        w.f32(0.0f);
}

}  // namespace

float layoutEnemyWidth(int /*type*/)
{
    return 70.0f;
}

float layoutEnemyHeight(int type)
{
    return type == ENEMY_WALKER || type == ENEMY_JUMPER ? 150.0f : 75.0f;
}

// Screen by screen: a hill with a bridge, a step and a wall, a pit with a heightmap floor under a
// flyer; across it a heightmap overhang, an elevator up to a bracketed ledge, slabs (the first
// with a walker) up to a jumper's block, a shuttle lift back west, and a climb (a walker on its
// last slab) to a last block with a walker, a jumper and the final orbs. Orbs hang at jump height
// over each stretch. A walker stands on a box of its own with open ends, where it turns: where
// boxes meet under it (the ground's seams, a slope's foot, the ledge over its brackets) the boxes
// hold it in place for good.
LevelLayout buildFirstLevel()
{
    LevelLayout level;
    std::vector<LayoutBox>& b = level.boxes;
    b.push_back(groundStrip());
    addGround(level, 0.0f, 1600.0f);
    b.push_back(tile(MESH_FLOOR, 1600.0f, 50.0f));  // the pit
    addGround(level, 2000.0f, static_cast<float>(LAYOUT_LEVEL_WIDTH));

    // First screen: the hill (ramp up, bridge, ramp down), a step up to a wall, the pit.
    b.push_back(tile(MESH_RIGHT_SLOPE, 400.0f, 150.0f));
    b.push_back(tile(MESH_SLAB, 600.0f, 200.0f));
    b.push_back(tile(MESH_LEFT_SLOPE, 800.0f, 150.0f));
    b.push_back(tile(MESH_BLOCK, 1400.0f, 150.0f));
    b.push_back(tile(MESH_WALL, 1500.0f, 150.0f));

    // Second screen: an overhang past the pit, the elevator to a ledge on two brackets.
    b.push_back(tile(MESH_CEILING, 2000.0f, 520.0f));
    b.push_back(lift(2450.0f, 150.0f, 0.0f, 650.0f, 2.0f));
    b.push_back(tile(MESH_MASONRY, 2700.0f, 650.0f));
    b.push_back(tile(MESH_BOTTOM_RIGHT_SLOPE, 2700.0f, 550.0f));
    b.push_back(tile(MESH_BOTTOM_LEFT_SLOPE, 2900.0f, 550.0f));
    b.push_back(tile(MESH_SLAB, 3250.0f, 1000.0f));
    b.push_back(tile(MESH_SLAB, 3550.0f, 1200.0f));
    b.push_back(tile(MESH_MASONRY, 3000.0f, 1350.0f));

    // Back west on a shuttle: right along the top, a 40-unit drop, left along the bottom and a
    // snap back up (a range below zero completes its leg at once).
    b.push_back(lift(2200.0f, 1500.0f, 600.0f, -40.0f, 3.0f));
    b.push_back(tile(MESH_SLAB, 1850.0f, 1650.0f));
    b.push_back(tile(MESH_BLOCK, 1650.0f, 1800.0f));
    b.push_back(tile(MESH_SLAB, 1300.0f, 1950.0f));
    b.push_back(tile(MESH_BLOCK, 1100.0f, 2100.0f));
    b.push_back(tile(MESH_MASONRY, 500.0f, 2100.0f));
    b.push_back(tile(MESH_WALL, 500.0f, 2300.0f));  // the last block's back wall

    std::vector<LayoutEnemy>& e = level.enemies;
    e.push_back({ENEMY_WALKER, 1320.0f, 2000.0f, 0});
    e.push_back({ENEMY_FLYER, 900.0f, 920.0f, 1, 500.0f, 120.0f, 3.0f});
    e.push_back({ENEMY_ORB, 665.0f, 420.0f});
    e.push_back({ENEMY_ORB, 1765.0f, 170.0f});
    e.push_back({ENEMY_WALKER, 3270.0f, 1050.0f, 1});
    e.push_back({ENEMY_ORB, 3315.0f, 1260.0f});
    e.push_back({ENEMY_JUMPER, 3150.0f, 1550.0f, 0});
    e.push_back({ENEMY_ORB, 1915.0f, 1900.0f});
    e.push_back({ENEMY_WALKER, 600.0f, 2300.0f, 1});
    e.push_back({ENEMY_JUMPER, 780.0f, 2300.0f, 0});
    e.push_back({ENEMY_ORB, 600.0f, 2500.0f});
    e.push_back({ENEMY_ORB, 780.0f, 2500.0f});
    return level;
}

// Rows of slabs 250 apart over the ground, ten to a row, a walker on each of the first 99.
LevelLayout buildCrowdedLevel()
{
    LevelLayout level;
    level.boxes.push_back(groundStrip());
    addGround(level, 0.0f, static_cast<float>(LAYOUT_LEVEL_WIDTH));
    constexpr int perRow = 10;
    for (int i = 0; static_cast<int>(level.boxes.size()) < LAYOUT_BOX_LIMIT; ++i) {
        float x = 60.0f + 380.0f * static_cast<float>(i % perRow);
        float y = 350.0f + 250.0f * static_cast<float>(i / perRow);
        level.boxes.push_back(tile(MESH_SLAB, x, y));
        if (static_cast<int>(level.enemies.size()) < LAYOUT_ENEMY_LIMIT) {
            const LayoutBox& slab = level.boxes.back();
            level.enemies.push_back({ENEMY_WALKER, slab.x + 65.0f, slab.y + slab.height, i % 2});
        }
    }
    return level;
}

// Entry 0 is the editor's own default (a 50 x 50 block with mesh 1); then every other tile with
// the kind it is shaped for, and the slab as a lift. Two rows on the first screen.
std::vector<LayoutBox> buildPalette()
{
    const int order[] = {MESH_BLOCK, MESH_SLAB, MESH_WALL, MESH_MASONRY, MESH_FLOOR, MESH_CEILING,
                         MESH_LEFT_SLOPE, MESH_RIGHT_SLOPE, MESH_BOTTOM_LEFT_SLOPE, MESH_BOTTOM_RIGHT_SLOPE};
    std::vector<LayoutBox> entries;
    float x = 100.0f;
    float y = 700.0f;
    for (int meshId : order) {
        if (meshId == MESH_LEFT_SLOPE) {
            x = 100.0f;
            y = 300.0f;
        }
        entries.push_back(tile(meshId, x, y));
        x += TILE_SIZES[meshId].width + 100.0f;
    }
    entries.push_back(lift(x, y, 300.0f, 0.0f, 2.0f));
    return entries;
}

std::vector<unsigned char> encodeLayoutLevel(const LevelLayout& level)
{
    std::vector<unsigned char> bytes;
    ByteWriter w(bytes);
    w.i32(1);
    w.i32(static_cast<int>(level.boxes.size()));
    for (const LayoutBox& box : level.boxes)
        writeBox(w, box);
    w.i32(static_cast<int>(level.enemies.size()));
    for (const LayoutEnemy& enemy : level.enemies)
        writeEnemy(w, enemy);
    return bytes;
}

// P is the index of the last entry: P + 1 records follow.
std::vector<unsigned char> encodeLayoutPalette(const std::vector<LayoutBox>& entries)
{
    std::vector<unsigned char> bytes;
    ByteWriter w(bytes);
    w.i32(1);
    w.i32(static_cast<int>(entries.size()) - 1);
    for (const LayoutBox& box : entries)
        writeBox(w, box);
    return bytes;
}

bool writeLayoutFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "level-data: cannot create %s\n", temporary.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "level-data: cannot write %s\n", path.c_str());
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
