// demo-bench --game-scenarios [--frames N]
// The game's drawing in five situations, each on a freshly restarted game on the virtual
// clock: "idle" (level1, no keys), "run_fire" (running right with the laser held), "death_burst"
// (the player's burst of 500 sprites), "nuke_30_walkers" (a nuke going off over 30 walkers on
// screen, then their debris), "crowded" (the crowded level, running and firing), and last
// "editor" (F1 into the level editor, the cursor held moving right so the view scrolls). Prints
//   scenario <name> frames <n> wall_p50_ms .. wall_p95_ms .. wall_p99_ms .. wall_max_ms ..
//            wall_longest_frame <i> draw_calls_2d <c> primitives_2d <p> send_2d_ms <s>
//            cpu_p50_ms .. cpu_p95_ms .. cpu_p99_ms .. cpu_max_ms .. cpu_longest_frame <i>
// per scenario (the 2D figures per frame; send_2d_ms is the time spent sending the 2D layer's
// batches; the cpu figures count this thread's processor time, which a busy machine does not
// inflate). Under GALLIUM_NOOP=1 the frame figures are the CPU cost of a game frame; on
// llvmpipe they are the frame time.
#include "bench/game_scenarios.h"

#include "app/frame.h"
#include "app/key_script.h"
#include "app/offline_driver.h"
#include "app/tool_cli.h"  // StdoutToStderr
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
#include "app/run_faults.h"

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

bool runScenario(const Scenario& s, int frames, bool quiet, FrameCsv& csv)
{
    std::vector<KeyEvent> events;
    std::string error;
    if (!parseKeyScript(s.keys, events, error)) {
        std::fprintf(stderr, "demo-bench: %s: %s\n", s.name, error.c_str());
        return false;
    }
    {
        StdoutToStderr chatter(quiet);
        if (!readLevel(s.level)) {
            std::fprintf(stderr, "demo-bench: cannot read level %s\n", s.level);
            return false;
        }
        restartGame();
        gameFirstFrame = 0;
    }
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
    csv.addFrames(s.name, cpuTimes, times);
    std::fprintf(resultStream(), "scenario %s frames %d %s draw_calls_2d %d primitives_2d %d send_2d_ms %.3f %s\n", s.name, frames,
                frameFigures("wall_", times).c_str(), draw2DStats.drawCalls / frames, draw2DStats.primitives / frames,
                draw2DStats.sendMs / frames, frameFigures("cpu_", cpuTimes).c_str());
    const std::string prefix = std::string("scenario ") + s.name;
    printPassTimes(resultStream(), prefix.c_str(), takePassTimes());
    std::fflush(resultStream());
    return true;
}

}  // namespace

int runGameScenarios(const BenchOptions& options, FrameCsv& csv)
{
    const int frames = options.frames > 0 ? options.frames : 120;
    if (!startBenchOffline(options.quiet))
        return 1;
    if (options.passes)
        enablePassTimer();
    startGameOffline();
    {
        StdoutToStderr chatter(options.quiet);
        initEditor();
        presetRandomOrbitLights();
        restartGame();
    }
    StdoutToStderr chatter(options.quiet);  // a frame that loads (F1 into the editor) says so
    bool ok = true;
    for (const Scenario& s : SCENARIOS)
        ok = runScenario(s, frames, options.quiet, csv) && ok;
    return ok ? toolRunStatus("demo-bench") : 1;
}
