// The game's way in: the demo's start-up and main loop with the timeline switched off, so the
// frame routine stays in its initial game state. Keys come from the keyboard; Escape or closing
// the window quits. It takes no options but --help.
#include "app/frame.h"
#include "app/main_window.h"
#include "app/run_directory.h"
#include "app/tool_cli.h"
#include "platform/gl_api.h"

int main(int argc, char** argv)
{
    CLI::App app{"The demo's action game in a full-screen window, on level1.level of the working\n"
                 "directory (of build/run/ when the working directory has no data/). Keys: arrows walk,\n"
                 "SPACE jumps, right CTRL fires, 1-3 pick the weapon, F1 the level editor, F2 restarts,\n"
                 "Escape quits.",
                 "demo-game"};
    useToolRules(app);
    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;
    enterRunDirectoryIfNoData("demo-game");
    glErrorSink = printGlError;
    timelineDrivesState = 0;
    return WinMain(nullptr, nullptr, nullptr, 1);
}
