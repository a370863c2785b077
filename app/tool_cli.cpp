#include "app/tool_cli.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <unistd.h>

void useToolRules(CLI::App& app)
{
    // Unknown words are collected and named by parseToolCommandLine, in its own words.
    app.allow_extras();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.get_formatter()->column_width(34);
}

static int refuse(const std::string& tool, const std::string& what)
{
    std::fprintf(stderr, "%s: %s\nrun '%s --help' for the options\n", tool.c_str(), what.c_str(), tool.c_str());
    return COMMAND_LINE_STATUS;
}

int refuseCommandLine(const CLI::App& app, const std::string& what)
{
    return refuse(app.get_name(), what);
}

int parseToolCommandLine(CLI::App& app, int argc, char** argv)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::ArgumentMismatch& e) {
        // "--frames: 1 required N missing": the option is the text before the colon.
        std::string what = e.what();
        if (what.find("missing") != std::string::npos)
            what = what.substr(0, what.find(':')) + " needs a value";
        return refuseCommandLine(app, what);
    } catch (const CLI::ParseError& e) {
        return refuseCommandLine(app, e.what());
    }
    std::vector<std::string> extras = app.remaining();
    if (!extras.empty()) {
        const std::string& word = extras.front();
        bool option = word.size() > 1 && word[0] == '-';
        return refuseCommandLine(app, (option ? "unknown option " : "unexpected argument ") + word);
    }
    return -1;
}

const CLI::Option* firstGiven(std::initializer_list<const CLI::Option*> options)
{
    for (const CLI::Option* option : options)
        if (option && option->count() > 0)
            return option;
    return nullptr;
}

// Reads all of `text` as a number; false for anything else (empty, "12x", "nan", "inf").
static bool readNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(value);
}

static std::string formatNumber(double value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

static std::string checkWhole(const std::string& text, long long least, long long most)
{
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0)
        return text + " is not a whole number";
    if (value < least || value > most)
        return text + " is out of range (" + std::to_string(least) + " to " + std::to_string(most) + ")";
    return "";
}

CLI::Validator wholeNumberFrom(long long least, long long most)
{
    return CLI::Validator([=](std::string& text) { return checkWhole(text, least, most); }, "");
}

// Applies `check` to each comma-separated item of `text`; the first fault, or "".
template <typename Check>
static std::string checkEachItem(const std::string& text, const Check& check)
{
    if (text.empty() || text.back() == ',')
        return "an empty item in '" + text + "'";
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        if (item.empty())
            return "an empty item in '" + text + "'";
        std::string fault = check(item);
        if (!fault.empty())
            return fault;
    }
    return "";
}

CLI::Validator wholeNumberListFrom(long long least, long long most)
{
    return CLI::Validator(
        [=](std::string& text) {
            return checkEachItem(text, [&](const std::string& item) { return checkWhole(item, least, most); });
        },
        "");
}

static std::string checkNumber(const std::string& text, double least, double most, const char* unit,
                               const char* limitName)
{
    double value = 0.0;
    if (!readNumber(text, value))
        return text + " is not a number";
    if (value < least)
        return text + " is below the least (" + formatNumber(least) + " " + unit + ")";
    if (value > most)
        return text + " is past " + (limitName && *limitName ? std::string(limitName) : std::string("the most")) +
               " (" + formatNumber(most) + " " + unit + ")";
    return "";
}

CLI::Validator numberFromTo(double least, double most, const char* unit)
{
    return CLI::Validator(
        [=](std::string& text) { return checkNumber(text, least, most, unit, nullptr); }, "");
}

CLI::Validator numberListFromTo(double least, double most, const char* unit, const char* limitName)
{
    return CLI::Validator(
        [=](std::string& text) {
            return checkEachItem(
                text, [&](const std::string& item) { return checkNumber(item, least, most, unit, limitName); });
        },
        "");
}

std::vector<double> splitNumberList(const std::string& text)
{
    std::vector<double> values;
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ','))
        values.push_back(std::strtod(item.c_str(), nullptr));
    return values;
}

bool prepareOutputFolder(const std::string& path, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code code;
    fs::create_directories(path, code);
    if (code) {
        error = "cannot create " + path + ": " + code.message();
        return false;
    }
    if (!fs::is_directory(path, code)) {
        error = path + " is not a folder";
        return false;
    }
    if (access(path.c_str(), W_OK | X_OK) != 0) {
        error = "cannot write in " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// The real stdout, kept once the first guard moves fd 1; guards nest.
static int realStdout = -1;
static std::FILE* results = nullptr;
static int guardDepth = 0;

std::FILE* resultStream()
{
    return guardDepth > 0 && results ? results : stdout;
}

StdoutToStderr::StdoutToStderr(bool quiet)
{
    if (guardDepth++ > 0)
        return;
    std::fflush(stdout);
    if (realStdout < 0) {
        realStdout = dup(STDOUT_FILENO);
        int resultFd = realStdout >= 0 ? dup(realStdout) : -1;
        results = resultFd >= 0 ? fdopen(resultFd, "w") : nullptr;
    }
    int target = quiet ? open("/dev/null", O_WRONLY | O_CLOEXEC) : STDERR_FILENO;
    if (target >= 0)
        dup2(target, STDOUT_FILENO);
    if (quiet && target >= 0)
        close(target);
}

StdoutToStderr::~StdoutToStderr()
{
    if (--guardDepth > 0)
        return;
    std::fflush(stdout);
    if (results)
        std::fflush(results);
    if (realStdout >= 0)
        dup2(realStdout, STDOUT_FILENO);
}

ProgressLine::ProgressLine(const char* tool, int totalFrames, const char* clock)
    : tool_(tool), totalFrames_(totalFrames), clock_(clock), start_(Clock::now()), last_(start_), terminal_(isatty(STDERR_FILENO))
{
}

void ProgressLine::update(int frame, double seconds)
{
    Clock::time_point now = Clock::now();
    // A log (not a terminal) gets a line a second.
    const auto interval = std::chrono::milliseconds(terminal_ ? 250 : 1000);
    if (now - start_ < std::chrono::seconds(1) || now - last_ < interval)
        return;
    last_ = now;
    printed_ = true;
    std::fprintf(stderr, "%s%s: frame %d/%d, %s %.2f s%s", terminal_ ? "\r" : "", tool_, frame, totalFrames_, clock_,
                 seconds, terminal_ ? "" : "\n");
    std::fflush(stderr);
}

void ProgressLine::finish()
{
    if (printed_ && terminal_)
        std::fputc('\n', stderr);
    printed_ = false;
}
