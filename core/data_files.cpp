#include "core/data_files.h"

#include "core/regular_file.h"
#include "platform/data_paths.h"

#include <cstring>

static const char DATA_FOLDER[] = "data\\";

FILE* openDataFile(const char* name, const char* mode)
{
    std::string path = nativePath((std::string(DATA_FOLDER) + (name ? name : "")).c_str());
    // Readers take regular files: a folder reads nothing and a FIFO blocks until written.
    if (mode && mode[0] == 'r' && !std::strchr(mode, '+')) {
        std::string why;
        return openRegularFile(path.c_str(), why);
    }
    return std::fopen(path.c_str(), mode);
}

const char* dataFilePath(const char* name)
{
    static std::string path;
    path = nativePath((std::string(DATA_FOLDER) + (name ? name : "")).c_str());
    return path.c_str();
}

void debugLog(const char* /*format*/, ...)
{
}
