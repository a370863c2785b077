// Every tool given a path that holds no readable file (a directory, a FIFO) as any of its
// inputs: one line on stderr naming it, status 1, and no wait for a writer on the FIFO.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Whether the file holds `wanted` as one of its lines (a tool that starts up first has
// printed the start-up's own lines before it).
bool holdsLine(const fs::path& path, const std::string& wanted)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (line == wanted)
            return true;
    return false;
}

TEST(UnreadableInputs, EveryToolNamesTheFileAndExitsWithStatusOne)
{
    const fs::path dir = scratchPath("mornglow-unreadable");
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.obj");
    fs::create_directories(dir / "folder.level");
    fs::create_directories(dir / "keys.folder");
    fs::create_directories(dir / "library");
    ASSERT_EQ(mkfifo((dir / "pipe.obj").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "pipe.level").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "keys.pipe").c_str(), 0600), 0);
    std::ofstream(dir / "library.obj") << "mtllib library\nv 0 0 0\n";
    const std::string d = dir.string() + "/";
    const std::string bin = std::string(BINARY_DIR) + "/";
    const struct Case {
        const char* what;
        std::string command;
        std::string message;  // a line of stderr
    } cases[] = {
        {"model-info, a directory", bin + "model-info " + d + "folder.obj", "model-info: " + d + "folder.obj: is a directory"},
        {"model-info, a FIFO", bin + "model-info " + d + "pipe.obj", "model-info: " + d + "pipe.obj: is not a regular file"},
        {"model-info, a directory as material library", bin + "model-info " + d + "library.obj",
         "objReadMTL() failed: can't open material file \"" + d + "library\"."},
        {"demo-capture --keys, a directory", bin + "demo-capture --game --keys " + d + "keys.folder --out " + d + "out",
         "demo-capture: cannot open key script " + d + "keys.folder: is a directory"},
        {"demo-capture --keys, a FIFO", bin + "demo-capture --game --keys " + d + "keys.pipe --out " + d + "out",
         "demo-capture: cannot open key script " + d + "keys.pipe: is not a regular file"},
        {"demo-bench --keys, a directory", bin + "demo-bench --game level1.level --keys " + d + "keys.folder",
         "demo-bench: cannot open key script " + d + "keys.folder: is a directory"},
        {"demo-bench --keys, a FIFO", bin + "demo-bench --game level1.level --keys " + d + "keys.pipe",
         "demo-bench: cannot open key script " + d + "keys.pipe: is not a regular file"},
        {"demo-bench --game, a directory", bin + "demo-bench --frames 1 --game " + d + "folder.level",
         "level " + d + "folder.level not read: is a directory"},
        {"demo-bench --game, a FIFO", bin + "demo-bench --frames 1 --game " + d + "pipe.level",
         "level " + d + "pipe.level not read: is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramRun run = runProgram("export SDL_AUDIODRIVER=dummy GALLIUM_NOOP=1; timeout 300 " + c.command + " > /dev/null 2> '" + d +
                                    "stderr.txt'");
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_TRUE(holdsLine(dir / "stderr.txt", c.message)) << c.message;
    }
    fs::remove_all(dir);
}

}  // namespace
