// The level editor driven headless through the key source, one frame of editorInput per line of
// a script, in a temporary working folder holding a copy of the generated level and palette
// (TAB, F1 and shift+S write files there).
#include "core/keyboard.h"
#include "game/boxes.h"
#include "game/editor.h"
#include "game/enemies.h"
#include "game/game_camera.h"
#include "game/game_frame.h"
#include "game/level_file.h"
#include "game/player.h"
#include "tests/game_world_support.h"
#include "tests/tga_test_files.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

namespace {

using Keys = std::vector<SDL_Scancode>;

unsigned char keyArray[KEY_TABLE_SIZE];

// One editor frame with exactly these keys down.
void frame(const Keys& keys)
{
    std::fill(std::begin(keyArray), std::end(keyArray), 0);
    for (SDL_Scancode k : keys)
        keyArray[k] = 1;
    editorInput();
}

// A key tapped: down for one frame, then up for one.
void tap(const Keys& keys)
{
    frame(keys);
    frame({});
}

std::vector<uint8_t> levelBytes()
{
    return encodeLevel(captureLevel());
}

std::vector<uint8_t> fileBytes(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LevelEditor : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_FALSE(folder.root.empty());
        for (const char* name : {LEVEL_FILE_NAME, PALETTE_FILE_NAME})
            std::filesystem::copy_file(std::filesystem::path(RUN_DIR) / name, folder.root / name);
        world::reset();
        setKeySource(keyArray, KEY_TABLE_SIZE);
        std::fill(std::begin(keyArray), std::end(keyArray), 0);
        paletteMode = false;
        liftDestinationPending = flyerDestinationPending = false;
        selectedBoxType = selectedMeshId = selectedEnemyType = 0;
        gridSizeX = gridSizeY = 10.0f;
        cursorWidth = cursorHeight = 50.0f;
        startCursorX = 960.0f;
        startCursorY = 540.0f;
        savedCameraX = savedCameraY = 0.0f;
        editorMode = 1;
        initEditor();
        ASSERT_GT(boxCount, 1) << "the generated level did not load";
        frame({});  // the editor's first frame: no keys, the steps follow the grid
    }
    void TearDown() override
    {
        setKeySource(nullptr, 0);
        editorMode = 0;
        paletteMode = false;
    }
    void placeCursor(float x, float y, float w = 50.0f, float h = 50.0f)
    {
        cursorX = x;
        cursorY = y;
        cursorWidth = w;
        cursorHeight = h;
    }
    ScopedDataFolder folder;
};

// Each case sets the stage, runs its keys and checks what the Part's steps leave.
struct EditorCase {
    const char* name;
    std::function<void(LevelEditor&)> run;
};

// A spot of the level well above every generated box, for stamping.
constexpr float FREE_X = 1500.0f;
constexpr float FREE_Y = 9000.0f;

const EditorCase EDITOR_CASES[] = {
    {"SpaceStampsABoxTheSizeOfTheCursor",
        [](LevelEditor& t) {
            const int before = boxCount;
            t.placeCursor(FREE_X, FREE_Y, 80, 30);
            tap({SDL_SCANCODE_S});  // mesh id 1
            tap({SDL_SCANCODE_SPACE});
            ASSERT_EQ(boxCount, before + 1);
            EXPECT_EQ(boxTable.x[boxCount], FREE_X);
            EXPECT_EQ(boxTable.y[boxCount], FREE_Y);
            EXPECT_EQ(boxTable.width[boxCount], 80.0f);
            EXPECT_EQ(boxTable.height[boxCount], 30.0f);
            EXPECT_EQ(boxTable.type[boxCount], BOX_STANDARD);
            EXPECT_EQ(boxTable.meshId[boxCount], 1);
        }},
    {"GPicksTheBoxUnderTheCursorAndSpaceCopiesIt",
        [](LevelEditor& t) {
            world::putBox(boxCount + 1, FREE_X, FREE_Y, 120, 40, BOX_RIGHT_SLOPE);
            boxTable.meshId[boxCount] = 4;
            t.placeCursor(FREE_X + 10, FREE_Y + 10, 5, 5);
            tap({SDL_SCANCODE_G});
            EXPECT_EQ(cursorX, FREE_X);
            EXPECT_EQ(cursorWidth, 120.0f);
            EXPECT_EQ(cursorHeight, 40.0f);
            EXPECT_EQ(selectedBoxType, BOX_RIGHT_SLOPE);
            EXPECT_EQ(selectedMeshId, 4);
            cursorY += 500.0f;
            const int before = boxCount;
            tap({SDL_SCANCODE_SPACE});
            ASSERT_EQ(boxCount, before + 1);
            EXPECT_EQ(boxTable.type[boxCount], BOX_RIGHT_SLOPE);
            EXPECT_EQ(boxTable.width[boxCount], 120.0f);
            EXPECT_EQ(boxTable.y[boxCount], FREE_Y + 500.0f);
        }},
    {"DeleteOnTheGroundBoxRemovesOnlyTheEnemy",
        [](LevelEditor& t) {
            boxCount = 1;
            resetBoundaryBoxAndLifts();
            enemyCount = 2;
            enemyTable.x[2] = 300.0f;
            enemyTable.y[2] = 25.0f;
            enemyTable.width[2] = 70.0f;
            enemyTable.height[2] = 150.0f;
            enemyTable.x[1] = 3000.0f;
            t.placeCursor(310, 20, 20, 20);  // overlaps the ground strip and enemy 2
            tap({SDL_SCANCODE_DELETE});
            EXPECT_EQ(boxCount, 1);
            EXPECT_EQ(enemyCount, 1);
            EXPECT_EQ(enemyTable.health[2], 0.0f) << "the last enemy's fields are cleared";
        }},
    {"DeleteShiftsTheLaterBoxesAndEnemiesDown",
        [](LevelEditor& t) {
            boxCount = 1;
            world::putBox(2, FREE_X, FREE_Y, 50, 50);
            world::putBox(3, FREE_X + 500, FREE_Y, 60, 60);
            enemyCount = 2;
            enemyTable.x[1] = FREE_X;
            enemyTable.y[1] = FREE_Y;
            enemyTable.width[1] = enemyTable.height[1] = 40.0f;
            enemyTable.x[2] = 100.0f;
            enemyTable.scoreValue[1] = 7.0f;
            t.placeCursor(FREE_X + 5, FREE_Y + 5, 10, 10);
            tap({SDL_SCANCODE_DELETE});
            ASSERT_EQ(boxCount, 2);
            EXPECT_EQ(boxTable.x[2], FREE_X + 500);
            ASSERT_EQ(enemyCount, 1);
            EXPECT_EQ(enemyTable.x[1], 100.0f);
            EXPECT_EQ(enemyTable.scoreValue[1], 7.0f) << "scoreValue is not stored, so not moved";
        }},
    {"RctrlDeleteLeavesTheGroundBoxAlone",
        [](LevelEditor&) {
            tap({SDL_SCANCODE_RCTRL, SDL_SCANCODE_DELETE});
            EXPECT_EQ(boxCount, 1);
            EXPECT_EQ(enemyCount, 0);
        }},
    {"TheHundredFiftiethBoxOverwritesTheLast",
        [](LevelEditor& t) {
            for (int i = boxCount + 1; i <= MAX_LEVEL_BOXES; ++i)
                world::putBox(i, 0, 5000, 10, 10);
            t.placeCursor(FREE_X, FREE_Y, 33, 44);
            tap({SDL_SCANCODE_SPACE});
            EXPECT_EQ(boxCount, MAX_LEVEL_BOXES);
            EXPECT_EQ(boxTable.width[MAX_LEVEL_BOXES], 33.0f);
            EXPECT_EQ(boxTable.x[MAX_LEVEL_BOXES - 1], 0.0f);
        }},
    {"TheHundredthEnemyOverwritesTheLast",
        [](LevelEditor& t) {
            enemyCount = MAX_LEVEL_ENEMIES;
            t.placeCursor(FREE_X, FREE_Y);
            tap({SDL_SCANCODE_T});  // jumper
            tap({SDL_SCANCODE_E});
            EXPECT_EQ(enemyCount, MAX_LEVEL_ENEMIES);
            EXPECT_EQ(enemyTable.type[MAX_LEVEL_ENEMIES], ENEMY_JUMPER);
            EXPECT_EQ(enemyTable.x[MAX_LEVEL_ENEMIES], FREE_X);
            EXPECT_EQ(enemyTable.jumpY0[MAX_LEVEL_ENEMIES], FREE_Y + 1.0f);
            const float speed = enemyTable.speed[MAX_LEVEL_ENEMIES];
            const float base = enemyDefaults[ENEMY_JUMPER].speed;
            EXPECT_LE(speed, base + 2.5f);
            EXPECT_GT(speed, base + 2.5f - 5.0f);
            EXPECT_NE(speed, std::trunc(speed)) << "the random part divides in floating point";
        }},
    {"ShiftFSnapsTheCursorToTheGrid",
        [](LevelEditor& t) {
            ASSERT_TRUE(snapToGrid);
            t.placeCursor(123, 47, 50, 46);
            tap({SDL_SCANCODE_LSHIFT, SDL_SCANCODE_F});
            EXPECT_EQ(cursorX, 120.0f);
            EXPECT_EQ(cursorY, 40.0f);
            EXPECT_EQ(cursorWidth, 50.0f);
            EXPECT_EQ(cursorHeight, 50.0f);
            // A side smaller than half a step would snap to 0: it keeps one grid step.
            t.placeCursor(123, 47, 3, 4);
            tap({SDL_SCANCODE_LSHIFT, SDL_SCANCODE_F});
            EXPECT_EQ(cursorWidth, 10.0f);
            EXPECT_EQ(cursorHeight, 10.0f);
        }},
    {"ALiftDestinationLeftAndBelowGivesANegativeRange",
        [](LevelEditor& t) {
            t.placeCursor(FREE_X, FREE_Y);
            tap({SDL_SCANCODE_W});  // lift
            tap({SDL_SCANCODE_SPACE});
            ASSERT_TRUE(liftDestinationPending);
            const int lift = boxCount;
            t.placeCursor(FREE_X - 200, FREE_Y - 100);
            tap({SDL_SCANCODE_SPACE});
            EXPECT_FALSE(liftDestinationPending);
            EXPECT_EQ(boxTable.liftRangeX[lift], -200.0f);
            EXPECT_EQ(boxTable.liftRangeY[lift], -100.0f);
            EXPECT_EQ(boxTable.liftSpeed[lift], 5.0f);
            EXPECT_EQ(boxCount, lift) << "the second SPACE places no box";
        }},
    {"EThenESetsAFlyersPath",
        [](LevelEditor& t) {
            t.placeCursor(FREE_X, FREE_Y);
            tap({SDL_SCANCODE_T});
            tap({SDL_SCANCODE_T});  // flyer
            tap({SDL_SCANCODE_E});
            ASSERT_TRUE(flyerDestinationPending);
            const int flyer = enemyCount;
            EXPECT_EQ(enemyTable.type[flyer], ENEMY_FLYER);
            t.placeCursor(FREE_X + 300, FREE_Y + 120);
            tap({SDL_SCANCODE_E});
            EXPECT_FALSE(flyerDestinationPending);
            EXPECT_EQ(enemyCount, flyer);
            EXPECT_EQ(enemyTable.pathRangeX[flyer], 300.0f);
            EXPECT_EQ(enemyTable.pathRangeY[flyer], 120.0f);
            EXPECT_EQ(enemyTable.pathSpeed[flyer], 4.0f);
        }},
    {"RctrlWithAnArrowMovesAHundredAndScrollsTheCamera",
        [](LevelEditor& t) {
            gameCameraX = 0.0f;
            t.placeCursor(1200, 500);
            frame({SDL_SCANCODE_RCTRL, SDL_SCANCODE_RIGHT});
            EXPECT_EQ(cursorX, 1300.0f);
            EXPECT_EQ(gameCameraX, 100.0f) << "1300 is right of the middle third (1280)";
            frame({SDL_SCANCODE_RCTRL, SDL_SCANCODE_RIGHT});
            EXPECT_EQ(cursorX, 1400.0f);
            EXPECT_EQ(gameCameraX, 200.0f);
            frame({});
            frame({SDL_SCANCODE_RIGHT});
            EXPECT_EQ(cursorX, 1410.0f) << "one grid step without RCTRL";
        }},
    {"ShiftSThenShiftLRestoresTheSavedLevel",
        [](LevelEditor& t) {
            tap({SDL_SCANCODE_LSHIFT, SDL_SCANCODE_S});
            EXPECT_EQ(selectedMeshId, 1) << "the plain S test follows the save";
            const std::vector<uint8_t> saved = levelBytes();
            EXPECT_EQ(fileBytes(LEVEL_FILE_NAME), saved);
            t.placeCursor(FREE_X, FREE_Y);
            tap({SDL_SCANCODE_SPACE});
            tap({SDL_SCANCODE_E});
            ASSERT_NE(levelBytes(), saved);
            tap({SDL_SCANCODE_RSHIFT, SDL_SCANCODE_L});
            EXPECT_EQ(levelBytes(), saved);
        }},
    {"TabThereAndBackRestoresTheLevel",
        [](LevelEditor& t) {
            t.placeCursor(FREE_X, FREE_Y);
            tap({SDL_SCANCODE_SPACE});
            const std::vector<uint8_t> level = levelBytes();
            tap({SDL_SCANCODE_TAB});
            ASSERT_TRUE(paletteMode);
            EXPECT_EQ(fileBytes(TEMP_LEVEL_FILE_NAME), level);
            EXPECT_EQ(cursorX, 0.0f) << "the palette view's own cursor";
            tap({SDL_SCANCODE_TAB});
            EXPECT_FALSE(paletteMode);
            EXPECT_EQ(levelBytes(), level);
            EXPECT_EQ(cursorX, FREE_X);
        }},
    {"TabStaysInTheLevelWhenItCannotBeParked",
        [](LevelEditor& t) {
            std::filesystem::create_directory(t.folder.root / TEMP_LEVEL_FILE_NAME);
            tap({SDL_SCANCODE_TAB});
            EXPECT_FALSE(paletteMode);
        }},
    {"F1FromThePaletteSavesTheLevelAndLeavesThePaletteView",
        [](LevelEditor& t) {
            t.placeCursor(FREE_X, FREE_Y);
            tap({SDL_SCANCODE_SPACE});
            const std::vector<uint8_t> level = levelBytes();
            const std::vector<uint8_t> palette = fileBytes(PALETTE_FILE_NAME);
            tap({SDL_SCANCODE_TAB});
            ASSERT_TRUE(paletteMode);
            tap({SDL_SCANCODE_SPACE});  // a palette entry
            tap({SDL_SCANCODE_F1});
            EXPECT_FALSE(paletteMode);
            EXPECT_EQ(editorMode, 0);
            EXPECT_EQ(fileBytes(LEVEL_FILE_NAME), level) << "the level is saved, not the palette";
            EXPECT_NE(fileBytes(PALETTE_FILE_NAME), palette) << "the palette keeps its new entry";
            editorMode = 1;
            initEditor();
            EXPECT_FALSE(paletteMode) << "the next editor starts in the level view";
            EXPECT_EQ(levelBytes(), level);
        }},
};

void PrintTo(const EditorCase& c, std::ostream* out)
{
    *out << c.name;
}

class LevelEditorCases : public LevelEditor, public ::testing::WithParamInterface<EditorCase> {};

TEST_P(LevelEditorCases, Run)
{
    GetParam().run(*this);
}

INSTANTIATE_TEST_SUITE_P(Scripts, LevelEditorCases, ::testing::ValuesIn(EDITOR_CASES),
    [](const ::testing::TestParamInfo<EditorCase>& info) { return std::string(info.param.name); });

}  // namespace
