#include "tools/capture/capture_common.h"

#include "app/frame.h"  // TIMELINE_END, TIMELINE_OFFSET
#include "app/music.h"  // MUSIC_ROWS_PER_MS
#include "app/offline_driver.h"
#include "app/tool_cli.h"  // StdoutToStderr
#include "core/program_exit.h"
#include "gfx/shaders.h"  // shaderBuildFailures

#include <cstdio>

double showEndSeconds()
{
    const double rows = (static_cast<double>(TIMELINE_END) + TIMELINE_OFFSET) * 32.0;
    return rows / static_cast<double>(MUSIC_ROWS_PER_MS) / 1000.0;
}

int startCaptureRun(bool quiet)
{
    bool started = false;
    {
        StdoutToStderr chatter(quiet);
        started = startDemoOffline();
    }
    if (!started) {
        std::fprintf(stderr, "demo-capture: start-up failed\n");
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    if (shaderBuildFailures > 0) {
        std::fprintf(stderr, "demo-capture: %d shader build failures (logs above)\n", shaderBuildFailures);
        return exitStatus(ExitCode::TOOL_SHADER_FAILURE);
    }
    return 0;
}
