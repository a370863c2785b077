#include "app/run_directory.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <system_error>

static bool namedIn(std::initializer_list<const char*> options, const char* word)
{
    for (const char* option : options)
        if (std::strcmp(option, word) == 0)
            return true;
    return false;
}

static std::string pathFromHere(const std::string& path, bool output)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!output && !fs::exists(path, error))
        return path;
    fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.string();
}

std::string inputPathFromHere(const std::string& path)
{
    return pathFromHere(path, false);
}

std::string outputPathFromHere(const std::string& path)
{
    return pathFromHere(path, true);
}

void anchorPathOptions(int argc, char** argv, std::initializer_list<const char*> inputOptions,
                       std::initializer_list<const char*> outputOptions)
{
    // argv keeps pointing into these for the rest of the run; a deque never moves its strings.
    static std::deque<std::string> absolutePaths;
    for (int i = 1; i + 1 < argc; ++i) {
        const bool output = namedIn(outputOptions, argv[i]);
        if (!output && !namedIn(inputOptions, argv[i]))
            continue;
        ++i;
        absolutePaths.push_back(pathFromHere(argv[i], output));
        argv[i] = &absolutePaths.back()[0];
    }
}

void enterRunDirectoryIfNoData(const char* tool)
{
    namespace fs = std::filesystem;
    std::error_code error;
    // The source tree has a data/ folder too, holding only the GLSL sources.
    bool sourceTree = fs::exists("CMakeLists.txt", error);
    if (fs::is_directory("data", error) && !sourceTree)
        return;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return;
    fs::path runDirectory = executable.parent_path() / "run";
    if (!fs::is_directory(runDirectory / "data", error))
        return;
    fs::current_path(runDirectory, error);
    if (error)
        std::fprintf(stderr, "%s: cannot change to %s: %s\n", tool, runDirectory.c_str(), error.message().c_str());
    else
        std::fprintf(stderr, "%s: %s, working in %s\n", tool, sourceTree ? "started in the source tree" : "no data/ here",
                    runDirectory.c_str());
}
