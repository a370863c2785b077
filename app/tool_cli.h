// The command line and the run reports every tool shares: one parser (CLI11) with one set of
// rules, the start-up's chatter kept off the results, and the progress line of long runs.
// Rules: -h/--help prints every mode and option on stdout and exits 0; an unknown option, a
// missing value, a bad number or an extra argument is named in one line on stderr,
// "<tool>: <what>", followed by a hint to --help, with status 2, before any work; "--opt value"
// and "--opt=value" are the same; an option given twice keeps its last value.
#pragma once

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <string>

// A bad command line; the same as ExitCode::TOOL_USAGE and GENERATOR_USAGE.
constexpr int COMMAND_LINE_STATUS = 2;

// Sets the tool's rules on `app` (named by the tool's name, e.g. "demo-bench").
void useToolRules(CLI::App& app);

// Parses argv by the rules: -1 when the tool should go on, else the status to exit with (0
// after --help, COMMAND_LINE_STATUS after a fault, both already printed).
int parseToolCommandLine(CLI::App& app, int argc, char** argv);

// Names a fault found after parsing (a value out of reach of the others, an option of another
// mode) the way the parser names its own; returns COMMAND_LINE_STATUS.
int refuseCommandLine(const CLI::App& app, const std::string& what);

// The first of `options` given on the command line, or null.
const CLI::Option* firstGiven(std::initializer_list<const CLI::Option*> options);

// Values: each refuses text that is not a number of its kind in its range, naming the value.
CLI::Validator wholeNumberFrom(long long least, long long most);
CLI::Validator numberFromTo(double least, double most, const char* unit);
// A comma-separated list of numbers from `least` to `most` (no empty items).
CLI::Validator numberListFromTo(double least, double most, const char* unit, const char* limitName);
CLI::Validator wholeNumberListFrom(long long least, long long most);
// Splits a list the validator above accepted.
std::vector<double> splitNumberList(const std::string& text);

// Makes the output folder (and its parents) and checks that it takes files; false with the
// reason in `error`.
bool prepareOutputFolder(const std::string& path, std::string& error);

// While one lives, what the program prints on stdout goes to stderr (or nowhere when `quiet`),
// so the loader's lines of a start-up or of a frame that loads stay apart from the tool's
// result lines on stdout. Guards nest (the outermost decides); one costs two dup2 calls.
class StdoutToStderr {
public:
    explicit StdoutToStderr(bool quiet = false);
    ~StdoutToStderr();
    StdoutToStderr(const StdoutToStderr&) = delete;
    StdoutToStderr& operator=(const StdoutToStderr&) = delete;
};

// Where result lines go: the real stdout, also while a StdoutToStderr lives (a result that
// comes out of the start-up itself, such as a timed loading step).
std::FILE* resultStream();

// "<tool>: frame <n>/<total>, <clock> <s> s" on stderr (the music time, or the game's), at most four times a second (once on a log) and only
// once the run has lasted a second, so a short run prints none; on a terminal the line is
// rewritten in place. finish() ends the line when one was printed.
class ProgressLine {
public:
    ProgressLine(const char* tool, int totalFrames, const char* clock = "music");
    void update(int frame, double seconds);
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    const char* tool_;
    int totalFrames_;
    const char* clock_;
    Clock::time_point start_;
    Clock::time_point last_;
    bool printed_ = false;
    bool terminal_ = false;
};
