// The program entry of this system hands over to the Windows-style entry routine. The demo
// takes no command-line options: any argument is refused with a usage line rather than
// ignored. Started where there is no data/ folder, it plays from the run directory beside it.
#include "app/main_window.h"
#include "app/run_directory.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc > 1) {
        std::fprintf(stderr, "demo: takes no options (got '%s')\nusage: demo\n", argv[1]);
        return 2;
    }
    enterRunDirectoryIfNoData("demo");
    return WinMain(nullptr, nullptr, nullptr, 1);
}
