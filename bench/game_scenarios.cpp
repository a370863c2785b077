// demo-bench --game-scenarios [--frames N]
// The game's drawing in five situations, each on a freshly restarted game on the virtual
// clock: "idle" (level1, no keys), "run_fire" (running right with the laser held), "death_burst"
// (the player's burst of 500 sprites), "nuke_30_walkers" (a nuke going off over 30 walkers on
// screen, then their debris), "crowded" (the crowded level, running and firing), and last
// "editor" (F1 into the level editor, the cursor held moving right so the view scrolls). Prints
// "scenario <name> frames <n> frame_median_ms <x> frame_max_ms <y> draw_calls_2d <c> primitives_2d <p>
// send_2d_ms <s> cpu_median_ms <t> cpu_max_ms <u>" per scenario (the 2D figures per frame;
// send_2d_ms is the time spent sending the 2D layer's batches; the cpu figures count this
// thread's processor time, which a busy machine does not inflate). Under GALLIUM_NOOP=1 the frame figures are the CPU cost of a game frame; on
// llvmpipe they are the frame time.
#include "bench/game_scenarios.h"

#include "app/frame.h"
#include "app/key_script.h"
#include "app/offline_driver.h"
#include "core/frame_values.h"  // gameFirstFrame
#include "core/keyboard.h"      // setKeySource
#include "game/draw_2d.h"
#include "game/enemies.h"
#include "game/game.h"
#include "game/game_camera.h"
#include "game/game_frame.h"
#include "game/level_file.h"
#include "game/player.h"
#include "game/weapons.h"
#include "gfx/pass_timer.h"
#include "platform/gl_api.h"
#include "render/lights.h"

#include <SDL_scancode.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <time.h>
#include <vector>

namespace {

using BenchClock = std::chrono::steady_clock;

constexpr int NUKE_WALKERS = 30;
int clockFrame = 0;  // game frames driven so far: the virtual clock only moves forward

void driveNextFrame()
{
    driveGameFrame(++clockFrame);
}

enum class Setup { None, Death, Nuke };

struct Scenario {
    const char* name;
    const char* level;
    const char* keys;
    Setup setup;
};

const Scenario SCENARIOS[] = {
    {"idle", "level1.level", "", Setup::None},
    {"run_fire", "level1.level", "1 +RIGHT\n1 +RCTRL\n", Setup::None},
    {"death_burst", "level1.level", "", Setup::Death},
    {"nuke_30_walkers", "level1.level", "1 +RCTRL\n", Setup::Nuke},
    {"crowded", "crowded.level", "1 +RIGHT\n1 +RCTRL\n", Setup::None},
    // Stays in the editor, so it runs last.
    {"editor", "level1.level", "1 +F1\n2 -F1\n3 +RIGHT\n", Setup::None},
};

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Thirty walkers spread over the start view, standing on the ground strip.
void placeWalkersOnScreen()
{
    enemyCount = std::min(MAX_LEVEL_ENEMIES, std::max(enemyCount, NUKE_WALKERS));
    for (int i = 1; i <= NUKE_WALKERS; ++i) {
        enemyTable.type[i] = ENEMY_WALKER;
        enemyTable.x[i] = 300.0f + 52.0f * static_cast<float>(i);
        enemyTable.y[i] = 30.0f + 25.0f * static_cast<float>(i % 5);
        enemyTable.width[i] = enemyDefaults[ENEMY_WALKER].width;
        enemyTable.height[i] = enemyDefaults[ENEMY_WALKER].height;
        enemyTable.health[i] = enemyDefaults[ENEMY_WALKER].health;
        enemyTable.maxHealth[i] = enemyDefaults[ENEMY_WALKER].maxHealth;
    }
}

bool runScenario(const Scenario& s, int frames)
{
    std::vector<KeyEvent> events;
    std::string error;
    if (!parseKeyScript(s.keys, events, error)) {
        std::fprintf(stderr, "demo-bench: %s: %s\n", s.name, error.c_str());
        return false;
    }
    if (!readLevel(s.level)) {
        std::fprintf(stderr, "demo-bench: cannot read level %s\n", s.level);
        return false;
    }
    restartGame();
    gameFirstFrame = 0;
    static unsigned char keys[KEY_SCRIPT_ARRAY_SIZE];
    std::memset(keys, 0, sizeof(keys));
    setKeySource(keys, KEY_SCRIPT_ARRAY_SIZE);
    // Two frames to let the respawn settle before the scenario starts.
    driveNextFrame();
    driveNextFrame();
    if (s.setup == Setup::Death) {
        killPlayer();
    } else if (s.setup == Setup::Nuke) {
        placeWalkersOnScreen();
        playerWeapon = WEAPON_NUKE;
        playerAmmo[1] = 5;
    }
    std::vector<double> times;
    std::vector<double> cpuTimes;
    draw2DStats = Draw2DStats{0, 0, 0.0};
    takePassTimes();   // the set-up frames are not the scenario's
    for (int frame = 1; frame <= frames; ++frame) {
        applyKeyEvents(events, frame, keys);
        const BenchClock::time_point start = BenchClock::now();
        const double cpuStart = threadCpuMs();
        driveNextFrame();
        passTimerFrameDone();
        glFinish();
        times.push_back(std::chrono::duration<double, std::milli>(BenchClock::now() - start).count());
        cpuTimes.push_back(threadCpuMs() - cpuStart);
    }
    setKeySource(nullptr, 0);
    std::printf("scenario %s frames %d frame_median_ms %.3f frame_max_ms %.3f draw_calls_2d %d primitives_2d %d "
                "send_2d_ms %.3f cpu_median_ms %.3f cpu_max_ms %.3f\n",
        s.name, frames, median(times), *std::max_element(times.begin(), times.end()),
        draw2DStats.drawCalls / frames, draw2DStats.primitives / frames, draw2DStats.sendMs / frames, median(cpuTimes),
        *std::max_element(cpuTimes.begin(), cpuTimes.end()));
    const std::string prefix = std::string("scenario ") + s.name;
    printPassTimes(prefix.c_str(), takePassTimes());
    return true;
}

}  // namespace

int runGameScenarios(int argc, char** argv)
{
    int frames = 120;
    bool passes = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--passes"))
            passes = true;
    }
    if (!startDemoOffline()) {
        std::fprintf(stderr, "demo-bench: start-up failed\n");
        return 1;
    }
    if (passes)
        enablePassTimer();
    startGameOffline();
    initEditor();
    presetRandomOrbitLights();
    restartGame();
    bool ok = true;
    for (const Scenario& s : SCENARIOS)
        ok = runScenario(s, frames) && ok;
    return ok ? 0 : 1;
}
