// Runs one of the built programs as a child process and collects what it printed.
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct ProgramRun {
    int exitStatus = -1;  // -1 when it did not exit normally
    std::string output;   // standard output
    double seconds = 0.0;
};

// `command` runs through the shell in the run directory; stderr goes to the test's stderr.
inline ProgramRun runProgram(const std::string& command)
{
    ProgramRun run;
    auto start = std::chrono::steady_clock::now();
    std::string full = std::string("cd '") + RUN_DIR + "' && " + command;
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.output.append(buffer.data(), n);
    int status = pclose(pipe);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status))
        run.exitStatus = WEXITSTATUS(status);
    return run;
}

// A folder of this test process's own below the temporary folder: ctest runs the cases of one
// file as parallel processes, which must not share their output.
inline std::filesystem::path scratchPath(const std::string& name)
{
    return std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()));
}
