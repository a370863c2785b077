// A capture whose picture cannot be written whole (the file-size limit stands in for a full
// disk: the kernel refuses the write part-way, as with no space left) names the file, ends
// with status 1 and leaves no picture, whole or cut short, and no temporary file behind.
#include "key_script_run.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(CaptureWriteFailure, APictureThatCannotBeWrittenWholeFailsTheRunAndLeavesNoFile)
{
    const fs::path dir = makeKeyScriptFolder("mornglow-capture-full");
    std::ofstream(dir / "keys.txt") << "1 +RIGHT\n";
    const struct Case {
        const char* what;
        std::string options;
        std::string picture;
    } cases[] = {
        // --quiet: the loader's lines on stderr would pass the file-size limit themselves.
        {"timeline", "--quiet --out out --at 0.1 --step-ms 50", "out/frame_100.png"},
        {"game", "--quiet --game --keys keys.txt --out out --frames 2 --at-frames 2", "out/game_00002.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "out");
        // SIGXFSZ ignored, so the write past the limit fails with EFBIG instead of killing.
        ProgramRun run = runProgram("cd '" + dir.string() + "' && trap '' XFSZ && ulimit -f 1 && " +
                                    "SDL_AUDIODRIVER=dummy GALLIUM_NOOP=1 " BINARY_DIR "/demo-capture " + c.options +
                                    " 2> stderr.txt");
        EXPECT_EQ(run.exitStatus, 1);
        std::ifstream err(dir / "stderr.txt");
        const std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("demo-capture: cannot write " + (dir / c.picture).string() + "\n"), std::string::npos)
            << text;
        EXPECT_EQ(run.output.find("capture "), std::string::npos) << "no picture is reported as captured";
        for (const fs::directory_entry& entry : fs::directory_iterator(dir / "out"))
            EXPECT_NE(entry.path().extension(), ".png") << entry.path();
        EXPECT_FALSE(fs::exists(dir / (c.picture + ".tmp")));
    }
    fs::remove_all(dir);
}

}  // namespace
