// Level and palette files: the byte layout, write and read back, refused files that leave the
// tables alone, and saves that fail without touching the old file. Each case runs in a
// temporary working folder.
#include "game_world_support.h"
#include "game/editor.h"
#include "game/level_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const char* path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

float floatAt(const std::vector<uint8_t>& b, size_t at)
{
    const uint32_t u = b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

int32_t intAt(const std::vector<uint8_t>& b, size_t at)
{
    const uint32_t u = b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
    int32_t i;
    std::memcpy(&i, &u, 4);
    return i;
}

void putIntAt(std::vector<uint8_t>& b, size_t at, int32_t v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    for (int k = 0; k < 4; ++k)
        b[at + k] = static_cast<uint8_t>(u >> (8 * k));
}

void putFloatAt(std::vector<uint8_t>& b, size_t at, float v)
{
    int32_t i;
    std::memcpy(&i, &v, 4);
    putIntAt(b, at, i);
}

// The whole world the readers may change, for before/after comparisons.
struct Snapshot {
    BoxTable boxes;
    EnemyTable enemies;
    EnemyDebris debris;
    int boxCount, enemyCount, paletteCount;
};

std::unique_ptr<Snapshot> snapshot()
{
    auto s = std::make_unique<Snapshot>();
    s->boxes = boxTable;
    s->enemies = enemyTable;
    s->debris = enemyDebris;
    s->boxCount = boxCount;
    s->enemyCount = enemyCount;
    s->paletteCount = paletteCount;
    return s;
}

bool sameWorld(const Snapshot& a, const Snapshot& b)
{
    return std::memcmp(&a.boxes, &b.boxes, sizeof a.boxes) == 0 &&
           std::memcmp(&a.enemies, &b.enemies, sizeof a.enemies) == 0 &&
           std::memcmp(&a.debris, &b.debris, sizeof a.debris) == 0 && a.boxCount == b.boxCount &&
           a.enemyCount == b.enemyCount && a.paletteCount == b.paletteCount;
}

class LevelFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/level_files_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_NE(getcwd(home, sizeof home), nullptr);
        ASSERT_EQ(chdir(folder.c_str()), 0);
        world::reset();
        enemyDebris = {};
        paletteCount = 0;
    }
    void TearDown() override
    {
        ASSERT_EQ(chdir(home), 0);
        std::string command = "rm -rf '" + folder + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // A level whose every stored field holds its own value: box 1 already the ground strip and
    // the lift at its start, so the reader's reset changes nothing.
    static void fillLevel(int boxes, int enemies)
    {
        BoxTable& b = boxTable;
        boxCount = boxes;
        for (int i = 2; i <= boxes; ++i) {
            const float f = static_cast<float>(i);
            b.x[i] = f * 10.5f;
            b.y[i] = f * 3.25f;
            b.width[i] = 40 + f;
            b.height[i] = 20 - f * 0.125f;
            b.type[i] = i % BOX_TYPE_COUNT;
            b.meshId[i] = i % 11 - 1;
            b.liftStartX[i] = b.x[i];
            b.liftStartY[i] = b.y[i];
            b.liftRangeX[i] = -f;
            b.liftRangeY[i] = f * 1e-3f;
            b.reserved[i] = i * 1000;
            b.liftState[i] = i % LIFT_STATE_COUNT;
            b.liftSpeed[i] = std::numeric_limits<float>::denorm_min() * f;
            b.liftFlag[i] = static_cast<uint8_t>(i);
        }
        b.meshId[1] = 7;
        b.liftSpeed[1] = -0.0f;
        enemyCount = enemies;
        EnemyTable& t = enemyTable;
        for (int i = 1; i <= enemies; ++i) {
            const float f = static_cast<float>(i);
            t.type[i] = i % ENEMY_TYPE_COUNT;
            t.x[i] = 100 * f;
            t.y[i] = 29 + f;
            t.width[i] = 70;
            t.height[i] = 150 - f;
            t.reserved1[i] = -i;
            t.reserved2[i] = static_cast<uint8_t>(200 + i);
            t.speed[i] = 5.5f + f;
            t.jumpT[i] = 0.1f * f;
            t.jumpT0[i] = 0;
            t.jumpY0[i] = 30 + f;
            t.jumpV0[i] = 30.769232f;
            t.airborne[i] = 1;
            t.inAir[i] = static_cast<uint8_t>(i % 2);
            t.jumping[i] = 0;
            t.boxUnder[i] = i % (boxes + 1);
            t.direction[i] = i % 2;
            t.health[i] = 100 - f;
            t.hitTimer[i] = 300;
            t.knockbackVx[i] = -15;
            t.maxHealth[i] = 100;
            t.jumpRequest[i] = 7 * i;
            t.reserved3[i] = 9;
            t.animPhase[i] = static_cast<float>(i % 110);
            t.pathStartX[i] = 1e6f * f;
            t.pathStartY[i] = -1e-6f * f;
            t.pathRangeX[i] = 200;
            t.pathRangeY[i] = -100;
            t.reserved4[i] = i << 20;
            t.pathState[i] = i % PATH_STATE_COUNT;
            t.pathSpeed[i] = 4;
            for (int k = 0; k < DEBRIS_PER_ENEMY; ++k) {
                const int s = DEBRIS_PER_ENEMY * i + k;
                enemyDebris.life[s] = static_cast<float>(k) + f;
                enemyDebris.offsetX[s] = -static_cast<float>(k);
                enemyDebris.growth[s] = 0.5f * static_cast<float>(k);
            }
        }
    }

    std::string folder;
    char home[4096] = {};
};

TEST_F(LevelFiles, FileSizesFollowTheCounts)
{
    ASSERT_TRUE(writeLevel("ground.level"));
    EXPECT_EQ(readFile("ground.level").size(), 65u);
    world::putEnemy(1, ENEMY_WALKER, 300, 29);
    ASSERT_TRUE(writeLevel("one.level"));
    EXPECT_EQ(readFile("one.level").size(), 2974u);
    EXPECT_FALSE(fileExists("one.level.tmp"));
}

TEST_F(LevelFiles, FieldsSitAtTheirOffsetsLittleEndian)
{
    fillLevel(3, 2);
    ASSERT_TRUE(writeLevel("layout.level"));
    const std::vector<uint8_t> b = readFile("layout.level");
    ASSERT_EQ(b.size(), 12u + 53 * 3 + 2909 * 2);
    EXPECT_EQ(intAt(b, 0), 1);
    EXPECT_EQ(intAt(b, 4), 3);
    const size_t box3 = 8 + 53 * 2;
    EXPECT_FLOAT_EQ(floatAt(b, box3 + 0), 31.5f);
    EXPECT_EQ(intAt(b, box3 + 16), 3);        // type
    EXPECT_EQ(intAt(b, box3 + 20), 2);        // meshId
    EXPECT_EQ(intAt(b, box3 + 44), 3);        // liftState
    EXPECT_EQ(b[box3 + 52], 3);               // liftFlag
    const size_t enemies = 8 + 53 * 3;
    EXPECT_EQ(intAt(b, enemies), 2);
    const size_t e2 = enemies + 4 + 2909;
    EXPECT_EQ(intAt(b, e2), 2);                      // type
    EXPECT_EQ(b[e2 + 24], 202);                      // the reserved byte
    EXPECT_FLOAT_EQ(floatAt(b, e2 + 25), 7.5f);      // speed, at an odd offset
    EXPECT_EQ(b[e2 + 46], 0);                        // inAir
    EXPECT_EQ(intAt(b, e2 + 72), 14);                // jumpRequest
    EXPECT_FLOAT_EQ(floatAt(b, e2 + 105), 4);        // pathSpeed
    EXPECT_FLOAT_EQ(floatAt(b, e2 + 109 + 28 * 99), 101);    // debris 99: life
    EXPECT_FLOAT_EQ(floatAt(b, e2 + 109 + 28 * 99 + 24), 49.5f);   // its growth
}

TEST_F(LevelFiles, WriteAndReadBackRestoreEveryStoredFieldBitForBit)
{
    fillLevel(MAX_LEVEL_BOXES, MAX_LEVEL_ENEMIES);
    const auto written = snapshot();
    ASSERT_TRUE(writeLevel("full.level"));
    const std::vector<uint8_t> bytes = readFile("full.level");

    // Scramble everything the file holds, then read it back.
    std::memset(&boxTable, 0x5a, sizeof boxTable);
    std::memset(&enemyTable, 0x5a, sizeof enemyTable);
    enemyTable.scoreValue[3] = 42;   // not stored: kept
    boxCount = 1;
    enemyCount = 0;
    ASSERT_TRUE(readLevel("full.level"));
    EXPECT_EQ(boxCount, MAX_LEVEL_BOXES);
    EXPECT_EQ(enemyCount, MAX_LEVEL_ENEMIES);
    EXPECT_EQ(encodeLevel(captureLevel()), bytes);
    EXPECT_EQ(std::memcmp(&written->debris, &enemyDebris, sizeof enemyDebris), 0);
    EXPECT_FLOAT_EQ(enemyTable.scoreValue[3], 42);
    EXPECT_TRUE(std::signbit(boxTable.liftSpeed[1]));   // -0 survives
}

TEST_F(LevelFiles, ReadingRebuildsTheGroundAndPutsLiftsBack)
{
    fillLevel(4, 0);
    world::putLift(4, 900, 300, 100, 20, 50, 50, 5);
    boxTable.x[4] = 925;   // stored mid-path
    boxTable.x[1] = 55;
    ASSERT_TRUE(writeLevel("moved.level"));
    ASSERT_TRUE(readLevel("moved.level"));
    EXPECT_FLOAT_EQ(boxTable.x[1], 0);
    EXPECT_FLOAT_EQ(boxTable.x[4], 900);
}

TEST_F(LevelFiles, AnyMarkerLoadsTheSame)
{
    fillLevel(5, 1);
    ASSERT_TRUE(writeLevel("marked.level"));
    std::vector<uint8_t> bytes = readFile("marked.level");
    putIntAt(bytes, 0, -123456);
    writeFile("marked.level", bytes);
    EXPECT_TRUE(readLevel("marked.level"));
}

// A file longer than any level names its own size, not where the reader stopped.
TEST_F(LevelFiles, AFilePastTheLargestLevelIsReportedWithItsOwnSize)
{
    const size_t size = levelFileBytes(LEVEL_MAX_BOXES, LEVEL_MAX_ENEMIES) + 1000;
    writeFile("long.level", std::vector<uint8_t>(size, 0));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readLevel("long.level"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "level long.level refused: the file is " + std::to_string(size) + " bytes, more than the largest level's " +
                  std::to_string(size - 1000) + "\n");
}

TEST_F(LevelFiles, HostileFilesAreRefusedAndChangeNothing)
{
    fillLevel(4, 2);
    ASSERT_TRUE(writeLevel("good.level"));
    const std::vector<uint8_t> good = readFile("good.level");
    const size_t enemyCountAt = 8 + 53 * 4;
    const size_t enemy1 = enemyCountAt + 4;
    const size_t box2 = 8 + 53;

    struct Case {
        const char* name;
        void (*spoil)(std::vector<uint8_t>&, size_t enemyCountAt, size_t enemy1, size_t box2);
    };
    const Case cases[] = {
        {"empty", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { b.clear(); }},
        {"header only", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { b.resize(11); }},
        {"a byte short", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { b.pop_back(); }},
        {"a byte long", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { b.push_back(0); }},
        {"no boxes", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { putIntAt(b, 4, 0); }},
        {"150 boxes", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { putIntAt(b, 4, 150); }},
        {"a huge box count", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { putIntAt(b, 4, 0x7fffffff); }},
        {"negative box count", [](std::vector<uint8_t>& b, size_t, size_t, size_t) { putIntAt(b, 4, -1); }},
        {"100 enemies", [](std::vector<uint8_t>& b, size_t at, size_t, size_t) { putIntAt(b, at, 100); }},
        {"negative enemy count", [](std::vector<uint8_t>& b, size_t at, size_t, size_t) { putIntAt(b, at, -2); }},
        {"enemy count one too many", [](std::vector<uint8_t>& b, size_t at, size_t, size_t) { putIntAt(b, at, 3); }},
        {"NaN box width", [](std::vector<uint8_t>& b, size_t, size_t, size_t box) { putFloatAt(b, box + 8, NAN); }},
        {"infinite lift speed",
         [](std::vector<uint8_t>& b, size_t, size_t, size_t box) { putFloatAt(b, box + 48, INFINITY); }},
        {"box type 8", [](std::vector<uint8_t>& b, size_t, size_t, size_t box) { putIntAt(b, box + 16, 8); }},
        {"mesh id 10", [](std::vector<uint8_t>& b, size_t, size_t, size_t box) { putIntAt(b, box + 20, 10); }},
        {"mesh id -2", [](std::vector<uint8_t>& b, size_t, size_t, size_t box) { putIntAt(b, box + 20, -2); }},
        {"lift state 5", [](std::vector<uint8_t>& b, size_t, size_t, size_t box) { putIntAt(b, box + 44, 5); }},
        {"enemy type 4", [](std::vector<uint8_t>& b, size_t, size_t e, size_t) { putIntAt(b, e, 4); }},
        {"NaN enemy speed", [](std::vector<uint8_t>& b, size_t, size_t e, size_t) { putFloatAt(b, e + 25, NAN); }},
        {"box under past the level", [](std::vector<uint8_t>& b, size_t, size_t e, size_t) { putIntAt(b, e + 48, 5); }},
        {"direction 2", [](std::vector<uint8_t>& b, size_t, size_t e, size_t) { putIntAt(b, e + 52, 2); }},
        {"path state -1", [](std::vector<uint8_t>& b, size_t, size_t e, size_t) { putIntAt(b, e + 101, -1); }},
        {"infinite debris in the last enemy's last particle",
         [](std::vector<uint8_t>& b, size_t, size_t e, size_t) { putFloatAt(b, e + 2909 + 109 + 28 * 99 + 24, -INFINITY); }},
    };
    world::reset();
    enemyDebris = {};
    fillLevel(7, 3);
    const auto before = snapshot();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        c.spoil(bytes, enemyCountAt, enemy1, box2);
        writeFile("bad.level", bytes);
        EXPECT_FALSE(readLevel("bad.level"));
        EXPECT_TRUE(sameWorld(*before, *snapshot()));
    }
    EXPECT_FALSE(readLevel("missing.level"));
    EXPECT_TRUE(sameWorld(*before, *snapshot()));
}

TEST_F(LevelFiles, AFailedSaveKeepsTheOldFile)
{
    fillLevel(6, 2);
    ASSERT_TRUE(writeLevel(LEVEL_FILE_NAME));
    const std::vector<uint8_t> old = readFile(LEVEL_FILE_NAME);
    // The temporary file cannot be created: a folder stands in its place.
    ASSERT_EQ(mkdir("level1.level.tmp", 0755), 0);
    world::putBox(7, 1, 2, 3, 4);
    EXPECT_FALSE(writeLevel(LEVEL_FILE_NAME));
    EXPECT_EQ(readFile(LEVEL_FILE_NAME), old);
    rmdir("level1.level.tmp");

    // A device that takes no bytes: the write fails at the flush, and nothing is renamed.
    if (fileExists("/dev/full")) {
        ASSERT_EQ(symlink("/dev/full", "level1.level.tmp"), 0);
        EXPECT_FALSE(writeLevel(LEVEL_FILE_NAME));
        EXPECT_EQ(readFile(LEVEL_FILE_NAME), old);
    }
}

TEST_F(LevelFiles, AMissingPaletteIsCreatedWithItsDefaultEntry)
{
    boxTable.liftSpeed[PALETTE_FIRST_SLOT] = 3;   // fields other than the six are kept
    EXPECT_FALSE(readPalette());
    EXPECT_EQ(paletteCount, 1);
    EXPECT_FLOAT_EQ(boxTable.width[PALETTE_FIRST_SLOT], 50);
    EXPECT_FLOAT_EQ(boxTable.height[PALETTE_FIRST_SLOT], 50);
    EXPECT_EQ(boxTable.meshId[PALETTE_FIRST_SLOT], 1);
    EXPECT_FLOAT_EQ(boxTable.liftSpeed[PALETTE_FIRST_SLOT], 3);
    EXPECT_EQ(readFile(PALETTE_FILE_NAME).size(), 114u);
    EXPECT_TRUE(readPalette());
}

TEST_F(LevelFiles, PaletteRoundTripAndRefusals)
{
    paletteCount = MAX_PALETTE_COUNT;
    for (int i = PALETTE_FIRST_SLOT; i < BOX_SLOTS; ++i) {
        boxTable.x[i] = static_cast<float>(i);
        boxTable.type[i] = i % BOX_TYPE_COUNT;
        boxTable.meshId[i] = i % 11 - 1;
    }
    ASSERT_TRUE(writePalette());
    const std::vector<uint8_t> bytes = readFile(PALETTE_FILE_NAME);
    ASSERT_EQ(bytes.size(), 8u + 53 * 150);
    std::memset(&boxTable.x[PALETTE_FIRST_SLOT], 0, sizeof(float) * (BOX_SLOTS - PALETTE_FIRST_SLOT));
    paletteCount = 0;
    ASSERT_TRUE(readPalette());
    EXPECT_EQ(paletteCount, MAX_PALETTE_COUNT);
    EXPECT_EQ(encodePalette(capturePalette()), bytes);

    const auto before = snapshot();
    std::vector<uint8_t> tooMany = bytes;
    putIntAt(tooMany, 4, 150);
    std::vector<uint8_t> short1(bytes.begin(), bytes.end() - 1);
    std::vector<uint8_t> badType = bytes;
    putIntAt(badType, 8 + 53 * 10 + 16, 9);
    for (const auto* spoiled : {&tooMany, &short1, &badType}) {
        writeFile(PALETTE_FILE_NAME, *spoiled);
        EXPECT_FALSE(readPalette());
        EXPECT_TRUE(sameWorld(*before, *snapshot()));
        EXPECT_EQ(readFile(PALETTE_FILE_NAME), *spoiled);   // a refused palette is not replaced
    }
}

// Seeds written by a script straight from the file layout (tests/fuzz/level_make_corpus.py):
// the decoder takes the sound ones and refuses the spoiled ones.
TEST(LevelCorpus, SeedsFromTheLayoutScriptDecodeAsWritten)
{
    struct Case {
        const char* file;
        bool accepted;
        size_t boxes, enemies;
    };
    const Case cases[] = {
        {"level_file/ground_only.level", true, 1, 0},
        {"level_file/every_kind.level", true, 10, 4},
        {"level_file/odd_marker.level", true, 1, 1},
        {"level_file/truncated.level", false, 0, 0},
        {"level_file/one_byte_long.level", false, 0, 0},
        {"level_file/nan_width.level", false, 0, 0},
        {"level_file/box_count_150.level", false, 0, 0},
        {"level_file/enemy_count_100.level", false, 0, 0},
        {"level_file/bad_box_type.level", false, 0, 0},
        {"level_file/stands_on_missing_box.level", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = std::string(SOURCE_DIR) + "/tests/fuzz/corpus/" + c.file;
        const std::vector<uint8_t> bytes = readFile(path.c_str());
        ASSERT_FALSE(bytes.empty());
        LevelImage level;
        std::string error;
        EXPECT_EQ(decodeLevel(bytes.data(), bytes.size(), level, error), c.accepted) << error;
        if (!c.accepted)
            continue;
        EXPECT_EQ(level.boxes.size(), c.boxes);
        EXPECT_EQ(level.enemies.size(), c.enemies);
    }
    const std::string every = std::string(SOURCE_DIR) + "/tests/fuzz/corpus/level_file/every_kind.level";
    const std::vector<uint8_t> bytes = readFile(every.c_str());
    LevelImage level;
    std::string error;
    ASSERT_TRUE(decodeLevel(bytes.data(), bytes.size(), level, error));
    const BoxRecord& lift = level.boxes[9];
    EXPECT_EQ(lift.type, BOX_LIFT);
    EXPECT_FLOAT_EQ(lift.liftRangeX, -150);
    EXPECT_EQ(lift.liftState, 2);
    const EnemyRecord& flyer = level.enemies[2];
    EXPECT_EQ(flyer.type, ENEMY_FLYER);
    EXPECT_FLOAT_EQ(flyer.pathRangeX, 300);
    EXPECT_EQ(flyer.pathState, 3);
    EXPECT_FLOAT_EQ(flyer.debris[99][0], 109);
    EXPECT_EQ(encodeLevel(level), bytes);
}

}  // namespace
