// The level editor through the capture tool, as a player meets it: F1 from the running game,
// keys on the virtual clock, the files it writes in a scratch working folder (a copy of the
// level, the palette and the soundtrack, the data folder linked), and the pictures it draws over
// the game view.
#include "game/enemies.h"
#include "game/level_codec.h"
#include "png_read.h"
#include "tests/key_script_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The editor's run with its count of listed enemies.
struct EditorRun : KeyScriptRun {
    int enemies(int frame) const
    {
        int n = 0;
        while (has(frame, "enemy" + std::to_string(n + 1) + ".type"))
            ++n;
        return n;
    }
};

std::vector<uint8_t> fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the capture tool in a fresh scratch folder; `extra` carries the frame options. With
// `noop` nothing is rasterised (long runs); otherwise the captured frames are drawn for real.
EditorRun runEditor(const std::string& name, const std::string& script, const std::string& extra, bool noop)
{
    fs::path dir = makeKeyScriptFolder("mornglow-editor-" + name);
    for (const char* file : {"level1.level", "palette.level"})
        fs::copy_file(fs::path(LEVELS_DIR) / file, dir / file);
    fs::copy_file(fs::path(RUN_DIR) / "mornglow.mp3", dir / "mornglow.mp3");
    EditorRun run;
    static_cast<KeyScriptRun&>(run) = runKeyScript(dir, script, extra, noop);
    return run;
}

bool decodeFile(const fs::path& path, LevelImage& level)
{
    std::vector<uint8_t> bytes = fileBytes(path);
    std::string error;
    return decodeLevel(bytes.data(), bytes.size(), level, error);
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LevelEditorHarness, UserFlowPlacesSavesAndPlaysOnTheEditedLevel)
{
    const std::string script = readText(fs::path(SOURCE_DIR) / "tests/scripts/editor_user_flow.keys");
    ASSERT_FALSE(script.empty());
    EditorRun run = runEditor("flow", script, "--frames 200 --dump-at-frames 29,31,119,121,139,199", true);
    ASSERT_EQ(run.exitStatus, 0) << run.output.substr(0, 2000);
    LevelImage original;
    ASSERT_TRUE(decodeFile(fs::path(LEVELS_DIR) / "level1.level", original));

    EXPECT_EQ(run.value(29, "editorMode"), 0.0f);
    EXPECT_EQ(run.value(31, "editorMode"), 1.0f);
    EXPECT_EQ(run.value(31, "cursorX"), 960.0f);
    EXPECT_EQ(run.value(119, "editorMode"), 1.0f);
    EXPECT_EQ(run.value(119, "cursorX"), 1160.0f);
    EXPECT_EQ(run.value(119, "boxCount"), static_cast<float>(original.boxes.size() + 1));
    EXPECT_EQ(run.value(121, "editorMode"), 0.0f);

    // The game plays on the edited level: the new walker is in it, the player walks.
    const int enemies = run.enemies(121);
    ASSERT_EQ(enemies, static_cast<int>(original.enemies.size()) + 1);
    const std::string last = "enemy" + std::to_string(enemies);
    EXPECT_EQ(run.value(121, last + ".type"), static_cast<float>(ENEMY_WALKER));
    EXPECT_GT(run.value(121, last + ".health"), 0.0f);
    EXPECT_EQ(run.value(121, "boxCount"), run.value(119, "boxCount"));
    EXPECT_GT(run.value(199, "playerX"), run.value(139, "playerX") + 100.0f);

    // The saved level holds the box and the walker where the cursor stood.
    LevelImage saved;
    ASSERT_TRUE(decodeFile(run.dir / "out/level1.level", saved));
    ASSERT_EQ(saved.boxes.size(), original.boxes.size() + 1);
    EXPECT_EQ(saved.boxes.back().x, 960.0f);
    EXPECT_EQ(saved.boxes.back().y, 640.0f);
    EXPECT_EQ(saved.boxes.back().width, 50.0f);
    ASSERT_EQ(saved.enemies.size(), original.enemies.size() + 1);
    EXPECT_EQ(saved.enemies.back().x, 1160.0f);
    EXPECT_EQ(saved.enemies.back().y, 640.0f);
    fs::remove_all(run.dir);
}

bool isRed(const uint8_t* p)
{
    return p[0] > 200 && p[1] < 80 && p[2] < 80;
}

bool isWhite(const uint8_t* p)
{
    return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

// Some pixel within three of (x, y) passes: the dots are two pixels wide, the box outlines dotted.
template <class Test>
bool near(const RgbaPicture& picture, int x, int y, Test test)
{
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const int px = std::clamp(x + dx, 0, picture.width - 1);
            const int py = std::clamp(y + dy, 0, picture.height - 1);
            if (test(picture.at(px, py)))
                return true;
        }
    return false;
}

TEST(LevelEditorHarness, OverlayAndPaletteViewPictures)
{
    // Into the editor; a lift at the start cursor (960, 540), its destination 200 right and
    // 100 up (RCTRL steps of 100); the picture; then the palette view and its picture.
    const char* script = "2 +F1\n3 -F1\n"
                         "4 +W\n5 -W\n6 +SPACE\n7 -SPACE\n"
                         "8 +RCTRL\n8 +RIGHT\n10 -RIGHT\n10 +UP\n11 -UP\n11 -RCTRL\n"
                         "12 +SPACE\n13 -SPACE\n"
                         "15 +TAB\n16 -TAB\n";
    EditorRun run = runEditor("pictures", script, "--frames 17 --at-frames 14,17 --dump-at-frames 14,17", false);
    ASSERT_EQ(run.exitStatus, 0) << run.output.substr(0, 2000);
    ASSERT_EQ(run.value(14, "editorMode"), 1.0f);
    ASSERT_EQ(run.value(14, "gameCameraX"), 0.0f);
    ASSERT_EQ(run.value(14, "gameCameraY"), 0.0f);
    ASSERT_EQ(run.value(14, "cursorX"), 1160.0f);
    ASSERT_EQ(run.value(14, "cursorY"), 640.0f);

    RgbaPicture level;
    ASSERT_TRUE(readPng((run.dir / "out/game_00014.png").string(), level));
    ASSERT_EQ(level.width, 1920);
    // The border along the level's bottom and left edges.
    EXPECT_TRUE(near(level, 500, 0, isRed));
    EXPECT_TRUE(near(level, 0, 500, isRed));
    // The lift's outline, and its path: rows 540 and 640 from x 960 to 1160, columns between.
    EXPECT_TRUE(near(level, 985, 590, isWhite));
    EXPECT_TRUE(near(level, 1100, 540, isRed));
    EXPECT_TRUE(near(level, 1100, 640, isRed));
    EXPECT_TRUE(near(level, 1160, 590, isRed));
    EXPECT_FALSE(near(level, 1100, 600, isRed)) << "the path is an outline";
    // The cursor: its top edge over (1160, 640) 50 x 50 is lit, blinking between 0 and 1.
    const uint8_t* top = level.at(1185, 690);
    const uint8_t* above = level.at(1185, 700);
    EXPECT_NE(top[0] + top[1] + top[2], above[0] + above[1] + above[2]);

    // The palette view: its own camera and cursor, and its entries outlined.
    ASSERT_EQ(run.value(17, "paletteMode"), 1.0f);
    PaletteImage palette;
    std::vector<uint8_t> bytes = fileBytes(fs::path(LEVELS_DIR) / "palette.level");
    std::string error;
    ASSERT_TRUE(decodePalette(bytes.data(), bytes.size(), palette, error)) << error;
    RgbaPicture view;
    ASSERT_TRUE(readPng((run.dir / "out/game_00017.png").string(), view));
    // The palette's cursor starts at its origin, so the view has scrolled a step a frame.
    const float cameraX = run.value(17, "gameCameraX");
    const float cameraY = run.value(17, "gameCameraY");
    EXPECT_TRUE(near(view, static_cast<int>(-cameraX), 500, isRed)) << "the border's left edge";
    int checked = 0;
    for (size_t i = 1; i < palette.entries.size(); ++i) {
        const BoxRecord& e = palette.entries[i];
        const int x = static_cast<int>(e.x + e.width / 2 - cameraX);
        const int y = static_cast<int>(e.y - cameraY);
        if (e.type != 0 || x < 4 || x > 1900 || y < 4 || y > 1060)
            continue;
        EXPECT_TRUE(near(view, x, y, isWhite)) << "palette entry " << i << " at " << e.x << ", " << e.y;
        ++checked;
    }
    EXPECT_GT(checked, 0) << "no standard palette entry in the view";
    fs::remove_all(run.dir);
}

// A refused level or palette is the user's only copy of it: walking through the editor (and
// its palette view) without an edit writes nothing over either; an edit and a save keep the
// refused original as NAME.refused. All of a scripted run's saves land below --out, so the
// working folder's files stay as they were in every case.
TEST(LevelEditorHarness, RefusedLevelAndPaletteAreKeptUntilAnEditIsSaved)
{
    struct Case {
        const char* name;
        const char* script;
        bool levelSaved;  // an edit was saved: the refused original is kept beside the new file
    };
    const Case cases[] = {
        {"f1-f1", "2 +F1\n3 -F1\n5 +F1\n6 -F1\n", false},
        {"f1-tab-tab-f1", "2 +F1\n3 -F1\n5 +TAB\n6 -TAB\n8 +TAB\n9 -TAB\n11 +F1\n12 -F1\n", false},
        {"f1-box-f1", "2 +F1\n3 -F1\n5 +SPACE\n6 -SPACE\n8 +F1\n9 -F1\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path dir = makeKeyScriptFolder(std::string("mornglow-refused-") + c.name);
        std::map<std::string, std::vector<uint8_t>> flipped;
        for (const char* file : {"level1.level", "palette.level"}) {
            std::vector<uint8_t> bytes = fileBytes(fs::path(LEVELS_DIR) / file);
            ASSERT_GT(bytes.size(), 24u);
            bytes[24] ^= 8;  // the first box's type 0 becomes 8: both readers refuse the file
            std::ofstream(dir / file, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            flipped[file] = bytes;
        }
        KeyScriptRun run = runKeyScript(dir, c.script, "--frames 14", true);
        ASSERT_EQ(run.exitStatus, 0) << run.output.substr(0, 2000);
        for (const auto& [file, bytes] : flipped) {
            EXPECT_EQ(fileBytes(dir / file), bytes) << file << " in the working folder";
            const bool replaced = c.levelSaved && file == "level1.level";
            EXPECT_EQ(fileBytes(dir / "out" / file) == bytes, !replaced) << file << " under --out";
            EXPECT_EQ(fs::exists(dir / "out" / (file + ".refused")), replaced) << file;
            if (replaced) {
                EXPECT_EQ(fileBytes(dir / "out" / (file + ".refused")), bytes);
            }
        }
        if (c.levelSaved) {
            LevelImage saved;
            EXPECT_TRUE(decodeFile(dir / "out/level1.level", saved)) << "the saved level reads back";
        }
        fs::remove_all(dir);
    }
}

// An editing run (a box placed and saved, the palette view opened and closed) leaves every
// file of its working folder byte-identical: the saves go below --out.
TEST(LevelEditorHarness, ScriptedEditorRunWritesOnlyBelowItsOutputFolder)
{
    EditorRun run = runEditor("out-only",
                              "2 +F1\n3 -F1\n5 +SPACE\n6 -SPACE\n7 +TAB\n8 -TAB\n9 +SPACE\n10 -SPACE\n"
                              "11 +TAB\n12 -TAB\n13 +LSHIFT\n13 +S\n14 -S\n14 -LSHIFT\n15 +F1\n16 -F1\n",
                              "--frames 18", true);
    ASSERT_EQ(run.exitStatus, 0) << run.output.substr(0, 2000);
    for (const char* file : {"level1.level", "palette.level"}) {
        EXPECT_EQ(fileBytes(run.dir / file), fileBytes(fs::path(LEVELS_DIR) / file)) << file;
        EXPECT_NE(fileBytes(run.dir / "out" / file), fileBytes(fs::path(LEVELS_DIR) / file)) << file << " was saved";
    }
    EXPECT_FALSE(fs::exists(run.dir / "temp.level"));
    EXPECT_TRUE(fs::exists(run.dir / "out/temp.level"));
    fs::remove_all(run.dir);
}

}  // namespace
