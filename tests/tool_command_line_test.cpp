// The tools' command lines follow one set of rules: --help on stdout with status 0, and a
// bad command line named in the first line of stderr with status 2, before any start-up; and
// a tool's stdout holds only its result lines.
#include "tests/program_runner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

TEST(ToolCommandLine, HelpAndFaultsBeforeTheStartUp)
{
    const struct {
        const char* command;  // below the build folder, or ./run.sh of the source tree; run in the run directory
        int status;
        const char* stderrFirstLine;  // "" for none
        const char* stdoutHas;
    } cases[] = {
        {"demo-capture --help", 0, "", "--draw-captures-only"},
        {"demo-capture -h", 0, "", "--effect NAME"},
        {"demo-bench --help", 0, "", "--game-scenarios"},
        {"demo-game --help", 0, "", "Usage: demo-game"},
        {"model-info --help", 0, "", "Usage: model-info"},
        {"game-scene-bench --help", 0, "", "--level FILE"},
        {"model-draw-bench --help", 0, "", "--run-dir DIR"},
        {"tools/picture_data/picture_data --help", 0, "", "RUN_DIR"},

        {"demo-bench --bogus", 2, "demo-bench: unknown option --bogus", ""},
        {"demo-bench --frames", 2, "demo-bench: --frames needs a value", ""},
        {"demo-bench --frames abc", 2, "demo-bench: --frames: abc is not a whole number", ""},
        {"demo-bench --frames -5", 2, "demo-bench: --frames: -5 is out of range (1 to 100000)", ""},
        {"demo-bench --frames=0", 2, "demo-bench: --frames: 0 is out of range (1 to 100000)", ""},
        {"demo-bench --frames 12x", 2, "demo-bench: --frames: 12x is not a whole number", ""},
        {"demo-bench --keys walk.keys", 2, "demo-bench: --keys is an option of --game", ""},
        {"demo-bench --game level1.level --game-scenarios", 2,
         "demo-bench: --game and --game-scenarios are two modes: give one", ""},
        {"demo-bench extra", 2, "demo-bench: unexpected argument extra", ""},
        {"demo-capture --at 3", 2, "demo-capture: --out is required", ""},
        {"demo-capture --out shots", 2, "demo-capture: --at is required", ""},
        {"demo-capture --out shots --at 176", 2,
         "demo-capture: --at: 176 is past the show's end (175.007 s)", ""},
        {"demo-capture --out shots --at 1e9", 2,
         "demo-capture: --at: 1e9 is past the show's end (175.007 s)", ""},
        {"demo-capture --out shots --at=3,,4", 2, "demo-capture: --at: an empty item in '3,,4'", ""},
        {"demo-capture --out shots --at 3,-1", 2, "demo-capture: --at: -1 is below the least (0 s)", ""},
        {"demo-capture --out shots --at 3 --step-ms 0", 2, "demo-capture: --step-ms: 0 is below the least (1 ms)",
         ""},
        {"demo-capture --out shots --at 3 --keys walk.keys", 2, "demo-capture: --keys is not an option of the timeline",
         ""},
        {"demo-capture --effect flag --out shots --at 1 --from-start", 2,
         "demo-capture: --from-start is not an option of --effect", ""},
        {"demo-capture --effect nope --out shots --at 1", 2, "demo-capture: --effect: no effect named nope", ""},
        {"demo-capture --game --out shots", 2, "demo-capture: --game needs --keys", ""},
        {"demo-capture --game --keys walk.keys --out shots --frames 10 --at-frames 5,20", 2,
         "demo-capture: --at-frames 20 is past --frames 10", ""},
        {"demo-capture --game --keys walk.keys --out shots --frames 0", 2,
         "demo-capture: --frames: 0 is out of range (1 to 100000)", ""},
        {"demo-capture --game --keys walk.keys --out shots --at 3", 2, "demo-capture: --at is not an option of --game",
         ""},
        {"demo-capture --out /proc/no/shots --at 3", 1, "demo-capture: cannot create /proc/no/shots", ""},
        {"demo extra", 2, "demo: takes no options (got 'extra')", ""},
        {"demo --help", 2, "demo: takes no options (got '--help')", ""},
        {"demo-game extra", 2, "demo-game: unexpected argument extra", ""},
        {"demo-game --fullscreen", 2, "demo-game: unknown option --fullscreen", ""},
        {"model-info", 2, "model-info: FILE is required", ""},
        {"model-info a.obj b.obj", 2, "model-info: unexpected argument b.obj", ""},
        {"game-scene-bench --frames 0", 2, "game-scene-bench: --frames: 0 is out of range (1 to 100000)", ""},
        {"model-draw-bench --mode fast", 2,
         "model-draw-bench: --mode: no mode named fast (static, static_uncached, static_lean, skinned, shadowed)", ""},
        {"tools/picture_data/picture_data", 2, "picture_data: RUN_DIR is required", ""},
        {"tools/picture_data/picture_data a b", 2, "picture_data: unexpected argument b", ""},
        {"./run.sh --help", 0, "", "usage: ./run.sh [--game]"},
        {"./run.sh extra", 2, "run.sh: unknown arguments: extra", ""},
        {"./run.sh --game extra", 2, "run.sh: unknown arguments: --game extra", ""},
    };
    const std::string errPath = scratchPath("tool-command-line.err").string();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const std::string command = std::string(c.command).rfind("./run.sh", 0) == 0
                                        ? std::string(SOURCE_DIR) + "/" + (c.command + 2)
                                        : std::string(BINARY_DIR) + "/" + c.command;
        ProgramRun run = runProgram(command + " 2>'" + errPath + "' </dev/null");
        std::stringstream err;
        err << std::ifstream(errPath).rdbuf();
        EXPECT_EQ(run.exitStatus, c.status);
        // Every fault is found before the start-up, which takes seconds.
        EXPECT_LT(run.seconds, 3.0);
        if (*c.stderrFirstLine) {
            EXPECT_EQ(firstLine(err.str()).rfind(c.stderrFirstLine, 0), 0u) << err.str();
            EXPECT_EQ(run.output, "");
        } else {
            EXPECT_EQ(err.str(), "");
            EXPECT_NE(run.output.find(c.stdoutHas), std::string::npos) << run.output;
        }
    }
    std::filesystem::remove(errPath);
    EXPECT_FALSE(std::filesystem::exists(std::string(RUN_DIR) + "/shots"));
}

// The start-up's loader lines go to stderr; stdout has the run's results, and a run asked for
// none says what it did in one closing line.
TEST(ToolCommandLine, StdoutHoldsOnlyResultLines)
{
    const std::filesystem::path dir = scratchPath("tool-results");
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "walk.keys") << "1 +RIGHT\n";
    const std::string keys = (dir / "walk.keys").string(), out = (dir / "out").string();
    const struct {
        std::string command;
        std::vector<std::string> lineStarts;  // each line starts with one of these
        int lines;                            // how many; -1: any number
        std::string held = "";                // a line holding this is among them
    } cases[] = {
        {"demo-capture --game --keys '" + keys + "' --out '" + out + "' --frames 4 --hash-every 1", {"hash "}, 4},
        {"demo-capture --game --keys '" + keys + "' --out '" + out + "' --frames 4", {"played 4 frames of "}, 1},
        // F1 into the editor loads a level in the middle of the run.
        {"demo-bench --game-scenarios --frames 3", {"scenario "}, 6},
        // The pass times are result lines too, even while the frames' own chatter goes to stderr.
        {"demo-bench --game-scenarios --frames 3 --passes", {"scenario "}, -1, " pass scene frames 3 gpu_median_ms "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const std::string errPath = (dir / "err.txt").string();
        ProgramRun run =
            runProgram("GALLIUM_NOOP=1 SDL_AUDIODRIVER=dummy " BINARY_DIR "/" + c.command + " 2>'" + errPath + "'");
        EXPECT_EQ(run.exitStatus, 0);
        std::istringstream lines(run.output);
        std::string line;
        int count = 0;
        bool held = c.held.empty();
        while (std::getline(lines, line)) {
            ++count;
            held = held || line.find(c.held) != std::string::npos;
            bool known = false;
            for (const std::string& start : c.lineStarts)
                known = known || line.rfind(start, 0) == 0;
            EXPECT_TRUE(known) << line;
        }
        if (c.lines >= 0) {
            EXPECT_EQ(count, c.lines) << run.output;
        }
        EXPECT_TRUE(held) << c.held << " in\n" << run.output;
        std::stringstream err;
        err << std::ifstream(errPath).rdbuf();
        EXPECT_NE(err.str().find("a1 b b1 b2 b3 b4 b5 c "), std::string::npos) << "the start-up's lines go to stderr";
    }
    std::filesystem::remove_all(dir);
}

// The demo, like the tools, started where there is no data/ (here the source tree, whose
// data/ holds only the GLSL sources) plays from the run directory beside it and says so on
// stderr; its start-up transcript on stdout is unchanged.
TEST(ToolCommandLine, DemoStartedInTheSourceTreePlaysFromTheRunDirectory)
{
    const std::string errPath = scratchPath("demo-anywhere.err").string();
    // SIGTERM arrives as a quit event: the demo ends normally once started.
    ProgramRun run = runProgram("cd '" SOURCE_DIR "' && GALLIUM_NOOP=1 SDL_AUDIODRIVER=dummy timeout --preserve-status "
                                "-s TERM 10 " BINARY_DIR "/demo </dev/null 2>'" + errPath + "'");
    std::stringstream err;
    err << std::ifstream(errPath).rdbuf();
    EXPECT_EQ(run.exitStatus, 0) << err.str();
    const std::string runDir = std::filesystem::canonical(RUN_DIR).string();
    EXPECT_EQ(firstLine(err.str()), "demo: started in the source tree, working in " + runDir);
    EXPECT_EQ(run.output.rfind("a a1 b b1 b2 b3 b4 b5 c ", 0), 0u) << run.output.substr(0, 200);
    EXPECT_NE(run.output.find("a1\na2\na3\n"), std::string::npos) << "the start-up ran to its end";
    std::filesystem::remove(errPath);
}

}  // namespace
