// The game played through key scripts by the capture tool (demo-capture --game) on the virtual
// clock at 60 frames per second, with every GL call made and nothing rasterised: the player's
// jumps, walking speeds, crawling, death and respawn, F2, and determinism.
#include "game/enemies.h"
#include "game/level_codec.h"
#include "tests/key_script_run.h"

#include <algorithm>
#include <cmath>
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

// A flyer parked on the start kills the player within frames of every respawn, the wipe
// included, so the game is always dead or wiping.
LevelImage killingStart()
{
    LevelImage level = groundOnly();
    level.enemies.push_back(enemyAt(ENEMY_FLYER, 110.0f, GROUND_TOP));
    return level;
}

int firstFrame(const GameRun& run, int from, int to, float active, float wiping)
{
    for (int f = from; f <= to; ++f)
        if (run.value(f, "playerActive") == active && run.value(f, "viewRestartActive") == wiping)
            return f;
    return -1;
}

TEST(GameKeyScripts, KillingStartLetsF2AndF1ThroughDeathAndWipe)
{
    LevelImage level = killingStart();
    GameRun idle = playScript("lock-idle", "", 420, &level);
    ASSERT_EQ(idle.exitStatus, 0);
    const int dead = firstFrame(idle, 1, 420, 0.0f, 0.0f);
    const int wipe = firstFrame(idle, dead, 420, 1.0f, 1.0f);
    const int deadInWipe = firstFrame(idle, wipe, 420, 0.0f, 1.0f);
    ASSERT_GT(dead, 0);
    ASSERT_GT(wipe, 0);
    ASSERT_GT(deadInWipe, 0);
    // A death during the wipe ages its burst once a frame like any other: about 133 frames.
    const int nextWipe = firstFrame(idle, deadInWipe + 1, 420, 1.0f, 1.0f);
    EXPECT_NEAR(nextWipe - deadInWipe, 133, 4);
    EXPECT_NEAR(wipe - dead, 133, 4);

    struct TapCase {
        const char* name;
        int frame;
        const char* key;
    };
    const TapCase cases[] = {
        {"F2 in the burst", dead + 20, "F2"},
        {"F2 dead in the wipe", deadInWipe + 5, "F2"},
        {"F1 in the burst", dead + 20, "F1"},
        {"F1 in the wipe, alive", wipe + 1, "F1"},
        {"F1 dead in the wipe", deadInWipe + 5, "F1"},
    };
    for (const TapCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int f = c.frame;
        const std::string key = c.key;
        // A one-frame tap; after F1 the editor's cursor is walked right to show its keys work.
        std::string script = std::to_string(f) + " +" + key + "\n" + std::to_string(f + 1) + " -" + key + "\n";
        if (key == "F1")
            script += std::to_string(f + 5) + " +RIGHT\n" + std::to_string(f + 15) + " -RIGHT\n";
        GameRun run = playScript("lock-tap", script, f + 20, &level);
        ASSERT_EQ(run.exitStatus, 0);
        ASSERT_EQ(run.value(f - 1, "playerLives"), idle.value(f - 1, "playerLives"));
        if (key == "F2") {
            // The flyer kills the new game's player again at once: a fresh life, no wipe.
            EXPECT_GT(run.value(f + 2, "restartCount"), run.value(f - 1, "restartCount"));
            EXPECT_GE(run.value(f + 2, "playerLives"), 4.0f);
            EXPECT_EQ(run.value(f + 2, "viewRestartActive"), 0.0f);
        } else {
            EXPECT_EQ(run.value(f + 3, "editorMode"), 1.0f);
            EXPECT_EQ(run.value(f + 3, "viewRestartActive"), 0.0f);
            EXPECT_GT(run.value(f + 18, "cursorX"), run.value(f + 4, "cursorX"));
        }
    }
}

TEST(GameKeyScripts, F2AfterNukeAndMissilesStartsACleanGame)
{
    // The laser wears walker 1 down (score), a missile goes for walker 2, then a nuke, and F2
    // comes while both fly.
    LevelImage level = groundOnly();
    const float startX[] = {700.0f, 1100.0f, 1500.0f};
    for (float x : startX)
        level.enemies.push_back(enemyAt(ENEMY_WALKER, x, GROUND_TOP));
    const std::string script = "1 +RIGHT\n2 -RIGHT\n5 +RCTRL\n150 -RCTRL\n152 +2\n153 -2\n154 +RCTRL\n156 -RCTRL\n"
                               "160 +3\n161 -3\n162 +RCTRL\n164 -RCTRL\n170 +F2\n171 -F2\n";
    GameRun run = playScript("clean-restart", script, 300, &level);
    ASSERT_EQ(run.exitStatus, 0);
    ASSERT_GT(run.value(169, "playerScore"), 0.0f);
    ASSERT_GT(run.value(169, "nukeRadius"), 0.0f);
    bool missileFlying = false;
    for (const auto& [name, value] : run.states[169])
        missileFlying |= name.rfind("missile", 0) == 0;
    ASSERT_TRUE(missileFlying);

    EXPECT_EQ(run.value(170, "playerScore"), 0.0f);
    EXPECT_EQ(run.value(170, "nukeRadius"), 0.0f);
    for (const auto& [name, value] : run.states[170])
        for (const char* left : {"missile", "shot", "spark"})
            EXPECT_NE(name.rfind(left, 0), 0u) << name;
    for (int i = 1; i <= 3; ++i) {
        const std::string enemy = "enemy" + std::to_string(i);
        EXPECT_NEAR(run.value(170, enemy + ".x"), startX[i - 1], 10.0f) << enemy;
        for (int f = 170; f <= 300; ++f)  // the old nuke's ring would reach them all by then
            ASSERT_GT(run.value(f, enemy + ".health"), 0.0f) << enemy << " at frame " << f;
    }
}

TEST(GameKeyScripts, DrawnHeroKeepsWithTheRidingAndSlowWalkingPlayer)
{
    // The start drops onto a lift going up or sideways; level1's own slow walk comes last.
    auto liftLevel = [](float rangeX, float rangeY) {
        LevelImage level = groundOnly();
        BoxRecord lift = groundBox();
        lift.x = lift.liftStartX = 60.0f;
        lift.y = lift.liftStartY = 100.0f;
        lift.width = 200.0f;
        lift.height = 50.0f;
        lift.type = 1;
        lift.liftRangeX = rangeX;
        lift.liftRangeY = rangeY;
        lift.liftSpeed = 2.0f;
        level.boxes.push_back(lift);
        return level;
    };
    struct RideCase {
        const char* name;
        std::string script;
        LevelImage level;
        bool ownLevel;
    };
    const RideCase cases[] = {
        {"lift up", "", liftLevel(0.0f, 650.0f), true},
        {"lift sideways", "", liftLevel(600.0f, 0.0f), true},
        {"slow walk on level1", "5 +F12\n6 -F12\n60 +RSHIFT\n60 +RIGHT\n240 -RIGHT\n240 -RSHIFT\n", LevelImage(), false},
    };
    for (const RideCase& c : cases) {
        SCOPED_TRACE(c.name);
        GameRun run = playScript("drawn-hero", c.script, 240, c.ownLevel ? &c.level : nullptr);
        ASSERT_EQ(run.exitStatus, 0);
        ASSERT_TRUE(run.has(240, "heroDrawnX"));
        float moved = std::fabs(run.value(240, "playerX") - run.value(30, "playerX")) +
                      std::fabs(run.value(240, "playerY") - run.value(30, "playerY"));
        EXPECT_GT(moved, 150.0f);
        float worstX = 0.0f, worstY = 0.0f;
        for (int f = 1; f <= 240; ++f) {
            worstX = std::max(worstX, std::fabs(run.value(f, "heroDrawnX") - run.value(f, "playerX")));
            worstY = std::max(worstY, std::fabs(run.value(f, "heroDrawnY") - run.value(f, "playerY")));
        }
        EXPECT_LT(worstX, 5.0f);
        EXPECT_LT(worstY, 3.0f);
    }
}

TEST(GameKeyScripts, EveryWalkerOfTheFirstLevelPatrols)
{
    // Nobody near: each walker walks its stretch to and fro, in the second half of the run too.
    GameRun run = playScript("walkers", "", 600, nullptr);
    ASSERT_EQ(run.exitStatus, 0);
    int walkers = 0;
    for (int i = 1; run.has(1, "enemy" + std::to_string(i) + ".type"); ++i) {
        const std::string enemy = "enemy" + std::to_string(i);
        if (run.value(1, enemy + ".type") != static_cast<float>(ENEMY_WALKER))
            continue;
        ++walkers;
        float low = 1e9f, high = -1e9f, lateLow = 1e9f, lateHigh = -1e9f;
        for (int f = 1; f <= 600; ++f) {
            const float x = run.value(f, enemy + ".x");
            low = std::min(low, x);
            high = std::max(high, x);
            if (f > 300) {
                lateLow = std::min(lateLow, x);
                lateHigh = std::max(lateHigh, x);
            }
        }
        EXPECT_GT(high - low, 100.0f) << enemy;
        EXPECT_GT(lateHigh - lateLow, 100.0f) << enemy << " stopped at " << run.value(600, enemy + ".x");
    }
    EXPECT_EQ(walkers, 3);
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
