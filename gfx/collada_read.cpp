#include "gfx/collada_read.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Characters of a bad token quoted in a message.
const size_t QUOTED_TOKEN_CHARS = 24;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string printable(const char* text, size_t length)
{
    std::string shown;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        shown += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    return shown;
}

// Walks the whitespace-separated tokens of a NUL-terminated text.
struct TokenCursor {
    const char* at;

    // False at the end; else [start, start + length) is the next token.
    bool next(const char*& start, size_t& length)
    {
        while (*at && isSpace(*at))
            ++at;
        if (!*at)
            return false;
        start = at;
        while (*at && !isSpace(*at))
            ++at;
        length = static_cast<size_t>(at - start);
        return true;
    }
};

bool tokenToInt(const char* start, size_t length, int32_t& value)
{
    std::string token(start, length);
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(token.c_str(), &end, 10);
    if (end == token.c_str() || *end || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX)
        return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

bool tokenToFloat(const char* start, size_t length, float& value)
{
    std::string token(start, length);
    char* end = nullptr;
    float parsed = std::strtof(token.c_str(), &end);
    if (end == token.c_str() || *end || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// Stores up to `capacity` numbers; the count stored, or -1 with the bad token in `bad`.
template <class T, class Convert>
int64_t parseList(const char* text, T* out, int64_t capacity, Convert convert, std::string* bad)
{
    TokenCursor cursor{text ? text : ""};
    int64_t stored = 0;
    const char* start;
    size_t length;
    while (stored < capacity && cursor.next(start, length)) {
        if (!convert(start, length, out[stored])) {
            if (bad)
                *bad = printable(start, std::min(length, QUOTED_TOKEN_CHARS)) +
                       (length > QUOTED_TOKEN_CHARS ? "..." : "");
            return -1;
        }
        ++stored;
    }
    return stored;
}

// A text of L characters holds at most (L + 1) / 2 tokens, so storage sized by that bound (not
// by a declared count) never exceeds what the document itself can fill.
int64_t tokensAtMost(const char* text)
{
    return static_cast<int64_t>((std::strlen(text) + 1) / 2);
}

// Source id of an input: its "source" attribute without the first character (the '#').
std::string sourceIdOf(const pugi::xml_node& input)
{
    const char* source = input.attribute("source").value();
    return *source ? std::string(source + 1) : std::string();
}

const char* kindText(ColladaSourceKind kind)
{
    switch (kind) {
    case ColladaSourceKind::POSITIONS:
        return "positions";
    case ColladaSourceKind::NORMALS:
        return "normals";
    case ColladaSourceKind::TEXCOORDS:
        return "texture coordinates";
    }
    return "?";
}

struct Reader {
    std::string fileName;
    std::string* error;

    bool fail(const std::string& what)
    {
        *error = fileName + ": " + what;
        return false;
    }

    // A count attribute: absent gives 0; anything but an integer 0..cap is refused.
    bool readCount(const pugi::xml_node& node, const char* what, int64_t cap, int64_t& count)
    {
        pugi::xml_attribute attribute = node.attribute("count");
        count = 0;
        if (!attribute)
            return true;
        int32_t value = 0;
        const char* text = attribute.value();
        while (isSpace(*text))
            ++text;
        size_t length = std::strlen(text);
        while (length > 0 && isSpace(text[length - 1]))
            --length;
        if (!tokenToInt(text, length, value) || value < 0 || value > cap)
            return fail(std::string("expected a ") + what + " count from 0 to " + std::to_string(cap) + ", found \"" +
                        printable(text, std::min(length, QUOTED_TOKEN_CHARS)) + "\"");
        count = value;
        return true;
    }

    bool readSource(const pugi::xml_node& source, ColladaSourceKind kind, ColladaMesh& out)
    {
        pugi::xml_node array = source.child("float_array");
        int64_t declared = 0;
        if (!readCount(array, "float_array", COLLADA_MAX_LIST_VALUES, declared))
            return false;
        const char* text = array.text().get();
        std::vector<float>& values = kind == ColladaSourceKind::POSITIONS ? out.positions
                                     : kind == ColladaSourceKind::NORMALS ? out.normals
                                                                          : out.texcoords;
        values.assign(static_cast<size_t>(std::min(declared, tokensAtMost(text))), 0.0f);
        std::string bad;
        int64_t stored = parseList(text, values.data(), static_cast<int64_t>(values.size()), tokenToFloat, &bad);
        std::string label = std::string("the ") + kindText(kind) + " of source \"" + source.attribute("id").value() + "\"";
        if (stored < 0)
            return fail("expected numbers in " + label + ", found \"" + bad + "\"");
        if (stored < declared)
            return fail("expected " + std::to_string(declared) + " numbers in " + label + ", found " +
                        std::to_string(stored));
        out.sourcesRead.push_back({kind, declared, stored});
        return true;
    }

    bool checkCorners(const ColladaMesh& mesh)
    {
        const std::vector<float>* arrays[3] = {&mesh.positions, &mesh.normals, &mesh.texcoords};
        const size_t widths[3] = {3, 3, 2};
        const ColladaSourceKind kinds[3] = {ColladaSourceKind::POSITIONS, ColladaSourceKind::NORMALS,
                                            ColladaSourceKind::TEXCOORDS};
        for (size_t j = 0; j < mesh.corners.size(); ++j) {
            int slot = static_cast<int>(j % static_cast<size_t>(mesh.stride));
            int64_t index = mesh.corners[j];
            int64_t values = static_cast<int64_t>(arrays[slot]->size() / widths[slot]);
            if (index < 0 || index >= values)
                return fail("expected " + std::string(kindText(kinds[slot])) + " index from 0 to " +
                            std::to_string(values - 1) + " at corner index " + std::to_string(j) + ", found " +
                            std::to_string(index));
        }
        return true;
    }

    bool readMesh(const pugi::xml_document& document, ColladaMesh& out)
    {
        pugi::xml_node geometry = document.child("COLLADA").child("library_geometries").child("geometry");
        out.objectName = geometry.attribute("name").value();
        if (out.objectName.size() > COLLADA_NAME_CHARS)
            out.objectName.resize(COLLADA_NAME_CHARS);
        pugi::xml_node mesh = geometry.child("mesh");
        std::string positionId = sourceIdOf(mesh.child("vertices").child("input"));
        pugi::xml_node polylist = mesh.child("polylist");

        std::string normalId;
        std::string texcoordId;
        bool hasTexcoords = false;
        for (pugi::xml_node input : polylist.children("input")) {
            const char* semantic = input.attribute("semantic").value();
            if (std::strcmp(semantic, "NORMAL") == 0) {
                normalId = sourceIdOf(input);
            } else if (std::strcmp(semantic, "TEXCOORD") == 0) {
                texcoordId = sourceIdOf(input);
                hasTexcoords = true;
            }
        }
        out.stride = hasTexcoords ? 3 : 2;

        // Every polygon is read as a triangle, so a vcount that says otherwise is refused.
        if (pugi::xml_node vcount = polylist.child("vcount")) {
            TokenCursor cursor{vcount.text().get()};
            const char* start;
            size_t length;
            while (cursor.next(start, length)) {
                int32_t corners = 0;
                if (!tokenToInt(start, length, corners) || corners != 3)
                    return fail("expected polygons of 3 corners in the polylist, found \"" +
                                printable(start, std::min(length, QUOTED_TOKEN_CHARS)) + "\"");
            }
        }

        int64_t triangles = 0;
        int64_t cap = COLLADA_MAX_LIST_VALUES / (3 * out.stride);
        if (!readCount(polylist, "polylist triangle", cap, triangles))
            return false;
        out.triangleCount = static_cast<int32_t>(triangles);
        int64_t cornerValues = triangles * 3 * out.stride;
        const char* cornerText = polylist.child("p").text().get();
        out.corners.assign(static_cast<size_t>(std::min(cornerValues, tokensAtMost(cornerText))), 0);
        std::string bad;
        int64_t stored = parseList(cornerText, out.corners.data(), static_cast<int64_t>(out.corners.size()), tokenToInt,
                                   &bad);
        if (stored < 0)
            return fail("expected integers in the polylist's p, found \"" + bad + "\"");
        if (stored < cornerValues)
            return fail("expected " + std::to_string(cornerValues) + " corner indices (" + std::to_string(triangles) +
                        " triangles of " + std::to_string(3 * out.stride) + ") in the polylist's p, found " +
                        std::to_string(stored));

        const std::string* ids[3] = {&positionId, &normalId, &texcoordId};
        const ColladaSourceKind kinds[3] = {ColladaSourceKind::POSITIONS, ColladaSourceKind::NORMALS,
                                            ColladaSourceKind::TEXCOORDS};
        bool found[3] = {false, false, false};
        for (pugi::xml_node source : mesh.children("source")) {
            const char* id = source.attribute("id").value();
            for (int k = 0; k < 3; ++k) {
                if (ids[k]->empty() || *ids[k] != id)
                    continue;
                if (!readSource(source, kinds[k], out))
                    return false;
                found[k] = true;
                break;
            }
        }
        for (int k = 0; k < (hasTexcoords ? 3 : 2); ++k)
            if (!found[k])
                return fail(std::string("expected a source of ") + kindText(kinds[k]) + " with id \"" +
                            printable(ids[k]->data(), std::min(ids[k]->size(), QUOTED_TOKEN_CHARS)) +
                            "\" in the first geometry's mesh, found none");
        if (!hasTexcoords)
            out.texcoords.clear();
        return checkCorners(out);
    }
};

} // namespace

ColladaResult parseCollada(const char* text, size_t size, const char* fileName, ColladaMesh& out,
                           ColladaXmlError& xmlError, std::string& error)
{
    out = ColladaMesh();
    error.clear();
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(text, size, pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        xmlError.description = parsed.description();
        // The parser may place an error at the end one past the last byte; the report stays
        // within the file.
        size_t at = std::min(static_cast<size_t>(std::max<ptrdiff_t>(parsed.offset, 0)), size);
        xmlError.offset = static_cast<int64_t>(at);
        xmlError.excerpt = printable(text + at, std::min(size - at, COLLADA_EXCERPT_CHARS));
        return ColladaResult::XML_ERROR;
    }
    Reader reader{fileName ? fileName : "?", &error};
    if (!reader.readMesh(document, out)) {
        out = ColladaMesh();
        return ColladaResult::MALFORMED;
    }
    return ColladaResult::OK;
}

std::string colladaXmlReport(const char* path, const ColladaXmlError& xmlError)
{
    return std::string("XML [") + path + "] parsed with errors: " + xmlError.description + " at offset " +
           std::to_string(xmlError.offset) + " (error at [..." + xmlError.excerpt + "])\n";
}

ColladaXmlError colladaUnreadableFile()
{
    pugi::xml_parse_result result;
    result.status = pugi::status_file_not_found;
    result.offset = 0;
    ColladaXmlError xmlError;
    xmlError.description = result.description();
    return xmlError;
}

int64_t parseIntList(const char* text, int32_t* out, int64_t capacity)
{
    return parseList(text, out, capacity, tokenToInt, nullptr);
}

int64_t parseFloatList(const char* text, float* out, int64_t capacity)
{
    int64_t stored = parseList(text, out, capacity, tokenToFloat, nullptr);
    std::printf(" read %d floats\n", static_cast<int>(std::max<int64_t>(stored, 0)));
    return stored;
}
