#include "app/run_faults.h"

#include "core/program_exit.h"
#include "gfx/shaders.h"       // shaderBuildFailures
#include "platform/gl_api.h"  // glErrorsReported

#include <cstdio>

int toolRunStatus(const char* tool)
{
    if (shaderBuildFailures > 0) {
        std::fprintf(stderr, "%s: %d program build failure%s during the run, the first: %s\n", tool,
                     shaderBuildFailures, shaderBuildFailures == 1 ? "" : "s", firstShaderBuildFailure.c_str());
        return exitStatus(ExitCode::TOOL_SHADER_FAILURE);
    }
    if (glErrorsReported > 0) {
        std::fprintf(stderr, "%s: %d GL error%s reported during the run, the first: %s\n", tool, glErrorsReported,
                     glErrorsReported == 1 ? "" : "s", firstGlError.c_str());
        return exitStatus(ExitCode::TOOL_GL_ERRORS);
    }
    return 0;
}
