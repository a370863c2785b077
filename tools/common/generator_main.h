// The start and end every data generator shares. A generator runs as "<tool> <run dir>" and
// writes into "<run dir>/data"; problems go to stderr as "<tool>: <what>".
#pragma once

#include "tools/common/text_render.h"

#include <functional>
#include <initializer_list>
#include <string>

// Exit status of a generator: everything written, something failed, or no run directory given.
constexpr int GENERATOR_OK = 0;
constexpr int GENERATOR_FAILED = 1;
constexpr int GENERATOR_USAGE = 2;

using GeneratorWrite = std::function<bool(const std::string& dataDir, std::string& error)>;

// Checks the arguments, creates the data folder and calls `write` with it; a false return is
// reported with the error `write` gave. Returns the exit status for main.
int runGenerator(const char* tool, int argc, char** argv, const GeneratorWrite& write);

struct FontToOpen {
    Font& font;
    const char* path;
};

// Opens each font in turn; when one cannot be opened, closes those already open.
bool openFonts(std::initializer_list<FontToOpen> fonts, std::string& error);
void closeFonts(std::initializer_list<Font*> fonts);
