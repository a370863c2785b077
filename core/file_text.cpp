#include "core/file_text.h"

#include "core/data_files.h"  // openDataFile
#include "core/regular_file.h"

#include <cstdlib>

static const size_t FILE_READ_CHUNK = 65536;

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

// Read in chunks rather than sized first: the parsers' files need not be seekable. Only a
// regular file: a FIFO would block the program.
bool readWholeFile(const char* path, std::string& text)
{
    std::string why;
    FILE* file = openRegularFile(path, why);
    if (!file)
        return false;
    text.clear();
    std::string chunk(FILE_READ_CHUNK, '\0');
    size_t got;
    while ((got = std::fread(&chunk[0], 1, chunk.size(), file)) > 0)
        text.append(chunk.data(), got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}
