// A program that fails to build after the start-up's check (the game builds its own programs
// when it is first entered) still fails the tool's run, with a line naming the first failure.
#include "key_script_run.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(ToolRunFaults, ABrokenGameOnlyShaderFailsTheGameCapture)
{
    const fs::path dir = scratchPath("mornglow-broken-game-shader");
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    // The run directory's data, linked file by file, but for a broken explosion shader.
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(RUN_DIR) / "data"))
        if (entry.path().filename() != "expl.frag")
            fs::create_symlink(entry.path(), dir / "data" / entry.path().filename());
    std::ofstream(dir / "data/expl.frag") << "#version 330 compatibility\nvoid main() { this is no GLSL }\n";
    std::ofstream(dir / "keys.txt") << "1 +RIGHT\n";
    ProgramRun run = runProgram("cd '" + dir.string() + "' && SDL_AUDIODRIVER=dummy GALLIUM_NOOP=1 " BINARY_DIR
                                "/demo-capture --game --keys keys.txt --out out --frames 3 2> stderr.txt");
    EXPECT_EQ(run.exitStatus, 3);
    std::ifstream err(dir / "stderr.txt");
    const std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    // The compile failure and the link failure that follows it.
    EXPECT_NE(text.find("demo-capture: 2 program build failures during the run, the first: "
                        "passthroughvertexshader.vert,expl.frag: SHADER ERROR "),
              std::string::npos)
        << text;
    fs::remove_all(dir);
}

}  // namespace
