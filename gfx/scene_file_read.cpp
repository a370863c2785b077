#include "gfx/scene_file_read.h"

#include "gfx/text_lines.h"

#include <cstdint>

namespace {

const char* const COUNT_WORD = "objcount";
// "objcount %d" with nothing but blanks around; the count must fit 32 bits.
bool matchCountLine(const std::string& line, int64_t& count)
{
    size_t i = 0;
    while (i < line.size() && isTextBlank(line[i]))
        ++i;
    for (const char* w = COUNT_WORD; *w; ++w, ++i)
        if (i >= line.size() || line[i] != *w)
            return false;
    while (i < line.size() && isTextBlank(line[i]))
        ++i;
    int32_t value = 0;
    if (!scanInt32(line, i, value))
        return false;
    while (i < line.size() && isTextBlank(line[i]))
        ++i;
    if (i != line.size())
        return false;
    count = value;
    return true;
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
    if (!takeTextLine(text, size, offset, line)) {
        error = at(name, 1) + "expected \"objcount %d\", found the end of the file";
        return false;
    }
    lineNumber = 1;
    int64_t count = 0;
    if (!matchCountLine(line, count)) {
        error = at(name, 1) + "expected \"objcount %d\", found " + quotedLine(line);
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
    while (takeTextLine(text, size, offset, line)) {
        ++lineNumber;
        if (!isBlankLine(line)) {
            error = at(name, lineNumber) + "expected the end of the file after " + std::to_string(count) +
                    " objects, found " + quotedLine(line);
            out = SceneFileMeshes();
            return false;
        }
    }
    return true;
}
