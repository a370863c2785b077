// The weapons played through key scripts by the capture tool (demo-capture --game) on the
// virtual clock, with every GL call made and nothing rasterised: the laser and a homing missile
// wear a walker down, and the nuke kills the walkers on screen while one beyond it survives.
#include "game/enemies.h"
#include "game_script_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

EnemyRecord walkerAt(float x)
{
    EnemyRecord enemy = {};
    enemy.type = ENEMY_WALKER;
    enemy.x = x;
    enemy.y = 30.0f;
    enemy.width = 70.0f;
    enemy.height = 150.0f;
    enemy.speed = 0.0f;  // standing still keeps the cases about the weapons
    enemy.health = enemy.maxHealth = 100.0f;
    enemy.pathStartX = x;
    enemy.pathStartY = 30.0f;
    return enemy;
}

// The ground strip and walkers at the given x; frame -> enemy<i>.health for every frame.
std::map<int, std::vector<float>> playWeapons(const char* name, const std::string& script, int frames,
    const std::vector<float>& walkers)
{
    LevelImage level;
    BoxRecord ground = {};
    ground.width = 3840.0f;
    ground.height = 10.0f;
    ground.y = 20.0f;
    ground.meshId = -1;
    level.boxes.push_back(ground);
    for (float x : walkers)
        level.enemies.push_back(walkerAt(x));
    const std::filesystem::path dir = makeGameScriptFolder(std::string("mornglow-weapons-") + name, level, script);
    std::string dumps;
    for (int f = 1; f <= frames; ++f)
        dumps += (f > 1 ? "," : "") + std::to_string(f);
    const KeyScriptRun run = runKeyScript(dir, script,
        "--frames " + std::to_string(frames) + " --dump-at-frames " + dumps, true);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(run.exitStatus, 0) << name;
    std::map<int, std::vector<float>> health;
    for (const auto& [frame, names] : run.states)
        for (size_t i = 0; i < walkers.size(); ++i) {
            const std::string key = "enemy" + std::to_string(i + 1) + ".health";
            if (names.count(key)) {
                health[frame].resize(walkers.size(), -1.0f);
                health[frame][i] = run.value(frame, key);
            }
        }
    return health;
}

TEST(GameWeaponScripts, LaserAndMissileWearAWalkerDown)
{
    // The laser held: a hit every shot, 10 health each, down to nothing.
    auto laser = playWeapons("laser", "1 +RIGHT\n2 -RIGHT\n30 +RCTRL\n", 150, {700.0f});
    ASSERT_FALSE(laser.empty());
    EXPECT_FLOAT_EQ(laser[29][0], 100.0f);
    int firstHit = -1;
    for (int f = 30; f <= 150 && firstHit < 0; ++f)
        if (laser[f][0] < 100.0f)
            firstHit = f;
    ASSERT_GT(firstHit, 30);
    EXPECT_LE(laser[150][0], 0.0f);
    // One homing missile (key 2), fired away from the walker behind the player once the launch
    // delay of 40 frames has run out: it turns back.
    auto missile = playWeapons("missile", "1 +LEFT\n2 -LEFT\n20 +2\n21 -2\n60 +RCTRL\n61 -RCTRL\n", 240, {700.0f});
    ASSERT_FALSE(missile.empty());
    EXPECT_FLOAT_EQ(missile[61][0], 100.0f);
    EXPECT_FLOAT_EQ(missile[240][0], 80.0f);
}

TEST(GameWeaponScripts, NukeKillsTheWalkersOnScreenOnly)
{
    // The start view spans x 0..1920: two walkers on it within the ring's reach, one beyond the
    // view's right edge.
    auto nuke = playWeapons("nuke", "20 +3\n21 -3\n30 +RCTRL\n31 -RCTRL\n", 240, {600.0f, 1200.0f, 2600.0f});
    ASSERT_FALSE(nuke.empty());
    EXPECT_EQ(nuke[29], std::vector<float>({100.0f, 100.0f, 100.0f}));
    EXPECT_LE(nuke[240][0], 0.0f);
    EXPECT_LE(nuke[240][1], 0.0f);
    EXPECT_FLOAT_EQ(nuke[240][2], 100.0f);
    // The nearer walker falls first.
    int first = -1, second = -1;
    for (int f = 30; f <= 240; ++f) {
        if (first < 0 && nuke[f][0] <= 0.0f)
            first = f;
        if (second < 0 && nuke[f][1] <= 0.0f)
            second = f;
    }
    EXPECT_LT(first, second);
}

}  // namespace
