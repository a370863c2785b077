// One quick Escape tap, typed into the window while frames take a few hundred milliseconds on the
// software renderer, ends the game's program and the demo: the tap is over long before the next
// pass reads the keys, so only its event can say it came.
#include "tests/program_runner.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

struct TappedProgram {
    const char* name;
    const char* readyLine;  // printed once the program's main loop is about to run its frames
};

TEST(EscapeTap, EndsTheProgramOnTheSoftwareRenderer)
{
    const TappedProgram programs[] = {
        {"demo-game", "enemiescount read"},
        {"demo", "a3"},
    };
    for (const TappedProgram& program : programs) {
        SCOPED_TRACE(program.name);
        std::filesystem::path dir = scratchPath(std::string("mornglow-escape-") + program.name);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::create_directory_symlink(std::filesystem::path(RUN_DIR) / "data", dir / "data");
        for (const char* file : {"level1.level", "palette.level", "mornglow.mp3"})
            if (std::filesystem::exists(std::filesystem::path(RUN_DIR) / file))
                std::filesystem::copy_file(std::filesystem::path(RUN_DIR) / file, dir / file);
        // One tap a second after the program is ready, then up to a minute for it to end.
        std::ofstream(dir / "tap.sh") << "unset GALLIUM_NOOP\n"
                                         "SDL_AUDIODRIVER=dummy timeout 240 stdbuf -oL " BINARY_DIR "/"
                                      << program.name
                                      << " > out.txt 2>/dev/null &\n"
                                         "pid=$!\n"
                                         "for i in $(seq 1 900); do grep -q '"
                                      << program.readyLine
                                      << "' out.txt && break; sleep 0.2; done\n"
                                         "sleep 1\n"
                                         "xdotool key Escape\n"
                                         "for i in $(seq 1 600); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done\n"
                                         "if kill -0 $pid 2>/dev/null; then echo 'still running'; kill $pid; fi\n"
                                         "wait $pid\n"
                                         "echo \"exit $?\"\n";
        ProgramRun run = runProgram("cd '" + dir.string() +
                                    "' && xvfb-run -a -s '-screen 0 1920x1080x24 -nolisten tcp' bash tap.sh");
        EXPECT_EQ(run.output.find("still running"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("exit 0"), std::string::npos) << run.output;
        std::filesystem::remove_all(dir);
    }
}

}  // namespace
