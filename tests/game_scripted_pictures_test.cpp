// The game's pictures and sounds from key scripts played by the capture tool (demo-capture
// --game) on the virtual clock: each picture is read where the dumped state says the thing
// is, against the same frame of a run that lacks the one cause (no firing, no death). Only the
// frames looked at are rasterised (--draw-captures-only); the rest run with no GL context.
#include "game/enemies.h"
#include "game_script_folder.h"
#include "png_read.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr float GROUND_TOP = 30.0f;  // the ground strip: y 20, height 10

struct ScriptRun {
    int exitStatus = -1;
    std::map<int, std::map<std::string, float>> states;   // frame -> name -> value
    std::map<int, std::vector<int>> sounds;                // frame -> sound indices
    std::map<int, RgbaPicture> pictures;                   // frame -> capture

    float value(int frame, const std::string& name, float missing = -1e30f) const
    {
        auto f = states.find(frame);
        if (f == states.end())
            return missing;
        auto v = f->second.find(name);
        return v == f->second.end() ? missing : v->second;
    }
    // Entries "<prefix><i>.<field>" of one frame, by i.
    std::map<int, std::map<std::string, float>> entries(int frame, const std::string& prefix) const
    {
        std::map<int, std::map<std::string, float>> out;
        auto f = states.find(frame);
        if (f == states.end())
            return out;
        for (const auto& [name, v] : f->second) {
            if (name.compare(0, prefix.size(), prefix) != 0)
                continue;
            const size_t dot = name.find('.', prefix.size());
            if (dot == std::string::npos || dot == prefix.size())
                continue;
            const std::string index = name.substr(prefix.size(), dot - prefix.size());
            if (index.find_first_not_of("0123456789") != std::string::npos)
                continue;
            out[std::stoi(index)][name.substr(dot + 1)] = v;
        }
        return out;
    }
};

BoxRecord boxAt(float x, float y, float w, float h, int meshId)
{
    BoxRecord box = {};
    box.x = x;
    box.y = y;
    box.width = w;
    box.height = h;
    box.meshId = meshId;
    return box;
}

EnemyRecord enemyAt(int type, float x, float y, float speed)
{
    EnemyRecord enemy = {};
    enemy.type = type;
    enemy.x = x;
    enemy.y = y;
    enemy.width = 70.0f;
    enemy.height = type == ENEMY_FLYER ? 75.0f : 150.0f;
    enemy.speed = speed;
    enemy.health = enemy.maxHealth = 100.0f;
    enemy.pathStartX = x;
    enemy.pathStartY = y;
    return enemy;
}

std::string frameList(const std::set<int>& frames)
{
    std::string list;
    for (int f : frames)
        list += (list.empty() ? "" : ",") + std::to_string(f);
    return list;
}

// Plays `script` on `level` for `frames` frames; the capture frames are drawn on the real
// rasteriser (none: the whole run under GALLIUM_NOOP), the dump frames print the state.
ScriptRun play(const char* name, const LevelImage& level, const std::string& script, int frames,
    const std::set<int>& captures, const std::set<int>& dumps)
{
    const std::filesystem::path dir = makeGameScriptFolder(std::string("mornglow-scripted-") + name, level, script);
    std::string command = "cd '" + dir.string() + "' && SDL_AUDIODRIVER=dummy LP_NUM_THREADS=2 ";
    if (captures.empty())
        command += "GALLIUM_NOOP=1 ";
    command += BINARY_DIR "/demo-capture --game --keys keys.txt --out out --sounds --draw-captures-only --frames "
        + std::to_string(frames);
    if (!captures.empty())
        command += " --at-frames " + frameList(captures);
    if (!dumps.empty())
        command += " --dump-at-frames " + frameList(dumps);
    const ProgramRun program = runProgram(command + " 2>/dev/null");
    ScriptRun run;
    run.exitStatus = program.exitStatus;
    std::istringstream lines(program.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kind, key;
        int frame = 0;
        fields >> kind >> frame >> key;
        if (kind == "state") {
            float v = 0.0f;
            if (fields >> v)
                run.states[frame][key] = v;
        } else if (kind == "sound") {
            run.sounds[frame].push_back(std::stoi(key));
        }
    }
    for (int f : captures) {
        char file[32];
        std::snprintf(file, sizeof file, "game_%05d.png", f);
        EXPECT_TRUE(readPng((dir / "out" / file).string(), run.pictures[f])) << name << " frame " << f;
    }
    if (!getenv("MORNGLOW_KEEP_SCRIPTED"))
        std::filesystem::remove_all(dir);
    EXPECT_EQ(run.exitStatus, 0) << name;
    return run;
}

std::set<int> framesFromTo(int first, int last)
{
    std::set<int> frames;
    for (int f = first; f <= last; ++f)
        frames.insert(f);
    return frames;
}

}  // namespace

namespace {

int brightness(const uint8_t* p)
{
    return p[0] + p[1] + p[2];
}

// How much bluer-green `shown` is than `without` at one pixel: the cyan things (streaks,
// sparks) add green and blue, which on a bright backdrop saturates to white but still gains
// more green and blue than red.
int cyanGain(const uint8_t* shown, const uint8_t* without)
{
    const int r = shown[0] - without[0];
    const int g = shown[1] - without[1];
    const int b = shown[2] - without[2];
    return (g + b) / 2 - std::max(r, 0);
}

bool inside(const RgbaPicture& picture, int x, int y)
{
    return x >= 0 && y >= 0 && x < picture.width && y < picture.height;
}

// Whether some pixel of the rectangle gains more than `gain` cyan over `without`.
bool cyanGainIn(const RgbaPicture& shown, const RgbaPicture& without, int x0, int y0, int x1, int y1, int gain)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (inside(shown, x, y) && cyanGain(shown.at(x, y), without.at(x, y)) > gain)
                return true;
    return false;
}

// The mean brightness gain of `shown` over `without` in the rectangle.
double meanGain(const RgbaPicture& shown, const RgbaPicture& without, int x0, int y0, int x1, int y1)
{
    double sum = 0.0;
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (inside(shown, x, y)) {
                sum += brightness(shown.at(x, y)) - brightness(without.at(x, y));
                ++n;
            }
    return n ? sum / n : 0.0;
}

LevelImage wallLevel()
{
    LevelImage level;
    level.boxes.push_back(boxAt(0.0f, 20.0f, 3840.0f, 10.0f, -1));
    level.boxes.push_back(boxAt(1300.0f, GROUND_TOP, 120.0f, 700.0f, 0));
    return level;
}

TEST(GameScriptedPictures, RunningAndFiringShowsStreakFlashAndSparksAtAWall)
{
    // Lasers leave every fourth frame (60 fires, 59 shows no flash); the first ones have
    // reached the wall's face at x 1300 long before frame 60.
    const std::set<int> looked = {59, 60};
    const LevelImage level = wallLevel();
    ScriptRun fire = play("fire", level, "1 +RIGHT\n1 +RCTRL\n", 60, looked, looked);
    ScriptRun still = play("nofire", level, "1 +RIGHT\n", 60, looked, {});
    ASSERT_EQ(fire.pictures.size(), 2u);
    ASSERT_EQ(still.pictures.size(), 2u);
    const RgbaPicture& shown = fire.pictures[60];
    const RgbaPicture& without = still.pictures[60];
    const float cameraX = fire.value(60, "gameCameraX");
    const float cameraY = fire.value(60, "gameCameraY");

    // Each whole streak on screen is a cyan line along most of its length (over the bright
    // pillar it saturates), near the height the state
    // gives (the 2D layer pulls heights a little towards the middle), and nothing 150 above.
    int streaks = 0;
    for (const auto& [i, shot] : fire.entries(60, "shot")) {
        const int x0 = static_cast<int>(shot.at("x") - cameraX);
        const int y = static_cast<int>(shot.at("y") - cameraY);
        if (shot.at("length") < 140.0f || x0 < 0 || x0 + 150 > shown.width)
            continue;
        ++streaks;
        int lit = 0, litAbove = 0, columns = 0;
        for (int x = x0 + 20; x < x0 + 130; ++x, ++columns) {
            lit += cyanGainIn(shown, without, x, y - 20, x, y + 50, 25);
            litAbove += cyanGainIn(shown, without, x, y + 130, x, y + 200, 25);
        }
        EXPECT_GT(lit, columns * 2 / 3) << "shot " << i;
        EXPECT_LT(litAbove, columns / 10) << "shot " << i;
    }
    EXPECT_GE(streaks, 3);

    // The flash beyond the barrel in the frame that fires, not in the one before.
    std::vector<double> flashGain;
    for (int f : looked) {
        const int x0 = static_cast<int>(fire.value(f, "playerX") + 65.0f + 19.0f - cameraX);
        const int y0 = static_cast<int>(fire.value(f, "muzzleFlashY"));
        flashGain.push_back(meanGain(fire.pictures[f], still.pictures[f], x0, y0, x0 + 63, y0 + 63));
    }
    EXPECT_GT(flashGain[1], 30.0);
    EXPECT_LT(flashGain[0], flashGain[1] / 2.0);  // the streaks alone cross the box in both

    // The sparks fly off the wall's face, and most show as cyan dots where the state has them;
    // the same test 200 to the left finds next to nothing.
    int onScreen = 0, seen = 0, seenAside = 0;
    for (const auto& [i, spark] : fire.entries(60, "spark")) {
        EXPECT_NEAR(spark.at("x"), 1300.0f, 80.0f) << "spark " << i;
        const int x = static_cast<int>(spark.at("x") - cameraX);
        const int y = static_cast<int>(spark.at("y") - cameraY);
        if (!inside(shown, x - 250, y - 20) || !inside(shown, x + 20, y + 20))
            continue;
        ++onScreen;
        seen += cyanGainIn(shown, without, x - 12, y - 12, x + 12, y + 12, 25);
        seenAside += cyanGainIn(shown, without, x - 212, y - 12, x - 188, y + 12, 25);
    }
    EXPECT_GE(onScreen, 3);
    EXPECT_GT(seen, onScreen / 2);
    EXPECT_LE(seenAside, onScreen / 10);
}

// The mean of |a - b| over the channels of the rectangle, pictures a and b.
double meanDifference(const RgbaPicture& a, const RgbaPicture& b, int x0, int y0, int x1, int y1)
{
    double sum = 0.0;
    int n = 0;
    for (int y = std::max(y0, 0); y <= std::min(y1, a.height - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, a.width - 1); ++x) {
            for (int c = 0; c < 3; ++c)
                sum += std::abs(a.at(x, y)[c] - b.at(x, y)[c]);
            n += 3;
        }
    return n ? sum / n : 0.0;
}

int firstFrame(const ScriptRun& run, int from, int to, const std::string& name, float value)
{
    for (int f = from; f <= to; ++f)
        if (run.value(f, name) == value)
            return f;
    return -1;
}

TEST(GameScriptedPictures, TouchingAFlyerShowsTheBurstTheWipeAndTheRespawnedHero)
{
    // The flyer waits far enough right that the camera has left the start view when the hero
    // walks into it; RIGHT is let go right after the touch, so the respawned hero stands.
    // Platforms overhead make the start view and the old view differ.
    LevelImage level;
    level.boxes.push_back(boxAt(0.0f, 20.0f, 3840.0f, 10.0f, -1));
    for (int i = 0; i < 4; ++i)
        level.boxes.push_back(boxAt(300.0f + 450.0f * i, 450.0f + 60.0f * i, 240.0f, 80.0f, 1 + i));
    level.enemies.push_back(enemyAt(ENEMY_FLYER, 2400.0f, GROUND_TOP, 0.0f));
    const int frames = 700;
    ScriptRun plan = play("flyer-plan", level, "60 +RIGHT\n", frames, {}, framesFromTo(1, frames));
    const int death = firstFrame(plan, 60, frames, "playerActive", 0.0f);
    ASSERT_GT(death, 0);
    const int wipe = firstFrame(plan, death, frames, "viewRestartActive", 1.0f);
    ASSERT_GT(wipe, 0);
    const int wipeEnd = firstFrame(plan, wipe, frames, "viewRestartActive", 0.0f);
    ASSERT_GT(wipeEnd, 0);
    ASSERT_LT(wipeEnd + 10, frames);
    ASSERT_GT(plan.value(death, "gameCameraX"), 800.0f);

    const int before = death - 1, burst = death + 20, midWipe = (wipe + wipeEnd) / 2, after = wipeEnd + 10;
    const int standing = 50;
    const std::set<int> looked = {standing, before, burst, midWipe, after};
    ScriptRun run = play("flyer", level, "60 +RIGHT\n" + std::to_string(death + 1) + " -RIGHT\n", after, looked, looked);
    ASSERT_EQ(run.pictures.size(), looked.size());
    for (const char* name : {"playerX", "gameCameraX"})
        ASSERT_EQ(run.value(before, name), plan.value(before, name)) << name;

    // The burst: around the place of death the picture changes wholly, high in the sky next
    // to nothing does.
    const int deathX = static_cast<int>(run.value(before, "playerX") - run.value(before, "gameCameraX")) + 32;
    const int deathY = static_cast<int>(run.value(before, "playerY") - run.value(before, "gameCameraY")) + 90;
    const double atBurst = meanDifference(run.pictures[burst], run.pictures[before], deathX - 200, deathY - 200,
        deathX + 200, deathY + 200);
    const double inSky = meanDifference(run.pictures[burst], run.pictures[before], deathX - 200, 800, deathX + 200,
        1000);
    EXPECT_GT(atBurst, 5.0 * inSky + 5.0);

    // The wipe: left of wipeX the start view (as after the wipe), right of it the old view
    // (as before the death), over the rows above the HUD bar.
    const int split = static_cast<int>(run.value(midWipe, "wipeX"));
    ASSERT_GT(split, 400);
    ASSERT_LT(split, 1520);
    const RgbaPicture& mixed = run.pictures[midWipe];
    const double leftNew = meanDifference(mixed, run.pictures[after], 0, 70, split - 40, 1079);
    const double leftOld = meanDifference(mixed, run.pictures[before], 0, 70, split - 40, 1079);
    const double rightNew = meanDifference(mixed, run.pictures[after], split + 40, 70, 1919, 1079);
    const double rightOld = meanDifference(mixed, run.pictures[before], split + 40, 70, 1919, 1079);
    EXPECT_LT(leftNew, leftOld / 2.0);
    EXPECT_LT(rightOld, rightNew / 2.0);  // the old view had the hero and the flyer in it

    // The respawned hero stands at the start, drawn as he stood there before walking off.
    EXPECT_EQ(run.value(after, "playerX"), run.value(standing, "playerX"));
    EXPECT_EQ(run.value(after, "playerY"), run.value(standing, "playerY"));
    EXPECT_EQ(run.value(after, "playerActive"), 1.0f);
    const int heroX = static_cast<int>(run.value(after, "playerX")), heroY = static_cast<int>(run.value(after, "playerY"));
    // Above the HUD bar: the hero box, and the same box beside him as a measure of what the
    // hero's own pixels make.
    auto heroBox = [&](const RgbaPicture& a, const RgbaPicture& b, int dx) {
        return meanDifference(a, b, heroX - 20 + dx, heroY + 40, heroX + 90 + dx, heroY + 190);
    };
    const double heroAgain = heroBox(run.pictures[after], run.pictures[standing], 0);
    const double heroMissing = heroBox(run.pictures[before], run.pictures[standing], 0);
    EXPECT_LT(heroAgain, heroMissing / 3.0);
}

// Sound indices of the game (core/sound.cpp's table).
constexpr int SOUND_KILL = 1, SOUND_MISSILE = 2, SOUND_LASER_SHOT = 3;

int soundsIn(const ScriptRun& run, int frame, int index)
{
    auto f = run.sounds.find(frame);
    return f == run.sounds.end() ? 0 : static_cast<int>(std::count(f->second.begin(), f->second.end(), index));
}

// Entries of `prefix` present in `frame` and new to it: absent the frame before, or (a slot
// freed and taken again) back at a smaller x.
int newEntries(const ScriptRun& run, int frame, const std::string& prefix)
{
    const auto now = run.entries(frame, prefix);
    const auto before = run.entries(frame - 1, prefix);
    int count = 0;
    for (const auto& [i, entry] : now) {
        auto b = before.find(i);
        count += b == before.end() || entry.at("x") < b->second.at("x");
    }
    return count;
}

TEST(GameScriptedPictures, SoundsComeInTheFramesTheStateChanges)
{
    // The laser wears down a walker in its path; missiles then kill a walker on a ledge the
    // lasers pass under. Every frame's laser, missile and kill sounds are matched against
    // the shots and missiles that appear and the enemies that fall in it.
    LevelImage level;
    level.boxes.push_back(boxAt(0.0f, 20.0f, 3840.0f, 10.0f, -1));
    level.boxes.push_back(boxAt(1350.0f, 270.0f, 300.0f, 30.0f, -1));
    level.enemies.push_back(enemyAt(ENEMY_WALKER, 700.0f, GROUND_TOP, 0.0f));
    level.enemies.push_back(enemyAt(ENEMY_WALKER, 1450.0f, 300.0f, 0.0f));
    const int frames = 420;
    ScriptRun run = play("sounds", level, "1 +RIGHT\n2 -RIGHT\n30 +RCTRL\n110 -RCTRL\n120 +2\n121 -2\n130 +RCTRL\n",
        frames, {}, framesFromTo(1, frames));
    ASSERT_EQ(run.exitStatus, 0);
    ASSERT_LE(run.value(frames, "enemy1.health"), 0.0f);
    ASSERT_LE(run.value(frames, "enemy2.health"), 0.0f);

    int lasers = 0, missileLaunches = 0, kills = 0;
    for (int f = 2; f <= frames; ++f) {
        int falls = 0;
        for (const char* enemy : {"enemy1.health", "enemy2.health"})
            falls += run.value(f - 1, enemy) > 0.0f && run.value(f, enemy) <= 0.0f;
        EXPECT_EQ(soundsIn(run, f, SOUND_LASER_SHOT), newEntries(run, f, "shot")) << "frame " << f;
        EXPECT_EQ(soundsIn(run, f, SOUND_MISSILE), newEntries(run, f, "missile")) << "frame " << f;
        EXPECT_EQ(soundsIn(run, f, SOUND_KILL), falls) << "frame " << f;
        lasers += soundsIn(run, f, SOUND_LASER_SHOT);
        missileLaunches += soundsIn(run, f, SOUND_MISSILE);
        kills += falls;
    }
    EXPECT_GE(lasers, 10);
    EXPECT_GE(missileLaunches, 5);  // 20 health each
    EXPECT_EQ(kills, 2);
}

// The brightness-weighted centre in x of where `shown` differs from `without` by more than 60
// (channels summed) inside the rectangle; -1 when nothing does.
double differenceCentreX(const RgbaPicture& shown, const RgbaPicture& without, int x0, int y0, int x1, int y1)
{
    double sum = 0.0, weight = 0.0;
    for (int y = std::max(y0, 0); y <= std::min(y1, shown.height - 1); ++y)
        for (int x = std::max(x0, 0); x <= std::min(x1, shown.width - 1); ++x) {
            int d = 0;
            for (int c = 0; c < 3; ++c)
                d += std::abs(shown.at(x, y)[c] - without.at(x, y)[c]);
            if (d > 60) {
                sum += static_cast<double>(x) * d;
                weight += d;
            }
        }
    return weight > 0.0 ? sum / weight : -1.0;
}

TEST(GameScriptedPictures, MissileClosesOnAWalkerAndTheNukeRingShowsWhereItKills)
{
    // Two walkers standing on the start view within the ring's reach, one beyond the view. The
    // missile run fires one missile at the nearest; the nuke run fires the nuke; the third run
    // only turns right, as both do first.
    LevelImage level;
    level.boxes.push_back(boxAt(0.0f, 20.0f, 3840.0f, 10.0f, -1));
    level.enemies.push_back(enemyAt(ENEMY_WALKER, 800.0f, GROUND_TOP, 0.0f));
    level.enemies.push_back(enemyAt(ENEMY_WALKER, 1100.0f, GROUND_TOP, 0.0f));
    level.enemies.push_back(enemyAt(ENEMY_WALKER, 2600.0f, GROUND_TOP, 0.0f));
    const float walkerMiddleX = 800.0f + 35.0f;
    const std::string turn = "1 +RIGHT\n2 -RIGHT\n";
    const std::string missileScript = turn + "20 +2\n21 -2\n50 +RCTRL\n51 -RCTRL\n";
    const std::string nukeScript = turn + "20 +3\n21 -3\n50 +RCTRL\n51 -RCTRL\n";
    const int frames = 260;
    ScriptRun missilePlan = play("missile-plan", level, missileScript, frames, {}, framesFromTo(1, frames));
    ScriptRun nukePlan = play("nuke-plan", level, nukeScript, frames, {}, framesFromTo(1, frames));

    // The state: the missile's distance to the walker's middle falls frame by frame until it
    // hits, and the walker's health falls by the missile's damage then.
    int launch = -1, hit = -1;
    for (int f = 50; f <= frames && hit < 0; ++f) {
        const auto flying = missilePlan.entries(f, "missile");
        if (launch < 0 && !flying.empty())
            launch = f;
        if (launch > 0 && flying.empty())
            hit = f;
    }
    ASSERT_GT(launch, 0);
    ASSERT_GT(hit, launch + 10);
    double lastDistance = 1e9;
    for (int f = launch; f < hit; ++f) {
        const auto m = missilePlan.entries(f, "missile").begin()->second;
        EXPECT_EQ(m.at("target"), 1.0f);
        const double d = std::hypot(m.at("x") - walkerMiddleX, m.at("y") - (GROUND_TOP + 75.0f));
        EXPECT_LT(d, lastDistance) << "frame " << f;
        lastDistance = d;
        EXPECT_EQ(missilePlan.value(f, "enemy1.health"), 100.0f) << "frame " << f;
    }
    EXPECT_EQ(missilePlan.value(hit, "enemy1.health"), 80.0f);

    // The nuke's frame: the first with both walkers on screen down (the nearer fell first).
    auto firstDown = [&](const std::string& name) {
        for (int f = 50; f <= frames; ++f)
            if (nukePlan.value(f, name) <= 0.0f)
                return f;
        return -1;
    };
    const int ringFrame = firstDown("enemy2.health");
    ASSERT_GT(ringFrame, 0);
    EXPECT_GT(firstDown("enemy1.health"), 50);
    EXPECT_LT(firstDown("enemy1.health"), ringFrame);
    EXPECT_EQ(nukePlan.value(frames, "enemy3.health"), 100.0f);

    // The pictures: two frames of the flight, one of the ring, against the run without either.
    const int early = launch + 3, late = hit - 3;
    ScriptRun missile = play("missile", level, missileScript, late, {early, late}, {early, late});
    ScriptRun nuke = play("nuke", level, nukeScript, ringFrame, {ringFrame}, {ringFrame});
    ScriptRun plain = play("plain", level, turn, ringFrame, {early, late, ringFrame}, {});
    ASSERT_EQ(missile.pictures.size(), 2u);
    ASSERT_EQ(nuke.pictures.size(), 1u);
    ASSERT_EQ(plain.pictures.size(), 3u);

    // The missile (with its trail) is what differs in the band of its height between the
    // hero's gun and the walker, and its centre moves towards the walker between the frames.
    const float cameraX = missile.value(early, "gameCameraX");
    const float walkerMiddle = walkerMiddleX - cameraX;
    const int from = static_cast<int>(missile.value(early, "playerX") - cameraX) + 150;
    const int to = static_cast<int>(800.0f - cameraX) - 5;
    std::vector<double> gaps;
    for (int f : {early, late}) {
        const auto m = missile.entries(f, "missile").begin()->second;
        const int y = static_cast<int>(m.at("y") - missile.value(f, "gameCameraY"));
        const int x = static_cast<int>(m.at("x") - missile.value(f, "gameCameraX"));
        const double centre = differenceCentreX(missile.pictures[f], plain.pictures[f], from, y - 60, to, y + 60);
        ASSERT_GE(centre, 0.0) << "frame " << f;
        EXPECT_NEAR(centre, x, 150.0) << "frame " << f;
        gaps.push_back(std::fabs(centre - walkerMiddle));
    }
    EXPECT_LT(gaps[1], gaps[0] - 100.0);

    // The ring: on its circle (radius to radius + 64 around the player's middle) the picture
    // gains light; halfway in it does not.
    const float cx = nuke.value(ringFrame, "nukeCentreX") - nuke.value(ringFrame, "gameCameraX");
    const float cy = nuke.value(ringFrame, "nukeCentreY") - nuke.value(ringFrame, "gameCameraY");
    const float r = nuke.value(ringFrame, "nukeRadius");
    auto gainAround = [&](float radius) {
        double sum = 0.0;
        int n = 0;
        for (int a = 0; a < 360; a += 3) {
            const int x = static_cast<int>(cx + radius * std::cos(a * 3.14159265 / 180.0));
            const int y = static_cast<int>(cy + radius * std::sin(a * 3.14159265 / 180.0));
            if (!inside(nuke.pictures[ringFrame], x, y) || y < 70)
                continue;
            sum += brightness(nuke.pictures[ringFrame].at(x, y)) - brightness(plain.pictures[ringFrame].at(x, y));
            ++n;
        }
        return n ? sum / n : 0.0;
    };
    const double onRing = gainAround(r + 32.0f);
    const double within = gainAround(r * 0.5f);
    EXPECT_GT(onRing, 40.0);
    EXPECT_LT(std::fabs(within), onRing / 4.0);
}

}  // namespace

namespace {

// The "hash <frame> <hex>" lines of one run under GALLIUM_NOOP, by frame.
std::map<int, std::string> hashesOf(const std::filesystem::path& dir, const std::string& script, int frames,
    bool drawCapturesOnly)
{
    const std::string options = "--hash-every 1 --frames " + std::to_string(frames) +
                                (drawCapturesOnly ? " --draw-captures-only" : "");
    const KeyScriptRun run = runKeyScript(dir, script, options, true);
    EXPECT_EQ(run.exitStatus, 0) << options;
    std::map<int, std::string> hashes;
    for (const std::string& line : run.hashLines) {
        std::istringstream fields(line);
        std::string kind, hash;
        int frame = 0;
        if (fields >> kind >> frame >> hash)
            hashes[frame] = hash;
    }
    return hashes;
}

}  // namespace

TEST(GameScriptedPictures, FramesRunWithoutAContextLeaveTheStateOfDrawnFrames)
{
    // Everything that draws differently or keeps draw-side state: walkers pacing their
    // paths, a flyer, a wall with a tile model, and on the script laser fire, a missile, the
    // nuke and a death against the flyer. A run that draws every frame and one that draws
    // none after the first must agree on the whole state after every frame.
    LevelImage level;
    level.boxes.push_back(boxAt(0.0f, 20.0f, 3840.0f, 10.0f, -1));
    level.boxes.push_back(boxAt(1500.0f, GROUND_TOP, 120.0f, 300.0f, 1));
    level.enemies.push_back(enemyAt(ENEMY_WALKER, 700.0f, GROUND_TOP, 2.0f));
    level.enemies.push_back(enemyAt(ENEMY_WALKER, 1100.0f, GROUND_TOP, 3.0f));
    level.enemies.push_back(enemyAt(ENEMY_FLYER, 1300.0f, GROUND_TOP + 40.0f, 2.0f));
    const std::string script = "1 +RIGHT\n2 -RIGHT\n10 +RCTRL\n60 -RCTRL\n70 +2\n71 -2\n80 +RCTRL\n81 -RCTRL\n"
                               "100 +3\n101 -3\n110 +RCTRL\n111 -RCTRL\n150 +RIGHT\n";
    const int frames = 300;
    const std::filesystem::path dir = makeGameScriptFolder("mornglow-scripted-context-free", level, script);
    const std::map<int, std::string> drawn = hashesOf(dir, script, frames, false);
    const std::map<int, std::string> undrawn = hashesOf(dir, script, frames, true);
    if (!getenv("MORNGLOW_KEEP_SCRIPTED"))
        std::filesystem::remove_all(dir);
    ASSERT_EQ(drawn.size(), static_cast<size_t>(frames));
    ASSERT_EQ(undrawn.size(), static_cast<size_t>(frames));
    for (int f = 1; f <= frames; ++f)
        ASSERT_EQ(drawn.at(f), undrawn.at(f)) << "first differing frame " << f;
}
