#include "game/level_codec.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int BOX_TYPES = 8;     // standard box .. heightmap ceiling
constexpr int ENEMY_TYPES = 4;   // walker, jumper, flyer, orb
constexpr int MESH_ID_LOWEST = -1;
constexpr int MESH_ID_HIGHEST = 9;
constexpr int MOTION_STATES = 5;   // lift legs and flyer path legs 0..4
constexpr size_t LEVEL_BOXES_AT = 8;   // after the marker and the box count

class ByteWriter {
public:
    explicit ByteWriter(size_t size) { bytes_.reserve(size); }
    void i32(int32_t v)
    {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        for (int s = 0; s < 32; s += 8)
            bytes_.push_back(static_cast<uint8_t>(u >> s));
    }
    void f32(float v)
    {
        int32_t i;
        std::memcpy(&i, &v, 4);
        i32(i);
    }
    void u8(uint8_t v) { bytes_.push_back(v); }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

// Reads field by field from a buffer whose length the caller has already checked, and keeps
// the first fault it meets.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int32_t i32()
    {
        if (pos_ + 4 > size_) {
            fail("the file ends early");
            return 0;
        }
        uint32_t u = 0;
        for (int s = 0; s < 4; ++s)
            u |= static_cast<uint32_t>(data_[pos_ + s]) << (8 * s);
        pos_ += 4;
        int32_t v;
        std::memcpy(&v, &u, 4);
        return v;
    }
    float f32()
    {
        int32_t i = i32();
        float v;
        std::memcpy(&v, &i, 4);
        if (!std::isfinite(v))
            fail("a value is not a finite number");
        return v;
    }
    uint8_t u8()
    {
        if (pos_ + 1 > size_) {
            fail("the file ends early");
            return 0;
        }
        return data_[pos_++];
    }
    int32_t ranged(int32_t lo, int32_t hi, const char* what)
    {
        int32_t v = i32();
        if (v < lo || v > hi)
            fail(what);
        return v;
    }
    void fail(const char* why)
    {
        if (error_.empty())
            error_ = why;
    }
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    std::string error_;
};

void writeBox(ByteWriter& w, const BoxRecord& b)
{
    w.f32(b.x);
    w.f32(b.y);
    w.f32(b.width);
    w.f32(b.height);
    w.i32(b.type);
    w.i32(b.meshId);
    w.f32(b.liftStartX);
    w.f32(b.liftStartY);
    w.f32(b.liftRangeX);
    w.f32(b.liftRangeY);
    w.i32(b.reserved);
    w.i32(b.liftState);
    w.f32(b.liftSpeed);
    w.u8(b.liftFlag);
}

BoxRecord readBox(ByteReader& r)
{
    BoxRecord b;
    b.x = r.f32();
    b.y = r.f32();
    b.width = r.f32();
    b.height = r.f32();
    b.type = r.ranged(0, BOX_TYPES - 1, "a box type is out of range");
    b.meshId = r.ranged(MESH_ID_LOWEST, MESH_ID_HIGHEST, "a box mesh id is out of range");
    b.liftStartX = r.f32();
    b.liftStartY = r.f32();
    b.liftRangeX = r.f32();
    b.liftRangeY = r.f32();
    b.reserved = r.i32();
    b.liftState = r.ranged(0, MOTION_STATES - 1, "a lift state is out of range");
    b.liftSpeed = r.f32();
    b.liftFlag = r.u8();
    return b;
}

void writeEnemy(ByteWriter& w, const EnemyRecord& e)
{
    w.i32(e.type);
    w.f32(e.x);
    w.f32(e.y);
    w.f32(e.width);
    w.f32(e.height);
    w.i32(e.reserved1);
    w.u8(e.reserved2);
    w.f32(e.speed);
    w.f32(e.jumpT);
    w.f32(e.jumpT0);
    w.f32(e.jumpY0);
    w.f32(e.jumpV0);
    w.u8(e.airborne);
    w.u8(e.inAir);
    w.u8(e.jumping);
    w.i32(e.boxUnder);
    w.i32(e.direction);
    w.f32(e.health);
    w.f32(e.hitTimer);
    w.f32(e.knockbackVx);
    w.f32(e.maxHealth);
    w.i32(e.jumpRequest);
    w.u8(e.reserved3);
    w.f32(e.animPhase);
    w.f32(e.pathStartX);
    w.f32(e.pathStartY);
    w.f32(e.pathRangeX);
    w.f32(e.pathRangeY);
    w.i32(e.reserved4);
    w.i32(e.pathState);
    w.f32(e.pathSpeed);
    for (const auto& particle : e.debris)
        for (float v : particle)
            w.f32(v);
}

EnemyRecord readEnemy(ByteReader& r, int32_t boxCount)
{
    EnemyRecord e;
    e.type = r.ranged(0, ENEMY_TYPES - 1, "an enemy type is out of range");
    e.x = r.f32();
    e.y = r.f32();
    e.width = r.f32();
    e.height = r.f32();
    e.reserved1 = r.i32();
    e.reserved2 = r.u8();
    e.speed = r.f32();
    e.jumpT = r.f32();
    e.jumpT0 = r.f32();
    e.jumpY0 = r.f32();
    e.jumpV0 = r.f32();
    e.airborne = r.u8();
    e.inAir = r.u8();
    e.jumping = r.u8();
    // The enemy motion reads the box under an enemy from the table.
    e.boxUnder = r.ranged(0, boxCount, "an enemy stands on a box the level does not have");
    e.direction = r.ranged(0, 1, "an enemy direction is out of range");
    e.health = r.f32();
    e.hitTimer = r.f32();
    e.knockbackVx = r.f32();
    e.maxHealth = r.f32();
    e.jumpRequest = r.i32();
    e.reserved3 = r.u8();
    e.animPhase = r.f32();
    e.pathStartX = r.f32();
    e.pathStartY = r.f32();
    e.pathRangeX = r.f32();
    e.pathRangeY = r.f32();
    e.reserved4 = r.i32();
    e.pathState = r.ranged(0, MOTION_STATES - 1, "a flyer path state is out of range");
    e.pathSpeed = r.f32();
    for (auto& particle : e.debris)
        for (float& v : particle)
            v = r.f32();
    return e;
}

std::string sizeMismatch(size_t size, size_t expected)
{
    return "the file is " + std::to_string(size) + " bytes, its counts need " + std::to_string(expected);
}

}  // namespace

std::vector<uint8_t> encodeLevel(const LevelImage& level)
{
    ByteWriter w(levelFileBytes(level.boxes.size(), level.enemies.size()));
    w.i32(LEVEL_FILE_MARKER);
    w.i32(static_cast<int32_t>(level.boxes.size()));
    for (const BoxRecord& b : level.boxes)
        writeBox(w, b);
    w.i32(static_cast<int32_t>(level.enemies.size()));
    for (const EnemyRecord& e : level.enemies)
        writeEnemy(w, e);
    return w.take();
}

bool decodeLevel(const uint8_t* data, size_t size, LevelImage& out, std::string& error)
{
    if (size < LEVEL_HEADER_BYTES) {
        error = sizeMismatch(size, LEVEL_HEADER_BYTES);
        return false;
    }
    ByteReader header(data, size);
    header.i32();   // the marker carries nothing
    const int32_t n = header.i32();
    if (n < 1 || n > LEVEL_MAX_BOXES) {
        error = "the box count " + std::to_string(n) + " is outside 1.." + std::to_string(LEVEL_MAX_BOXES);
        return false;
    }
    const size_t enemyCountAt = LEVEL_BOXES_AT + BOX_RECORD_BYTES * static_cast<size_t>(n);
    if (size < enemyCountAt + 4) {
        error = sizeMismatch(size, levelFileBytes(static_cast<size_t>(n), 0));
        return false;
    }
    ByteReader countReader(data + enemyCountAt, 4);
    const int32_t m = countReader.i32();
    if (m < 0 || m > LEVEL_MAX_ENEMIES) {
        error = "the enemy count " + std::to_string(m) + " is outside 0.." + std::to_string(LEVEL_MAX_ENEMIES);
        return false;
    }
    const size_t expected = levelFileBytes(static_cast<size_t>(n), static_cast<size_t>(m));
    if (size != expected) {
        error = sizeMismatch(size, expected);
        return false;
    }

    ByteReader r(data, size);
    r.i32();
    r.i32();
    LevelImage level;
    level.boxes.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        level.boxes.push_back(readBox(r));
    r.i32();
    level.enemies.reserve(static_cast<size_t>(m));
    for (int32_t i = 0; i < m && r.ok(); ++i)
        level.enemies.push_back(readEnemy(r, n));
    if (!r.ok()) {
        error = r.error();
        return false;
    }
    out = std::move(level);
    return true;
}

std::vector<uint8_t> encodePalette(const PaletteImage& palette)
{
    const size_t records = palette.entries.size();
    ByteWriter w(PALETTE_HEADER_BYTES + BOX_RECORD_BYTES * records);
    w.i32(LEVEL_FILE_MARKER);
    w.i32(static_cast<int32_t>(records) - 1);
    for (const BoxRecord& b : palette.entries)
        writeBox(w, b);
    return w.take();
}

bool decodePalette(const uint8_t* data, size_t size, PaletteImage& out, std::string& error)
{
    if (size < PALETTE_HEADER_BYTES) {
        error = sizeMismatch(size, paletteFileBytes(0));
        return false;
    }
    ByteReader r(data, size);
    r.i32();
    const int32_t p = r.i32();
    if (p < 0 || p > PALETTE_MAX_COUNT) {
        error = "the palette count " + std::to_string(p) + " is outside 0.." + std::to_string(PALETTE_MAX_COUNT);
        return false;
    }
    const size_t expected = paletteFileBytes(static_cast<size_t>(p));
    if (size != expected) {
        error = sizeMismatch(size, expected);
        return false;
    }
    PaletteImage palette;
    palette.entries.reserve(static_cast<size_t>(p) + 1);
    for (int32_t i = 0; i <= p; ++i)
        palette.entries.push_back(readBox(r));
    if (!r.ok()) {
        error = r.error();
        return false;
    }
    out = std::move(palette);
    return true;
}
