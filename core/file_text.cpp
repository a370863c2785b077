#include "core/file_text.h"

#include "core/data_files.h"  // openDataFile
#include "core/regular_file.h"

#include <cstdlib>

char* readOpenFileText(FILE* file, size_t& length)
{
    length = 0;
    if (std::fseek(file, 0, SEEK_END) != 0)
        return nullptr;
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return nullptr;
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
    if (!text)
        return nullptr;
    length = std::fread(text, 1, static_cast<size_t>(size), file);
    text[length] = '\0';
    return text;
}

char* readTextFile(const char* name)
{
    FILE* file = openDataFile(name, "rb");
    if (!file)
        return nullptr;
    size_t length = 0;
    char* text = readOpenFileText(file, length);
    std::fclose(file);
    return text;
}

// Only a regular file: a FIFO would block the program.
bool readWholeFile(const char* path, std::string& text)
{
    std::string why;
    return readRegularFile(path, text, why);
}
