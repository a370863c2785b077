#include "tools/capture/capture_common.h"

#include "app/offline_driver.h"
#include "core/program_exit.h"
#include "gfx/shaders.h"  // shaderBuildFailures

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

bool parseTimeList(const char* text, std::vector<double>& times)
{
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        char* end = nullptr;
        double value = std::strtod(item.c_str(), &end);
        if (item.empty() || *end != '\0' || !(value >= 0.0))
            return false;
        times.push_back(value);
    }
    return !times.empty();
}

OptionMatch readTimedCaptureOption(int argc, char** argv, int& i, TimedCaptureOptions& options)
{
    const char* arg = argv[i];
    bool known = !std::strcmp(arg, "--out") || !std::strcmp(arg, "--at") || !std::strcmp(arg, "--step-ms");
    if (!known)
        return OptionMatch::NOT_SHARED;
    if (i + 1 >= argc)
        return OptionMatch::BAD;
    const char* value = argv[++i];
    if (!std::strcmp(arg, "--out")) {
        options.outDir = value;
        return OptionMatch::TAKEN;
    }
    if (!std::strcmp(arg, "--at"))
        return parseTimeList(value, options.timesSeconds) ? OptionMatch::TAKEN : OptionMatch::BAD;
    options.stepMs = std::atof(value);
    return options.stepMs > 0.0 ? OptionMatch::TAKEN : OptionMatch::BAD;
}

int startCaptureRun()
{
    if (!startDemoOffline()) {
        std::fprintf(stderr, "demo-capture: start-up failed\n");
        return exitStatus(ExitCode::TOOL_FAILED);
    }
    if (shaderBuildFailures > 0) {
        std::fprintf(stderr, "demo-capture: %d shader build failures (logs above)\n", shaderBuildFailures);
        return exitStatus(ExitCode::TOOL_SHADER_FAILURE);
    }
    return 0;
}
