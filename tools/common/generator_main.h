// The start and end every data generator shares. A generator runs as "<tool> <run dir>" and
// writes into "<run dir>/data"; problems go to stderr as "<tool>: <what>".
#pragma once

#include "tools/common/text_render.h"

#include <functional>
#include <cstddef>
#include <string>

// Exit status of a generator: everything written, something failed, or a bad command line.
constexpr int GENERATOR_OK = 0;
constexpr int GENERATOR_FAILED = 1;
constexpr int GENERATOR_USAGE = 2;

using GeneratorWrite = std::function<bool(const std::string& dataDir, std::string& error)>;

// Reads the command line (the run directory, or --help), creates the data folder and calls `write` with it; a false return is
// reported with the error `write` gave. Returns the exit status for main.
int runGenerator(const char* tool, int argc, char** argv, const GeneratorWrite& write);

// The faces the pictures are lettered in.
struct GeneratorFonts {
    Font sans;
    Font sansBold;
    Font serif;
};

// Opens every face; when one cannot be opened, closes those already open.
bool openGeneratorFonts(GeneratorFonts& fonts, std::string& error);
void closeGeneratorFonts(GeneratorFonts& fonts);

// Opens the fonts, calls make(entry, fonts, error) for each entry while all succeed and closes
// the fonts again; true when every entry was made.
template <typename Entry, size_t N, typename Make>
bool makeEachWithFonts(const Entry (&entries)[N], Make&& make, std::string& error)
{
    GeneratorFonts fonts;
    if (!openGeneratorFonts(fonts, error))
        return false;
    bool ok = true;
    for (const Entry& entry : entries)
        ok = ok && make(entry, fonts, error);
    closeGeneratorFonts(fonts);
    return ok;
}
