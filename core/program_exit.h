// The one way the engine ends the program on a fault it cannot go on from, and the statuses
// the engine and its tools end with.
#pragma once

enum class ExitCode : int {
    LOAD_FAILED = 1,           // a model, scene or map file missing or malformed; out of memory
    MAP_MEMORY_FAILED = 2,     // the flyby map's buffer could not be had
    MAP_READ_FAILED = 3,       // the flyby map's bytes could not be read
    AUDIO_FAILED = -1,         // no audio device or no mixing channels
    TOOL_FAILED = 1,           // tools: start-up or a file write failed
    TOOL_USAGE = 2,            // a bad command line
    TOOL_SHADER_FAILURE = 3,   // a program failed to compile or link (logs on stderr)
    TOOL_INTERRUPTED = 4,      // a quit event or SIGTERM / SIGINT came before the run ended
    TOOL_GL_ERRORS = 5,        // the driver reported GL errors during the run (logs on stderr)
};

constexpr int exitStatus(ExitCode code) { return static_cast<int>(code); }

// Flushes the standard streams and ends the program with `code`.
[[noreturn]] void exitProgram(ExitCode code);
// Prints the printf-style message on stderr as given (no newline added), then exitProgram.
[[noreturn]] void exitWithError(ExitCode code, const char* format, ...) __attribute__((format(printf, 2, 3)));
