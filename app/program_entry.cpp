// The program entry of this system hands over to the Windows-style entry routine; the demo
// takes no command-line options.
#include "app/main_window.h"

int main(int /*argc*/, char** /*argv*/)
{
    return WinMain(nullptr, nullptr, nullptr, 1);
}
