// The game under a key script through the capture tool (demo-capture --game) in a scratch
// working folder of this process's own: the run directory's data folder linked in, chosen files
// beside it, the script as keys.txt, and the "state" and "hash" lines of its output parsed.
#pragma once

#include "tests/program_runner.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct KeyScriptRun {
    int exitStatus = -1;
    std::string output;
    std::map<int, std::map<std::string, std::string>> states;  // frame -> name -> value
    std::vector<std::string> hashLines;
    std::filesystem::path dir;  // the working folder (kept until the caller removes it)

    bool has(int frame, const std::string& name) const
    {
        auto f = states.find(frame);
        return f != states.end() && f->second.count(name);
    }
    // -1e30 where the frame's dump holds no such value.
    float value(int frame, const std::string& name) const
    {
        return has(frame, name) ? std::stof(states.at(frame).at(name)) : -1e30f;
    }
};

// A fresh working folder for `name`, the run directory's data folder linked into it.
inline std::filesystem::path makeKeyScriptFolder(const std::string& name)
{
    namespace fs = std::filesystem;
    fs::path dir = scratchPath(name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::create_directory_symlink(fs::path(RUN_DIR) / "data", dir / "data");
    return dir;
}

// Plays `script` in `dir` with the frame `options`. With `noop` nothing is rasterised (long
// runs); otherwise the captured frames are drawn for real. The tool's stderr is dropped.
inline KeyScriptRun runKeyScript(const std::filesystem::path& dir, const std::string& script,
                                 const std::string& options, bool noop)
{
    std::ofstream(dir / "keys.txt") << script;
    std::string command = "cd '" + dir.string() + "' && " + (noop ? "GALLIUM_NOOP=1 " : "") +
                          "SDL_AUDIODRIVER=dummy " BINARY_DIR "/demo-capture --game --keys keys.txt --out out " +
                          options + " 2>/dev/null";
    ProgramRun program = runProgram(command);
    KeyScriptRun run;
    run.exitStatus = program.exitStatus;
    run.output = program.output;
    run.dir = dir;
    std::istringstream lines(program.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kind, key, value;
        int frame = 0;
        fields >> kind >> frame >> key >> value;
        if (kind == "state")
            run.states[frame][key] = value;
        else if (kind == "hash")
            run.hashLines.push_back(line);
    }
    return run;
}
