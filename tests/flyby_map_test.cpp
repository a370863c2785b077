// The tile-map flyby: the generated map decodes cell by cell, short and odd maps give empty
// cells, the codes pick their tile slots, the scroll rotates the map one row per wrap, the
// animated tiles change frame with the scene clock, the tuning keys step their values while
// held, and a missing map ends the program.
#include "app/frame.h"            // sceneStartMs
#include "core/clock.h"
#include "core/keyboard.h"
#include "gfx/model.h"
#include "platform/os_services.h"  // useVirtualCounter
#include "render/light_space.h"    // the tuning values
#include "scenes/flyby_map.h"

#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> generatedMapBytes()
{
    std::ifstream in(std::string(RUN_DIR) + "/data/level.level", std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint8_t codeOf(uint8_t b) { return b == ' ' ? 0 : static_cast<uint8_t>(b - 64); }

TEST(FlybyMap, GeneratedMapIsALandscapeOfTheSevenCodes)
{
    std::vector<uint8_t> bytes = generatedMapBytes();
    ASSERT_EQ(bytes.size(), FLYBY_FILE_BYTES);
    int used[8] = {};
    for (int row = 0; row < FLYBY_ROWS; ++row)
        for (int cell = 0; cell < FLYBY_CELLS; ++cell) {
            uint8_t code = codeOf(bytes[static_cast<size_t>(row) * FLYBY_RECORD_BYTES + cell]);
            ASSERT_LE(code, 7) << "row " << row << " cell " << cell;
            ++used[code];
        }
    for (int code = 0; code <= 7; ++code)
        EXPECT_GT(used[code], 0) << "code " << code << " never appears";
}

TEST(FlybyMap, DecodesCellByCellAndIgnoresPadding)
{
    std::vector<uint8_t> bytes = generatedMapBytes();
    ASSERT_EQ(bytes.size(), FLYBY_FILE_BYTES);
    // Padding bytes that would decode to tile codes must not reach the map.
    for (int row = 0; row < FLYBY_ROWS; ++row)
        for (int pad = FLYBY_CELLS; pad < FLYBY_RECORD_BYTES; ++pad)
            bytes[static_cast<size_t>(row) * FLYBY_RECORD_BYTES + pad] = 'A';
    static uint8_t cells[FLYBY_ROWS][FLYBY_CELLS];
    decodeFlybyMap(bytes.data(), bytes.size(), cells);
    for (int row = 0; row < FLYBY_ROWS; ++row)
        for (int cell = 0; cell < FLYBY_CELLS; ++cell)
            ASSERT_EQ(cells[row][cell], codeOf(bytes[static_cast<size_t>(row) * FLYBY_RECORD_BYTES + cell]))
                << "row " << row << " cell " << cell;
}

TEST(FlybyMap, ShortMapLeavesTheCellsItDoesNotReachEmpty)
{
    struct Case {
        size_t size;
        int firstEmptyRow, firstEmptyCell;
    };
    const Case cases[] = {{0, 0, 0}, {5, 0, 5}, {13, 1, 0}, {16 + 12, 1, 12}, {FLYBY_FILE_BYTES - 4, 213, 12}};
    std::vector<uint8_t> full(FLYBY_FILE_BYTES + 100, 'G');
    for (const Case& c : cases) {
        static uint8_t cells[FLYBY_ROWS][FLYBY_CELLS];
        std::memset(cells, 0xEE, sizeof(cells));
        decodeFlybyMap(c.size ? full.data() : nullptr, c.size, cells);
        for (int row = 0; row < FLYBY_ROWS; ++row)
            for (int cell = 0; cell < FLYBY_CELLS; ++cell) {
                bool reached = row < c.firstEmptyRow || (row == c.firstEmptyRow && cell < c.firstEmptyCell);
                ASSERT_EQ(cells[row][cell], reached ? 7 : 0) << "size " << c.size << " row " << row << " cell " << cell;
            }
    }
}

TEST(FlybyMap, CodesOutsideOneToSevenAndEmptySlotsDrawNothing)
{
    Model slots[FLYBY_TILE_SLOTS];
    for (int i = 0; i < FLYBY_TILE_SLOTS; ++i)
        flybyTileModels[i] = &slots[i];
    flybyTileFrames[0] = 0.0f;
    flybyTileFrames[1] = 1.0f;
    struct Case {
        uint8_t code;
        int slot;   // -1: nothing drawn
        int frame;
    };
    const Case cases[] = {{0, -1, 0},  {1, 0, -1}, {2, 1, -1}, {3, 2, 1},   {4, 2, 100},
                          {5, 3, -1}, {6, 4, -1}, {7, 5, -1}, {8, -1, 0}, {202, -1, 0}};
    for (const Case& c : cases) {
        Model* model = nullptr;
        int frame = 0;
        bool drawn = flybyTileFor(c.code, model, frame);
        ASSERT_EQ(drawn, c.slot >= 0) << "code " << int(c.code);
        if (drawn) {
            EXPECT_EQ(model, &slots[c.slot]) << "code " << int(c.code);
            EXPECT_EQ(frame, c.frame) << "code " << int(c.code);
        }
    }
    flybyTileModels[4] = nullptr;
    Model* model = nullptr;
    int frame = 0;
    EXPECT_FALSE(flybyTileFor(6, model, frame)) << "an empty slot draws nothing";
    for (Model*& m : flybyTileModels)
        m = nullptr;
}

TEST(FlybyMap, TwentyTwoWrapsOfTheScrollRotateTheMapBy22Rows)
{
    std::vector<uint8_t> bytes = generatedMapBytes();
    ASSERT_EQ(bytes.size(), FLYBY_FILE_BYTES);
    static uint8_t original[FLYBY_ROWS][FLYBY_CELLS];
    decodeFlybyMap(bytes.data(), bytes.size(), original);
    std::memcpy(flybyMap, original, sizeof(flybyMap));
    initClockFrequency();
    startClock();
    flybyScroll = 0.0f;
    // Steps of 6 frames of scroll (1.2 units) through 22 wraps of 4.26 units.
    int wraps = 0;
    for (int step = 1; step <= 79; ++step) {
        float before = flybyScroll;
        sceneStartMs = clockNowMs() - static_cast<int>(step * 100);
        scrollFlybyMap();
        if (flybyScroll < before)
            ++wraps;
    }
    ASSERT_EQ(wraps, 22);
    for (int row = 0; row < FLYBY_ROWS; ++row)
        ASSERT_EQ(std::memcmp(flybyMap[row], original[(row + 22) % FLYBY_ROWS], FLYBY_CELLS), 0) << "row " << row;
}

TEST(FlybyMap, AnimatedTilesLoopForCodeThreeAndSwingForCodeFour)
{
    Model tile;
    Model* slots[FLYBY_TILE_SLOTS] = {};
    slots[2] = &tile;
    std::copy(slots, slots + FLYBY_TILE_SLOTS, flybyTileModels);
    initClockFrequency();
    startClock();
    useVirtualCounter(true);
    struct Case {
        int elapsedMs;
        int frame3, frame4;  // about; the tween runs on 16.667 ms frames
    };
    // 100 frames of the scene clock take both through the range; then code 3 starts over and
    // code 4 comes back.
    const Case cases[] = {{0, 1, 1}, {1000, 60, 60}, {2000, 20, 80}, {3000, 80, 20}, {3333, 100, 1}};
    for (const Case& c : cases) {
        sceneStartMs = clockNowMs() - c.elapsedMs;
        animateFlybyTileFrames();
        Model* model = nullptr;
        int frame3 = 0, frame4 = 0;
        ASSERT_TRUE(flybyTileFor(3, model, frame3));
        ASSERT_TRUE(flybyTileFor(4, model, frame4));
        EXPECT_NEAR(frame3, c.frame3, 1) << c.elapsedMs << " ms";
        EXPECT_NEAR(frame4, c.frame4, 1) << c.elapsedMs << " ms";
        for (int frame : {frame3, frame4}) {
            EXPECT_GE(frame, 1);
            EXPECT_LE(frame, 100);
        }
    }
    useVirtualCounter(false);
    std::fill(flybyTileModels, flybyTileModels + FLYBY_TILE_SLOTS, nullptr);
}

TEST(FlybyMap, TuningKeysStepTheirValueOncePerCallWhileHeld)
{
    enum Value { SF, SFZ, SFBG, SFZBG, XSC, YSC, ZSC, VALUE_COUNT };
    float* const values[VALUE_COUNT] = {&sf, &sfz, &sfbg, &sfzbg, &xsc, &ysc, &zsc};
    const float start[VALUE_COUNT] = {0.05f, 0.015f, 0.15f, 0.05f, 1.0f, 2.0f, 2.0f};
    struct Case {
        int scancode;
        bool rightShift;
        int changed;  // -1: nothing changes
        float step;
    };
    const Case cases[] = {
        {24, false, SF, -0.001f},   {12, false, SF, 0.001f},    {13, false, SFZ, -0.001f}, {14, false, SFZ, 0.001f},
        {24, true, SFBG, -0.001f},  {12, true, SFBG, 0.001f},   {13, true, SFZBG, -0.001f}, {14, true, SFZBG, 0.001f},
        {30, false, ZSC, -0.5f},    {31, false, ZSC, 0.5f},     {32, false, YSC, 0.5f},    {33, false, YSC, -0.5f},
        {34, false, XSC, -0.5f},    {35, false, XSC, 0.5f},     {30, true, ZSC, -0.5f},    {35, true, XSC, 0.5f},
        {229, true, -1, 0.0f},      {18, false, -1, 0.0f},      {36, false, -1, 0.0f},
    };
    const float saved[VALUE_COUNT] = {sf, sfz, sfbg, sfzbg, xsc, ysc, zsc};
    for (const Case& c : cases) {
        for (int v = 0; v < VALUE_COUNT; ++v)
            *values[v] = start[v];
        std::memset(&keyboardState, 0, sizeof(keyboardState));
        keyboardState.held[c.scancode] = 1;
        if (c.rightShift)
            keyboardState.held[229] = 1;
        // Three calls with the key held: three steps, each on the single-precision value.
        for (int call = 0; call < 3; ++call)
            adjustShadowTuning();
        for (int v = 0; v < VALUE_COUNT; ++v) {
            float expected = start[v];
            if (v == c.changed)
                for (int call = 0; call < 3; ++call)
                    expected += c.step;
            EXPECT_EQ(*values[v], expected) << "scancode " << c.scancode << (c.rightShift ? " with shift" : "") << " value " << v;
        }
    }
    // A key only pressed (the press table) is not held: nothing moves.
    for (int v = 0; v < VALUE_COUNT; ++v)
        *values[v] = start[v];
    std::memset(&keyboardState, 0, sizeof(keyboardState));
    keyboardState.pressed[24] = keyboardState.pressed[31] = 1;
    adjustShadowTuning();
    for (int v = 0; v < VALUE_COUNT; ++v)
        EXPECT_EQ(*values[v], start[v]) << "value " << v;
    // Keys held together all act in the same call; opposite keys cancel.
    keyboardState.held[24] = keyboardState.held[12] = keyboardState.held[32] = keyboardState.held[34] = 1;
    adjustShadowTuning();
    EXPECT_FLOAT_EQ(sf, start[SF]);
    EXPECT_EQ(ysc, start[YSC] + 0.5f);
    EXPECT_EQ(xsc, start[XSC] - 0.5f);
    std::memset(&keyboardState, 0, sizeof(keyboardState));
    for (int v = 0; v < VALUE_COUNT; ++v)
        *values[v] = saved[v];
}

TEST(FlybyMapDeathTest, MissingMapEndsWithFileError)
{
    const std::filesystem::path empty = std::filesystem::temp_directory_path() / ("flyby_empty_" + std::to_string(getpid()));
    std::filesystem::create_directories(empty / "data");
    EXPECT_EXIT(
        {
            if (chdir(empty.c_str()) != 0)
                std::exit(9);
            loadFlybyMap();
        },
        testing::ExitedWithCode(1), "^File error$");
    std::filesystem::remove_all(empty);
}

TEST(FlybyMap, LoadReadsTheGeneratedMap)
{
    REQUIRE_GL_CONTEXT();
    std::memset(flybyMap, 0xEE, sizeof(flybyMap));
    loadFlybyMap();
    std::vector<uint8_t> bytes = generatedMapBytes();
    for (int row = 0; row < FLYBY_ROWS; ++row)
        for (int cell = 0; cell < FLYBY_CELLS; ++cell)
            ASSERT_EQ(flybyMap[row][cell], codeOf(bytes[static_cast<size_t>(row) * FLYBY_RECORD_BYTES + cell]));
}

} // namespace
