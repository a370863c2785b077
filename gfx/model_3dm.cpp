#include "gfx/model_3dm.h"

#include "gfx/text_lines.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

const int BONE_LINE_INTS = 2;
const int BONE_LINE_FLOATS = 9;

const char* const BONE_LINE_PATTERN = "frame %d bone %d pos %f %f %f rot (eulerAngles %f %f %f) sca %f %f %f ";

// A float as %f reads it. Plain decimals take the locale-free, correctly rounded path; the
// rare forms it does not cover (a '+' sign, hexadecimal, values that underflow) go to strtof,
// so every text reads as before.
bool readFloat(const std::string& line, size_t& i, float& value)
{
    const char* start = line.c_str() + i;
    const char* lineEnd = line.c_str() + line.size();
    float parsed = 0.0f;
    const std::from_chars_result fast = std::from_chars(start, lineEnd, parsed);
    const bool hexadecimal = fast.ptr < lineEnd && (*fast.ptr == 'x' || *fast.ptr == 'X');
    if (fast.ec == std::errc() && fast.ptr != start && !hexadecimal) {
        if (!std::isfinite(parsed))
            return false;
        value = parsed;
        i += static_cast<size_t>(fast.ptr - start);
        return true;
    }
    char* end = nullptr;
    parsed = std::strtof(start, &end);
    if (end == start || !std::isfinite(parsed))
        return false;
    value = parsed;
    i += static_cast<size_t>(end - start);
    return true;
}

// Matches a whole line against a sscanf-style pattern; %d fills ints, %f floats, %s word, in
// order. Only blanks may follow the pattern.
bool matchLine(const std::string& line, const char* pattern, int32_t* ints, float* floats, std::string* word)
{
    size_t i = 0;
    for (const char* p = pattern; *p; ++p) {
        if (isTextBlank(*p)) {
            while (i < line.size() && isTextBlank(line[i]))
                ++i;
            continue;
        }
        if (*p == '%' && (p[1] == 'd' || p[1] == 'f' || p[1] == 's')) {
            ++p;
            while (i < line.size() && isTextBlank(line[i]))
                ++i;
            if (*p == 'd') {
                if (!scanInt32(line, i, *ints++))
                    return false;
            } else if (*p == 'f') {
                if (!readFloat(line, i, *floats++))
                    return false;
            } else {
                size_t start = i;
                while (i < line.size() && !isTextBlank(line[i]))
                    ++i;
                if (i == start)
                    return false;
                word->assign(line, start, i - start);
            }
            continue;
        }
        if (i >= line.size() || line[i] != *p)
            return false;
        ++i;
    }
    while (i < line.size() && isTextBlank(line[i]))
        ++i;
    return i == line.size();
}

// Walks the text line by line (any length, '\n' ends a line) and words the errors.
struct Reader3dm {
    const char* text = nullptr;
    size_t size = 0;
    const char* fileName = nullptr;
    size_t pos = 0;
    int lineNumber = 0; // of `line`
    std::string line;
    std::string* error = nullptr;

    bool nextLine()
    {
        if (!takeTextLine(text, size, pos, line))
            return false;
        ++lineNumber;
        return true;
    }

    bool fail(int atLine, const std::string& what)
    {
        *error = std::string(fileName) + ":" + std::to_string(atLine) + ": " + what;
        return false;
    }

    bool expect(const char* pattern, int32_t* ints, float* floats, std::string* word)
    {
        std::string wanted = std::string("expected \"") + pattern + "\"";
        if (!nextLine())
            return fail(lineNumber + 1, wanted + ", found the end of the file");
        if (!matchLine(line, pattern, ints, floats, word))
            return fail(lineNumber, wanted + ", found " + quotedLine(line));
        return true;
    }

    bool expectCount(const char* pattern, const char* what, int32_t low, int32_t high, int32_t& value)
    {
        if (!expect(pattern, &value, nullptr, nullptr))
            return false;
        if (value < low || value > high) {
            std::string range = high == INT32_MAX ? std::to_string(low) + " or more"
                                                  : "from " + std::to_string(low) + " to " + std::to_string(high);
            return fail(lineNumber, std::string("expected ") + what + " " + range + ", found " + std::to_string(value));
        }
        return true;
    }

    // Skips blank lines; false at the end of the text, else `line` holds the next non-blank one.
    bool nextNonBlankLine()
    {
        while (nextLine())
            if (!isBlankLine(line))
                return true;
        return false;
    }

    bool expectBoneLine(BoneLine3dm& bone)
    {
        int32_t ignored[BONE_LINE_INTS];
        float values[BONE_LINE_FLOATS];
        if (!expect(BONE_LINE_PATTERN, ignored, values, nullptr))
            return false;
        for (int c = 0; c < 3; ++c) {
            bone.position[c] = values[c];
            bone.euler[c] = values[3 + c];
            bone.scale[c] = values[6 + c];
        }
        return true;
    }
};

bool readMesh(Reader3dm& reader, Model3dmFile& out)
{
    if (!reader.expect("o %s", nullptr, nullptr, &out.objectName))
        return false;
    if (!reader.expectCount("numfaces %d", "a triangle count of", 0, INT32_MAX, out.triangleCount))
        return false;
    // Arrays grow as lines arrive, so a count larger than the file never allocates its size.
    int64_t vertexCount = 3 * static_cast<int64_t>(out.triangleCount);
    for (int64_t v = 0; v < vertexCount; ++v) {
        float value[3];
        if (!reader.expect("v %f %f %f", nullptr, value, nullptr))
            return false;
        out.positions.insert(out.positions.end(), value, value + 3);
        if (!reader.expect("n %f %f %f", nullptr, value, nullptr))
            return false;
        out.normals.insert(out.normals.end(), value, value + 3);
        if (!reader.expect("t %f %f", nullptr, value, nullptr))
            return false;
        out.texcoords.insert(out.texcoords.end(), value, value + 2);
    }
    return true;
}

bool readWeights(Reader3dm& reader, Model3dmFile& out)
{
    int64_t vertexCount = 3 * static_cast<int64_t>(out.triangleCount);
    for (int64_t v = 0; v < vertexCount; ++v) {
        int32_t header[2];
        if (!reader.expect("vertex %d bones %d", header, nullptr, nullptr))
            return false;
        int32_t influences = header[1];
        if (influences < 0)
            return reader.fail(reader.lineNumber,
                               "expected an influence count of 0 or more, found " + std::to_string(influences));
        float index[BONE_INFLUENCES] = {};
        float weight[BONE_INFLUENCES] = {};
        for (int32_t j = 0; j < influences; ++j) {
            int32_t numbers[2];
            float w;
            if (!reader.expect("vertex %d bone %d weight %f", numbers, &w, nullptr))
                return false;
            int32_t bone = numbers[1];
            if (bone < 1 || bone > out.boneCount)
                return reader.fail(reader.lineNumber, "expected a bone number from 1 to " +
                                                          std::to_string(out.boneCount) + ", found " +
                                                          std::to_string(bone));
            if (j < BONE_INFLUENCES) {
                index[j] = static_cast<float>(bone - 1);
                weight[j] = w;
            }
        }
        out.boneIndices.insert(out.boneIndices.end(), index, index + BONE_INFLUENCES);
        out.boneWeights.insert(out.boneWeights.end(), weight, weight + BONE_INFLUENCES);
    }
    return true;
}

bool readSkeleton(Reader3dm& reader, Read3dmPurpose purpose, Model3dmFile& out)
{
    // The caller has read the first non-blank line after the mesh into reader.line.
    if (!matchLine(reader.line, "numframes %d", &out.frameCount, nullptr, nullptr))
        return reader.fail(reader.lineNumber, "expected \"numframes %d\" or the end of the file, found " +
                                                  quotedLine(reader.line));
    if (out.frameCount < 1)
        return reader.fail(reader.lineNumber,
                           "expected a frame count of 1 or more, found " + std::to_string(out.frameCount));
    if (!reader.expectCount("numbones %d", "a bone count", 1, MAX_BONES, out.boneCount))
        return false;
    out.boneCountLine = reader.lineNumber;
    out.hasSkeleton = true;

    out.bindPose.resize(static_cast<size_t>(out.boneCount));
    for (BoneLine3dm& bone : out.bindPose)
        if (!reader.expectBoneLine(bone))
            return false;

    int64_t blocks = purpose == READ_3DM_MODEL ? out.frameCount - 1 : out.frameCount;
    int64_t frameLines = blocks * out.boneCount;
    for (int64_t i = 0; i < frameLines; ++i) {
        BoneLine3dm bone;
        if (!reader.expectBoneLine(bone))
            return false;
        out.frameLines.push_back(bone);
    }
    if (purpose == READ_3DM_ADDED_FRAMES)
        return true;

    if (!readWeights(reader, out))
        return false;
    if (reader.nextNonBlankLine())
        return reader.fail(reader.lineNumber, "expected the end of the file, found " + quotedLine(reader.line));
    return true;
}

// A reader at the start of `text`, with `out` and `error` emptied for it.
Reader3dm startReading(const char* text, size_t size, const char* fileName, Model3dmFile& out, std::string& error)
{
    out = Model3dmFile();
    error.clear();
    Reader3dm reader;
    reader.text = text;
    reader.size = size;
    reader.fileName = fileName ? fileName : "?";
    reader.error = &error;
    return reader;
}

} // namespace

bool parse3dm(const char* text, size_t size, const char* fileName, Read3dmPurpose purpose, Model3dmFile& out,
              std::string& error)
{
    Reader3dm reader = startReading(text, size, fileName, out, error);
    if (!readMesh(reader, out))
        return false;
    // Blank lines after the last vertex are no skeleton.
    if (!reader.nextNonBlankLine())
        return true;
    return readSkeleton(reader, purpose, out);
}

bool parse3dmMeshBlock(const char* text, size_t size, const char* fileName, size_t& offset, int& lineNumber,
                       Model3dmFile& out, std::string& error)
{
    Reader3dm reader = startReading(text, size, fileName, out, error);
    reader.pos = offset < size ? offset : size;
    reader.lineNumber = lineNumber;
    if (!readMesh(reader, out))
        return false;
    offset = reader.pos;
    lineNumber = reader.lineNumber;
    return true;
}
