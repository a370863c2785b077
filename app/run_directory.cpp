#include "app/run_directory.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

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
