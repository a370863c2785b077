// The data folder "data\" below the working directory, and the diagnostic sink.
#pragma once

#include <cstdio>
#include <string>

// Opens "data\" + name (data/ + name here) with fopen's mode; null when it cannot.
FILE* openDataFile(const char* name, const char* mode);
// "data\" + name as a path of this system; valid until the next call.
const char* dataFilePath(const char* name);
// Progress and error texts land here and are discarded.
void debugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
