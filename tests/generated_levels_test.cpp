// The level files the generator writes into the run directory, read back through the game's
// own reader and decoder (the generator has an encoder of its own), against the layouts the
// generator describes; and what makes the first level a level: every box kind and tile, lifts,
// patrolling enemies, a flyer's path, orbs, several screens.
#include "game/boxes.h"
#include "game/enemies.h"
#include "game/level_codec.h"
#include "game/level_file.h"
#include "tools/common/tile_sizes.h"
#include "tools/level_data/level_layouts.h"
#include "tests/program_runner.h"

#include <filesystem>

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// The generator's own output: the run directory's copy may be a level the user edited.
std::string runFile(const char* name)
{
    return std::string(LEVELS_DIR) + "/" + name;
}

// The tables after reading `name` hold the layout: boxes (box 1 rebuilt as the ground strip,
// lifts at the start of their paths) and enemies, field by field.
void expectTablesHold(const char* name, const LevelLayout& layout)
{
    SCOPED_TRACE(name);
    ASSERT_TRUE(readLevel(runFile(name).c_str()));
    ASSERT_EQ(boxCount, static_cast<int>(layout.boxes.size()));
    for (int i = 1; i <= boxCount; ++i) {
        const LayoutBox& box = layout.boxes[i - 1];
        SCOPED_TRACE("box " + std::to_string(i));
        EXPECT_EQ(boxTable.x[i], box.x);
        EXPECT_EQ(boxTable.y[i], box.y);
        EXPECT_EQ(boxTable.width[i], box.width);
        EXPECT_EQ(boxTable.height[i], box.height);
        EXPECT_EQ(boxTable.type[i], box.type);
        EXPECT_EQ(boxTable.meshId[i], box.meshId);
        EXPECT_EQ(boxTable.liftStartX[i], box.x);
        EXPECT_EQ(boxTable.liftStartY[i], box.y);
        EXPECT_EQ(boxTable.liftRangeX[i], box.liftRangeX);
        EXPECT_EQ(boxTable.liftRangeY[i], box.liftRangeY);
        EXPECT_EQ(boxTable.liftSpeed[i], box.liftSpeed);
        EXPECT_EQ(boxTable.liftState[i], 0);
    }
    ASSERT_EQ(enemyCount, static_cast<int>(layout.enemies.size()));
    for (int i = 1; i <= enemyCount; ++i) {
        const LayoutEnemy& enemy = layout.enemies[i - 1];
        SCOPED_TRACE("enemy " + std::to_string(i));
        EXPECT_EQ(enemyTable.type[i], enemy.type);
        EXPECT_EQ(enemyTable.x[i], enemy.x);
        EXPECT_EQ(enemyTable.y[i], enemy.y);
        EXPECT_EQ(enemyTable.width[i], layoutEnemyWidth(enemy.type));
        EXPECT_EQ(enemyTable.height[i], layoutEnemyHeight(enemy.type));
        EXPECT_EQ(enemyTable.speed[i], enemy.speed);
        EXPECT_EQ(enemyTable.direction[i], enemy.direction);
        EXPECT_EQ(enemyTable.health[i], 100.0f);
        EXPECT_EQ(enemyTable.pathStartX[i], enemy.x);
        EXPECT_EQ(enemyTable.pathRangeX[i], enemy.pathRangeX);
        EXPECT_EQ(enemyTable.pathRangeY[i], enemy.pathRangeY);
    }
}

TEST(GeneratedLevels, ReadBackAsTheGeneratorDescribesThem)
{
    expectTablesHold("level1.level", buildFirstLevel());
    expectTablesHold("crowded.level", buildCrowdedLevel());
    EXPECT_EQ(boxCount, MAX_LEVEL_BOXES);
    EXPECT_EQ(enemyCount, 99);
    for (int i = 1; i <= enemyCount; ++i)
        EXPECT_EQ(enemyTable.type[i], ENEMY_WALKER);
}

TEST(GeneratedLevels, FirstLevelHasEveryKindOfThingOverSeveralScreens)
{
    LevelLayout level = buildFirstLevel();
    std::set<int> types, meshes;
    bool liftUp = false, liftBelowZero = false;
    float right = 0.0f, top = 0.0f;
    for (size_t i = 0; i < level.boxes.size(); ++i) {
        const LayoutBox& box = level.boxes[i];
        types.insert(box.type);
        meshes.insert(box.meshId);
        if (box.type == BOX_LIFT) {
            liftUp = liftUp || box.liftRangeY > 0.0f;
            liftBelowZero = liftBelowZero || box.liftRangeX < 0.0f || box.liftRangeY < 0.0f;
            EXPECT_GT(box.liftSpeed, 0.0f);
        }
        // Every tile fills the box its table size gives, and sits on a box of its own shape.
        if (box.meshId >= 0 && box.type != BOX_LIFT) {
            SCOPED_TRACE("box " + std::to_string(i + 1));
            EXPECT_EQ(box.width, TILE_SIZES[box.meshId].width);
            EXPECT_EQ(box.height, TILE_SIZES[box.meshId].height);
            EXPECT_EQ(box.type, TILE_SIZES[box.meshId].shape);
        }
        right = std::max(right, box.x + box.width);
        top = std::max(top, box.y + box.height);
    }
    EXPECT_EQ(types, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(meshes, (std::set<int>{-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(liftUp);
    EXPECT_TRUE(liftBelowZero);
    EXPECT_GE(right, 2.0f * 1920.0f);
    EXPECT_GE(top, 2.0f * 1080.0f);

    // Walkers and jumpers stand on a box top; a flyer has a path; orbs to collect.
    int walkers = 0, jumpers = 0, flyers = 0, orbs = 0;
    for (const LayoutEnemy& enemy : level.enemies) {
        if (enemy.type == ENEMY_WALKER || enemy.type == ENEMY_JUMPER) {
            bool onBox = false;
            for (const LayoutBox& box : level.boxes)
                onBox = onBox || (box.y + box.height == enemy.y && box.x < enemy.x + 70.0f && enemy.x < box.x + box.width &&
                                  box.type == BOX_STANDARD && box.meshId >= 0);
            EXPECT_TRUE(onBox) << enemy.x << ", " << enemy.y;
        }
        walkers += enemy.type == ENEMY_WALKER;
        jumpers += enemy.type == ENEMY_JUMPER;
        orbs += enemy.type == ENEMY_ORB;
        if (enemy.type == ENEMY_FLYER) {
            ++flyers;
            EXPECT_GT(enemy.pathRangeX, 0.0f);
            EXPECT_GT(enemy.pathRangeY, 0.0f);
        }
    }
    EXPECT_GE(walkers, 2);
    EXPECT_GE(jumpers, 1);
    EXPECT_GE(flyers, 1);
    EXPECT_GE(orbs, 4);

    // The start: the player drops from (130, 161) onto a box below it.
    bool floorUnderStart = false;
    for (const LayoutBox& box : level.boxes)
        floorUnderStart = floorUnderStart || (box.x < 130.0f && 195.0f < box.x + box.width && box.y + box.height < 160.0f &&
                                              box.y + box.height > 100.0f && box.meshId >= 0);
    EXPECT_TRUE(floorUnderStart);
}

TEST(GeneratedLevels, PaletteHoldsEachTileWithItsKindAndALift)
{
    std::ifstream file(runFile("palette.level"), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    PaletteImage palette;
    std::string error;
    ASSERT_TRUE(decodePalette(bytes.data(), bytes.size(), palette, error)) << error;
    std::vector<LayoutBox> expected = buildPalette();
    ASSERT_EQ(palette.entries.size(), expected.size());
    std::set<int> tiles;
    int lifts = 0;
    for (size_t i = 0; i < palette.entries.size(); ++i) {
        const BoxRecord& entry = palette.entries[i];
        EXPECT_EQ(entry.x, expected[i].x);
        EXPECT_EQ(entry.y, expected[i].y);
        EXPECT_EQ(entry.meshId, expected[i].meshId);
        EXPECT_EQ(entry.type, expected[i].type);
        if (entry.type == BOX_LIFT) {
            ++lifts;
            continue;
        }
        tiles.insert(entry.meshId);
        EXPECT_EQ(entry.type, TILE_SIZES[entry.meshId].shape);
        EXPECT_EQ(entry.width, TILE_SIZES[entry.meshId].width);
    }
    EXPECT_EQ(tiles.size(), static_cast<size_t>(TILE_MESH_COUNT));
    EXPECT_EQ(lifts, 1);
    // The editor's default entry first: a 50 x 50 standard box with mesh 1.
    EXPECT_EQ(palette.entries[0].width, 50.0f);
    EXPECT_EQ(palette.entries[0].meshId, 1);
}

// A rebuild runs the generator again: it installs a level into the run directory only where
// that is missing or still what it generated last, and keeps (with one line) a level the user
// edited there, also when the generated one changes.
TEST(GeneratedLevels, ARegenerationKeepsAnEditedLevelAndRestoresAMissingOne)
{
    namespace fs = std::filesystem;
    const fs::path root = scratchPath("mornglow-level-data");
    const fs::path run = root / "run", generated = root / "levels";
    fs::remove_all(root);
    fs::create_directories(run);
    fs::create_directories(generated);
    const std::string command = std::string("'") + BINARY_DIR + "/tools/level_data/level-data' '" + run.string() +
                                "' '" + generated.string() + "'";
    auto bytes = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    auto put = [](const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; };

    ProgramRun first = runProgram(command);
    ASSERT_EQ(first.exitStatus, 0);
    EXPECT_EQ(first.output, "");
    const std::string level = bytes(generated / "level1.level");
    ASSERT_FALSE(level.empty());
    EXPECT_EQ(bytes(run / "level1.level"), level);
    EXPECT_EQ(bytes(run / "palette.level"), bytes(generated / "palette.level"));

    put(run / "level1.level", "edited by hand");
    fs::remove(run / "palette.level");
    // A generator that changed since: its last output differs from what it writes now.
    put(generated / "crowded.level", "an older generation");
    put(run / "crowded.level", "an older generation");
    ProgramRun again = runProgram(command);
    ASSERT_EQ(again.exitStatus, 0);
    EXPECT_EQ(bytes(run / "level1.level"), "edited by hand");
    EXPECT_EQ(again.output, "level-data: " + (run / "level1.level").string() +
                                " differs from what was generated (edited?): kept; the generated one is " +
                                (generated / "level1.level").string() + "\n");
    EXPECT_EQ(bytes(run / "palette.level"), bytes(generated / "palette.level")) << "a missing file is restored";
    EXPECT_EQ(bytes(run / "crowded.level"), bytes(generated / "crowded.level")) << "an unedited file follows";
    EXPECT_NE(bytes(run / "crowded.level"), "an older generation");
    fs::remove_all(root);
}

}  // namespace
