#include "platform/data_paths.h"

std::string nativePath(const char* name)
{
    std::string path(name ? name : "");
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}
