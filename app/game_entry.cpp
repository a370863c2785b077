// The game's way in: the demo's start-up and main loop with the timeline switched off, so the
// frame routine stays in its initial game state. Keys come from the keyboard; Escape or closing
// the window quits.
#include "app/frame.h"
#include "app/main_window.h"
#include "app/run_directory.h"
#include "platform/gl_api.h"

int main(int /*argc*/, char** /*argv*/)
{
    enterRunDirectoryIfNoData("demo-game");
    glErrorSink = printGlError;
    timelineDrivesState = 0;
    return WinMain(nullptr, nullptr, nullptr, 1);
}
