// game-scene-bench [--level FILE] [--frames N]
// CPU cost of the game's 3D picture: the game scene (backdrop, clouds, background flyers and
// props, shadow map, tiles, enemies, hero) rendered N times (300 unless given) on the level FILE
// ("level1.level" unless given), the player walking right, once with the background props and
// once without, and the whole game frame for comparison. Prints
//   scene <label> frames <n> cpu_ms_per_frame <x> wall_ms_per_frame <y> draws_per_frame <d>
//         array_uploads_per_frame <u> uploaded_kb_per_frame <k>
// Run with GALLIUM_NOOP=1 so the figures are the submission cost alone. The start-up's and the
// game's loader lines go to stderr (nowhere with --quiet); stdout holds the result lines.
#include "app/frame.h"
#include "app/offline_driver.h"
#include "app/run_directory.h"
#include "app/tool_cli.h"
#include "core/keyboard.h"
#include "core/screen_frame.h"  // FRAME_ASPECT, FRAME_NEAR_PLANE
#include "game/game.h"
#include "game/game_scene.h"
#include "game/level_file.h"
#include "game/player.h"
#include "game/restart.h"
#include "platform/gl_api.h"
#include "render/lights.h"
#include "render/model_draw.h"
#include "app/run_faults.h"

#include <SDL_scancode.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ctime>
#include <string>

static double cpuMs()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1.0e6;
}

static double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The frame routine's matrices for the game state.
static void frameMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35.0, FRAME_ASPECT, FRAME_NEAR_PLANE, 500.0);
    gluLookAt(0, 0, 10, 0, 0, -1, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -20);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
}

template <typename Step>
static void measure(const char* label, int frames, const Step& step)
{
    const ModelDrawStats before = modelDrawStats;
    const double cpu = cpuMs(), wall = wallMs();
    for (int frame = 1; frame <= frames; ++frame) {
        step(frame);
        glFinish();
    }
    std::fprintf(resultStream(), "scene %s frames %d cpu_ms_per_frame %.3f wall_ms_per_frame %.3f draws_per_frame %.1f "
                "array_uploads_per_frame %.1f uploaded_kb_per_frame %.1f\n",
                label, frames, (cpuMs() - cpu) / frames, (wallMs() - wall) / frames,
                double(modelDrawStats.drawCalls - before.drawCalls) / frames,
                double(modelDrawStats.arrayUploads - before.arrayUploads) / frames,
                double(modelDrawStats.uploadedBytes - before.uploadedBytes) / frames / 1024.0);
}

int main(int argc, char** argv)
{
    CLI::App app{"CPU cost of the game's 3D picture on a level, with and without the background props,\n"
                 "and of the whole game frame. Run with GALLIUM_NOOP=1 so the figures are the submission\n"
                 "cost alone.",
                 "game-scene-bench"};
    useToolRules(app);
    std::string level = "level1.level";
    int frames = 300;
    bool quiet = false;
    app.add_option("--level", level, "the level (found here or in build/run/)")->type_name("FILE")->capture_default_str();
    app.add_option("--frames", frames, "frames per measurement")
        ->type_name("N")
        ->check(wholeNumberFrom(1, 100000))
        ->capture_default_str();
    app.add_flag("--quiet", quiet, "drop the start-up's loader lines instead of sending them to stderr");
    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;
    level = inputPathFromHere(level);
    enterRunDirectoryIfNoData("game-scene-bench");
    // Checked before the start-up; a FIFO is refused here rather than waited on.
    if (!levelReadable(level.c_str()))
        return 1;
    StdoutToStderr chatter(quiet);
    if (!startDemoOffline()) {
        std::fprintf(stderr, "game-scene-bench: start-up failed\n");
        return 1;
    }
    startGameOffline();
    initEditor();
    if (!readLevel(level.c_str())) {
        std::fprintf(stderr, "game-scene-bench: cannot read level %s\n", level.c_str());
        return 1;
    }
    presetRandomOrbitLights();
    restartGame();
    gameFirstFrame = 0;
    static unsigned char keys[512] = {};
    keys[SDL_SCANCODE_RIGHT] = 1;
    setKeySource(keys, 512);
    // Walk in first, so the view shows the level rather than the respawn.
    for (int frame = 1; frame <= 60; ++frame)
        driveGameFrame(frame);
    auto scene = [](int) {
        frameMatrices();
        renderGameScene();
    };
    backgroundPropsEnabled = 1;
    measure("game_scene", frames, scene);
    backgroundPropsEnabled = 0;
    measure("game_scene_without_props", frames, scene);
    backgroundPropsEnabled = 1;
    measure("game_frame", frames, [](int frame) { driveGameFrame(60 + frame); });
    setKeySource(nullptr, 0);
    return toolRunStatus("game-scene-bench");
}
