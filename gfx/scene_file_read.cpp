#include "gfx/scene_file_read.h"

#include <cstdint>

namespace {

const char* const COUNT_WORD = "objcount";
// How much of a wrong line a message quotes.
const size_t QUOTED_LINE_CHARS = 40;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The line that starts at `offset` (without its '\n'); moves `offset` past it.
bool takeLine(const char* text, size_t size, size_t& offset, std::string& line)
{
    if (offset >= size)
        return false;
    size_t end = offset;
    while (end < size && text[end] != '\n')
        ++end;
    line.assign(text + offset, end - offset);
    offset = end < size ? end + 1 : end;
    return true;
}

bool isBlankLine(const std::string& line)
{
    for (char c : line)
        if (!isBlank(c))
            return false;
    return true;
}

// "objcount %d" with nothing but blanks around; the count must fit 32 bits.
bool matchCountLine(const std::string& line, int64_t& count)
{
    size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    for (const char* w = COUNT_WORD; *w; ++w, ++i)
        if (i >= line.size() || line[i] != *w)
            return false;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    size_t digits = i;
    int64_t magnitude = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        magnitude = magnitude * 10 + (line[i] - '0');
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1)
            return false;
        ++i;
    }
    if (i == digits)
        return false;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i != line.size())
        return false;
    count = negative ? -magnitude : magnitude;
    return count >= INT32_MIN && count <= INT32_MAX;
}

std::string quoted(const std::string& line)
{
    std::string shown = "\"";
    for (size_t i = 0; i < line.size() && i < QUOTED_LINE_CHARS; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        shown += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    if (line.size() > QUOTED_LINE_CHARS)
        shown += "...";
    return shown + "\"";
}

std::string at(const char* fileName, int line)
{
    return std::string(fileName) + ":" + std::to_string(line) + ": ";
}

} // namespace

bool parseScene(const char* text, size_t size, const char* fileName, SceneFileMeshes& out, std::string& error)
{
    out = SceneFileMeshes();
    error.clear();
    const char* name = fileName ? fileName : "?";
    size_t offset = 0;
    int lineNumber = 0;
    std::string line;
    if (!takeLine(text, size, offset, line)) {
        error = at(name, 1) + "expected \"objcount %d\", found the end of the file";
        return false;
    }
    lineNumber = 1;
    int64_t count = 0;
    if (!matchCountLine(line, count)) {
        error = at(name, 1) + "expected \"objcount %d\", found " + quoted(line);
        return false;
    }
    // The list has room for MAX_SCENE_OBJECTS models; a larger count is a broken file.
    if (count < 0 || count > MAX_SCENE_OBJECTS) {
        error = at(name, 1) + "expected an object count from 0 to " + std::to_string(MAX_SCENE_OBJECTS) +
                ", found " + std::to_string(count);
        return false;
    }
    out.meshes.resize(static_cast<size_t>(count));
    for (Model3dmFile& mesh : out.meshes)
        if (!parse3dmMeshBlock(text, size, name, offset, lineNumber, mesh, error)) {
            out = SceneFileMeshes();
            return false;
        }
    while (takeLine(text, size, offset, line)) {
        ++lineNumber;
        if (!isBlankLine(line)) {
            error = at(name, lineNumber) + "expected the end of the file after " + std::to_string(count) +
                    " objects, found " + quoted(line);
            out = SceneFileMeshes();
            return false;
        }
    }
    return true;
}
