// The game played through key scripts by the capture tool (demo-capture --game) on the virtual
// clock at 60 frames per second, with every GL call made and nothing rasterised: the player's
// jumps, walking speeds, crawling, death and respawn, F2, and determinism.
#include "game/enemies.h"
#include "game/level_codec.h"
#include "tests/key_script_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr float GROUND_TOP = 30.0f;  // the ground strip every level gets: y 20, height 10

using GameRun = KeyScriptRun;

BoxRecord groundBox()
{
    BoxRecord box = {};
    box.width = 3840.0f;
    box.height = 10.0f;
    box.y = 20.0f;
    box.meshId = -1;
    return box;
}

EnemyRecord enemyAt(int type, float x, float y)
{
    EnemyRecord enemy = {};
    enemy.type = type;
    enemy.x = x;
    enemy.y = y;
    enemy.width = 70.0f;
    enemy.height = type == ENEMY_FLYER || type == ENEMY_ORB ? 75.0f : 150.0f;
    enemy.speed = 5.0f;
    enemy.health = enemy.maxHealth = 100.0f;
    enemy.pathStartX = x;
    enemy.pathStartY = y;
    return enemy;
}

// Plays `script` for `frames` frames in a scratch working directory whose "level1.level" is
// `level` (the run directory's own level when it is empty), dumping the state after every frame.
GameRun playScript(const char* name, const std::string& script, int frames, const LevelImage* level,
                   int hashEvery = 0)
{
    std::filesystem::path dir = makeKeyScriptFolder(std::string("mornglow-keys-") + name);
    if (level) {
        std::vector<uint8_t> bytes = encodeLevel(*level);
        std::ofstream(dir / "level1.level", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    } else {
        std::filesystem::copy_file(std::filesystem::path(LEVELS_DIR) / "level1.level", dir / "level1.level");
    }
    std::string options = "--frames " + std::to_string(frames);
    std::string dumps;
    for (int f = 1; f <= frames && !hashEvery; ++f)
        dumps += (f > 1 ? "," : "") + std::to_string(f);
    if (!dumps.empty())
        options += " --dump-at-frames " + dumps;
    if (hashEvery)
        options += " --hash-every " + std::to_string(hashEvery);
    GameRun game = runKeyScript(dir, script, options, true);
    std::filesystem::remove_all(dir);
    return game;
}

LevelImage groundOnly()
{
    LevelImage level;
    level.boxes.push_back(groundBox());
    return level;
}

// Frames in [from, to] where the player stands (its feet at the ground's top).
bool standing(const GameRun& run, int frame)
{
    return run.value(frame, "playerY") < GROUND_TOP + 1.5f && run.value(frame, "playerY") > GROUND_TOP - 1.0f;
}

struct Flight {
    int takeoff = -1;  // last standing frame before the rise
    int landing = -1;  // first standing frame after it
    float peak = 0.0f; // highest feet above the ground
};

Flight firstFlight(const GameRun& run, int from, int to)
{
    Flight flight;
    for (int f = from; f <= to; ++f) {
        float y = run.value(f, "playerY");
        if (flight.takeoff < 0) {
            if (y > GROUND_TOP + 10.0f)
                flight.takeoff = f - 1;
            continue;
        }
        flight.peak = std::max(flight.peak, y - GROUND_TOP);
        // Down on the ground, or landed and already off again (a held key jumps at once).
        if (standing(run, f) || run.value(f, "jumpCount") < run.value(f - 1, "jumpCount")) {
            flight.landing = f;
            break;
        }
    }
    return flight;
}

TEST(GameKeyScripts, JumpsReachTheirHeightsAndDurations)
{
    // One tap of SPACE; then SPACE held from a standing start: a second jump at jumpTime 2.2
    // and no third before landing.
    LevelImage level = groundOnly();
    GameRun run = playScript("jumps", "60 +SPACE\n62 -SPACE\n200 +SPACE\n", 330, &level);
    ASSERT_EQ(run.exitStatus, 0) << run.output.substr(0, 2000);
    ASSERT_TRUE(standing(run, 59)) << run.value(59, "playerY");

    Flight single = firstFlight(run, 55, 190);
    ASSERT_GE(single.landing, 0);
    EXPECT_NEAR(single.peak, 272.0f, 8.0f);
    EXPECT_NEAR(single.landing - single.takeoff, 68, 3);
    EXPECT_EQ(run.value(single.takeoff + 20, "jumpCount"), 1.0f);

    Flight held = firstFlight(run, 195, 330);
    ASSERT_GE(held.landing, 0);
    EXPECT_NEAR(held.peak, 510.0f, 15.0f);  // 238 on the first curve, 272 more on the second
    EXPECT_NEAR(held.landing - held.takeoff, 102, 4);
    EXPECT_EQ(run.value(held.takeoff + 40, "jumpCount"), 2.0f);
    EXPECT_EQ(run.value(held.landing - 2, "jumpCount"), 2.0f);
}

TEST(GameKeyScripts, WalkingSlowWalkingAndCrawling)
{
    LevelImage level = groundOnly();
    GameRun run = playScript("walks",
                             "40 +RIGHT\n100 -RIGHT\n"                      // walk 60 frames
                             "120 +LSHIFT\n120 +RSHIFT\n120 +LEFT\n180 -LEFT\n180 -RSHIFT\n180 -LSHIFT\n"
                             "200 +DOWN\n230 +RIGHT\n320 -RIGHT\n320 -DOWN\n",  // crouch, then crawl
                             330, &level);
    ASSERT_EQ(run.exitStatus, 0);
    float walked = run.value(99, "playerX") - run.value(39, "playerX");
    EXPECT_NEAR(walked / 60.0f, 7.5f, 0.3f);
    float slow = run.value(179, "playerX") - run.value(119, "playerX");
    EXPECT_NEAR(slow / 60.0f, -1.0f, 0.1f);

    EXPECT_EQ(run.value(225, "playerHeight"), 115.0f);
    EXPECT_EQ(run.value(225, "playerCrouched"), 1.0f);
    EXPECT_NEAR(run.value(229, "playerX"), run.value(201, "playerX"), 0.01f);  // crouched, no key: still
    // The crouched player takes one substep's step, then waits while the hero turns from left
    // to right (180 degrees at 4.5 a frame), then crawls at walking speed with a half-frame
    // pause in each 29-frame crawl cycle.
    EXPECT_LT(run.value(265, "playerX") - run.value(229, "playerX"), 1.0f);
    float crawled = run.value(319, "playerX") - run.value(290, "playerX");
    EXPECT_GT(crawled / 29.0f, 6.5f);
    EXPECT_LT(crawled / 29.0f, 7.5f);
    EXPECT_EQ(run.value(319, "playerHeight"), 115.0f);
    EXPECT_EQ(run.value(100, "playerHeight"), 180.0f);
}

TEST(GameKeyScripts, DeathBurstWipeAndRespawnAtTheStart)
{
    // A flyer parked on the way right kills at touch; RIGHT stays held throughout.
    LevelImage level = groundOnly();
    level.enemies.push_back(enemyAt(ENEMY_FLYER, 600.0f, GROUND_TOP));
    GameRun run = playScript("death", "20 +RIGHT\n", 420, &level);
    ASSERT_EQ(run.exitStatus, 0);

    int death = -1;
    for (int f = 20; f <= 420 && death < 0; ++f)
        if (run.value(f, "playerActive") == 0.0f)
            death = f;
    ASSERT_GT(death, 0);
    EXPECT_EQ(run.value(death, "playerLives"), 4.0f);
    EXPECT_LE(run.value(death, "playerHealth"), 0.0f);
    float deathX = run.value(death, "playerX");
    EXPECT_GT(deathX + 65.0f, 600.0f);

    // The burst: the player stays put, the timer runs down by 0.75 a frame for about 133 frames.
    EXPECT_NEAR(run.value(death + 40, "deathBurstTimer"), 100.0f - 40 * 0.75f, 3.0f);
    EXPECT_EQ(run.value(death + 40, "playerX"), deathX);
    int wipe = -1;
    for (int f = death; f <= 420 && wipe < 0; ++f)
        if (run.value(f, "viewRestartActive") == 1.0f)
            wipe = f;
    ASSERT_GT(wipe, 0);
    EXPECT_NEAR(wipe - death, 133, 3);
    EXPECT_EQ(run.value(wipe, "playerActive"), 1.0f);

    // The respawn at the start; during the wipe (about 100 frames) the held key does nothing.
    EXPECT_EQ(run.value(wipe + 2, "playerX"), 130.0f);
    EXPECT_EQ(run.value(wipe + 90, "playerX"), 130.0f);
    EXPECT_EQ(run.value(wipe + 2, "playerHealth"), 100.0f);
    int wipeEnd = -1;
    for (int f = wipe; f <= 420 && wipeEnd < 0; ++f)
        if (run.value(f, "viewRestartActive") == 0.0f)
            wipeEnd = f;
    ASSERT_GT(wipeEnd, 0);
    EXPECT_NEAR(wipeEnd - wipe, 100, 3);
    EXPECT_EQ(run.value(wipeEnd, "gameCameraX"), 0.0f);
    EXPECT_GT(run.value(wipeEnd + 10, "playerX"), 130.0f);  // the key acts again
}

TEST(GameKeyScripts, F2RestartsTheGameAtTheStart)
{
    LevelImage level = groundOnly();
    GameRun run = playScript("restart", "20 +RIGHT\n80 -RIGHT\n90 +F2\n91 -F2\n", 100, &level);
    ASSERT_EQ(run.exitStatus, 0);
    EXPECT_GT(run.value(89, "playerX"), 500.0f);
    float restarts = run.value(89, "restartCount");
    EXPECT_GT(run.value(90, "restartCount"), restarts);
    EXPECT_EQ(run.value(90, "playerX"), 130.0f);
    EXPECT_EQ(run.value(90, "playerLives"), 5.0f);
    EXPECT_EQ(run.value(99, "playerX"), 130.0f);
}

TEST(GameKeyScripts, SameScriptGivesTheSameHashesTwice)
{
    // 600 frames on the generated level: walking, jumps, a turn, crouching and shots.
    const std::string script = "1 +RIGHT\n50 +SPACE\n60 -SPACE\n120 +RCTRL\n140 -RCTRL\n200 +SPACE\n230 -SPACE\n"
                               "300 -RIGHT\n300 +LEFT\n350 +DOWN\n380 -DOWN\n420 +SPACE\n425 -SPACE\n"
                               "500 -LEFT\n500 +RIGHT\n560 +3\n561 -3\n570 +RCTRL\n580 -RCTRL\n";
    GameRun first = playScript("hash-a", script, 600, nullptr, 10);
    GameRun second = playScript("hash-b", script, 600, nullptr, 10);
    ASSERT_EQ(first.exitStatus, 0);
    ASSERT_EQ(first.hashLines.size(), 60u);
    EXPECT_EQ(first.hashLines, second.hashLines);
    // The state moves: the hashes are not all one value.
    EXPECT_NE(first.hashLines.front().substr(first.hashLines.front().find(' ', 5)),
              first.hashLines.back().substr(first.hashLines.back().find(' ', 5)));
}

// The game's own program in a real window, on an X server of its own (so no other test's window
// takes the keyboard focus): the first game frame reads the level (and says so), and Escape,
// typed into the window, ends the program normally.
TEST(GameProgram, EntersTheGameAndQuitsOnEscape)
{
    std::filesystem::path dir = scratchPath("mornglow-game-program");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::create_directory_symlink(std::filesystem::path(RUN_DIR) / "data", dir / "data");
    std::filesystem::copy_file(std::filesystem::path(LEVELS_DIR) / "level1.level", dir / "level1.level");
    std::ofstream(dir / "play.sh") << "SDL_AUDIODRIVER=dummy GALLIUM_NOOP=1 timeout 120 stdbuf -oL " BINARY_DIR
                                      "/demo-game > game.out 2>/dev/null &\n"
                                      "pid=$!\n"
                                      "for i in $(seq 1 300); do grep -q 'enemiescount read' game.out && break; sleep 0.2; done\n"
                                      "for i in 1 2 3 4 5; do sleep 1; kill -0 $pid 2>/dev/null || break; xdotool key Escape; done\n"
                                      "wait $pid\n"
                                      "echo \"exit $?\"\n"
                                      "cat game.out\n";
    ProgramRun run = runProgram("cd '" + dir.string() +
                                "' && xvfb-run -a -s '-screen 0 1920x1080x24 -nolisten tcp' bash play.sh");
    EXPECT_NE(run.output.find("exit 0"), std::string::npos) << run.output.substr(0, 2000);
    EXPECT_NE(run.output.find("enemiescount read"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
