#include "core/program_exit.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void exitProgram(ExitCode code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(exitStatus(code));
}

void exitWithError(ExitCode code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    exitProgram(code);
}
