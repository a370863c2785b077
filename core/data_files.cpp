#include "core/data_files.h"

#include "core/regular_file.h"
#include "platform/data_paths.h"

#include <cstring>

#include <sys/stat.h>

static const char DATA_FOLDER[] = "data\\";

FILE* openDataFile(const char* name, const char* mode)
{
    std::string path = nativePath((std::string(DATA_FOLDER) + (name ? name : "")).c_str());
    // A FIFO would block the reader until something writes to it: readers take regular files.
    if (mode && (std::strcmp(mode, "r") == 0 || std::strcmp(mode, "rb") == 0)) {
        std::string why;
        return openRegularFile(path.c_str(), why);
    }
    FILE* file = std::fopen(path.c_str(), mode);
    // A folder opens here but reads nothing: the caller asked for a file.
    struct stat info;
    if (file && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
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
